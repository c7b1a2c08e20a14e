#include "formats/audio/SampleFileWriter.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "formats/audio/AiffHeader.h"
#include "formats/audio/AudioFileList.h"
#include "formats/audio/AudioFileSource.h"
#include "formats/common/ByteWriter.h"
#include "formats/common/OutputFile.h"
#include "formats/common/OutputNames.h"
#include "formats/common/SamplerPitch.h"
#include "formats/common/WriteMessages.h"

namespace quorvane {

namespace {

static_assert(std::endian::native == std::endian::little,
              "frames are written as fetched: little-endian only");

constexpr size_t kStagingFrames = 1 << 15;

// AIFF is big-endian; ByteWriter builds little-endian records.
void U16BE(ByteWriter& w, uint16_t v) {
    w.U8(static_cast<uint8_t>(v >> 8));
    w.U8(static_cast<uint8_t>(v));
}
void U32BE(ByteWriter& w, uint32_t v) {
    U16BE(w, static_cast<uint16_t>(v >> 16));
    U16BE(w, static_cast<uint16_t>(v));
}

struct Layout {
    uint16_t channels;
    uint16_t bytesPerSample; // 2 or 3
    uint32_t dataSize;
    uint32_t sampleRate;
    uint16_t rootKey;
    int32_t pitchCorrection;
    bool looped;
    uint32_t loopStart;
    uint32_t loopEnd;
};

// The cents beyond whole semitones, c − (c / 100) × 100 with the division truncating toward zero.
int32_t CentsOfSemitone(int32_t c) {
    return c - (c / 100) * 100;
}

std::vector<uint8_t> WaveHeader(const Layout& l) {
    ByteWriter w;
    const uint32_t dataChunkAt = l.looped ? kWaveLoopDataChunkAt : kWaveDataChunkAt;
    w.Chunk("RIFF", dataChunkAt + l.dataSize); // the file's size less 8: the data chunk has an 8-byte header
    w.FourCC("WAVE");
    w.Chunk("fmt ", 16);
    w.U16(1);
    w.U16(l.channels);
    w.U32(l.sampleRate);
    w.U32(l.sampleRate * l.bytesPerSample * l.channels);
    w.U16(static_cast<uint16_t>(l.bytesPerSample * l.channels));
    w.U16(static_cast<uint16_t>(l.bytesPerSample * 8));
    w.Chunk("smpl", l.looped ? 60 : 36);
    w.U32(0);                                                  // manufacturer
    w.U32(0);                                                  // product
    w.U32(l.sampleRate != 0 ? 1000000000u / l.sampleRate : 0); // sample period in nanoseconds
    // The sampler chunk gives the pitch the sample sounds at: its unity note and a fraction of a semitone
    // above it. A pitch correction is applied on playback, so the sample sounds that much below its root.
    const SamplerPitch pitch = SamplerPitchOf(l.rootKey, l.pitchCorrection);
    w.U32(pitch.unityNote);
    w.U32(pitch.fraction);
    w.U32(0); // SMPTE format
    w.U32(0); // SMPTE offset
    w.U32(l.looped ? 1 : 0);
    w.U32(0); // sampler data
    if (l.looped) {
        w.U32(0); // cue point id
        w.U32(0); // type: forward
        w.U32(l.loopStart);
        w.U32(l.loopEnd - 1); // the last frame played in the loop
        w.U32(0);             // fraction
        w.U32(0);             // play count: endless
    }
    w.Chunk("data", l.dataSize);
    return std::move(w.bytes);
}

std::vector<uint8_t> AiffHeader(const Layout& l) {
    ByteWriter w;
    w.FourCC("FORM");
    U32BE(w, l.dataSize + kAiffHeaderSize - 8);
    w.FourCC("AIFF");
    w.FourCC("COMM");
    U32BE(w, 18);
    U16BE(w, l.channels);
    U32BE(w, l.dataSize / l.bytesPerSample / l.channels);
    U16BE(w, static_cast<uint16_t>(l.bytesPerSample * 8));
    uint8_t rate[10];
    UnsignedToExtended(l.sampleRate, rate);
    w.Bytes(rate, sizeof rate);
    w.FourCC("MARK");
    U32BE(w, 18);
    U16BE(w, 2);
    // Both markers are written also without a loop; the sustain loop below decides whether they count.
    U16BE(w, 1);
    U32BE(w, l.loopStart);
    w.Zeros(2); // empty name and its pad byte
    U16BE(w, 2);
    U32BE(w, l.loopEnd);
    w.Zeros(2);
    w.FourCC("INST");
    U32BE(w, 20);
    w.U8(static_cast<uint8_t>(l.rootKey));
    w.U8(static_cast<uint8_t>(static_cast<int8_t>(CentsOfSemitone(l.pitchCorrection))));
    w.U8(0);                    // low note
    w.U8(127);                  // high note
    w.U8(0);                    // low velocity
    w.U8(127);                  // high velocity
    U16BE(w, 0);                // gain
    U16BE(w, l.looped ? 1 : 0); // sustain loop: forward
    U16BE(w, l.looped ? 1 : 0);
    U16BE(w, l.looped ? 2 : 0);
    w.Zeros(6); // release loop: none
    w.FourCC("SSND");
    U32BE(w, l.dataSize + 8);
    U32BE(w, 0); // offset
    U32BE(w, 0); // block size: 0, the data is not aligned to blocks
    return std::move(w.bytes);
}

// The frames of both channels, interleaved, in the file's byte order; a channel shorter than the other is
// padded with zeros.
bool WriteFrames(OutputFile& out, const FrameBuffer& first, const FrameBuffer* second, uint32_t frames,
                 bool bigEndian) {
    // One little-endian channel is written as it was fetched.
    if (!second && !bigEndian)
        return out.Write(first.frames.data(), static_cast<size_t>(frames) * 2);
    const size_t channels = second ? 2 : 1;
    std::vector<uint16_t> staging(kStagingFrames * channels);
    auto frameOf = [](const FrameBuffer& buffer, uint32_t i) -> uint16_t {
        return i < buffer.FrameCount() ? static_cast<uint16_t>(buffer.frames[i]) : 0;
    };
    auto order = [bigEndian](uint16_t v) -> uint16_t {
        return bigEndian ? static_cast<uint16_t>(v << 8 | v >> 8) : v;
    };
    for (uint32_t start = 0; start < frames; start += kStagingFrames) {
        const uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(frames, start + kStagingFrames));
        size_t at = 0;
        for (uint32_t i = start; i < end; ++i) {
            staging[at++] = order(frameOf(first, i));
            if (second)
                staging[at++] = order(frameOf(*second, i));
        }
        if (!out.Write(staging.data(), at * 2))
            return false;
    }
    return true;
}

// 24-bit frames of both channels, interleaved, in the file's byte order; the low byte is 0 for a channel
// fetched with 16 bits only.
bool WriteFrames24(OutputFile& out, const FrameBuffer& first, const FrameBuffer* second, uint32_t frames,
                   bool bigEndian) {
    const size_t channels = second ? 2 : 1;
    std::vector<uint8_t> staging(kStagingFrames * channels * 3);
    auto put = [&](size_t& at, const FrameBuffer& buffer, uint32_t i) {
        const uint32_t v = i < buffer.FrameCount() ? static_cast<uint32_t>(buffer.Frame24(i)) : 0;
        const uint8_t bytes[3] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                  static_cast<uint8_t>(v >> 16)};
        for (int b = 0; b < 3; ++b)
            staging[at++] = bytes[bigEndian ? 2 - b : b];
    };
    for (uint32_t start = 0; start < frames; start += kStagingFrames) {
        const uint32_t end = static_cast<uint32_t>(std::min<uint64_t>(frames, start + kStagingFrames));
        size_t at = 0;
        for (uint32_t i = start; i < end; ++i) {
            put(at, first, i);
            if (second)
                put(at, *second, i);
        }
        if (!out.Write(staging.data(), at))
            return false;
    }
    return true;
}

// The bytes of 16-bit frames the sample gives, from its record alone: its own frames, or those of the longer
// half of a stereo pair or file.
uint64_t ExpectedDataSize(const BankModel& bank, const SampleRecord& sample) {
    if (bank.SourceFormat == SourceFormat::AudioFile) {
        const uint64_t frames = sample.blockAlign != 0 ? sample.dataLength / sample.blockAlign : 0;
        return frames * std::min<uint16_t>(std::max<uint16_t>(sample.channels, 1), 2) * 2;
    }
    const auto framesOf = [](const SampleRecord& s) -> uint64_t {
        return s.dataLength / static_cast<uint32_t>(std::max(1, s.bitsPerSample / 8));
    };
    const uint32_t partner = sample.linkIndex - 1u;
    if (sample.sampleType != 1 && bank.IsValidSample(partner))
        return std::max(framesOf(sample), framesOf(bank.SampleTable[partner])) * 4;
    return framesOf(sample) * 2;
}

} // namespace

SampleFileResult WriteSampleAudioFile(const BankModel& bank, SampleSource& samples, Host& host,
                                      const std::string& path, uint32_t index,
                                      const SampleFileOptions& options) {
    SampleFileResult result;
    if (!bank.IsValidSample(index))
        return result;
    const SampleRecord& sample = bank.SampleTable[index];
    if (bank.SourceFormat == SourceFormat::AudioFile && !IsReadableAudioFile(sample))
        return result;

    const bool asMessageBox = !host.IsProgressWindowShowing();
    // Both formats count their sizes in 32 bits: a sample too large for that is refused before its frames
    // are fetched, which for a file of gigabytes would take that much memory.
    if (ExpectedDataSize(bank, sample) + kAiffHeaderSize > 0xFFFFFFFFu) {
        ReportTooLarge(host, path, asMessageBox);
        result.status = SampleFileStatus::CannotWrite;
        return result;
    }
    FrameBuffer left, right;
    const FetchReport fetched = samples.Fetch(index, {left, right}, true);
    // A sample whose data could not be read whole (its file gone or cut short since it was listed) is no
    // sample to save: an empty or partial file would pass for the sample.
    if (!fetched.opened || fetched.readErrors != 0) {
        ReportCannotRead(host, index, sample.fullName, asMessageBox);
        result.status = SampleFileStatus::Unreadable;
        return result;
    }
    // A bank's sample without frames (a ROM sample, whose sound lives in a synthesizer's memory) has
    // nothing to save; an empty file would pass for it.
    if (bank.SourceFormat != SourceFormat::AudioFile && left.FrameCount() == 0 && right.FrameCount() == 0)
        return result;
    const FrameBuffer* first = &left;
    const FrameBuffer* second = right.length != 0 ? &right : nullptr;
    // The fetch puts the sample asked for in the first buffer and its stereo partner in the second. Saving
    // the right half of a linked pair must still give a file whose left channel is the left half.
    const bool linkedRight =
        bank.SourceFormat != SourceFormat::AudioFile && sample.sampleType == 2 && sample.stereoHalf == 0;
    if (second && linkedRight)
        std::swap(first, second);

    Layout layout;
    layout.channels = second ? 2 : 1;
    const bool wide = options.bits == 24 || (options.bits == 0 && (left.Wide() || right.Wide()));
    layout.bytesPerSample = wide ? 3 : 2;
    const uint64_t frameCount = std::max(left.FrameCount(), right.FrameCount());
    const uint64_t dataSize = frameCount * layout.bytesPerSample * layout.channels;
    layout.sampleRate = sample.sampleRate;
    layout.rootKey = options.zoneRootKey ? sample.zoneRootKey : sample.rootKey;
    layout.pitchCorrection = sample.pitchCorrection;
    // A loop needs frames in it: a looped flag with an empty loop would give a loop end before the start.
    layout.looped = sample.looped != 0 && sample.loopEnd > sample.loopStart;
    layout.loopStart = sample.loopStart;
    layout.loopEnd = sample.loopEnd;
    const bool aiff = options.type == SampleFileType::Aiff;

    result.status = SampleFileStatus::CannotWrite;
    result.channels = layout.channels;
    OutputFile out;
    // An input of the run (an audio file exported into its own folder) is never replaced: the sample goes
    // under a free name beside it.
    const std::string target = FreeOutputName(path, std::string(), aiff ? "aif" : "wav");
    // Both formats count their sizes in 32 bits: a sample too large for that cannot be saved.
    if (dataSize + kAiffHeaderSize > 0xFFFFFFFFu || !out.Create(target)) {
        ReportCannotWrite(host, target, true, asMessageBox, out.Error());
        return result;
    }
    layout.dataSize = static_cast<uint32_t>(dataSize);
    const std::vector<uint8_t> header = aiff ? AiffHeader(layout) : WaveHeader(layout);
    const uint32_t frames = static_cast<uint32_t>(frameCount);
    const bool written = out.Write(header.data(), header.size()) &&
                         (wide ? WriteFrames24(out, *first, second, frames, aiff)
                               : WriteFrames(out, *first, second, frames, aiff)) &&
                         !host.InterruptRequested() && out.Commit();
    if (!written && host.InterruptRequested()) {
        out.Discard();
        result.status = SampleFileStatus::Interrupted;
        return result;
    }
    if (!written) {
        ReportCannotWrite(host, target, false, asMessageBox);
        return result;
    }
    result.status = SampleFileStatus::Written;
    result.size = header.size() + layout.dataSize;
    return result;
}

} // namespace quorvane
