// `check SOURCE OUTPUT...`: what a conversion kept and lost, preset by preset and parameter by parameter.
#pragma once

#include <string>
#include <vector>

#include "ExitCodes.h"

namespace quorvane::cli {

struct CheckCommandOptions {
    std::string source;               // bank file, or an Akai disc with `volume`
    std::vector<std::string> outputs; // bank files and folders of banks
    std::string volume;               // Akai source: the volume that was converted
    std::vector<unsigned> presets;    // source presets to check (1-based); empty: all
    bool json = false;
    bool render = false;      // also play both banks through FluidSynth and compare what is heard
    bool summaryOnly = false; // the counts and totals without the per-preset lines (convert --check)
};

// Exit status: 0 the output plays as the source within the tolerances, 5 differences found, 2 or 3 when a
// bank cannot be read or is not a bank, 1 for a usage error.
ExitCode RunCheck(const CheckCommandOptions& options);

} // namespace quorvane::cli
