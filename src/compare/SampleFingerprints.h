// Samples are told apart by what they hold, not by their names: a 64-bit hash of a sample's frames as the
// fetch gives them (signed 16-bit mono), with the frame count. Each sample is read once, one at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "compare/FrameDifference.h"
#include "session/Workspace.h"

namespace quorvane {

struct SampleFingerprint {
    uint64_t hash = 0;
    uint32_t frames = 0;
    bool read = false;   // false: not asked for, or the fetch failed
    bool silent = false; // every frame is zero: a voice playing it is not heard

    bool SameFrames(const SampleFingerprint& other) const {
        return read && other.read && hash == other.hash && frames == other.frames;
    }
};

// The fingerprints of the samples marked in `wanted` (indexed by sample), the others left unread. A sample
// whose frames cannot all be read counts as unread. `read`, when given, is called after each sample read and
// stops the reading when it returns false.
std::vector<SampleFingerprint> FingerprintSamples(Workspace& workspace, const std::vector<uint8_t>& wanted,
                                                  const std::function<bool()>& read = {});

// The frames of sample `index` of the workspace's bank (empty when they cannot be read).
FrameVector FetchSampleFrames(Workspace& workspace, uint32_t index);

} // namespace quorvane
