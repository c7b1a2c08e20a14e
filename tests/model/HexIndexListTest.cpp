// Index lists held as runs read exactly as the same items spelled out, and a change to one list (which
// spells its run out) never reaches a copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/HexIndexList.h"

namespace quorvane {
namespace {

std::vector<uint16_t> Items(const HexIndexList& list) {
    return {list.begin(), list.end()};
}

TEST(HexIndexList, ARunReadsAsItsItemsSpelledOut) {
    struct Case {
        uint16_t first;
        uint32_t count;
        std::vector<uint16_t> items;
    };
    const Case cases[] = {
        {7, 3, {7, 8, 9}}, {5, 0, {}}, {0xFFFE, 5, {0xFFFE, 0xFFFF}}, // cut at the last index
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const HexIndexList run = HexIndexList::Run(c.first, c.count);
        HexIndexList spelled;
        for (uint16_t item : c.items)
            spelled.Append(item);
        EXPECT_EQ(Items(run), c.items);
        EXPECT_EQ(run.Count(), c.items.size());
        EXPECT_EQ(run, spelled);
        EXPECT_EQ(run <=> spelled, std::strong_ordering::equal);
        EXPECT_EQ(run.Text(), spelled.Text());
        if (!c.items.empty()) {
            EXPECT_EQ(run[c.items.size() - 1], c.items.back());
            EXPECT_NE(std::find(run.begin(), run.end(), c.items.back()), run.end());
        }
    }
    // Ordered as their items: by the first item, then the shorter first.
    EXPECT_LT(HexIndexList::Run(3, 9), HexIndexList::Run(4, 1));
    EXPECT_LT(HexIndexList::Run(3, 2), HexIndexList::Run(3, 3));
    EXPECT_LT(HexIndexList::Run(3, 2), (HexIndexList{3, 5}));
    EXPECT_LT(HexIndexList{}, HexIndexList::Run(0, 1));
}

TEST(HexIndexList, ChangingACopyLeavesTheOriginal) {
    const HexIndexList shared = HexIndexList::Run(10, 4);
    HexIndexList appended = shared, removed = shared, inserted = shared;
    appended.Append(99);
    removed.RemoveAt(0);
    inserted.Insert(1, 42);
    EXPECT_EQ(Items(shared), (std::vector<uint16_t>{10, 11, 12, 13}));
    EXPECT_TRUE(shared.IsRun());
    EXPECT_EQ(Items(appended), (std::vector<uint16_t>{10, 11, 12, 13, 99}));
    EXPECT_EQ(Items(removed), (std::vector<uint16_t>{11, 12, 13}));
    EXPECT_EQ(Items(inserted), (std::vector<uint16_t>{10, 42, 11, 12, 13}));
}

} // namespace
} // namespace quorvane
