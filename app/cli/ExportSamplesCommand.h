#pragma once

#include <string>

#include "ExitCodes.h"
#include "TerminalHost.h"

namespace quorvane::cli {

struct ExportSamplesOptions {
    std::string to = "wav"; // "wav" or "aiff"
    std::string output;     // folder the files go into; made when missing
    std::string input;      // a bank file, or a folder of WAVE and AIFF files
    std::string volume;     // Akai discs: the --volume text; empty: none given
    int bits = 0;           // 16 or 24; 0: as each sample holds them
};

// `export-samples [--to wav|aiff] -o DIR FILE_OR_FOLDER`: every sample of a bank, or every listed file of a
// folder, saved as a 16- or 24-bit WAVE or AIFF file in DIR. Reports through host, made with the run's
// verbosity and JSON choice.
ExitCode RunExportSamples(const ExportSamplesOptions& options, TerminalHost& host);

} // namespace quorvane::cli
