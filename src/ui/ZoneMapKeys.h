// Playing the zone map with the mouse: which key and velocity a point of the map stands for, and the notes
// a press, a drag and a release send. Plain arithmetic on the map's geometry, so that it is checked without
// a widget; the information panel supplies the geometry and the main window sends the notes.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/ZoneMap.h"

namespace quorvane::ui {

// The part of the zone map that plays notes, in one vertical coordinate system: the map's top, the line
// over the velocity labels (bottom) and the map's width. Keys rise upward from bottom, velocity grows to
// the right of the keyboard strip.
struct ZoneMapPlayArea {
    int top = 0;
    int bottom = 0;
    int width = 0;
    KeyRange range;
};

bool InPlayArea(const ZoneMapPlayArea& area, int x, int y);
// The key under height y, 0..127.
int KeyAt(const ZoneMapPlayArea& area, int y);
// The velocity at x when the button goes down, and while the pointer moves with it held (the two measure
// from neighbouring columns), 0..127.
int PressVelocity(const ZoneMapPlayArea& area, int x);
int DragVelocity(const ZoneMapPlayArea& area, int x);

// Short MIDI messages, status in the low byte.
constexpr uint32_t ShortMessage(uint32_t status, uint32_t data1, uint32_t data2) {
    return status | data1 << 8 | data2 << 16;
}
constexpr uint32_t NoteOn(int key, int velocity) {
    return ShortMessage(0x90, static_cast<uint32_t>(key), static_cast<uint32_t>(velocity));
}

// The note the mouse holds on the map: a press strikes it, a drag to another key moves it there, a drag
// that changes the velocity by more than 5 strikes it again, and the release ends it. Each call returns the
// messages to send in order; a note ends with a note-on of velocity 0.
class ZoneMapNotes {
  public:
    std::vector<uint32_t> Press(int key, int velocity);
    std::vector<uint32_t> Drag(int key, int velocity);
    std::vector<uint32_t> Release();
    bool Held() const { return held_; }

  private:
    int key_ = 0;
    int velocity_ = 0;
    bool held_ = false;
};

} // namespace quorvane::ui
