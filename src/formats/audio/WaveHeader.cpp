#include "formats/audio/WaveHeader.h"

#include <algorithm>
#include <cstring>

#include "formats/audio/AudioChunks.h"
#include "formats/common/Bytes.h"
#include "formats/common/SamplerPitch.h"

namespace quorvane {

namespace {

constexpr size_t kFormatBytes = 16;
constexpr size_t kExtensibleFormatBytes = 40;
constexpr size_t kSamplerBytes = 60;

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE are the old format tags followed by this fixed tail.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Clamp32(uint64_t value) {
    return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFFu));
}

void ReadFormat(AudioChunkWalker& walker, const AudioChunk& chunk, WaveHeaderReading& reading) {
    uint8_t body[kExtensibleFormatBytes];
    const size_t got = walker.ReadBody(chunk, body, sizeof body);
    if (got < kFormatBytes)
        return;
    AudioFileFields& f = reading.fields;
    reading.complete = true;
    f.formatTag = ReadU16LE(body);
    f.channels = ReadU16LE(body + 2);
    f.sampleRate = ReadU32LE(body + 4);
    f.blockAlign = ReadU16LE(body + 12);
    f.bitsPerSample = ReadU16LE(body + 14);
    if (f.formatTag == kFormatExtensible && got == kExtensibleFormatBytes &&
        std::memcmp(body + 26, kSubFormatTail, sizeof kSubFormatTail) == 0) {
        const uint16_t subFormat = ReadU16LE(body + 24);
        if (subFormat == kFormatPcm || subFormat == kFormatFloat || IsG711Format(subFormat))
            f.formatTag = subFormat;
    }
}

void ReadSampler(AudioChunkWalker& walker, const AudioChunk& chunk, AudioFileFields& f) {
    uint8_t body[kSamplerBytes];
    const size_t got = walker.ReadBody(chunk, body, sizeof body);
    if (got >= 16)
        f.unityNote = static_cast<uint16_t>(ReadU32LE(body + 12));
    if (got >= 20)
        f.fineTune = static_cast<uint16_t>(ReadU32LE(body + 16) / kFractionPerCent);
    if (got < kSamplerBytes)
        return; // a sampler chunk without a whole first loop gives no loop
    // The loop count has a four-digit field; no file has more loops than that.
    f.loopCount = static_cast<uint16_t>(std::min<uint32_t>(ReadU32LE(body + 28), 0xFFFF));
    f.loopStart = ReadU32LE(body + 44);
    f.loopEnd = ReadU32LE(body + 48) + 1;
}

} // namespace

WaveHeaderReading ParseWaveHeader(InputFile& file) {
    WaveHeaderReading reading;
    AudioFileFields& f = reading.fields;
    f.fileKind = kWaveFileKind;
    AudioChunkWalker walker(file, false);
    AudioChunk chunk;
    // Later chunks of the same id overwrite what earlier ones gave.
    while (walker.Next(chunk)) {
        if (chunk.Is("fmt ")) {
            ReadFormat(walker, chunk, reading);
        } else if (chunk.Is("data")) {
            f.dataOffset = Clamp32(chunk.BodyOffset());
            f.dataLength = chunk.size;
        } else if (chunk.Is("smpl")) {
            ReadSampler(walker, chunk, f);
        }
    }
    return reading;
}

bool ReadWaveHeader(AudioFileListing& listing, const std::string& path, const std::string& caption,
                    uint32_t number) {
    WaveHeaderReading reading;
    reading.fields.fileKind = kWaveFileKind;
    InputFile file;
    if (file.Open(path))
        reading = ParseWaveHeader(file);
    if (IsCompressedFormat(reading.fields.formatTag) && !listing.showCompressed)
        return false;
    AppendAudioFile(listing, reading.complete ? caption : caption + " (NOT WAVE FILE)", number,
                    reading.fields, reading.complete);
    return true;
}

} // namespace quorvane
