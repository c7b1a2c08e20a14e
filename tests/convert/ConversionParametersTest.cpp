// Conversion parameters: what the dialog shows for the lines and zones it finds, and what applying bank
// and preset values does to the model and the lines.
#include <gtest/gtest.h>

#include "convert/ConversionParameters.h"
#include "support/RecordingHost.h"
#include "support/SmallModels.h"

namespace quorvane {
namespace {

using test::SmallModel;

struct DisplayCase {
    const char* what;
    std::string lines;
    std::vector<uint32_t> entries;
    const char* reverb;
    const char* chorus;
    const char* cutoff;
    int reverbPosition;
    int cutoffPosition;
    bool filterChecked;
};

TEST(ConversionParameters, BankDialogShowsTheExtremesOfTheChosenBanks) {
    const std::string two = EditLine("BANK", 0, "REVB", 200) + EditLine("BANK", 1, "REVB", 350) +
                            EditLine("BANK", 2, "REVB", 900) + EditLine("BANK", 1, "CHOR", 5);
    const std::vector<DisplayCase> cases = {
        {"two banks of different reverb", two, {0, 1}, "20.0 - 35.0%", "0.5%", "", 200, 0, false},
        {"one bank", two, {2}, "90.0%", "", "", 900, 0, false},
        {"no lines", "", {0}, "", "", "", 0, 0, false},
        {"cutoffs and a filter off",
         EditLine("BANK", 0, "FILT", 1000) + EditLine("BANK", 1, "FILT", 0xFFFF) +
             EditLine("BANK", 2, "FILT", 800),
         {0, 1, 2},
         "",
         "",
         "OFF - 800 - 1000",
         0,
         800,
         true},
        {"one cutoff and a filter off",
         EditLine("BANK", 0, "FILT", 1000) + EditLine("BANK", 1, "FILT", 0xFFFF),
         {0, 1},
         "",
         "",
         "OFF - 1000",
         0,
         1000,
         true},
        {"only a filter off", EditLine("BANK", 1, "FILT", 0xFFFF), {1}, "", "", "OFF", 0, 0, false},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.what);
        AttributeList attributes;
        attributes.BankEditAttributes = c.lines;
        const ParameterDialogState state =
            OpenBankParameterDialog(attributes, SourceFormat::SoundFont, c.entries);
        EXPECT_EQ(state.reverbLabel, c.reverb);
        EXPECT_EQ(state.chorusLabel, c.chorus);
        EXPECT_EQ(state.cutoffLabel, c.cutoff);
        EXPECT_EQ(state.reverbPosition, c.reverbPosition);
        EXPECT_EQ(state.values.reverb, c.reverbPosition);
        EXPECT_EQ(state.cutoffPosition, c.cutoffPosition);
        EXPECT_EQ(state.filterChecked, c.filterChecked);
        EXPECT_EQ(state.values.filterOn, c.filterChecked);
        EXPECT_EQ(state.resetAllVisible, !c.lines.empty());
        EXPECT_FALSE(state.values.AnyChanged());
    }
    AttributeList none;
    EXPECT_EQ(OpenBankParameterDialog(none, SourceFormat::Dls, {0, 3}).caption,
              "2 Gigafile(s) Conversion Parameters:");
    EXPECT_EQ(OpenBankParameterDialog(none, SourceFormat::Akai, {0}).caption,
              "1 Volume(s) Conversion Parameters:");
}

TEST(ConversionParameters, CutoffBelowTwentySnapsBackAndTurnsTheFilterOn) {
    AttributeList attributes;
    ParameterDialogState state = OpenBankParameterDialog(attributes, SourceFormat::SoundFont, {0});
    EXPECT_EQ(MoveCutoff(state, 3), 20);
    EXPECT_EQ(state.cutoffPosition, 20);
    EXPECT_EQ(state.cutoffLabel, "20");
    EXPECT_TRUE(state.values.filterOn && state.values.filterChanged && state.filterChecked);
}

TEST(ConversionParameters, BankLinesAreRecordedPerBankAndResetForAll) {
    AttributeList attributes;
    ParameterValues values;
    values.reverb = 200;
    values.reverbChanged = true;
    RecordBankParameters(attributes, {0, 1}, values);
    values.reverb = 300;
    values.filterOn = false;
    values.filterChanged = true;
    RecordBankParameters(attributes, {1}, values);
    EXPECT_EQ(attributes.BankEditAttributes, "BANK 0000 REVB 00c8 BANK 0001 REVB 012c BANK 0001 FILT ffff ");
    ResetAllBankParameters(attributes);
    EXPECT_EQ(attributes.BankEditAttributes, "");
}

TEST(ConversionParameters, BankLinesApplyToEveryZoneWithStatusLines) {
    struct ApplyCase {
        const char* what;
        std::string lines;
        std::vector<std::string> status;
        int16_t cutoffCents;
        bool cutoffSet;
        int16_t reverb;
        bool reverbSet;
    };
    const std::vector<ApplyCase> cases = {
        {"20000 Hz is kept but not written",
         EditLine("BANK", 4, "FILT", 20000),
         {"Updating Conversion Parameters in bank:", "      Filter Cutoff = 20000"},
         13507,
         false,
         0,
         false},
        {"1000 Hz and a reverb",
         EditLine("BANK", 4, "FILT", 1000) + EditLine("BANK", 4, "REVB", 255) +
             EditLine("BANK", 5, "CHOR", 7),
         {"Updating Conversion Parameters in bank:", "      Filter Cutoff = 1000", "      Reverb = 25.5%"},
         8321,
         true,
         255,
         true},
        {"filter off, reverb 0",
         EditLine("BANK", 4, "FILT", 0xFFFF) + EditLine("BANK", 4, "REVB", 0),
         {"Updating Conversion Parameters in bank:", "      Filter Cutoff = OFF", "      Reverb = 0.0%"},
         4000,
         false,
         0,
         false},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        BankModel bank = SmallModel({{}, {}});
        for (LayerRecord& layer : bank.LayerTable) {
            layer.Set(gen::initialFilterFc, -200);
            layer.Set(gen::reverbEffectsSend, 100);
        }
        bank.ZoneTable[1].Set(gen::initialFilterFc, 4000);
        bank.ZoneTable[0].Set(gen::initialFilterFc, 4000);
        test::RecordingHost host;
        EXPECT_TRUE(ApplyBankParameters(bank, c.lines, 4, host));
        EXPECT_EQ(host.statusLines, c.status);
        for (const ZoneRecord& zone : bank.ZoneTable) {
            EXPECT_EQ(zone.generators[gen::initialFilterFc], c.cutoffCents);
            EXPECT_EQ(zone.IsSet(gen::initialFilterFc), c.cutoffSet);
            EXPECT_EQ(zone.generators[gen::reverbEffectsSend], c.reverb);
            EXPECT_EQ(zone.IsSet(gen::reverbEffectsSend), c.reverbSet);
            EXPECT_FALSE(zone.IsSet(gen::chorusEffectsSend));
        }
        for (const LayerRecord& layer : bank.LayerTable) {
            EXPECT_FALSE(layer.IsSet(gen::initialFilterFc));
            EXPECT_EQ(layer.IsSet(gen::reverbEffectsSend), c.lines.find("REVB") == std::string::npos);
        }
    }
    test::RecordingHost host;
    BankModel bank = SmallModel({{}});
    EXPECT_FALSE(ApplyBankParameters(bank, EditLine("BANK", 1, "REVB", 9), 0, host));
    EXPECT_TRUE(host.statusLines.empty());
}

TEST(ConversionParameters, PresetApplyAppendsLinesThatReplayToTheSameModel) {
    BankModel bank = SmallModel({{}, {}});
    bank.LayerTable[0].Set(gen::chorusEffectsSend, 300);
    const BankModel fresh = bank;
    AttributeList attributes;
    ParameterValues values;
    values.chorus = 150;
    values.chorusChanged = true;
    values.cutoff = 1000;
    values.filterChanged = true;
    ApplyPresetParameters(bank, attributes, {1}, values);
    ApplyPresetParameters(bank, attributes, {1}, values);
    EXPECT_EQ(attributes.EditAttributes, "PRES 0001 CHOR 0096 PRES 0001 FILT 03e8 "
                                         "PRES 0001 CHOR 0096 PRES 0001 FILT 03e8 ");
    EXPECT_EQ(bank.ZoneTable[0].generators[gen::chorusEffectsSend], 150);
    EXPECT_EQ(bank.ZoneTable[0].generators[gen::initialFilterFc], 8321);
    EXPECT_TRUE(bank.ZoneTable[0].IsSet(gen::initialFilterFc));
    EXPECT_FALSE(bank.LayerTable[0].IsSet(gen::chorusEffectsSend));
    EXPECT_FALSE(bank.ZoneTable[1].IsSet(gen::chorusEffectsSend)); // preset 2 was not chosen

    BankModel replayed = fresh;
    ApplyEdits(replayed, attributes.EditAttributes, ApplyMode::Views);
    for (size_t z = 0; z < 2; ++z) {
        EXPECT_EQ(replayed.ZoneTable[z].generators, bank.ZoneTable[z].generators);
        EXPECT_EQ(replayed.ZoneTable[z].generatorSet, bank.ZoneTable[z].generatorSet);
        EXPECT_EQ(replayed.LayerTable[z].generatorSet, bank.LayerTable[z].generatorSet);
    }
}

TEST(ConversionParameters, PresetDialogShowsEffectiveValues) {
    // Preset 1: a global layer adds 50 reverb and halves the cutoff (-1200 cents) for the zone of 1000 Hz
    // with 100 reverb. Preset 2: its layer covers keys the zone does not, so the zone's own values stand.
    BankModel bank = SmallModel({{}, {.layerRange = 0x1000, .zoneRange = 0x7F40}});
    LayerRecord global;
    global.Reset();
    global.Set(gen::reverbEffectsSend, 50);
    global.Set(gen::initialFilterFc, -1200);
    bank.LayerTable.push_back(global);
    bank.LayerCount = 3;
    bank.PresetTable[1].layerList = {2, 0};
    bank.ZoneTable[0].Set(gen::reverbEffectsSend, 100);
    bank.ZoneTable[0].Set(gen::initialFilterFc, CutoffToAbsoluteCents(1000));
    bank.ZoneTable[1].Set(gen::reverbEffectsSend, 300);
    bank.ZoneTable[1].Set(gen::initialFilterFc, CutoffToAbsoluteCents(2000));

    const GeneratorSet effective = EffectiveGenerators(bank, 1, 0, 0);
    EXPECT_EQ(effective.generators[gen::reverbEffectsSend], 150);
    EXPECT_EQ(AbsoluteCentsToCutoff(effective.generators[gen::initialFilterFc]), 500);
    EXPECT_EQ(EffectiveGenerators(bank, 2, 1, 1).generators[gen::reverbEffectsSend], 300);

    const ParameterDialogState state = OpenPresetParameterDialog(bank, {1, 2}, false);
    EXPECT_EQ(state.caption, "2 Preset(s) in Simple Edition:");
    EXPECT_EQ(state.applyCaption, "CHANGE");
    EXPECT_EQ(state.reverbLabel, "15.0 - 30.0%");
    EXPECT_EQ(state.cutoffLabel, "500 - 2000");
    EXPECT_EQ(state.reverbPosition, 150);
    EXPECT_TRUE(state.filterChecked);
    EXPECT_EQ(OpenPresetParameterDialog(bank, {1}, true).applyCaption, "UPDATE");
}

// A preset whose zones and layers set no cutoff shows no filter, rather than one at 20000 Hz.
TEST(ConversionParameters, PresetWithoutAnyCutoffShowsNoFilter) {
    const BankModel bank = SmallModel({{}});
    EXPECT_FALSE(EffectiveGenerators(bank, 1, 0, 0).IsSet(gen::initialFilterFc));
    const ParameterDialogState state = OpenPresetParameterDialog(bank, {1}, false);
    EXPECT_EQ(state.cutoffLabel, "");
    EXPECT_FALSE(state.filterChecked);
}

// Once banks are saved with their parameters, only the banks not saved keep theirs.
TEST(ConversionParameters, ForgettingSavedBanksKeepsTheOthers) {
    AttributeList attributes;
    attributes.BankEditAttributes = EditLine("BANK", 0, "REVB", 200) + EditLine("BANK", 1, "CHOR", 5) +
                                    EditLine("BANK", 2, "FILT", 0xFFFF) + EditLine("BANK", 1, "REVB", 7);
    ForgetBankParameters(attributes, {1});
    EXPECT_EQ(attributes.BankEditAttributes,
              EditLine("BANK", 0, "REVB", 200) + EditLine("BANK", 2, "FILT", 0xFFFF));
    ForgetBankParameters(attributes, {});
    EXPECT_EQ(attributes.BankEditAttributes, "");
}

} // namespace
} // namespace quorvane
