#include "SparseImage.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace quorvane::fuzz {

namespace {

constexpr uint32_t kCookedSector = 2048;
constexpr uint32_t kRawSector = 2352;
constexpr size_t kZeroRunToSkip = 32;
constexpr size_t kMaxPieceBytes = 0xFFFF;

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t Get(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(p[i]) << (8 * i);
    return value;
}

void WriteAll(int fd, const uint8_t* bytes, size_t count, uint64_t offset) {
    while (count != 0) {
        const ssize_t n = ::pwrite(fd, bytes, count, static_cast<off_t>(offset));
        if (n <= 0)
            throw std::runtime_error("cannot write the disc image");
        bytes += n;
        count -= static_cast<size_t>(n);
        offset += static_cast<uint64_t>(n);
    }
}

// Sync pattern and header of raw sector s (its address in minutes, seconds and frames, then the mode).
void WriteRawHeader(int fd, uint32_t s, uint8_t mode) {
    uint8_t header[16] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    const uint32_t address = s + 150;
    header[12] = static_cast<uint8_t>(address / 4500);
    header[13] = static_cast<uint8_t>(address / 75 % 60);
    header[14] = static_cast<uint8_t>(address % 75);
    header[15] = mode;
    WriteAll(fd, header, sizeof header, uint64_t{s} * kRawSector);
}

} // namespace

std::vector<uint8_t> EncodeSparseImage(uint8_t layout, uint32_t sectors,
                                       const std::vector<ImagePiece>& pieces) {
    std::vector<uint8_t> out{layout};
    Put(out, sectors, 3);
    for (const ImagePiece& piece : pieces) {
        size_t at = 0;
        while (at < piece.bytes.size()) {
            while (at < piece.bytes.size() && piece.bytes[at] == 0)
                ++at;
            // The piece runs until a long run of zeros, or its length field is full.
            size_t end = at, zeros = 0;
            while (end < piece.bytes.size() && end - at < kMaxPieceBytes && zeros < kZeroRunToSkip) {
                zeros = piece.bytes[end] == 0 ? zeros + 1 : 0;
                ++end;
            }
            end -= zeros;
            if (end > at) {
                Put(out, piece.offset + at, 4);
                Put(out, end - at, 2);
                out.insert(out.end(), piece.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           piece.bytes.begin() + static_cast<std::ptrdiff_t>(end));
            }
            at = end + zeros;
        }
    }
    return out;
}

std::string WriteSparseImage(const std::string& folder, const uint8_t* data, size_t size) {
    if (size < 4)
        return {};
    const int layout = data[0] & 3;
    const uint32_t sectors = std::min(Get(data + 1, 3), kMaxImageSectors);
    const bool raw = layout == 1 || layout == 2;
    const uint8_t mode = layout == 2 ? 2 : 1;
    std::string image = folder + (raw ? "disc.bin" : "disc.iso");
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot make " + image);
    const uint64_t cookedSize = uint64_t{sectors} * kCookedSector;
    if (::ftruncate(fd, static_cast<off_t>(raw ? uint64_t{sectors} * kRawSector : cookedSize)) != 0)
        throw std::runtime_error("cannot size " + image);
    if (raw && sectors != 0)
        WriteRawHeader(fd, 0, mode);

    const uint32_t userData = mode == 2 ? 24 : 16;
    size_t at = 4;
    while (at + 6 <= size) {
        const uint64_t offset = Get(data + at, 4);
        const size_t length = std::min<size_t>(Get(data + at + 4, 2), size - at - 6);
        const uint8_t* bytes = data + at + 6;
        at += 6 + length;
        const size_t kept =
            offset < cookedSize ? static_cast<size_t>(std::min<uint64_t>(length, cookedSize - offset)) : 0;
        if (!raw) {
            WriteAll(fd, bytes, kept, offset);
            continue;
        }
        for (size_t done = 0; done < kept;) {
            const uint64_t position = offset + done;
            const uint32_t s = static_cast<uint32_t>(position / kCookedSector);
            const uint32_t within = static_cast<uint32_t>(position % kCookedSector);
            const size_t count = std::min<size_t>(kept - done, kCookedSector - within);
            WriteRawHeader(fd, s, mode);
            WriteAll(fd, bytes + done, count, uint64_t{s} * kRawSector + userData + within);
            done += count;
        }
    }
    ::close(fd);
    if (layout < 2)
        return image;
    std::string cue = folder + "disc.cue";
    FILE* sheet = std::fopen(cue.c_str(), "w");
    if (sheet == nullptr)
        throw std::runtime_error("cannot make " + cue);
    std::fprintf(sheet, "FILE \"%s\" BINARY\n  TRACK 01 %s\n    INDEX 01 00:00:00\n",
                 raw ? "disc.bin" : "disc.iso", raw ? "MODE2/2352" : "MODE1/2048");
    std::fclose(sheet);
    return cue;
}

} // namespace quorvane::fuzz
