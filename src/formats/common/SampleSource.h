// Where the frames of a bank's samples come from. Each source format has its own source (the bank file of a
// SoundFont or DLS bank, the files of an audio-file list, the sectors of an Akai disc); players and writers
// fetch through this interface and never ask which format a sample came from.
#pragma once

#include <cstdint>
#include <optional>

#include "formats/common/Frames.h"
#include "formats/common/InputFile.h"

namespace quorvane {

// What one fetch met: whether the source could be opened, and how many reads failed (a range the file
// does not hold, an unreadable sector). A failed read leaves the frames it concerns out.
struct FetchReport {
    bool opened = true;
    uint32_t readErrors = 0;
};

// Where the frames of a sample lie unchanged in its source file, so that a writer can copy them without
// bringing them through memory. A length of 0 with read errors: the file cannot be opened or does not hold
// the range.
struct StoredFrames {
    InputFile* file = nullptr;
    uint64_t offset = 0;
    uint32_t length = 0;
    uint32_t readErrors = 0;
};

class SampleSource {
  public:
    virtual ~SampleSource() = default;

    // Fills the pair (whose buffers arrive empty) with sample `index`: the sample in the left buffer, and
    // with withPartner the other half of a linked pair, or the second channel of a stereo file, in the
    // right one. A stereo half kept interleaved in one wave always gets its own channel only.
    virtual FetchReport Fetch(uint32_t index, FramePair target, bool withPartner) = 0;

    // The stored frames of sample `index` when the export fetch without partner would give exactly those
    // bytes, nothing when they need converting.
    virtual std::optional<StoredFrames> Stored(uint32_t /*index*/) { return std::nullopt; }
    // Where the Ogg Vorbis stream of sample `index` lies in its source file (a SoundFont 3 sample), so that
    // a compressed output copies it rather than coding it again; nothing for any other sample.
    virtual std::optional<StoredFrames> StoredOggVorbis(uint32_t /*index*/) { return std::nullopt; }
};

} // namespace quorvane
