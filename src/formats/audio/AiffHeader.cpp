#include "formats/audio/AiffHeader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "formats/audio/AudioChunks.h"
#include "formats/common/Bytes.h"

namespace quorvane {

namespace {

constexpr size_t kCommonBytes = 18;     // channels, frames, sample size, rate
constexpr size_t kCommonAifcBytes = 22; // and the compression type of AIFF-C
constexpr size_t kSoundDataBytes = 8;   // offset and block size
constexpr size_t kInstrumentBytes = 20;
constexpr size_t kMarkerHeaderBytes = 7; // id, position, name count byte

uint32_t Clamp32(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFFu));
}

struct Marker {
    uint16_t id;
    uint32_t position;
};

struct AiffState {
    int16_t sustainMode = 0;
    uint16_t beginMarker = 0;
    uint16_t endMarker = 0;
    std::vector<Marker> markers;
};

bool IsType(const uint8_t* type, const char* lower, const char* upper) {
    return std::memcmp(type, lower, 4) == 0 || std::memcmp(type, upper, 4) == 0;
}

// The AIFF-C compression type (null when the chunk ends before it). Plain integers are read in either byte
// order and G.711 codes are expanded; anything else would be read as noise: list it as compressed.
void ReadCompression(const uint8_t* type, uint32_t frames, AudioFileFields& f) {
    if (type != nullptr && (std::memcmp(type, "NONE", 4) == 0 || std::memcmp(type, "twos", 4) == 0))
        return;
    if (type != nullptr && std::memcmp(type, "sowt", 4) == 0) {
        f.fileKind = kAiffLittleEndianFileKind;
        return;
    }
    const bool aLaw = type != nullptr && IsType(type, "alaw", "ALAW");
    const bool muLaw = type != nullptr && IsType(type, "ulaw", "ULAW");
    if (!aLaw && !muLaw) {
        f.formatTag = 2;
        return;
    }
    // One byte a sample, whatever sample size the header gives (writers put 8 or 16 there).
    f.formatTag = aLaw ? kFormatALaw : kFormatMuLaw;
    f.bitsPerSample = 8;
    f.blockAlign = f.channels;
    f.dataLength = Clamp32(static_cast<uint64_t>(frames) * f.channels);
}

void ReadCommon(AudioChunkWalker& walker, const AudioChunk& chunk, bool aifc, AiffHeaderReading& reading) {
    uint8_t body[kCommonAifcBytes] = {};
    const size_t got = walker.ReadBody(chunk, body, sizeof body);
    if (got < kCommonBytes)
        return;
    AudioFileFields& f = reading.fields;
    reading.complete = true;
    f.fileKind = kAiffFileKind;
    f.formatTag = kFormatPcm;
    // Only the low bytes of the 16-bit channel and sample-size fields count.
    f.channels = body[1];
    const uint32_t frames = ReadU32BE(body + 2);
    f.bitsPerSample = body[7];
    f.sampleRate = ExtendedToUnsigned(body + 8);
    const uint32_t bytesPerSample = BytesPerSample(f.bitsPerSample);
    f.blockAlign = static_cast<uint16_t>(bytesPerSample * f.channels);
    f.dataLength = Clamp32(static_cast<uint64_t>(bytesPerSample) * frames * f.channels);
    if (aifc)
        ReadCompression(got >= kCommonAifcBytes ? body + 18 : nullptr, frames, f);
}

void ReadMarkers(AudioChunkWalker& walker, const AudioChunk& chunk, AiffState& state) {
    uint8_t countBytes[2];
    if (walker.ReadBody(chunk, countBytes, 2) < 2)
        return;
    const uint16_t count = std::min<uint16_t>(ReadU16BE(countBytes), kMaxAiffMarkers);
    if (count == 0)
        return;
    // No more than the counted markers can take (each at most 7 + 255 bytes) is read, whatever the size says.
    const size_t most = 2 + static_cast<size_t>(count) * (kMarkerHeaderBytes + 255);
    std::vector<uint8_t> body(std::min<size_t>(chunk.size, most));
    body.resize(walker.ReadBody(chunk, body.data(), body.size()));
    if (body.size() < 10)
        return;
    size_t at = 2;
    for (uint16_t m = 0; m < count && at + kMarkerHeaderBytes <= body.size(); ++m) {
        state.markers.push_back({ReadU16BE(&body[at]), ReadU32BE(&body[at + 2])});
        // The name: a count byte and its text, padded so that both take an even number of bytes.
        const size_t nameBytes = 1 + body[at + 6];
        at += 6 + nameBytes + (nameBytes & 1);
    }
}

} // namespace

uint32_t ExtendedToUnsigned(const uint8_t* bytes) {
    const bool negative = (bytes[0] & 0x80) != 0;
    const int exponent = (ReadU16BE(bytes) & 0x7FFF) - 16383;
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa = mantissa << 8 | bytes[2 + i];
    if (negative || mantissa == 0 || exponent < 0)
        return 0;
    if (exponent >= 32)
        return 0xFFFFFFFFu;
    // The mantissa's top bit stands for 2^exponent: the integer part is its top exponent + 1 bits.
    return static_cast<uint32_t>(mantissa >> (63 - exponent));
}

void UnsignedToExtended(uint32_t value, uint8_t* bytes) {
    std::memset(bytes, 0, 10);
    if (value == 0)
        return;
    const int shift = std::countl_zero(static_cast<uint64_t>(value));
    const uint64_t mantissa = static_cast<uint64_t>(value) << shift;
    const uint16_t exponent = static_cast<uint16_t>(16383 + 63 - shift);
    bytes[0] = static_cast<uint8_t>(exponent >> 8);
    bytes[1] = static_cast<uint8_t>(exponent);
    for (int i = 0; i < 8; ++i)
        bytes[2 + i] = static_cast<uint8_t>(mantissa >> (56 - 8 * i));
}

AiffHeaderReading ParseAiffHeader(InputFile& file) {
    AiffHeaderReading reading;
    AudioFileFields& f = reading.fields;
    uint8_t formType[4] = {};
    const bool aifc = file.ReadAt(8, formType, 4) == 4 && std::memcmp(formType, "AIFC", 4) == 0;
    AiffState state;
    AudioChunkWalker walker(file, true);
    AudioChunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.Is("COMM")) {
            ReadCommon(walker, chunk, aifc, reading);
        } else if (chunk.Is("SSND")) {
            uint8_t body[kSoundDataBytes];
            if (walker.ReadBody(chunk, body, sizeof body) == sizeof body)
                f.dataOffset = Clamp32(chunk.position + 16 + ReadU32BE(body));
        } else if (chunk.Is("INST")) {
            uint8_t body[kInstrumentBytes];
            if (walker.ReadBody(chunk, body, sizeof body) == sizeof body) {
                f.unityNote = static_cast<uint16_t>(SignedByte(body[0]));
                f.fineTune = static_cast<uint16_t>(SignedByte(body[1]));
                state.sustainMode = static_cast<int16_t>(ReadU16BE(body + 8));
                state.beginMarker = ReadU16BE(body + 10);
                state.endMarker = ReadU16BE(body + 12);
            }
        } else if (chunk.Is("MARK")) {
            ReadMarkers(walker, chunk, state);
        }
    }
    if (state.sustainMode > 0) {
        f.loopCount = 1;
        for (const Marker& marker : state.markers) {
            if (marker.id == state.beginMarker)
                f.loopStart = marker.position;
            if (marker.id == state.endMarker)
                f.loopEnd = marker.position;
        }
    }
    return reading;
}

bool ReadAiffHeader(AudioFileListing& listing, const std::string& path, const std::string& caption,
                    uint32_t number) {
    AiffHeaderReading reading;
    InputFile file;
    if (file.Open(path))
        reading = ParseAiffHeader(file);
    AppendAudioFile(listing, reading.complete ? caption : caption + " (NOT AIFF FILE)", number,
                    reading.fields, reading.complete);
    return true;
}

} // namespace quorvane
