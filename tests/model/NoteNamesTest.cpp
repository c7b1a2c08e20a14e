#include <gtest/gtest.h>

#include "model/KeyGeometry.h"
#include "model/NoteNames.h"

namespace quorvane {
namespace {

TEST(NoteNames, MiddleCFollowsTheOffsetUpToTheLastName) {
    struct Case {
        int key;
        int offset;
        const char* name;
    };
    const Case cases[] = {{60, 0, "C3"}, {60, 12, "C4"},   {60, 24, "C5"}, {61, 12, "C#4"},
                          {0, 0, "C-2"}, {127, 24, "G10"}, {127, 25, "?"}};
    for (const Case& c : cases)
        EXPECT_EQ(NoteName(c.key, c.offset), c.name) << c.key << " + " << c.offset;
}

TEST(KeyGeometry, OctavesRepeatEvery24Pixels) {
    const KeyGeometryTable& table = KeyGeometries();
    EXPECT_EQ(table[12].left, 24);  // C of octave 1
    EXPECT_EQ(table[13].right, 28); // C#: 4 + 24
    EXPECT_EQ(table[59].third, 22 + 4 * 24);
    EXPECT_EQ(table[128].left, 10 * 24 + 16); // G#, one above the last MIDI key
    EXPECT_EQ(table[11].right, 0);
}

} // namespace
} // namespace quorvane
