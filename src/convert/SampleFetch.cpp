#include "convert/SampleFetch.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "convert/BankLoader.h"
#include "formats/common/InputFile.h"

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

using ByteVector = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

ByteVector ReadSampleBytes(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    return ReadSampleData<ByteVector>(file, sample, readErrors);
}

// 16-bit mono data needs no conversion: it is read straight into the frame buffer.
FrameVector ReadSampleWords(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    return ReadSampleData<FrameVector>(file, sample, readErrors);
}

void Fill(FrameBuffer& buffer, FrameVector&& frames) {
    buffer.length = static_cast<uint32_t>(frames.size() * 2);
    buffer.frames = std::move(frames);
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

struct Target {
    FrameBuffer& left;
    FrameBuffer& right;
};

// One channel as it stands: 8-bit widened, 16-bit read straight into the buffer.
FrameVector ReadWholeChannel(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    if (sample.bitsPerSample == 8)
        return Widen8(ReadSampleBytes(file, sample, readErrors), 0, 1);
    return ReadSampleWords(file, sample, readErrors);
}

// The bank file of the current entry, opened once for the samples read from it, and again when the file
// on disk is no longer the one opened.
InputFile* OpenBankSource(Workspace& workspace) {
    SourceFile& source = workspace.samples.source;
    const int entry = workspace.loader.currentBank;
    const std::string path = EntryPath(workspace, entry < 0 ? 0u : static_cast<uint32_t>(entry));
    if (source.path != path || !source.file.StillAt(path)) {
        source.path.clear();
        if (!source.file.Open(path))
            return nullptr;
        source.path = path;
    }
    return &source.file;
}

// The bank-file path: the sample's data from the open bank file, split or widened to 16-bit channels.
// Returns false when the file cannot be opened.
bool FetchFromBankFile(Workspace& workspace, uint32_t index, Target target, bool readPartner16) {
    const BankModel& bank = workspace.bank;
    const SampleRecord& sample = bank.SampleTable[index];
    if (sample.bitsPerSample != 8 && sample.bitsPerSample != 16)
        return true;
    uint32_t& readErrors = workspace.samples.ScsiReadErrors;
    InputFile* source = OpenBankSource(workspace);
    if (source == nullptr) {
        ++readErrors;
        return false;
    }
    InputFile& file = *source;

    // A half of a split stereo wave is played on its own: its partner is not read.
    const bool linked = (sample.sampleType == 2 || sample.sampleType == 4) && sample.stereoHalf == 0;
    const uint32_t partner = sample.linkIndex - 1u;
    if (linked) {
        Fill(target.left, ReadWholeChannel(file, sample, readErrors));
        // The left buffer always holds the sample asked for, the right one its partner.
        const bool readPartner = sample.bitsPerSample == 8 || readPartner16;
        if (readPartner && target.left.length != 0 && bank.IsValidSample(partner))
            Fill(target.right, ReadWholeChannel(file, bank.SampleTable[partner], readErrors));
        return true;
    }
    if (sample.channels == 1 && sample.stereoHalf == 0) {
        Fill(target.left, ReadWholeChannel(file, sample, readErrors));
        return true;
    }

    const ByteVector bytes = ReadSampleBytes(file, sample, readErrors);
    const bool eightBit = sample.bitsPerSample == 8;
    auto pick = [&](size_t first, size_t step) {
        return eightBit ? Widen8(bytes, first, step) : Words16(bytes, first, step);
    };
    if (sample.channels == 1) {
        // One channel of an interleaved stereo wave.
        Fill(target.left, pick(sample.stereoHalf == 1 ? 0 : 1, 2));
    } else if (sample.channels == 2 || !eightBit) {
        Fill(target.left, pick(0, 2));
        Fill(target.right, pick(1, 2));
    }
    return true;
}

} // namespace

std::optional<StoredFrames> StoredExportFrames(Workspace& workspace, uint32_t index) {
    const BankModel& bank = workspace.bank;
    if (!bank.IsValidSample(index) ||
        (bank.SourceFormat != kSoundFontSource && bank.SourceFormat != kDlsSource))
        return std::nullopt;
    const SampleRecord& sample = bank.SampleTable[index];
    const bool linked = (sample.sampleType == 2 || sample.sampleType == 4) && sample.stereoHalf == 0;
    if (sample.bitsPerSample != 16 || sample.stereoHalf != 0 || (!linked && sample.channels != 1))
        return std::nullopt;
    StoredFrames stored;
    stored.file = OpenBankSource(workspace);
    uint32_t& readErrors = workspace.samples.ScsiReadErrors;
    if (stored.file == nullptr) {
        ++readErrors;
        return stored;
    }
    if (sample.dataOffset == 0 || sample.dataLength < 2)
        return stored;
    const uint64_t size = stored.file->Size();
    if (sample.dataOffset >= size || sample.dataLength > size - sample.dataOffset) {
        ++readErrors;
        return stored;
    }
    stored.offset = sample.dataOffset;
    stored.length = sample.dataLength & ~1u;
    return stored;
}

void LoadSampleForPlay(Workspace& workspace, uint32_t index) {
    SampleBuffers& buffers = workspace.samples;
    buffers.PlayLeft.Free();
    buffers.PlayRight.Free();
    if (!workspace.bank.IsValidSample(index))
        return;
    switch (workspace.bank.SourceFormat) {
    case kSoundFontSource:
    case kDlsSource:
        if (!FetchFromBankFile(workspace, index, {buffers.PlayLeft, buffers.PlayRight}, true))
            workspace.host.SetTitle(kUnableToOpenForPlay);
        break;
    case kAudioFileSource:
        LoadAudioFileSample(workspace, index, FetchTarget::Play);
        break;
    default:
        break; // Akai sources come with their reader
    }
}

void LoadSampleForExport(Workspace& workspace, uint32_t index, bool skipPartner) {
    SampleBuffers& buffers = workspace.samples;
    // The export buffers belong to the writer once filled: a fetch starts with fresh ones.
    buffers.ExportLeft = FrameBuffer{};
    buffers.ExportRight = FrameBuffer{};
    buffers.ExportAllocatedLeft = buffers.ExportAllocatedRight = 0;
    if (!workspace.bank.IsValidSample(index))
        return;
    switch (workspace.bank.SourceFormat) {
    case kSoundFontSource:
    case kDlsSource:
        FetchFromBankFile(workspace, index, {buffers.ExportLeft, buffers.ExportRight}, !skipPartner);
        break;
    case kAudioFileSource:
        LoadAudioFileSample(workspace, index, FetchTarget::Export);
        break;
    default:
        break;
    }
    buffers.ExportAllocatedLeft = buffers.ExportLeft.length != 0;
    buffers.ExportAllocatedRight = buffers.ExportRight.length != 0;
}

} // namespace quorvane
