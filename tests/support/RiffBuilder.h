// Byte-level RIFF writing for test fixtures: little-endian fields, fixed-width names, and chunks whose size
// is patched when they are closed. No pad byte is ever added: a fixture that wants one writes it, so that
// odd-sized chunks can be made on purpose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quorvane::test {

using Bytes = std::vector<uint8_t>;

void PutU8(Bytes& out, uint8_t value);
void PutU16(Bytes& out, uint16_t value);
void PutU32(Bytes& out, uint32_t value);
void PutFourCC(Bytes& out, const char* id);
// The name cut or zero-filled to exactly width bytes.
void PutFixedName(Bytes& out, const std::string& name, size_t width);
void PatchU32(Bytes& out, size_t offset, uint32_t value);
uint32_t GetU32(const Bytes& in, size_t offset);

// Where a chunk landed in the output: offset of its 8-byte header and its size as written.
struct ChunkPlace {
    size_t offset = 0;
    uint32_t size = 0;
};

class RiffWriter {
  public:
    // Starts a chunk (a list or form when listType is given) and returns its header offset. A LIST is
    // recorded in places under its list type, any other chunk under its id; the first of a name is kept.
    size_t Open(const char* id, const char* listType = nullptr);
    // Patches the size of the chunk opened at header to cover everything written since.
    void Close(size_t header);
    // A whole chunk: header and data.
    void Chunk(const char* id, const Bytes& data);

    Bytes bytes;
    std::map<std::string, ChunkPlace> places;

  private:
    std::map<size_t, std::string> openNames_;
};

// A RIFF form holding the given chunks, e.g. Form("DLS ", ...) for a file the SoundFont chain must refuse.
Bytes Form(const char* formType, const std::vector<std::pair<std::string, Bytes>>& chunks);

} // namespace quorvane::test
