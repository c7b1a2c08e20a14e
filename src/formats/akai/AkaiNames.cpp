#include "formats/akai/AkaiNames.h"

namespace quorvane {

namespace {
// Digits, blank, letters, then four signs and '.'; every code past them is shown as '_'.
constexpr char kAkaiCharacters[65] = "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ#+-._______________________";
static_assert(sizeof kAkaiCharacters == 65);
} // namespace

std::string AkaiName(const uint8_t* bytes) {
    std::string name(kAkaiNameLength, ' ');
    for (size_t i = 0; i < kAkaiNameLength; ++i)
        name[i] = kAkaiCharacters[bytes[i] & 63];
    return name;
}

std::string TrimTrailingBlanks(std::string name) {
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

} // namespace quorvane
