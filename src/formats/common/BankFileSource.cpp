#include "formats/common/BankFileSource.h"

#include <bit>
#include <cstring>

#include "formats/common/OggVorbis.h"

namespace quorvane {

namespace {

static_assert(std::endian::native == std::endian::little,
              "sample words are used as read: little-endian only");

// The bytes of a sample's data; a sample without data gives nothing. A range the file does not hold (a
// truncated or damaged bank) counts as a failed read and gives nothing either, rather than part of a
// sample padded with whatever follows.
template <typename Buffer>
Buffer ReadSampleData(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    using Element = typename Buffer::value_type;
    if (sample.dataOffset == 0 || sample.dataLength == 0)
        return {};
    if (sample.dataOffset >= file.Size() || sample.dataLength > file.Size() - sample.dataOffset) {
        ++readErrors;
        return {};
    }
    Buffer data(sample.dataLength / sizeof(Element));
    const size_t bytes = data.size() * sizeof(Element);
    if (file.ReadAt(sample.dataOffset, data.data(), bytes) != bytes) {
        ++readErrors;
        return {};
    }
    return data;
}

int16_t FromUnsigned8(uint8_t b) {
    return static_cast<int16_t>((b - 128) * 256);
}

// Every `step`-th byte from `first` on, unsigned 8-bit with 128 as silence, widened to 16 bits.
FrameVector Widen8(const ByteVector& bytes, size_t first, size_t step) {
    FrameVector frames;
    frames.reserve(bytes.size() / step + 1);
    for (size_t i = first; i + (step - 1 - first) < bytes.size(); i += step)
        frames.push_back(FromUnsigned8(bytes[i]));
    return frames;
}

// Every `step`-th 16-bit word from `first` on.
FrameVector Words16(const ByteVector& bytes, size_t first, size_t step) {
    const size_t words = bytes.size() / 2;
    FrameVector frames;
    frames.reserve(words / step + 1);
    for (size_t i = first; i + (step - 1 - first) < words; i += step) {
        int16_t word;
        std::memcpy(&word, bytes.data() + i * 2, 2);
        frames.push_back(word);
    }
    return frames;
}

// An Ogg Vorbis sample decoded whole; a stream that cannot be read or decoded counts as a failed read.
FrameVector DecodeChannel(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    FrameVector frames;
    if (sample.dataOffset == 0 || sample.encodedLength == 0)
        return frames;
    if (sample.dataOffset >= file.Size() || sample.encodedLength > file.Size() - sample.dataOffset) {
        ++readErrors;
        return frames;
    }
    ByteVector stream(sample.encodedLength);
    if (file.ReadAt(sample.dataOffset, stream.data(), stream.size()) != stream.size() ||
        !DecodeOggVorbis(stream.data(), stream.size(), sample.dataLength / 2, frames, nullptr)) {
        ++readErrors;
        return {};
    }
    return frames;
}

// The low bytes of a 24-bit SoundFont sample, one per frame; a range the file does not hold counts as a
// failed read and gives none, leaving the 16-bit words.
ByteVector ReadLowBytes(InputFile& file, const SampleRecord& sample, size_t frames, uint32_t& readErrors) {
    ByteVector low;
    if (sample.lowByteOffset == 0 || frames == 0)
        return low;
    low.resize(frames);
    if (file.ReadAt(sample.lowByteOffset, low.data(), frames) != frames) {
        ++readErrors;
        return {};
    }
    return low;
}

// One channel as it stands: 8-bit widened, 16-bit read straight into the buffer with the low bytes of a
// 24-bit sample beside it, Ogg Vorbis decoded.
void ReadWholeChannel(InputFile& file, const SampleRecord& sample, uint32_t& readErrors,
                      FrameBuffer& target) {
    if (sample.encoding == SampleEncoding::OggVorbis)
        return target.Fill(DecodeChannel(file, sample, readErrors));
    if (sample.bitsPerSample == 8)
        return target.Fill(Widen8(ReadSampleData<ByteVector>(file, sample, readErrors), 0, 1));
    FrameVector words = ReadSampleData<FrameVector>(file, sample, readErrors);
    ByteVector low = ReadLowBytes(file, sample, words.size(), readErrors);
    target.Fill(std::move(words), std::move(low));
}

// A linked half of a pair kept as two records, rather than one channel of an interleaved wave.
bool IsLinkedHalf(const SampleRecord& sample) {
    return (sample.sampleType == 2 || sample.sampleType == 4) && sample.stereoHalf == 0;
}

} // namespace

void BankFileSource::Bind(const BankModel& bank, const std::string& path) {
    bank_ = &bank;
    path_ = path;
}

InputFile* BankFileSource::Open() {
    if (openPath_ != path_ || !file_.StillAt(path_)) {
        openPath_.clear();
        if (!file_.Open(path_))
            return nullptr;
        openPath_ = path_;
    }
    return &file_;
}

FetchReport BankFileSource::Fetch(uint32_t index, FramePair target, bool withPartner) {
    FetchReport report;
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return report;
    const BankModel& bank = *bank_;
    const SampleRecord& sample = bank.SampleTable[index];
    if (sample.bitsPerSample != 8 && sample.bitsPerSample != 16)
        return report;
    InputFile* source = Open();
    if (source == nullptr) {
        ++report.readErrors;
        report.opened = false;
        return report;
    }
    InputFile& file = *source;
    uint32_t& readErrors = report.readErrors;

    const uint32_t partner = sample.linkIndex - 1u;
    if (IsLinkedHalf(sample)) {
        ReadWholeChannel(file, sample, readErrors, target.left);
        // 8-bit halves always bring their partner: they are widened together.
        const bool readPartner = sample.bitsPerSample == 8 || withPartner;
        if (readPartner && target.left.length != 0 && bank.IsValidSample(partner))
            ReadWholeChannel(file, bank.SampleTable[partner], readErrors, target.right);
        return report;
    }
    if (sample.channels == 1 && sample.stereoHalf == 0) {
        ReadWholeChannel(file, sample, readErrors, target.left);
        return report;
    }

    const ByteVector bytes = ReadSampleData<ByteVector>(file, sample, readErrors);
    const bool eightBit = sample.bitsPerSample == 8;
    auto pick = [&](size_t first, size_t step) {
        return eightBit ? Widen8(bytes, first, step) : Words16(bytes, first, step);
    };
    if (sample.channels == 1) {
        // One channel of an interleaved stereo wave.
        target.left.Fill(pick(sample.stereoHalf == 1 ? 0 : 1, 2));
    } else if (sample.channels == 2 || !eightBit) {
        target.left.Fill(pick(0, 2));
        target.right.Fill(pick(1, 2));
    }
    return report;
}

std::optional<StoredFrames> BankFileSource::Stored(uint32_t index) {
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return std::nullopt;
    const SampleRecord& sample = bank_->SampleTable[index];
    if (sample.encoding != SampleEncoding::Pcm || SampleBits(sample) != 16 || sample.stereoHalf != 0 ||
        (!IsLinkedHalf(sample) && sample.channels != 1))
        return std::nullopt;
    StoredFrames stored;
    stored.file = Open();
    if (stored.file == nullptr) {
        ++stored.readErrors;
        return stored;
    }
    if (sample.dataOffset == 0 || sample.dataLength < 2)
        return stored;
    const uint64_t size = stored.file->Size();
    if (sample.dataOffset >= size || sample.dataLength > size - sample.dataOffset) {
        ++stored.readErrors;
        return stored;
    }
    stored.offset = sample.dataOffset;
    stored.length = sample.dataLength & ~1u;
    return stored;
}

std::optional<StoredFrames> BankFileSource::StoredOggVorbis(uint32_t index) {
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return std::nullopt;
    const SampleRecord& sample = bank_->SampleTable[index];
    if (sample.encoding != SampleEncoding::OggVorbis || sample.dataOffset == 0 || sample.encodedLength == 0)
        return std::nullopt;
    StoredFrames stored;
    stored.file = Open();
    if (stored.file == nullptr || sample.dataOffset >= stored.file->Size() ||
        sample.encodedLength > stored.file->Size() - sample.dataOffset) {
        ++stored.readErrors;
        return stored;
    }
    stored.offset = sample.dataOffset;
    stored.length = sample.encodedLength;
    return stored;
}

} // namespace quorvane
