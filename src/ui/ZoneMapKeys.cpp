#include "ui/ZoneMapKeys.h"

#include <algorithm>
#include <cstdlib>

namespace quorvane::ui {

namespace {

// White keys whose lower edge lies half-way up the black key below them: a map starting on one has its
// foot that much inside the first key.
bool StartsAfterBlackKey(int key) {
    switch (key % 12) {
    case 2:
    case 4:
    case 7:
    case 9:
    case 11:
        return true;
    default:
        return false;
    }
}

int Velocity(int x, int from, int width) {
    const int across = width - from;
    if (across <= 0)
        return 0;
    return std::clamp(((x - from) * 128 + 128) / across, 0, 127);
}

} // namespace

bool InPlayArea(const ZoneMapPlayArea& area, int x, int y) {
    return x >= kKeyboardWidth && y >= area.top && y <= area.bottom;
}

int KeyAt(const ZoneMapPlayArea& area, int y) {
    const int h = area.bottom - area.top;
    if (h < 0)
        return std::clamp(area.range.lo, 0, 127);
    // The strip's width of the shown keys, about two units per key.
    const int span = KeyScale(area.range, 0).Span();
    const int d = StartsAfterBlackKey(area.range.lo) ? h / span : 0;
    int key = area.range.lo + (area.bottom - d - y) * span / (2 * h + 2);
    if (y > area.bottom - d)
        --key;
    return std::clamp(key, 0, 127);
}

int PressVelocity(const ZoneMapPlayArea& area, int x) {
    return Velocity(x, kKeyboardWidth - 1, area.width);
}

int DragVelocity(const ZoneMapPlayArea& area, int x) {
    return Velocity(x, kKeyboardWidth, area.width);
}

std::vector<uint32_t> ZoneMapNotes::Press(int key, int velocity) {
    key_ = key;
    velocity_ = velocity;
    held_ = true;
    return {NoteOn(key, velocity)};
}

std::vector<uint32_t> ZoneMapNotes::Drag(int key, int velocity) {
    if (!held_)
        return {};
    if (key != key_) {
        const int old = key_;
        key_ = key;
        velocity_ = velocity;
        return {NoteOn(old, 0), NoteOn(key, velocity)};
    }
    if (std::abs(velocity - velocity_) > 5) {
        velocity_ = velocity;
        return {NoteOn(key, velocity)};
    }
    return {};
}

std::vector<uint32_t> ZoneMapNotes::Release() {
    if (!held_)
        return {};
    held_ = false;
    return {NoteOn(key_, 0)};
}

} // namespace quorvane::ui
