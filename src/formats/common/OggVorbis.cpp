#include "formats/common/OggVorbis.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <sndfile.h>

#include "formats/common/SndfileMemory.h"

namespace quorvane {

namespace {

// libsndfile reads the stream from memory through these callbacks; `Memory` is the cursor.
struct Memory {
    const uint8_t* data;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t MemoryLength(void* user) {
    return static_cast<Memory*>(user)->size;
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
    Memory& m = *static_cast<Memory*>(user);
    sf_count_t base = whence == SEEK_CUR ? m.position : whence == SEEK_END ? m.size : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || target > m.size)
        return -1;
    m.position = target;
    return m.position;
}

sf_count_t MemoryRead(void* buffer, sf_count_t count, void* user) {
    Memory& m = *static_cast<Memory*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(m.size - m.position, 0, count);
    std::memcpy(buffer, m.data + m.position, static_cast<size_t>(n));
    m.position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t MemoryTell(void* user) {
    return static_cast<Memory*>(user)->position;
}

// An Ogg page header: capture pattern, version 0, header type, then the 64-bit granule position.
constexpr size_t kPageHeaderBytes = 27;

} // namespace

std::optional<uint64_t> OggFrameCount(const uint8_t* tail, size_t size) {
    if (size < kPageHeaderBytes)
        return std::nullopt;
    for (size_t at = size - kPageHeaderBytes + 1; at-- > 0;) {
        if (std::memcmp(tail + at, "OggS", 4) != 0 || tail[at + 4] != 0)
            continue;
        uint64_t granule = 0;
        for (int i = 7; i >= 0; --i)
            granule = granule << 8 | tail[at + 6 + i];
        // All ones marks a page on which no packet ends; an earlier page has the position.
        if (granule != UINT64_MAX)
            return granule;
    }
    return std::nullopt;
}

bool DecodeOggVorbis(const uint8_t* data, size_t size, uint64_t maxFrames, FrameVector& left,
                     FrameVector* right) {
    Memory memory{data, static_cast<sf_count_t>(size), 0};
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (file == nullptr)
        return false;
    const int channels = info.channels;
    if (channels < 1 || (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_VORBIS) {
        sf_close(file);
        return false;
    }
    // Vorbis decodes to floating point; a peak past full scale is clipped rather than wrapped round.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Decoded a block at a time, so memory holds the frames kept and one block more, whatever the
    // stream's own length field says.
    constexpr sf_count_t kBlockFrames = 4096;
    std::vector<short> block(static_cast<size_t>(kBlockFrames * channels));
    left.clear();
    if (right != nullptr)
        right->clear();
    const bool wantRight = right != nullptr && channels > 1;
    uint64_t kept = 0;
    while (kept < maxFrames) {
        const sf_count_t got = sf_readf_short(file, block.data(), kBlockFrames);
        if (got <= 0)
            break;
        const uint64_t take = std::min<uint64_t>(static_cast<uint64_t>(got), maxFrames - kept);
        for (uint64_t f = 0; f < take; ++f) {
            left.push_back(block[f * channels]);
            if (wantRight)
                right->push_back(block[f * channels + 1]);
        }
        kept += take;
    }
    const bool failed = sf_error(file) != SF_ERR_NO_ERROR;
    sf_close(file);
    return !failed;
}

bool EncodeOggVorbis(const int16_t* frames, size_t count, uint32_t sampleRate, double quality,
                     std::vector<uint8_t>& stream) {
    stream.clear();
    if (count == 0 || sampleRate == 0 || sampleRate > INT32_MAX)
        return false;
    GrowingBytes growing{stream, 0};
    SF_VIRTUAL_IO io = GrowingBytesIo();
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &growing);
    if (file == nullptr)
        return false;
    double level = std::clamp(quality, 0.0, 1.0);
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &level, sizeof level);
    const auto frameCount = static_cast<sf_count_t>(count);
    const bool wrote = sf_writef_short(file, frames, frameCount) == frameCount;
    const bool closed = sf_close(file) == 0;
    if (!wrote || !closed)
        stream.clear();
    return wrote && closed && !stream.empty();
}

} // namespace quorvane
