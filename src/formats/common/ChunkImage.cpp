#include "formats/common/ChunkImage.h"

#include <algorithm>
#include <cstring>

#include "formats/common/Bytes.h"

namespace quorvane {

bool ChunkHeader::Is(const char* fourCC) const {
    return std::memcmp(id, fourCC, 4) == 0;
}

bool ChunkHeader::IsList(const char* type) const {
    return (Is("LIST") || Is("RIFF")) && std::memcmp(listType, type, 4) == 0;
}

std::optional<ChunkHeader> ChunkImage::HeaderAt(uint64_t offset) const {
    const uint8_t* header = Bytes(offset, 8);
    if (header == nullptr)
        return std::nullopt;
    ChunkHeader chunk;
    chunk.offset = offset;
    std::memcpy(chunk.id, header, 4);
    chunk.size = ReadU32LE(header + 4);
    chunk.available = std::min<uint64_t>(chunk.size, size_ - offset - 8);
    if (const uint8_t* type = Bytes(offset + 8, 4))
        std::memcpy(chunk.listType, type, 4);
    return chunk;
}

uint16_t ChunkPayload::U16(uint64_t offset) const {
    return Has(offset, 2) ? ReadU16LE(data + offset) : 0;
}
uint32_t ChunkPayload::U32(uint64_t offset) const {
    return Has(offset, 4) ? ReadU32LE(data + offset) : 0;
}

} // namespace quorvane
