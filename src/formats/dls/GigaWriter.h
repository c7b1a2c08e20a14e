// Writes the selected presets of the bank model, whatever the source format, as one GigaSampler file:
// instruments whose regions use a layer and a velocity dimension, each dimension region with its own
// articulation, then the sample groups, the pool table and the wave pool with every selected sample as
// 16-bit mono PCM.
#pragma once

#include <cstdint>
#include <string>

#include "session/Workspace.h"

namespace quorvane {

struct GigaWriteResult {
    bool written = false;
    std::string path;
    uint64_t size = 0;
};

// entry: the file-list entry of the source bank (its text names the bank). mode 1: one preset per file,
// which then names the bank. Changes the model it writes (output indices, flattened globals, moved fine
// tunes, the null sample appended): callers read the bank afresh before each write.
GigaWriteResult WriteGigaFile(Workspace& workspace, uint32_t entry, const std::string& outputPath, int mode);

} // namespace quorvane
