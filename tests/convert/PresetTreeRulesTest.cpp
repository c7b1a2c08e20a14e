// The preset tree's rules: the presets a save takes, the edit each key makes, and where an edited node
// moves in program order.
#include <gtest/gtest.h>

#include "convert/PresetTreeRules.h"
#include "support/SmallModels.h"

namespace quorvane {
namespace {

TEST(PresetTreeRules, ASaveTakesTheSelectedPresetsOrAll) {
    struct Case {
        const char* what;
        std::vector<int> selected;
        uint32_t count;
        std::vector<uint32_t> removed; // taken out of the tree
        std::vector<uint32_t> expected;
    };
    const std::vector<Case> cases = {
        {"none selected: every preset", {}, 3, {}, {1, 2, 3}},
        {"none selected: every preset left in the tree", {}, 3, {2, 3}, {1}},
        {"tree order kept", {3, 1}, 3, {}, {3, 1}},
        {"slots outside the bank left out", {0, 2, 4, -1}, 3, {}, {2}},
        {"only slots outside: every preset", {0, 9}, 2, {}, {1, 2}},
        {"an empty bank takes nothing", {1}, 0, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PresetsToSave(c.selected, c.count, c.removed), c.expected) << c.what;
}

TEST(PresetTreeRules, EachKeyMakesItsEdit) {
    struct Case {
        char32_t text;
        int keypadSign;
        PresetKeyEdit edit;
        uint16_t program, bank;
        bool drum, changed;
    };
    // The preset starts as program 5, bank 0, not a drum.
    const std::vector<Case> cases = {
        {U'd', 0, PresetKeyEdit::ToggleDrum, 5, 0, true, true},
        {U'D', 0, PresetKeyEdit::ToggleDrum, 5, 0, true, true},
        {U'7', 0, PresetKeyEdit::BankDigit, 5, 7, false, true},
        {U'+', 1, PresetKeyEdit::ProgramUp, 6, 0, false, true},
        {U'-', -1, PresetKeyEdit::ProgramDown, 4, 0, false, true},
        {U'+', 0, PresetKeyEdit::None, 5, 0, false, false},
        {U's', 0, PresetKeyEdit::None, 5, 0, false, false},
        {0, 0, PresetKeyEdit::None, 5, 0, false, false},
    };
    for (const Case& c : cases) {
        const std::string what = "key " + std::to_string(static_cast<uint32_t>(c.text));
        BankModel bank = test::SmallModel({{}});
        bank.PresetTable[1].program = 5;
        AttributeList attributes;
        TypedBankNumber typed;
        const PresetKeyEdit edit = PresetEditForKey(c.text, c.keypadSign);
        EXPECT_EQ(edit, c.edit) << what;
        EXPECT_EQ(ApplyPresetKey(bank, attributes, 1, typed, edit, c.text), c.changed) << what;
        EXPECT_EQ(bank.PresetTable[1].program, c.program) << what;
        EXPECT_EQ(bank.PresetTable[1].bank, c.bank) << what;
        EXPECT_EQ(bank.PresetTable[1].isDrum != 0, c.drum) << what;
        // A slot that is no preset is left alone.
        EXPECT_FALSE(ApplyPresetKey(bank, attributes, 2, typed, edit, c.text)) << what;
    }
}

TEST(PresetTreeRules, AnEditedNodeMovesPastTheNeighboursItNowSortsBeyond) {
    struct Case {
        const char* what;
        std::vector<uint32_t> keys;
        int at;
        bool down;
        int expected;
    };
    const std::vector<Case> cases = {
        {"up past two", {1, 5, 3, 4, 6}, 1, true, 3},        {"down past two", {1, 2, 0, 4}, 2, false, 0},
        {"equal neighbour stays", {1, 2, 2, 3}, 1, true, 1}, {"to the end", {9, 1, 2}, 0, true, 2},
        {"outside the list unchanged", {1, 2}, 5, true, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MovedPresetPosition(c.keys, c.at, c.down), c.expected) << c.what;
}

} // namespace
} // namespace quorvane
