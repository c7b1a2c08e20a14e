// The one place that reads chunk headers out of an in-memory image of a RIFF file. Each header read is held
// against the image's size; the data a chunk claims is clipped to what the image really holds, so a format
// reader never addresses a byte past the end, whatever the sizes in the file say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

struct ChunkHeader {
    uint64_t offset = 0;    // where the 8-byte header starts in the image
    char id[5] = {};        // zero-terminated four-character code
    uint32_t size = 0;      // size as the file states it
    uint64_t available = 0; // bytes of data the image really holds for it (<= size)
    char listType[5] = {};  // the four bytes after the header, when there are four

    uint64_t DataOffset() const { return offset + 8; }
    uint64_t Next() const { return offset + 8 + static_cast<uint64_t>(size); }
    bool Is(const char* fourCC) const;
    bool IsList(const char* type) const;
    // Whole records of recordSize that fit in the bytes available.
    uint32_t RecordsAvailable(uint32_t recordSize) const {
        return static_cast<uint32_t>(available / recordSize);
    }
};

class ChunkImage {
  public:
    ChunkImage(const uint8_t* data, uint64_t size) : data_(data), size_(size) {}

    uint64_t Size() const { return size_; }
    const uint8_t* Data() const { return data_; }
    // The header at offset, or nothing when fewer than 8 bytes remain there.
    std::optional<ChunkHeader> HeaderAt(uint64_t offset) const;
    // Pointer to count bytes at offset, or nullptr when they are not all inside the image.
    const uint8_t* Bytes(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset ? data_ + offset : nullptr;
    }

  private:
    const uint8_t* data_;
    uint64_t size_;
};

// Field access to a chunk's payload, held to the bytes the image has for it: a field past them reads as 0.
struct ChunkPayload {
    const uint8_t* data;
    uint64_t length;

    ChunkPayload(const ChunkImage& image, const ChunkHeader& chunk)
        : data(image.Bytes(chunk.DataOffset(), chunk.available)), length(data ? chunk.available : 0) {}
    bool Has(uint64_t offset, uint64_t width) const { return offset + width <= length; }
    uint8_t U8(uint64_t offset) const { return Has(offset, 1) ? data[offset] : 0; }
    uint16_t U16(uint64_t offset) const;
    uint32_t U32(uint64_t offset) const;
};

} // namespace quorvane
