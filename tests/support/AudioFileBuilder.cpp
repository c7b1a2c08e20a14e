#include "support/AudioFileBuilder.h"

#include <cstring>

namespace quorvane::test {

Bytes WaveForm(const Chunks& chunks) {
    return Form("WAVE", chunks);
}

Bytes FmtBody(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b;
    const uint16_t blockAlign = static_cast<uint16_t>((bits + 7) / 8 * channels);
    PutU16(b, formatTag);
    PutU16(b, channels);
    PutU32(b, rate);
    PutU32(b, rate * blockAlign);
    PutU16(b, blockAlign);
    PutU16(b, bits);
    return b;
}

Bytes ExtensibleFmtBody(uint16_t subFormat, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes b = FmtBody(0xFFFE, channels, rate, bits);
    PutU16(b, 22);   // extension size
    PutU16(b, bits); // valid bits
    PutU32(b, channels == 2 ? 3 : 4);
    PutU16(b, subFormat);
    const uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    b.insert(b.end(), tail, tail + sizeof tail);
    return b;
}

Bytes SmplBody(uint32_t unityNote, uint32_t pitchFraction, uint32_t loopCount, uint32_t loopStart,
               uint32_t loopEnd) {
    Bytes b;
    for (uint32_t v : {0u, 0u, 22675u, unityNote, pitchFraction, 0u, 0u, loopCount, 0u})
        PutU32(b, v);
    for (uint32_t loop = 0; loop < loopCount && loop < 4; ++loop)
        for (uint32_t v : {loop, 0u, loopStart, loopEnd, 0u, 0u})
            PutU32(b, loop == 0 ? v : 0);
    return b;
}

void PutU16BE(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}
void PutU32BE(Bytes& out, uint32_t value) {
    PutU16BE(out, static_cast<uint16_t>(value >> 16));
    PutU16BE(out, static_cast<uint16_t>(value));
}

Bytes AiffForm(const Chunks& chunks, const char* formType) {
    Bytes b;
    PutFourCC(b, "FORM");
    PutU32BE(b, 0);
    PutFourCC(b, formType);
    for (const auto& [id, body] : chunks) {
        PutFourCC(b, id.c_str());
        PutU32BE(b, static_cast<uint32_t>(body.size()));
        b.insert(b.end(), body.begin(), body.end());
    }
    const uint32_t size = static_cast<uint32_t>(b.size() - 8);
    b[4] = static_cast<uint8_t>(size >> 24);
    b[5] = static_cast<uint8_t>(size >> 16);
    b[6] = static_cast<uint8_t>(size >> 8);
    b[7] = static_cast<uint8_t>(size);
    return b;
}

Bytes CommBody(uint16_t channels, uint32_t frames, uint16_t bits, uint32_t rate) {
    Bytes b;
    PutU16BE(b, channels);
    PutU32BE(b, frames);
    PutU16BE(b, bits);
    // The rate as an 80-bit extended float.
    int shift = 0;
    uint64_t mantissa = rate;
    while (mantissa != 0 && (mantissa & (1ull << 63)) == 0) {
        mantissa <<= 1;
        ++shift;
    }
    PutU16BE(b, rate == 0 ? 0 : static_cast<uint16_t>(16383 + 63 - shift));
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<uint8_t>(mantissa >> (56 - 8 * i)));
    return b;
}

Bytes SsndBody(const Bytes& samples, uint32_t offset) {
    Bytes b;
    PutU32BE(b, offset);
    PutU32BE(b, 0);
    b.insert(b.end(), offset, 0);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

Bytes InstBody(int8_t baseNote, int8_t detune, uint16_t sustainMode, uint16_t beginMarker,
               uint16_t endMarker) {
    Bytes b = {static_cast<uint8_t>(baseNote), static_cast<uint8_t>(detune), 0, 127, 0, 127, 0, 0};
    PutU16BE(b, sustainMode);
    PutU16BE(b, beginMarker);
    PutU16BE(b, endMarker);
    b.insert(b.end(), 6, 0);
    return b;
}

Bytes MarkBody(const std::vector<AiffMarker>& markers, int countOverride) {
    Bytes b;
    PutU16BE(b, static_cast<uint16_t>(countOverride >= 0 ? countOverride : static_cast<int>(markers.size())));
    for (const AiffMarker& m : markers) {
        PutU16BE(b, m.id);
        PutU32BE(b, m.position);
        b.push_back(static_cast<uint8_t>(m.name.size()));
        b.insert(b.end(), m.name.begin(), m.name.end());
        if ((m.name.size() + 1) % 2 != 0)
            b.push_back(0);
    }
    return b;
}

} // namespace quorvane::test
