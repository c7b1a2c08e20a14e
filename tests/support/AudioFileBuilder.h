// Byte-level WAVE and AIFF fixtures: the chunk bodies the header readers look at, and the two container
// forms. Chunks are written as given: no pad byte is added, so odd-sized chunks and damaged sizes can be made
// on purpose.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/RiffBuilder.h"

namespace quorvane::test {

using Chunks = std::vector<std::pair<std::string, Bytes>>;

// WAVE (little-endian).
Bytes WaveForm(const Chunks& chunks); // "RIFF" size "WAVE" and the chunks
Bytes FmtBody(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits);
// A 40-byte WAVE_FORMAT_EXTENSIBLE format whose sub-format GUID starts with subFormat.
Bytes ExtensibleFmtBody(uint16_t subFormat, uint16_t channels, uint32_t rate, uint16_t bits);
// A sampler chunk of 36 bytes plus 24 per loop; only the first loop is filled.
Bytes SmplBody(uint32_t unityNote, uint32_t pitchFraction, uint32_t loopCount, uint32_t loopStart = 0,
               uint32_t loopEnd = 0);

// AIFF (big-endian).
void PutU16BE(Bytes& out, uint16_t value);
void PutU32BE(Bytes& out, uint32_t value);
Bytes AiffForm(const Chunks& chunks, const char* formType = "AIFF"); // "FORM" size type and the chunks
Bytes CommBody(uint16_t channels, uint32_t frames, uint16_t bits, uint32_t rate);
Bytes SsndBody(const Bytes& samples, uint32_t offset = 0);
Bytes InstBody(int8_t baseNote, int8_t detune, uint16_t sustainMode, uint16_t beginMarker,
               uint16_t endMarker);
struct AiffMarker {
    uint16_t id;
    uint32_t position;
    std::string name;
};
// The count written is markers.size() unless countOverride is given.
Bytes MarkBody(const std::vector<AiffMarker>& markers, int countOverride = -1);

} // namespace quorvane::test
