// The input form of the Akai disc target: a disc image described by the pieces that hold data, so that a
// few kilobytes stand for an image of hundreds of megabytes.
//
//   byte 0       layout (low two bits): 0 a plain image of 2048-byte sectors (disc.iso); 1 raw 2352-byte
//                Mode 1 sectors found by their sync pattern (disc.bin); 2 a cue sheet naming raw Mode 2
//                sectors (disc.cue, disc.bin); 3 a cue sheet naming a plain image (MODE1/2048)
//   bytes 1..3   the image's size in 2048-byte sectors, little-endian (at most kMaxImageSectors)
//   then pieces  a 4-byte little-endian byte offset into the 2048-byte sectors, a 2-byte length, the bytes;
//                what lies past the image's end is left out
//
// In the raw layouts every sector a piece touches gets its sync pattern and header, and the pieces' bytes
// land in the sectors' user data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::fuzz {

constexpr uint32_t kMaxImageSectors = 1u << 20; // 2 GB: 32 partitions of the largest size and more

struct ImagePiece {
    uint32_t offset;
    std::vector<uint8_t> bytes;
};

// The input of an image: layout, size and pieces as above. Long runs of zero bytes inside a piece are
// left out (the image reads zero there anyway).
std::vector<uint8_t> EncodeSparseImage(uint8_t layout, uint32_t sectors,
                                       const std::vector<ImagePiece>& pieces);

// Writes the image the input describes into folder (ending in '/') and returns the path to open: the
// image, or the cue sheet. Empty for an input too short to name a layout and size.
std::string WriteSparseImage(const std::string& folder, const uint8_t* data, size_t size);

} // namespace quorvane::fuzz
