// The temporary SoundFont auditioning loads into the synthesizer: the shown preset, or one of its layers,
// written by the SoundFont writer with every preset on bank 0, program 0, into a file of its own in the
// user's temporary folder.
#pragma once

#include <cstdint>
#include <string>

#include "session/Workspace.h"

namespace quorvane {

struct AuditionBank {
    enum Status {
        Written,         // `path` holds the bank; the caller deletes it after loading
        NothingSelected, // the preset or layer plays no sample: nothing was written
        WriteFailed      // nothing is left on disk; `message` says why, and the user has already been told
                         // through the Host
    };
    Status status = NothingSelected;
    std::string path;
    uint64_t size = 0; // bytes written
    std::string message;
};

// Writes preset `slot` (its layer at position `layer` in the preset's layer list alone when layer >= 0) as a
// temporary bank. The open bank is not changed: a GigaSampler bank's stereo waves are split for the write
// on a copy.
AuditionBank WriteAuditionBank(Workspace& workspace, uint32_t slot, int layer);

} // namespace quorvane
