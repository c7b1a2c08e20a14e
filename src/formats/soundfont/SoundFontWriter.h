// Writes the selected presets of the bank model, with their layers, zones and samples, as a SoundFont 2.01
// file. Every source format is written from the same tables; sample frames come from the sample fetch, one
// sample in memory at a time.
#pragma once

#include <cstdint>
#include <string>

#include "session/Workspace.h"

namespace quorvane {

struct SoundFontWriteResult {
    bool written = false; // false when the file could not be created or a write failed
    std::string path;     // the name actually written (a free "-N" name when the target is the source)
    uint32_t size = 0;
};

// entry: the file-list entry of the source bank (its text names the bank). namingFlag 1 names the bank after
// the current preset. temporary: the write for auditioning (bank 0 and program 0 everywhere, a message box
// instead of status lines). Changes the model's output fields and instrument numbers: callers read the bank
// afresh before each write.
SoundFontWriteResult WriteSoundFont(Workspace& workspace, uint32_t entry, const std::string& outputPath,
                                    int namingFlag, bool temporary);

} // namespace quorvane
