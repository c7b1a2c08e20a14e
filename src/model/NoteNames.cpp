#include "model/NoteNames.h"

namespace quorvane {

std::string NoteName(int key, int middleCOffset) {
    static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    constexpr int kSlots = 152;
    const int slot = key + middleCOffset;
    if (slot < 0 || slot >= kSlots)
        return "?";
    return std::string(kNames[slot % 12]) + std::to_string(slot / 12 - 2);
}

} // namespace quorvane
