// Names on Akai discs: 12 bytes, each naming one character of the sampler's own 64-character set.
#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

constexpr size_t kAkaiNameLength = 12;

// The 12 characters of an Akai name, blanks kept.
std::string AkaiName(const uint8_t* bytes);
// The name without its trailing blanks, as lists and written banks show it.
std::string TrimTrailingBlanks(std::string name);

} // namespace quorvane
