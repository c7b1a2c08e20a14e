#include "formats/common/SndfileMemory.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

namespace {

GrowingBytes& Of(void* user) {
    return *static_cast<GrowingBytes*>(user);
}

sf_count_t Length(void* user) {
    return static_cast<sf_count_t>(Of(user).bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    GrowingBytes& g = Of(user);
    const auto size = static_cast<sf_count_t>(g.bytes.size());
    const sf_count_t base = whence == SEEK_CUR ? g.position : whence == SEEK_END ? size : 0;
    if (base + offset < 0)
        return -1;
    g.position = base + offset;
    return g.position;
}

sf_count_t Read(void* buffer, sf_count_t count, void* user) {
    GrowingBytes& g = Of(user);
    const sf_count_t n =
        std::clamp<sf_count_t>(static_cast<sf_count_t>(g.bytes.size()) - g.position, 0, count);
    std::memcpy(buffer, g.bytes.data() + g.position, static_cast<size_t>(n));
    g.position += n;
    return n;
}

sf_count_t Write(const void* buffer, sf_count_t count, void* user) {
    GrowingBytes& g = Of(user);
    const auto end = static_cast<size_t>(g.position + count);
    if (end > g.bytes.size())
        g.bytes.resize(end);
    std::memcpy(g.bytes.data() + g.position, buffer, static_cast<size_t>(count));
    g.position += count;
    return count;
}

sf_count_t Tell(void* user) {
    return Of(user).position;
}

} // namespace

SF_VIRTUAL_IO GrowingBytesIo() {
    return SF_VIRTUAL_IO{Length, Seek, Read, Write, Tell};
}

} // namespace quorvane
