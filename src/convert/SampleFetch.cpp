#include "convert/SampleFetch.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "convert/BankLoader.h"
#include "formats/common/InputFile.h"

namespace quorvane {

namespace {

static_assert(std::endian::native == std::endian::little, "sample words are used as read: little-endian only");

// The bytes of a sample's data; a sample without data gives nothing. A range the file does not hold (a
// truncated or damaged bank) counts as a failed read and gives nothing either, rather than part of a
// sample padded with whatever follows.
std::vector<uint8_t> ReadSampleBytes(InputFile& file, const SampleRecord& sample, uint32_t& readErrors) {
    if (sample.dataOffset == 0 || sample.dataLength == 0)
        return {};
    if (sample.dataOffset >= file.Size() || sample.dataLength > file.Size() - sample.dataOffset) {
        ++readErrors;
        return {};
    }
    std::vector<uint8_t> bytes(sample.dataLength);
    if (file.ReadAt(sample.dataOffset, bytes.data(), bytes.size()) != bytes.size()) {
        ++readErrors;
        return {};
    }
    return bytes;
}

void Fill(FrameBuffer& buffer, std::vector<int16_t>&& frames) {
    buffer.length = static_cast<uint32_t>(frames.size() * 2);
    buffer.frames = std::move(frames);
}

int16_t FromUnsigned8(uint8_t b) { return static_cast<int16_t>((b - 128) * 256); }

// Every `step`-th byte from `first` on, unsigned 8-bit with 128 as silence, widened to 16 bits.
std::vector<int16_t> Widen8(const std::vector<uint8_t>& bytes, size_t first, size_t step) {
    std::vector<int16_t> frames;
    frames.reserve(bytes.size() / step + 1);
    for (size_t i = first; i + (step - 1 - first) < bytes.size(); i += step)
        frames.push_back(FromUnsigned8(bytes[i]));
    return frames;
}

// Every `step`-th 16-bit word from `first` on.
std::vector<int16_t> Words16(const std::vector<uint8_t>& bytes, size_t first, size_t step) {
    const size_t words = bytes.size() / 2;
    std::vector<int16_t> frames;
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

// Reads the partner of a linked sample into the right buffer, 8-bit widened, 16-bit as it stands.
void ReadPartner(const BankModel& bank, InputFile& file, const SampleRecord& sample, FrameBuffer& right,
                 uint32_t& readErrors) {
    const uint32_t partner = sample.linkIndex - 1u;
    if (!bank.IsValidSample(partner))
        return;
    const SampleRecord& other = bank.SampleTable[partner];
    const std::vector<uint8_t> bytes = ReadSampleBytes(file, other, readErrors);
    Fill(right, sample.bitsPerSample == 8 ? Widen8(bytes, 0, 1) : Words16(bytes, 0, 1));
}

// The bank-file path: the sample's bytes from the open bank file, split or widened to 16-bit channels.
// Returns false when the file cannot be opened.
bool FetchFromBankFile(Workspace& workspace, uint32_t index, Target target, bool readPartner16) {
    const BankModel& bank = workspace.bank;
    const SampleRecord& sample = bank.SampleTable[index];
    if (sample.bitsPerSample != 8 && sample.bitsPerSample != 16)
        return true;
    uint32_t& readErrors = workspace.samples.ScsiReadErrors;
    const int entry = workspace.loader.currentBank;
    InputFile file;
    if (!file.Open(EntryPath(workspace, entry < 0 ? 0u : static_cast<uint32_t>(entry)))) {
        ++readErrors;
        return false;
    }
    const std::vector<uint8_t> bytes = ReadSampleBytes(file, sample, readErrors);
    if (bytes.empty())
        return true;

    // A half of a split stereo wave is played on its own: its partner is not read.
    const bool linked = (sample.sampleType == 2 || sample.sampleType == 4) && sample.stereoHalf == 0;
    if (sample.bitsPerSample == 8) {
        if (linked) {
            Fill(target.left, Widen8(bytes, 0, 1));
            ReadPartner(bank, file, sample, target.right, readErrors);
        } else if (sample.channels == 1) {
            if (sample.stereoHalf == 0)
                Fill(target.left, Widen8(bytes, 0, 1));
            else
                Fill(target.left, Widen8(bytes, sample.stereoHalf == 1 ? 0 : 1, 2));
        } else if (sample.channels == 2) {
            Fill(target.left, Widen8(bytes, 0, 2));
            Fill(target.right, Widen8(bytes, 1, 2));
        }
        return true;
    }

    if (linked) {
        Fill(target.left, Words16(bytes, 0, 1));
        if (readPartner16)
            ReadPartner(bank, file, sample, target.right, readErrors);
    } else if (sample.channels != 1) {
        Fill(target.left, Words16(bytes, 0, 2));
        Fill(target.right, Words16(bytes, 1, 2));
    } else if (sample.stereoHalf == 0) {
        Fill(target.left, Words16(bytes, 0, 1));
    } else {
        Fill(target.left, Words16(bytes, sample.stereoHalf == 1 ? 0 : 1, 2));
    }
    return true;
}

} // namespace

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
    default: break; // audio-file and Akai sources come with their readers
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
    default: break;
    }
    buffers.ExportAllocatedLeft = buffers.ExportLeft.length != 0;
    buffers.ExportAllocatedRight = buffers.ExportRight.length != 0;
}

} // namespace quorvane
