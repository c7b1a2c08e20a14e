// One conversion of the open bank: which presets go into which files under which names, with which share
// of the overall progress, read afresh before each write. The Save button, the batch save and the
// command-line program run conversions through here, so that each gives the same files.
#pragma once

#include <string>
#include <vector>

#include "session/Workspace.h"

namespace quorvane {

enum class OutputType { SoundFont, Giga };

// GigaSampler players read at most this many instruments from one file.
constexpr size_t kMaxGigaInstruments = 128;

struct ConversionRequest {
    OutputType type = OutputType::SoundFont;
    // Preset slots to write; none: the whole bank.
    std::vector<unsigned> presets;
    // With several presets: all into the one file at `output` instead of one file each.
    bool combine = false;
    // The file written; with several presets not combined, its folder takes one file per preset, named
    // after the preset.
    std::string output;
    // The file-list entry of the bank (in Akai mode: the volume), read again before each write.
    uint32_t entry = 0;
};

struct ConversionResult {
    bool allWritten = true;
    bool cancelled = false;
    uint32_t rereadFailures = 0;      // writes skipped because the bank could not be read again
    std::vector<std::string> written; // the paths written, in order
};

// The output type a path asks for: GigaSampler for a ".gig" extension in any case, else SoundFont.
OutputType OutputTypeOfPath(const std::string& path);
// The extension files of the type get, with its dot.
const char* OutputExtension(OutputType type);

// True when the request combines more presets into one GigaSampler file than players read.
bool ExceedsGigaInstrumentLimit(const ConversionRequest& request);

// Runs the request on the bank in the workspace (loaded from the file list's entry request.entry).
// modelAsRead: the model is still exactly as a conversion reads it, so the first write may skip reading it
// again. Every write selects what it writes first; the model is left as the last write changed it.
ConversionResult RunConversion(Workspace& workspace, const ConversionRequest& request, bool modelAsRead);

} // namespace quorvane
