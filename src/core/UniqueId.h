// Random 16-byte identifiers (version 4 UUIDs) for the files the program writes.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace quorvane {

using UniqueId = std::array<uint8_t, 16>;

inline UniqueId MakeUniqueId() {
    std::random_device source;
    UniqueId id{};
    for (size_t i = 0; i < id.size(); i += 4) {
        const uint32_t word = source();
        for (size_t k = 0; k < 4; ++k)
            id[i + k] = static_cast<uint8_t>(word >> (8 * k));
    }
    id[6] = static_cast<uint8_t>((id[6] & 0x0F) | 0x40); // version 4
    id[8] = static_cast<uint8_t>((id[8] & 0x3F) | 0x80); // RFC 4122 variant
    return id;
}

} // namespace quorvane
