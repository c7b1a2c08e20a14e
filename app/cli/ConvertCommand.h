#pragma once

#include <string>
#include <vector>

#include "ExitCodes.h"

namespace quorvane::cli {

struct ConvertOptions {
    std::string input;
    std::string output;
    std::string to;                // "sf2" or "gig"; empty: from the output's extension, SoundFont otherwise
    std::vector<unsigned> presets; // preset slots, 1-based; empty = the whole bank
    bool combine = false;
    std::string volume; // Akai discs: the --volume text; empty: none given
};

// `convert [--to sf2|gig] [--preset SLOT]... [--combine] -o OUTPUT FILE`.
ExitCode RunConvert(const ConvertOptions& options);

} // namespace quorvane::cli
