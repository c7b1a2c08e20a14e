// Files that libsndfile writes into memory: the bytes grow in a vector, and libsndfile may seek back and
// write over what it wrote (a header's sizes, patched at the end).
#pragma once

#include <cstdint>
#include <vector>

#include <sndfile.h>

namespace quorvane {

struct GrowingBytes {
    std::vector<uint8_t>& bytes;
    sf_count_t position;
};

// The callbacks of sf_open_virtual for a GrowingBytes as the user data.
SF_VIRTUAL_IO GrowingBytesIo();

} // namespace quorvane
