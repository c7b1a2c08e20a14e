// DLS and GigaSampler banks (RIFF form "DLS ") are read from an image of the file without its wave data:
// everything before the wave pool sits at its file offset; inside and after the pool, "data" chunks keep
// only their 8-byte header, so a bank of hundreds of megabytes costs only its header chunks in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/common/ChunkImage.h"
#include "formats/common/InputFile.h"
#include "formats/common/ReadNotes.h"
#include "model/BankModel.h"

namespace quorvane {

constexpr size_t kMaxSampleGroups = 256;
constexpr size_t kDlsNameLength = 32;

struct DlsState {
    uint64_t BankFileSize = 0;
    // Offsets of the "LIST wvpl", "LIST 3gri" and "LIST lins" chunks; 0 when absent. They lie before or at
    // the wave pool, where image and file offsets are the same.
    uint32_t WavePoolOffset = 0;
    uint32_t SampleGroupListOffset = 0;
    uint32_t InstrumentListOffset = 0;
    std::vector<std::string> SampleGroupNames; // at most 256, in file order
};

// Builds BankImage from the open file and notes where the three main lists start.
void BuildDlsImage(BankModel& bank, DlsState& dls, InputFile& file, ReadNotes& notes);

// One step of a walk over the image: "LIST" chunks are entered, "data" chunks are stepped over in the file
// but occupy only their header in the image, all others are stepped over whole; sizes round up to even.
class DlsWalker {
  public:
    DlsWalker(const BankModel& bank, uint64_t start)
        : image_(bank.BankImage.data(), bank.BankImageSize), imagePosition_(start), filePosition_(start) {}

    // The chunk at the current position, or nothing when its header is not inside the image.
    std::optional<ChunkHeader> Current() const { return image_.HeaderAt(imagePosition_); }
    void Advance(const ChunkHeader& chunk);
    uint64_t ImagePosition() const { return imagePosition_; }
    uint64_t FilePosition() const { return filePosition_; }
    const ChunkImage& Image() const { return image_; }

  private:
    ChunkImage image_;
    uint64_t imagePosition_;
    uint64_t filePosition_;
};

inline uint64_t EvenSize(uint32_t size) {
    return (static_cast<uint64_t>(size) + 1) & ~uint64_t{1};
}

// Reads a zero-terminated text of at most maxLength bytes from a payload.
std::string PayloadText(const ChunkImage& image, const ChunkHeader& chunk, size_t maxLength);

} // namespace quorvane
