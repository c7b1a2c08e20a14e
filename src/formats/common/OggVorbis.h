// Ogg Vorbis streams kept inside a bank file (the samples of a SoundFont 3 bank), decoded through
// libsndfile into the 16-bit frames every other sample source gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "formats/common/Frames.h"

namespace quorvane {

// The number of frames an Ogg stream decodes to: the granule position of its last page, found in the
// stream's final bytes (`tail`, at most a page's size of them is enough). Nothing when the bytes hold no
// page header whose granule position is set.
std::optional<uint64_t> OggFrameCount(const uint8_t* tail, size_t size);

// The most bytes of a stream's end that can hold its last page whole.
constexpr size_t kOggLastPageReach = 65307;

// Decodes a whole Ogg Vorbis stream. The first channel goes to `left`, a second one (when the stream has
// it and `right` is given) to `right`; at most `maxFrames` frames are kept. False when libsndfile cannot
// read the bytes as Ogg Vorbis.
bool DecodeOggVorbis(const uint8_t* data, size_t size, uint64_t maxFrames, FrameVector& left,
                     FrameVector* right);

// Encodes 16-bit mono frames as one Ogg Vorbis stream at `quality` (0 smallest .. 1 best) into `stream`.
// False when libsndfile cannot encode them (no frames, a rate Vorbis does not take).
bool EncodeOggVorbis(const int16_t* frames, size_t count, uint32_t sampleRate, double quality,
                     std::vector<uint8_t>& stream);

} // namespace quorvane
