// The edit options of `convert` (--program, --bank, --drum, --move-zones, --reverb, --chorus, --cutoff)
// turned into the edit lines and bank-wide parameters the core replays.
#pragma once

#include <string>
#include <vector>

#include "convert/EditsFile.h"

namespace quorvane::cli {

struct EditOptions {
    std::vector<std::string> program;   // SLOT=N
    std::vector<std::string> bank;      // SLOT=N
    std::vector<std::string> drum;      // SLOT=on|off
    std::vector<std::string> moveZones; // SLOT=+12|-12
    std::string reverb;                 // PERCENT
    std::string chorus;                 // PERCENT
    std::string cutoff;                 // HZ or "off"
};

// Adds the options' edits to edits, after what they hold (an edits file read first); false with a message
// naming the option that is wrong.
bool CollectEdits(const EditOptions& options, EditSet& edits, std::string& error);

} // namespace quorvane::cli
