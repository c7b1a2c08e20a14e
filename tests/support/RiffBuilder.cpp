#include "support/RiffBuilder.h"

#include <cstring>

namespace quorvane::test {

void PutU8(Bytes& out, uint8_t value) {
    out.push_back(value);
}

void PutU16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutFourCC(Bytes& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

void PutFixedName(Bytes& out, const std::string& name, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}

void PatchU32(Bytes& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const Bytes& in, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(in.at(offset + i)) << (8 * i);
    return value;
}

size_t RiffWriter::Open(const char* id, const char* listType) {
    const size_t header = bytes.size();
    PutFourCC(bytes, id);
    PutU32(bytes, 0);
    if (listType != nullptr)
        PutFourCC(bytes, listType);
    const bool list = listType != nullptr && std::memcmp(id, "LIST", 4) == 0;
    openNames_[header] = std::string(list ? listType : id, 4);
    return header;
}

void RiffWriter::Close(size_t header) {
    const auto size = static_cast<uint32_t>(bytes.size() - header - 8);
    PatchU32(bytes, header + 4, size);
    places.emplace(openNames_[header], ChunkPlace{header, size});
    openNames_.erase(header);
}

void RiffWriter::Chunk(const char* id, const Bytes& data) {
    const size_t header = Open(id);
    bytes.insert(bytes.end(), data.begin(), data.end());
    Close(header);
}

Bytes Form(const char* formType, const std::vector<std::pair<std::string, Bytes>>& chunks) {
    RiffWriter riff;
    const size_t form = riff.Open("RIFF", formType);
    for (const auto& [id, data] : chunks)
        riff.Chunk(id.c_str(), data);
    riff.Close(form);
    return riff.bytes;
}

} // namespace quorvane::test
