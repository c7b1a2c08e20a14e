// Little-endian records built in memory: a chunk's payload, or a run of chunks written at once.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quorvane {

struct ByteWriter {
    std::vector<uint8_t> bytes;

    // Most records are small: room for them from the start saves regrowing.
    ByteWriter() { bytes.reserve(256); }

    size_t Size() const { return bytes.size(); }
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) {
        uint8_t* p = Grow(2);
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    }
    void U32(uint32_t v) {
        uint8_t* p = Grow(4);
        for (int i = 0; i < 4; ++i)
            p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void FourCC(const char* id) { std::memcpy(Grow(4), id, 4); }
    void Zeros(size_t count) { bytes.resize(bytes.size() + count, 0); }
    void Bytes(const uint8_t* data, size_t count) {
        if (count > 0)
            std::memcpy(Grow(count), data, count);
    }
    // The text in a field of `width` bytes: cut to fit, the rest zeros.
    void Text(const std::string& text, size_t width) {
        uint8_t* p = Grow(width);
        const size_t length = std::min(text.size(), width);
        if (length > 0)
            std::memcpy(p, text.data(), length);
        std::memset(p + length, 0, width - length);
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

    // Room for count more bytes at the end; where they start.
    uint8_t* Grow(size_t count) {
        const size_t at = bytes.size();
        bytes.resize(at + count);
        return bytes.data() + at;
    }
};

} // namespace quorvane
