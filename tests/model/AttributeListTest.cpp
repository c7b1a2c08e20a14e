// The attribute texts: recording preset values, the folder of a file-list entry, replaying edits onto a
// freshly read bank, and the selection that tells a writer what to write.
#include <gtest/gtest.h>

#include <optional>

#include "model/AttributeList.h"
#include "model/BankModel.h"
#include "model/WriteSelection.h"

namespace quorvane {
namespace {

constexpr uint16_t Range(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(high << 8 | low);
}

BankModel TwoPresets() {
    BankModel bank;
    bank.PresetTable.resize(3);
    bank.PresetCount = 2;
    bank.PresetTable[1].program = 5;
    bank.PresetTable[2].program = 9;
    return bank;
}

TEST(AttributeListTest, RecordingReplacesThePresetsLineInPlace) {
    BankModel bank = TwoPresets();
    AttributeList attributes;
    RecordProgram(bank, attributes, 1);
    RecordProgram(bank, attributes, 2);
    RecordBank(bank, attributes, 1);
    EXPECT_EQ(attributes.EditAttributes, "PRES 0001 PROG 0005 PRES 0002 PROG 0009 PRES 0001 BANK 0000 ");

    bank.PresetTable[1].program = 0x7F;
    bank.PresetTable[1].bank = 3;
    bank.PresetTable[1].isDrum = 1;
    RecordProgram(bank, attributes, 1);
    RecordBank(bank, attributes, 1);
    RecordDrum(bank, attributes, 1);
    EXPECT_EQ(attributes.EditAttributes,
              "PRES 0001 PROG 007f PRES 0002 PROG 0009 PRES 0001 BANK 0003 PRES 0001 DRUM 0001 ");

    // Slots outside 1..PresetCount are not recorded.
    const std::string before = attributes.EditAttributes;
    RecordProgram(bank, attributes, 0);
    RecordProgram(bank, attributes, 3);
    EXPECT_EQ(attributes.EditAttributes, before);
}

TEST(AttributeListTest, BankParametersFollowTheSameRule) {
    std::string text;
    ReplaceOrAppend(text, EditLine("BANK", 2, "REVB", 0x64));
    ReplaceOrAppend(text, EditLine("BANK", 2, "FILT", 0xFFFF));
    ReplaceOrAppend(text, EditLine("BANK", 2, "REVB", 0x1F4));
    EXPECT_EQ(text, "BANK 0002 REVB 01f4 BANK 0002 FILT ffff ");
}

TEST(AttributeListTest, EntryFolder) {
    AttributeList lists;
    lists.PathAttributes =
        BankPathLine(0, "/a/") + BankPathLine(1, "/b/c d/") + BankPathLine(2, "") + BankEndLine(3);
    AttributeList waves;
    waves.PathAttributes =
        WavePathLine(0, "/w/", "one.wav") + WavePathLine(1, "/w/", "two.aif") + WaveEndLine(2);
    struct Case {
        const AttributeList* attributes;
        uint32_t entry;
        bool wave;
        std::string folder;
    };
    const Case cases[] = {
        {&lists, 0, false, "/a/"},
        {&lists, 1, false, "/b/c d/"},
        {&lists, 2, false, "/current/"}, // a line with no folder
        {&lists, 3, false, "/current/"}, // the end line has no next line
        {&lists, 9, false, "/current/"},
        {&waves, 0, true, "/w/one.wav"},
        {&waves, 1, true, "/w/two.aif"},
        {&waves, 0, false, "/current/"}, // bank lookups do not read wave lines
    };
    for (const Case& c : cases)
        EXPECT_EQ(EntryFolder(*c.attributes, c.entry, "/current/", c.wave), c.folder)
            << "entry " << c.entry << (c.wave ? " (wave)" : "");
    EXPECT_EQ(EntryFolder(AttributeList{}, 0, "/current/"), "/current/");
}

// Preset 1 plays layer 0 with a global zone 0 and a zone 1; preset 2 plays layer 1 with zone 2. Only the
// ranges and root key of the edited preset vary from case to case.
BankModel EditableBank(uint16_t layerRange, uint16_t zoneRange, int16_t rootKey) {
    BankModel bank;
    bank.PresetTable.resize(3);
    bank.PresetCount = 2;
    bank.PresetTable[1].program = 1;
    bank.PresetTable[1].layerList = {0};
    bank.PresetTable[2].layerList = {1};
    bank.LayerTable.resize(2);
    bank.LayerCount = 2;
    for (LayerRecord& layer : bank.LayerTable) {
        layer.Reset();
        layer.isGlobal = 0;
        layer.Set(gen::initialFilterFc, 9000);
        layer.Set(gen::reverbEffectsSend, 200);
        layer.Set(gen::chorusEffectsSend, 300);
    }
    bank.LayerTable[0].Set(gen::keyRange, static_cast<int16_t>(layerRange));
    bank.LayerTable[0].zoneList = {0, 1};
    bank.LayerTable[1].Set(gen::keyRange, static_cast<int16_t>(Range(48, 60)));
    bank.LayerTable[1].zoneList = {2};
    bank.ZoneTable.resize(3);
    bank.ZoneCount = 3;
    for (ZoneRecord& zone : bank.ZoneTable) {
        zone.Reset();
        zone.isGlobal = 0;
        zone.Set(gen::keyRange, static_cast<int16_t>(Range(48, 60)));
        zone.generators[gen::overridingRootKey] = 60;
        zone.Set(gen::initialFilterFc, 5000);
        zone.Set(gen::reverbEffectsSend, 50);
    }
    bank.ZoneTable[0].isGlobal = 1;
    bank.ZoneTable[1].Set(gen::keyRange, static_cast<int16_t>(zoneRange));
    bank.ZoneTable[1].generators[gen::overridingRootKey] = rootKey;
    return bank;
}

TEST(AttributeListTest, ApplyEditsReplaysLinesInOrder) {
    const std::string up = "PRES 0001 MOVZ 000C ";
    const std::string down = "PRES 0001 MOVZ FFF4 ";
    struct Case {
        const char* what;
        std::string edits;
        ApplyMode mode = ApplyMode::Views;
        uint16_t layerRange = Range(48, 72);
        uint16_t zoneRange = Range(48, 60);
        int16_t rootKey = 60;
        // What zone 1, layer 0 and preset 1 should hold afterwards; unset fields are not checked.
        std::optional<uint16_t> program{}, bankNumber{}, isDrum{};
        std::optional<uint16_t> layerRangeAfter{}, zoneRangeAfter{};
        std::optional<int16_t> rootKeyAfter{};
        std::optional<bool> filterSet{};
        std::optional<int16_t> filter{};
        std::optional<bool> layerFilterSet{};
        std::optional<bool> reverbSet{};
        std::optional<int16_t> reverb{};
        std::optional<bool> layerReverbSet{};
    };
    const Case cases[] = {
        {.what = "later values win",
         .edits = "PRES 0001 PROG 0005 PRES 0001 BANK 0002 PRES 0001 PROG 0007 PRES 0001 DRUM 0001 ",
         .program = 7,
         .bankNumber = 2,
         .isDrum = 1},
        {.what = "up, up, down is up once",
         .edits = up + up + down,
         .layerRangeAfter = Range(60, 84),
         .zoneRangeAfter = Range(60, 72),
         .rootKeyAfter = 72},
        {.what = "full-range layer stays, full-range zone starts at 12",
         .edits = up,
         .layerRange = kFullRange,
         .zoneRange = kFullRange,
         .layerRangeAfter = kFullRange,
         .zoneRangeAfter = Range(12, 127)},
        {.what = "root key stops at 127", .edits = up, .rootKey = 120, .rootKeyAfter = 127},
        {.what = "down stops at 0",
         .edits = down,
         .zoneRange = Range(0, 12),
         .rootKey = 5,
         .zoneRangeAfter = Range(0, 0),
         .rootKeyAfter = 0},
        {.what = "GigaSampler writer moves root keys, not zone ranges",
         .edits = up,
         .mode = ApplyMode::GigaWriter,
         .layerRangeAfter = Range(60, 84),
         .zoneRangeAfter = Range(48, 60),
         .rootKeyAfter = 72},
        {.what = "filter off", .edits = "PRES 0001 FILT FFFF ", .filterSet = false, .layerFilterSet = false},
        {.what = "filter 20000 Hz",
         .edits = "PRES 0001 FILT 4e20 ",
         .filterSet = true,
         .filter = 13507,
         .layerFilterSet = false},
        {.what = "filter 1000 Hz", .edits = "PRES 0001 FILT 03e8 ", .filterSet = true, .filter = 8321},
        {.what = "reverb",
         .edits = "PRES 0001 REVB 0064 ",
         .reverbSet = true,
         .reverb = 100,
         .layerReverbSet = false},
        {.what = "reverb 0 is not set", .edits = "PRES 0001 REVB 0000 ", .reverbSet = false, .reverb = 0},
        {.what = "GigaSampler writer leaves conversion parameters",
         .edits = "PRES 0001 FILT 03e8 PRES 0001 REVB 0064 ",
         .mode = ApplyMode::GigaWriter,
         .filterSet = true,
         .filter = 5000,
         .layerFilterSet = true,
         .reverb = 50,
         .layerReverbSet = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BankModel bank = EditableBank(c.layerRange, c.zoneRange, c.rootKey);
        ApplyEdits(bank, c.edits, c.mode);
        const PresetRecord& preset = bank.PresetTable[1];
        const LayerRecord& layer = bank.LayerTable[0];
        const ZoneRecord& zone = bank.ZoneTable[1];
        if (c.program) {
            EXPECT_EQ(preset.program, *c.program);
        }
        if (c.bankNumber) {
            EXPECT_EQ(preset.bank, *c.bankNumber);
        }
        if (c.isDrum) {
            EXPECT_EQ(preset.isDrum, *c.isDrum);
        }
        if (c.layerRangeAfter) {
            EXPECT_EQ(layer.Unsigned(gen::keyRange), *c.layerRangeAfter);
        }
        if (c.zoneRangeAfter) {
            EXPECT_EQ(zone.Unsigned(gen::keyRange), *c.zoneRangeAfter);
        }
        if (c.rootKeyAfter) {
            EXPECT_EQ(zone.generators[gen::overridingRootKey], *c.rootKeyAfter);
        }
        if (c.filterSet) {
            EXPECT_EQ(zone.IsSet(gen::initialFilterFc), *c.filterSet);
        }
        if (c.filter) {
            EXPECT_EQ(zone.generators[gen::initialFilterFc], *c.filter);
        }
        if (c.layerFilterSet) {
            EXPECT_EQ(layer.IsSet(gen::initialFilterFc), *c.layerFilterSet);
        }
        if (c.reverbSet) {
            EXPECT_EQ(zone.IsSet(gen::reverbEffectsSend), *c.reverbSet);
        }
        if (c.reverb) {
            EXPECT_EQ(zone.generators[gen::reverbEffectsSend], *c.reverb);
        }
        if (c.layerReverbSet) {
            EXPECT_EQ(layer.IsSet(gen::reverbEffectsSend), *c.layerReverbSet);
        }

        // The global zone is never moved, and preset 2 is untouched by preset 1's lines.
        EXPECT_EQ(bank.ZoneTable[0].Unsigned(gen::keyRange), Range(48, 60));
        EXPECT_EQ(bank.ZoneTable[0].generators[gen::overridingRootKey], 60);
        EXPECT_EQ(bank.PresetTable[2].program, 0);
        EXPECT_EQ(bank.LayerTable[1].Unsigned(gen::keyRange), Range(48, 60));
        EXPECT_EQ(bank.ZoneTable[2].Unsigned(gen::keyRange), Range(48, 60));
        EXPECT_EQ(bank.ZoneTable[2].generators[gen::initialFilterFc], 5000);
        EXPECT_TRUE(bank.LayerTable[1].IsSet(gen::initialFilterFc));
    }
}

TEST(AttributeListTest, ChoosingAPresetReachesStereoPartners) {
    BankModel bank;
    bank.PresetTable.resize(3);
    bank.PresetCount = 2;
    bank.PresetTable[1].layerList = {0, 9}; // 9 is past the layers
    bank.PresetTable[2].layerList = {1};
    bank.LayerTable.resize(2);
    bank.LayerCount = 2;
    bank.LayerTable[0].zoneList = {0, 1, 2};
    bank.LayerTable[1].zoneList = {3};
    bank.ZoneTable.resize(4);
    bank.ZoneCount = 4;
    bank.ZoneTable[0].sampleIndex = 0; // left half, partner 1
    bank.ZoneTable[1].sampleIndex = 2; // mono, whose stale link must not count
    bank.ZoneTable[2].sampleIndex = kNoSample;
    bank.ZoneTable[3].sampleIndex = 3;
    bank.SampleTable.resize(5);
    bank.SampleCount = 5;
    bank.SampleTable[0].sampleType = 4;
    bank.SampleTable[0].linkIndex = 2;
    bank.SampleTable[1].sampleType = 2;
    bank.SampleTable[1].linkIndex = 1;
    bank.SampleTable[2].sampleType = 1;
    bank.SampleTable[2].linkIndex = 5;

    WriteSelection chosen(bank);
    chosen.AddPreset(bank, 1);
    EXPECT_TRUE(chosen.HasPreset(1));
    EXPECT_TRUE(chosen.HasLayer(0));
    for (int z : {0, 1, 2})
        EXPECT_TRUE(chosen.HasZone(z)) << "zone " << z;
    for (int s : {0, 1, 2})
        EXPECT_TRUE(chosen.HasSample(s)) << "sample " << s;
    EXPECT_FALSE(chosen.HasSample(4)) << "a mono sample has no partner";
    EXPECT_FALSE(chosen.HasPreset(2));
    EXPECT_FALSE(chosen.HasLayer(1));
    EXPECT_FALSE(chosen.HasZone(3));
    EXPECT_FALSE(chosen.HasSample(3));

    // Choosing another preset clears nothing.
    chosen.AddPreset(bank, 2);
    EXPECT_TRUE(chosen.HasSample(0));
    EXPECT_TRUE(chosen.HasSample(3));
}

} // namespace
} // namespace quorvane
