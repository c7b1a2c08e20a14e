// Damage only the SoundFont reader understands: indices past their tables, links, loops and sample offsets
// that do not fit. Each damaged bank still loads, and what was read hangs together: every count within its
// table, every list item and sample index either valid or treated as none. The damage every reader shares
// (truncation, chunk sizes, header bytes) is in formats/DamagedBankTest.cpp.
#include <gtest/gtest.h>

#include "support/DamagedBanks.h"

namespace quorvane {
namespace {

using test::Gens;
using test::Range;
using test::SoundFontBuilder;

class SoundFontDamageTest : public ::testing::Test {
  protected:
    void LoadAndCheck(const test::Bytes& bytes, const std::string& what) {
        test::LoadDamaged(test::SoundFontBase(), dir, bytes, LoadStatus::Loaded, what);
    }

    test::TempDir dir;
};

TEST_F(SoundFontDamageTest, UndamagedBaseIsConsistent) {
    const test::Bytes bytes = test::SoundFontDamageBase().Build();
    dir.Write("bank.sf2", bytes);
    NullHost host;
    Workspace workspace(host);
    SetFileList(workspace, dir.Folder(), {{"bank", "sf2"}});
    ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
    EXPECT_EQ(workspace.bank.PresetCount, 2);
    EXPECT_EQ(workspace.bank.LayerCount, 4);
    EXPECT_EQ(workspace.bank.ZoneCount, 5);
    EXPECT_EQ(workspace.bank.SampleCount, 3);
    EXPECT_EQ(workspace.bank.SampleTable[1].channels, 2);
    EXPECT_EQ(test::SoundFontModelInconsistency(workspace.bank), "");
}

TEST_F(SoundFontDamageTest, IndicesPastTheirTables) {
    struct Case {
        const char* what;
        void (*damage)(SoundFontBuilder&);
    };
    const Case cases[] = {
        {"preset's first bag past the bags", [](SoundFontBuilder& sf) { sf.presets[1].firstBag = 0x7FFF; }},
        {"preset bags running backwards",
         [](SoundFontBuilder& sf) {
             sf.presets[1].firstBag = 0;
             sf.presetEndBag = 1;
         }},
        {"terminal preset's bag 0xFFFF", [](SoundFontBuilder& sf) { sf.presetEndBag = 0xFFFF; }},
        {"bag's first generator past the generators",
         [](SoundFontBuilder& sf) { sf.presets[0].bags[1].firstGenerator = 0xFFFF; }},
        {"generators running backwards",
         [](SoundFontBuilder& sf) { sf.presets[1].bags[0].firstGenerator = 0; }},
        {"terminal preset bag's generator 0xFFFF", [](SoundFontBuilder& sf) { sf.presetBagEndGen = 0xFFFF; }},
        {"instrument index past the instruments",
         [](SoundFontBuilder& sf) {
             sf.presets[0].bags[1] = Gens({{gen::instrument, 2}});
         }},
        {"instrument index 0xFFFF",
         [](SoundFontBuilder& sf) {
             sf.presets[0].bags[1] = Gens({{gen::instrument, 0xFFFF}});
         }},
        {"instrument's first bag past the bags",
         [](SoundFontBuilder& sf) { sf.instruments[1].firstBag = 0xFFFF; }},
        {"instrument bags running backwards",
         [](SoundFontBuilder& sf) {
             sf.instruments[1].firstBag = 1;
             sf.instrumentEndBag = 0;
         }},
        {"terminal instrument's bag 0xFFFF", [](SoundFontBuilder& sf) { sf.instrumentEndBag = 0xFFFF; }},
        {"terminal instrument bag's generator 0xFFFF",
         [](SoundFontBuilder& sf) { sf.instrumentBagEndGen = 0xFFFF; }},
        {"zone generator past the generators",
         [](SoundFontBuilder& sf) { sf.instruments[0].bags[2].firstGenerator = 0x7FFF; }},
        {"sampleID equal to the sample count",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[1] = Gens({{gen::sampleID, 3}});
         }},
        {"sampleID 0xFFFF",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[1] = Gens({{gen::sampleID, 0xFFFF}});
         }},
        {"generator numbers past 99",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[1] = Gens({{100, 1}, {0xFFFF, 1}, {gen::sampleID, 0}});
         }},
        {"link past the samples", [](SoundFontBuilder& sf) { sf.samples[1].link = 0xFFFF; }},
        {"link to itself", [](SoundFontBuilder& sf) { sf.samples[1].link = 1; }},
        {"end before start", [](SoundFontBuilder& sf) { std::swap(sf.samples[0].start, sf.samples[0].end); }},
        {"loop past the data",
         [](SoundFontBuilder& sf) {
             sf.samples[0].loopStart = 0xFFFFFFF0;
             sf.samples[0].loopEnd = 0xFFFFFFFF;
         }},
        {"sample past the data",
         [](SoundFontBuilder& sf) {
             sf.samples[0].start = 0xFFFFFF00;
             sf.samples[0].end = 0xFFFFFFFF;
         }},
        {"huge loop offsets",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[2] = Gens({{gen::startloopAddrsCoarseOffset, 0x7FFF},
                                               {gen::endloopAddrsCoarseOffset, 0x8000},
                                               {gen::startloopAddrsOffset, 0x8000},
                                               {gen::sampleID, 1}});
         }},
        {"two sampleIDs",
         [](SoundFontBuilder& sf) {
             sf.instruments[0].bags[3] = Gens({{gen::sampleID, 2}, {gen::sampleID, 0xFFFF}});
         }},
        {"names without terminators",
         [](SoundFontBuilder& sf) {
             sf.presets[0].name = sf.instruments[0].name = sf.samples[0].name = std::string(20, 'N');
         }},
    };
    for (const Case& c : cases) {
        SoundFontBuilder sf = test::SoundFontDamageBase();
        c.damage(sf);
        LoadAndCheck(sf.Build(), c.what);
    }
}

// A sample that would start past the 4 GB a 32-bit file offset can address has no data, rather than an
// offset that wrapped round to the data of another sample.
TEST_F(SoundFontDamageTest, SampleOffsetsDoNotWrap) {
    struct Case {
        const char* what;
        uint32_t start, end;
    };
    const Case cases[] = {
        {"start at 2 GB frames", 0x80000000u, 0x80000010u},
        {"length of 2 GB frames", 0u, 0x80000002u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf = test::SoundFontDamageBase();
        sf.samples[0].start = c.start;
        sf.samples[0].end = c.end;
        sf.samples[0].loopStart = c.start;
        sf.samples[0].loopEnd = c.end;
        dir.Write("bank.sf2", sf.Build());
        NullHost host;
        Workspace workspace(host);
        SetFileList(workspace, dir.Folder(), {{"bank", "sf2"}});
        ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
        ASSERT_GE(workspace.bank.SampleCount, 1);
        const SampleRecord& sample = workspace.bank.SampleTable[0];
        if (sample.dataOffset != 0) {
            EXPECT_EQ(sample.dataOffset, uint64_t{c.start} * 2 + workspace.bank.SampleDataStart);
            EXPECT_EQ(sample.dataLength, (uint64_t{c.end} - c.start) * 2);
        }
        EXPECT_EQ(test::SoundFontModelInconsistency(workspace.bank), "");
    }
}

} // namespace
} // namespace quorvane
