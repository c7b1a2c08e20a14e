// Little-endian records built in memory: a chunk's payload, or a run of chunks written at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct ByteWriter {
    std::vector<uint8_t> bytes;

    size_t Size() const { return bytes.size(); }
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void FourCC(const char* id) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(id[i]));
    }
    void Zeros(size_t count) { bytes.resize(bytes.size() + count, 0); }
    void Bytes(const uint8_t* data, size_t count) { bytes.insert(bytes.end(), data, data + count); }
    // The text in a field of `width` bytes: cut to fit, the rest zeros.
    void Text(const std::string& text, size_t width) {
        for (size_t i = 0; i < width; ++i)
            bytes.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
    // A chunk header: id and size.
    void Chunk(const char* id, uint32_t size) {
        FourCC(id);
        U32(size);
    }
    void List(uint32_t size, const char* type) {
        Chunk("LIST", size);
        FourCC(type);
    }
};

} // namespace quorvane
