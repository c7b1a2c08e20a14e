#include "formats/audio/AudioChunks.h"

#include <algorithm>
#include <cstring>

#include "formats/common/Bytes.h"

namespace quorvane {

bool AudioChunk::Is(const char* fourCC) const {
    return std::memcmp(id, fourCC, 4) == 0;
}

bool AudioChunkWalker::LooksLikeChunkId(uint64_t offset) {
    uint8_t id[4];
    if (file_.ReadAt(offset, id, 4) != 4)
        return false;
    return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

uint64_t AudioChunkWalker::Following(const AudioChunk& chunk) {
    const uint64_t unpadded = chunk.BodyOffset() + chunk.size;
    if ((chunk.size & 1) == 0)
        return unpadded;
    const uint64_t padded = unpadded + 1;
    if (!LooksLikeChunkId(padded) && LooksLikeChunkId(unpadded))
        return unpadded;
    return padded;
}

bool AudioChunkWalker::Next(AudioChunk& chunk) {
    uint8_t header[8];
    if (position_ >= file_.Size() || file_.ReadAt(position_, header, 8) != 8)
        return false;
    std::memcpy(chunk.id, header, 4);
    chunk.id[4] = 0;
    chunk.position = position_;
    chunk.size = bigEndian_ ? ReadU32BE(header + 4) : ReadU32LE(header + 4);
    // Sizes are 32-bit and positions 64-bit: the next position always lies beyond this one, and a size
    // past the end of the file ends the walk at the next read.
    position_ = Following(chunk);
    return true;
}

size_t AudioChunkWalker::ReadBody(const AudioChunk& chunk, void* buffer, size_t count) {
    const size_t wanted = std::min<size_t>(count, chunk.size);
    return file_.ReadAt(chunk.BodyOffset(), buffer, wanted);
}

} // namespace quorvane
