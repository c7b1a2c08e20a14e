// The sample list's preset filter: which presets a shown sample selects, which samples are listed, and
// when the filter stays off.
#include <gtest/gtest.h>

#include "convert/ViewSelection.h"
#include "support/SmallModels.h"

namespace quorvane {
namespace {

// Presets 1 and 3 play sample 0, preset 2 plays sample 1; no preset plays sample 2.
BankModel ThreeSamples(SourceFormat format) {
    BankModel bank = test::SmallModel({{.sampleIndex = 0}, {.sampleIndex = 1}, {.sampleIndex = 0}});
    bank.SourceFormat = format;
    bank.SampleTable.resize(3);
    bank.SampleCount = 3;
    return bank;
}

std::vector<uint8_t> Listed(const BankModel& bank) {
    std::vector<uint8_t> listed;
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        listed.push_back(bank.SampleTable[s].listed);
    return listed;
}

TEST(ViewSelection, TheFilterFollowsTheShownSampleOrPreset) {
    struct Case {
        const char* what;
        SourceFormat format;
        uint32_t sample;
        uint32_t preset;
        std::vector<uint32_t> selected;
        bool filterOn;
        uint32_t shownPreset;
        std::vector<uint8_t> listed;
    };
    const Case cases[] = {
        {"a sample two presets play", SourceFormat::SoundFont, 0, 2, {1, 3}, true, 3, {1, 0, 0}},
        {"a sample one preset plays", SourceFormat::Dls, 1, 1, {2}, true, 2, {0, 1, 0}},
        {"a sample no preset plays", SourceFormat::SoundFont, 2, 1, {}, false, 1, {0, 0, 0}},
        {"no sample shown", SourceFormat::SoundFont, kNoSample, 2, {}, true, 2, {0, 1, 0}},
        {"an Akai sample lists the shown program's", SourceFormat::Akai, 0, 2, {}, true, 2, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        BankModel bank = ThreeSamples(c.format);
        Selection selection;
        selection.selectedSample = c.sample;
        selection.currentPreset = c.preset;
        EXPECT_EQ(StartSampleFilter(bank, selection), c.selected) << c.what;
        EXPECT_EQ(selection.filterMode, c.filterOn) << c.what;
        EXPECT_EQ(selection.currentPreset, c.shownPreset) << c.what;
        EXPECT_EQ(Listed(bank), c.listed) << c.what;
        if (!c.selected.empty()) {
            EXPECT_EQ(selection.DisplayMode, PanelContent::Preset) << c.what;
        }

        StopSampleFilter(bank, selection);
        EXPECT_FALSE(selection.filterMode) << c.what;
        EXPECT_EQ(Listed(bank), std::vector<uint8_t>(3, 1)) << c.what;
    }
}

} // namespace
} // namespace quorvane
