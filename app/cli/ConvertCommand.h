#pragma once

#include <string>
#include <vector>

#include "EditOptions.h"
#include "ExitCodes.h"
#include "TerminalHost.h"
#include "formats/soundfont/SoundFontWriter.h"

namespace quorvane::cli {

struct ConvertOptions {
    std::vector<std::string> inputs; // bank files and folders of banks
    std::string output;              // a file (one bank, one preset, combined presets) or a folder
    std::string to; // "sf2", "sf3", "gig" or "sfz"; empty: from the output's extension, else sf2
    std::string sampleFormat = "wav"; // the sample files of SFZ outputs: "wav" or "flac"
    std::vector<unsigned> presets;    // preset slots, 1-based; empty = whole banks
    bool combine = false;
    EditOptions edits;
    std::string editsFile;                  // edits replayed onto the banks of the run
    std::string saveEditsFile;              // where the run's edits are kept
    std::string volume;                     // Akai discs: the --volume text; empty: none given
    double quality = kDefaultVorbisQuality; // Vorbis quality of SoundFont 3 outputs, 0 .. 1
    bool check = false;                     // compare what was written with its source afterwards
};

// `convert [--to sf2|sf3|gig|sfz] [--quality Q] [--sample-format wav|flac] [--preset SLOT]... [--combine]
// [edits] -o OUTPUT BANK_OR_FOLDER...`. Reports through host, made with the run's verbosity and JSON choice.
ExitCode RunConvert(const ConvertOptions& options, TerminalHost& host);

} // namespace quorvane::cli
