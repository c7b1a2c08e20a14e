// The chunk walk shared by the WAVE and AIFF header readers. It owns the bounds: a chunk's body is read only
// within the size the chunk declares and the bytes the file holds, and the walk always moves forward, so a
// damaged or hostile file ends the walk instead of looping or reading outside its data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/common/InputFile.h"

namespace quorvane {

struct AudioChunk {
    char id[5] = {};       // four characters and a terminating zero
    uint64_t position = 0; // offset of the 8-byte header
    uint32_t size = 0;     // size as declared, trusted only as far as the file holds bytes
    uint64_t BodyOffset() const { return position + 8; }
    bool Is(const char* fourCC) const;
};

class AudioChunkWalker {
  public:
    // Walks the chunks from offset 12 (after "RIFF"/"FORM", the size and the form type).
    AudioChunkWalker(InputFile& file, bool bigEndian) : file_(file), bigEndian_(bigEndian) {}

    // The next chunk header; false when fewer than 8 header bytes remain.
    bool Next(AudioChunk& chunk);
    // Reads up to count bytes of the chunk's body, never past its declared size or the end of the file;
    // returns the number read.
    size_t ReadBody(const AudioChunk& chunk, void* buffer, size_t count);

  private:
    // Where the chunk after `chunk` starts: an odd-sized chunk is followed by a pad byte, except in files
    // whose writer left it out, which are recognised by a chunk id right after the body.
    uint64_t Following(const AudioChunk& chunk);
    bool LooksLikeChunkId(uint64_t offset);

    InputFile& file_;
    bool bigEndian_;
    uint64_t position_ = 12;
};

} // namespace quorvane
