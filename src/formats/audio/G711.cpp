#include "formats/audio/G711.h"

namespace quorvane {

int16_t ALawToLinear(uint8_t code) {
    // Every other bit is stored inverted; after undoing that the top bit set means a positive value.
    const unsigned a = code ^ 0x55u;
    const unsigned segment = (a >> 4) & 7;
    const unsigned step = a & 0x0F;
    // The first segment is linear; each later one doubles the step and starts where the one below ends. The
    // value is the middle of the code's interval.
    const int magnitude = segment == 0 ? static_cast<int>(step << 4) + 8
                                       : static_cast<int>((step << 4) + 0x108) << (segment - 1);
    return static_cast<int16_t>((a & 0x80) != 0 ? magnitude : -magnitude);
}

int16_t MuLawToLinear(uint8_t code) {
    // Stored inverted; the top bit set means a negative value. The bias of 132 (33 in 14-bit units) makes
    // every segment a doubling of the one below.
    const unsigned u = ~code & 0xFFu;
    const unsigned segment = (u >> 4) & 7;
    const unsigned step = u & 0x0F;
    const int magnitude = (static_cast<int>((step << 3) + 0x84) << segment) - 0x84;
    return static_cast<int16_t>((u & 0x80) != 0 ? -magnitude : magnitude);
}

} // namespace quorvane
