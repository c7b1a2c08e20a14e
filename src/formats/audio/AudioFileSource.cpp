#include "formats/audio/AudioFileSource.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "formats/audio/AudioFileList.h"
#include "formats/audio/G711.h"

namespace quorvane {

namespace {

// A float sample as a 32-bit integer: full scale is ±1.0, anything beyond is clipped, and a non-number goes
// to the end its sign bit points to.
int32_t FloatToInt32(double v) {
    if (std::isnan(v))
        return std::signbit(v) ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    if (v >= 1.0)
        return std::numeric_limits<int32_t>::max();
    if (v <= -1.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v * 2147483648.0); // truncates toward zero
}

// Float data converted in place to 32-bit little-endian integers; returns the bytes they take. The size of
// one float comes from the block align: 4 bytes, or else 8.
size_t ConvertFloats(ByteVector& data, size_t n, uint32_t floatSize) {
    if (floatSize == 4) {
        for (size_t at = 0; at + 4 <= n; at += 4) {
            float v;
            std::memcpy(&v, &data[at], 4);
            const int32_t i = FloatToInt32(v);
            std::memcpy(&data[at], &i, 4);
        }
        return n / 4 * 4;
    }
    const size_t count = n / 8;
    for (size_t k = 0; k < count; ++k) {
        double v;
        std::memcpy(&v, &data[k * 8], 8);
        const int32_t i = FloatToInt32(v);
        std::memcpy(&data[k * 4], &i, 4); // packed to the front: never overtakes the doubles still to read
    }
    return count * 4;
}

// G.711 codes expanded to 16-bit little-endian samples; returns the bytes they take.
size_t ExpandG711(ByteVector& data, size_t n, uint16_t formatTag) {
    ByteVector expanded(n * 2);
    for (size_t i = 0; i < n; ++i) {
        const int16_t v = formatTag == kFormatALaw ? ALawToLinear(data[i]) : MuLawToLinear(data[i]);
        std::memcpy(&expanded[i * 2], &v, 2);
    }
    data = std::move(expanded);
    return n * 2;
}

// One sample reduced to 16 bits: its two most significant bytes. WAVE data is little-endian with unsigned
// 8-bit samples (128 = silence); AIFF data has signed 8-bit samples and is big-endian ("sowt" AIFF-C data
// little-endian).
int16_t Reduce(const uint8_t* p, uint32_t bytesPerSample, bool aiff, bool bigEndian) {
    uint8_t high, low;
    switch (bytesPerSample) {
    case 1:
        return static_cast<int16_t>(static_cast<int8_t>(aiff ? p[0] : p[0] ^ 0x80) * 256);
    case 2:
        high = bigEndian ? p[0] : p[1], low = bigEndian ? p[1] : p[0];
        break;
    case 3:
        high = bigEndian ? p[0] : p[2], low = p[1];
        break;
    default:
        high = bigEndian ? p[0] : p[3], low = bigEndian ? p[1] : p[2];
        break;
    }
    return static_cast<int16_t>(static_cast<uint16_t>(high << 8 | low));
}

// The byte below the two Reduce keeps, for samples of 3 or 4 bytes: bits 0..7 of the 24 kept.
uint8_t LowByte(const uint8_t* p, uint32_t bytesPerSample, bool bigEndian) {
    if (bytesPerSample == 3)
        return bigEndian ? p[2] : p[0];
    return bigEndian ? p[2] : p[1];
}

// One channel of interleaved data: the 16-bit words, and the low bytes when a sample has more than 16 bits.
void Channel(const ByteVector& data, size_t frames, size_t frameBytes, size_t first, uint32_t bytesPerSample,
             bool aiff, bool bigEndian, FrameBuffer& target) {
    FrameVector words(frames);
    for (size_t i = 0; i < frames; ++i)
        words[i] = Reduce(&data[i * frameBytes + first], bytesPerSample, aiff, bigEndian);
    ByteVector low;
    if (bytesPerSample >= 3) {
        low.resize(frames);
        for (size_t i = 0; i < frames; ++i)
            low[i] = LowByte(&data[i * frameBytes + first], bytesPerSample, bigEndian);
    }
    target.Fill(std::move(words), std::move(low));
}

} // namespace

bool IsReadableAudioFile(const SampleRecord& sample) {
    const bool isFloat = sample.formatTag == kFormatFloat;
    if (sample.channels != 1 && sample.channels != 2)
        return false;
    if (IsG711Format(sample.formatTag))
        return sample.bitsPerSample == 8;
    if (sample.formatTag != kFormatPcm && !isFloat)
        return false;
    const uint32_t bytesPerSample = BytesPerSample(sample.bitsPerSample);
    return isFloat || (bytesPerSample != 0 && bytesPerSample <= 4);
}

void AudioFileSource::Bind(const BankModel& bank, const AttributeList& attributes,
                           const std::string& folder) {
    bank_ = &bank;
    attributes_ = &attributes;
    folder_ = folder;
}

FetchReport AudioFileSource::Fetch(uint32_t index, FramePair target, bool /*withPartner*/) {
    FetchReport report;
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return report;
    const SampleRecord& sample = bank_->SampleTable[index];
    if (!IsReadableAudioFile(sample))
        return report; // other formats and channel counts, among them 0, load nothing
    const bool isFloat = sample.formatTag == kFormatFloat;
    uint32_t bytesPerSample = BytesPerSample(sample.bitsPerSample);

    InputFile file;
    if (!file.Open(EntryFolder(*attributes_, index, folder_, true))) {
        ++report.readErrors;
        report.opened = false;
        return report;
    }
    // As much of the data as the file holds: a truncated file gives the frames it has.
    const uint64_t available = sample.dataOffset < file.Size() ? file.Size() - sample.dataOffset : 0;
    ByteVector data(static_cast<size_t>(std::min<uint64_t>(sample.dataLength, available)));
    size_t n = file.ReadAt(sample.dataOffset, data.data(), data.size());
    if (file.ReadFailed())
        ++report.readErrors;
    if (n == 0)
        return report;

    const bool g711 = IsG711Format(sample.formatTag);
    if (isFloat) {
        n = ConvertFloats(data, n, sample.blockAlign / sample.channels);
        bytesPerSample = 4;
    } else if (g711) {
        n = ExpandG711(data, n, sample.formatTag);
        bytesPerSample = 2;
    }
    // Expanded G.711 samples are little-endian 16-bit words, whichever file they came from.
    const bool aiff = IsAiffKind(sample.fileKind) && !g711;
    const bool bigEndian = sample.fileKind == kAiffFileKind && !g711;
    // A WAVE may keep its samples in containers wider than their bits (24 bits in 4 bytes, as ALSA records
    // them): the block align gives the container, the sample sits in its low bytes.
    size_t containerBytes = bytesPerSample;
    const size_t alignedBytes = sample.blockAlign / sample.channels;
    if (!aiff && !isFloat && !g711 && sample.blockAlign % sample.channels == 0 &&
        alignedBytes > bytesPerSample && alignedBytes <= 4)
        containerBytes = alignedBytes;
    const size_t frameBytes = containerBytes * sample.channels;
    const size_t frames = n / frameBytes;
    if (sample.channels == 2)
        Channel(data, frames, frameBytes, containerBytes, bytesPerSample, aiff, bigEndian, target.right);
    Channel(data, frames, frameBytes, 0, bytesPerSample, aiff, bigEndian, target.left);
    return report;
}

} // namespace quorvane
