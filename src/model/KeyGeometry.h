// Pixel geometry of the on-screen keyboard strip: one octave is 24 pixels wide, and every key from 12 to 128
// has a left edge, a right edge and a third coordinate (where a key's marker sits), all counted from the
// strip's left end.
#pragma once

#include <array>

namespace quorvane {

struct KeyGeometry {
    int left = 0;
    int right = 0;
    int third = 0;
};

constexpr int kFirstGeometryKey = 12;
constexpr int kLastGeometryKey = 128;
constexpr int kOctaveWidth = 24;

// Indexed by MIDI key; entries below kFirstGeometryKey stay zero.
using KeyGeometryTable = std::array<KeyGeometry, kLastGeometryKey + 1>;

const KeyGeometryTable& KeyGeometries();

} // namespace quorvane
