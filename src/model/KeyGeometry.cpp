#include "model/KeyGeometry.h"

namespace quorvane {

namespace {

// One octave from C, white keys 3 or 4 pixels wide and black keys 2 pixels wide between them.
constexpr std::array<KeyGeometry, 12> kOctave = {{{0, 3, 0},
                                                  {2, 4, 2},
                                                  {3, 7, 4},
                                                  {6, 8, 6},
                                                  {7, 10, 8},
                                                  {10, 13, 10},
                                                  {12, 14, 12},
                                                  {13, 17, 14},
                                                  {16, 18, 16},
                                                  {17, 21, 18},
                                                  {20, 22, 20},
                                                  {21, 24, 22}}};

KeyGeometryTable BuildTable() {
    KeyGeometryTable table{};
    for (int key = kFirstGeometryKey; key <= kLastGeometryKey; ++key) {
        const KeyGeometry& base = kOctave[key % 12];
        const int shift = (key / 12) * kOctaveWidth;
        table[key] = {base.left + shift, base.right + shift, base.third + shift};
    }
    return table;
}

} // namespace

const KeyGeometryTable& KeyGeometries() {
    static const KeyGeometryTable table = BuildTable();
    return table;
}

} // namespace quorvane
