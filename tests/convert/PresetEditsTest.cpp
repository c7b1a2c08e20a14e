// The preset edits: what each does to the model on screen and which lines it leaves, and that replaying
// those lines onto a fresh model gives the same model.
#include <gtest/gtest.h>

#include <functional>

#include "convert/PresetEdits.h"
#include "support/SmallModels.h"

namespace quorvane {
namespace {

using test::SmallModel;
using test::SmallPreset;

struct EditCase {
    const char* what;
    SmallPreset preset;
    uint16_t program = 0;
    std::function<void(BankModel&, AttributeList&)> edit;
    std::function<void(const BankModel&)> expect;
    const char* lines;
};

TEST(PresetEdits, EachEditChangesTheModelAndRecordsItsLines) {
    const std::vector<EditCase> cases = {
        {"plus at 127 does nothing",
         {},
         127,
         [](BankModel& b, AttributeList& a) { ProgramPlus(b, a, 1); },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].program, 127); },
         "PRES 0001 PROG 007f "},
        {"minus at 0 leaves 0",
         {},
         0,
         [](BankModel& b, AttributeList& a) { ProgramMinus(b, a, 1); },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].program, 0); },
         "PRES 0001 PROG 0000 "},
        {"plus twice, one line in the place of the first",
         {},
         5,
         [](BankModel& b, AttributeList& a) {
             ProgramPlus(b, a, 1);
             ToggleDrum(b, a, 1);
             ProgramPlus(b, a, 1);
         },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].program, 7); },
         "PRES 0001 PROG 0007 PRES 0001 DRUM 0001 "},
        {"typing 1, 2, 8 gives 1, 12, then 8",
         {},
         0,
         [](BankModel& b, AttributeList& a) {
             TypedBankNumber typed;
             TypeBankDigit(b, a, 1, typed, 1);
             EXPECT_EQ(b.PresetTable[1].bank, 1);
             TypeBankDigit(b, a, 1, typed, 2);
             EXPECT_EQ(b.PresetTable[1].bank, 12);
             TypeBankDigit(b, a, 1, typed, 8);
         },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].bank, 8); },
         "PRES 0001 BANK 0008 "},
        {"drum toggled twice leaves one line of 0",
         {},
         0,
         [](BankModel& b, AttributeList& a) {
             ToggleDrum(b, a, 1);
             ToggleDrum(b, a, 1);
         },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].isDrum, 0); },
         "PRES 0001 DRUM 0000 "},
        {"a slot past the presets is ignored",
         {},
         3,
         [](BankModel& b, AttributeList& a) {
             ProgramPlus(b, a, 2);
             ToggleDrum(b, a, 0);
             MoveZones(b, a, {2}, 12);
         },
         [](const BankModel& b) { EXPECT_EQ(b.PresetTable[1].program, 3); },
         ""},
        {"root key 5 moved down becomes 0",
         {.zoneRange = 0x4000 | 10, .rootKey = 5},
         0,
         [](BankModel& b, AttributeList& a) { MoveZones(b, a, {1}, -12); },
         [](const BankModel& b) {
             EXPECT_EQ(b.ZoneTable[0].generators[gen::overridingRootKey], 0);
             EXPECT_EQ(b.ZoneTable[0].Unsigned(gen::keyRange), 0x3400); // 0..52: the low limit held at 0
         },
         "PRES 0001 MOVZ fff4 "},
        {"a full-range layer stays, its zone moves",
         {.layerRange = kFullRange, .zoneRange = 0x7F78, .rootKey = 120},
         0,
         [](BankModel& b, AttributeList& a) { MoveZones(b, a, {1}, 12); },
         [](const BankModel& b) {
             EXPECT_EQ(b.LayerTable[0].Unsigned(gen::keyRange), kFullRange);
             EXPECT_EQ(b.ZoneTable[0].Unsigned(gen::keyRange), 0x7F7F); // 120..127 up: 127..127
             EXPECT_EQ(b.ZoneTable[0].generators[gen::overridingRootKey], 127);
         },
         "PRES 0001 MOVZ 000c "},
        {"a narrower layer moves with its zones",
         {.layerRange = 0x3C30, .zoneRange = 0x3C30},
         0,
         [](BankModel& b, AttributeList& a) { MoveZones(b, a, {1}, 12); },
         [](const BankModel& b) {
             EXPECT_EQ(b.LayerTable[0].Unsigned(gen::keyRange), 0x483C);
             EXPECT_EQ(b.ZoneTable[0].Unsigned(gen::keyRange), 0x483C);
         },
         "PRES 0001 MOVZ 000c "},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        BankModel bank = SmallModel({c.preset});
        bank.PresetTable[1].program = c.program;
        const BankModel fresh = bank;
        AttributeList attributes;
        c.edit(bank, attributes);
        c.expect(bank);
        EXPECT_EQ(attributes.EditAttributes, c.lines);
        // The lines replayed onto the bank as read give the model the edits gave.
        BankModel replayed = fresh;
        ApplyEdits(replayed, attributes.EditAttributes, ApplyMode::Views);
        c.expect(replayed);
    }
}

TEST(PresetEdits, LinesFromElsewhereReplaceOrAppendAsRecorded) {
    std::string lines;
    RecordPresetLine(lines, EditLine("PRES", 3, "PROG", 10));
    RecordPresetLine(lines, EditLine("PRES", 3, "MOVZ", 12));
    RecordPresetLine(lines, EditLine("PRES", 3, "PROG", 11));
    RecordPresetLine(lines, EditLine("PRES", 3, "MOVZ", 12));
    EXPECT_EQ(lines, "PRES 0003 PROG 000b PRES 0003 MOVZ 000c PRES 0003 MOVZ 000c ");
    EXPECT_EQ(HighestEditedSlot(lines + EditLine("PRES", 0x2a, "DRUM", 1)), 0x2au);
    EXPECT_EQ(HighestEditedSlot(""), 0u);
}

} // namespace
} // namespace quorvane
