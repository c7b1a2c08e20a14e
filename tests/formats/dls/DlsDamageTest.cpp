// Damage only the DLS and GigaSampler readers understand: dimension region counts and bit counts that do
// not fit, pool and table indices past the pool, stereo and loop data that cannot be. Each damaged bank still
// loads, what was read hangs together (every count within its table, every list item valid, every pair
// mutual), and a zone whose sample is not in the pool is written as no zone at all. The damage every reader
// shares (truncation, chunk sizes, header bytes) is in formats/DamagedBankTest.cpp.
#include <gtest/gtest.h>

#include "support/DamagedBanks.h"
#include "support/SoundFontWriterFixtures.h"

namespace quorvane {
namespace {

using test::DlsBuilder;
using test::DlsRegion;
using test::DlsSamplerChunk;
using test::DlsWave;
using test::DlsWaveSample;
using test::MonoWave;
namespace dim = test::dim;
namespace ewa = test::ewa;

DlsRegion Region(std::vector<std::pair<uint8_t, uint8_t>> dimensions, const std::vector<uint32_t>& pool) {
    DlsRegion region;
    region.dimensions = std::move(dimensions);
    for (uint32_t index : pool)
        region.dimensionRegions.push_back({.poolIndex = index});
    return region;
}

class DlsDamageTest : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(DlsDamageTest, UndamagedBasesLoadWhole) {
    for (const test::DamageBase* base : {&test::GigaBase(), &test::LevelOneBase()}) {
        SCOPED_TRACE(base->name);
        const test::DlsBuilder builder =
            base == &test::GigaBase() ? test::GigaDamageBase() : test::LevelOneDamageBase();
        const std::string path = dir.Write("bank.gig", builder.Build());
        NullHost host;
        Workspace workspace(host);
        workspace.bank.SourceFormat = SourceFormat::Dls;
        ASSERT_EQ(test::LoadBankFile(workspace, path), LoadStatus::Loaded);
        EXPECT_EQ(workspace.bank.PresetCount, 2);
        EXPECT_EQ(workspace.bank.SampleCount, builder.waves.size() + 1) << "the stereo wave is split";
        EXPECT_EQ(test::DlsModelInconsistency(workspace.bank), "");
        test::ExpectSoundFontReferencesResolve(workspace, dir);
    }
}

// Counts and indices from the file that do not fit the tables they index; each damaged bank is also
// written as a SoundFont, which must only name samples and instruments it holds.
TEST_F(DlsDamageTest, CountsAndIndicesThatDoNotFit) {
    struct Case {
        const char* what;
        void (*damage)(DlsBuilder&);
    };
    const Case cases[] = {
        {"33 dimension regions",
         [](DlsBuilder& dls) {
             dls.instruments[1].regions[0] =
                 Region({{dim::kKeySwitch, 5}, {dim::kLayer, 1}}, std::vector<uint32_t>(33, 0));
         }},
        {"region count 0xFFFF",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].dimensionRegionCount = 0xFFFF; }},
        {"region count 0 with four 3ewa",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].dimensionRegionCount = 0; }},
        {"region count 2 with four 3ewa",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].dimensionRegionCount = 2; }},
        {"bit counts adding up past 32",
         [](DlsBuilder& dls) {
             dls.instruments[0].regions[0].dimensions = {
                 {dim::kLayer, 20}, {dim::kKeySwitch, 20}, {dim::kVelocity, 2}};
         }},
        {"five 8-bit dimensions",
         [](DlsBuilder& dls) {
             dls.instruments[0].regions[0].dimensions = {{dim::kSampleChannel, 8},
                                                         {dim::kVelocity, 8},
                                                         {dim::kLayer, 8},
                                                         {dim::kKeySwitch, 8},
                                                         {0x86, 8}};
         }},
        {"255-bit dimensions",
         [](DlsBuilder& dls) {
             dls.instruments[0].regions[0].dimensions = {{dim::kVelocity, 255}, {dim::kKeySwitch, 255}};
         }},
        {"an 8-bit velocity dimension",
         [](DlsBuilder& dls) {
             dls.instruments[0].regions[0].dimensions = {{dim::kVelocity, 8}};
         }},
        {"pool index equal to the pool's size",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].dimensionRegions[0].poolIndex = 3; }},
        {"pool index 0xFFFE",
         [](DlsBuilder& dls) { dls.instruments[0].regions[1].dimensionRegions[0].poolIndex = 0xFFFE; }},
        {"pool index with high bits",
         [](DlsBuilder& dls) { dls.instruments[0].regions[1].dimensionRegions[0].poolIndex = 0xABCD0001; }},
        {"no wave pool", [](DlsBuilder& dls) { dls.waves.clear(); }},
        {"no instruments", [](DlsBuilder& dls) { dls.instruments.clear(); }},
        {"3gix 0xFFFF", [](DlsBuilder& dls) { dls.waves[0].group = 0xFFFF; }},
        {"channel count 0xFFFF", [](DlsBuilder& dls) { dls.waves[2].channels = 0xFFFF; }},
        {"every wave stereo",
         [](DlsBuilder& dls) {
             for (DlsWave& wave : dls.waves)
                 wave.channels = 2;
         }},
        {"stereo waves of one name",
         [](DlsBuilder& dls) {
             for (DlsWave& wave : dls.waves) {
                 wave.channels = 2;
                 wave.name = "Same";
             }
         }},
        {"loops past the data",
         [](DlsBuilder& dls) {
             dls.waves[0].smpl =
                 DlsSamplerChunk{.loopCount = 1, .loopStart = 0xFFFFFFF0, .loopEnd = 0xFFFFFFFE};
             dls.instruments[0].regions[0].dimensionRegions[0].wsmp =
                 DlsWaveSample{.loopCount = 1, .loopStart = 0xFFFFFFF0, .loopLength = 0x20};
         }},
        {"a 3ewa outside any region",
         [](DlsBuilder& dls) {
             test::Bytes stray = {'3', 'e', 'w', 'a', 140, 0, 0, 0};
             stray.resize(8 + 140, 0x80);
             dls.appendToChunk["lins"] = stray;
         }},
    };
    for (const Case& c : cases) {
        DlsBuilder dls = test::GigaDamageBase();
        c.damage(dls);
        test::LoadDamaged(test::GigaBase(), dir, dls.Build(), LoadStatus::Loaded, c.what, true);
    }

    const Case levelOne[] = {
        {"table index past the pool", [](DlsBuilder& dls) { dls.instruments[0].regions[1].tableIndex = 2; }},
        {"table index 0xFFFFFFFF",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].tableIndex = 0xFFFFFFFF; }},
        {"no wave pool", [](DlsBuilder& dls) { dls.waves.clear(); }},
    };
    for (const Case& c : levelOne) {
        DlsBuilder dls = test::LevelOneDamageBase();
        c.damage(dls);
        test::LoadDamaged(test::LevelOneBase(), dir, dls.Build(), LoadStatus::Loaded, c.what, true);
    }
}

// A region can hold at most 32 dimension regions: a count past that in a tiny file must not make the
// reader set up tables for tens of thousands of zones and layers.
TEST_F(DlsDamageTest, RegionCountsDoNotSizeTheTablesPastWhatCanBeRead) {
    DlsBuilder dls = test::GigaDamageBase();
    dls.instruments[0].regions[0].dimensionRegionCount = 0xFFFF;
    dls.instruments[1].regions[0].dimensionRegionCount = 0xFFFF;
    const test::DlsReading read = test::ReadDlsBytes(dls.Build());
    EXPECT_LE(read.bank.ZoneCount, 3 * 32);
    EXPECT_LE(read.bank.LayerCount, 2 * 32);
}

} // namespace
} // namespace quorvane
