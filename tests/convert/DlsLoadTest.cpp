// The DLS and GigaSampler chain of the loader: what each kind of load shows and does (the split only when a
// write is coming), loop propagation from zones to samples, and the two settings that steer the chain.
#include <gtest/gtest.h>

#include "convert/BankLoader.h"
#include "support/DlsBuilder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::DlsBuilder;
using test::DlsRegion;
using test::DlsWaveSample;
using test::MonoWave;

// Two instruments: a GigaSampler one whose first dimension region loops past its sample's end and whose
// second plays an interleaved stereo wave; the other with a dimension region that has no wave.
DlsBuilder LoopBank() {
    DlsBuilder dls;
    dls.waves = {MonoWave("Short-L", 100), MonoWave("Wide", 100), MonoWave("Short-R", 100)};
    dls.waves[1].channels = 2;
    DlsRegion region{.keyHigh = 59};
    region.dimensionRegions = {
        {.poolIndex = 0, .wsmp = DlsWaveSample{.loopCount = 1, .loopStart = 20, .loopLength = 500}},
        {.poolIndex = 1, .wsmp = DlsWaveSample{}}};
    region.dimensions = {{test::dim::kKeySwitch, 1}};
    DlsRegion unmapped{.keyLow = 60};
    unmapped.dimensionRegions = {{.poolIndex = 0xFFFF}};
    dls.instruments = {{.name = "Loops", .regions = {region}}, {.name = "Silent", .regions = {unmapped}}};
    return dls;
}

class DlsLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("bank.gig", LoopBank().Build());
        SetFileList(workspace, dir.Folder(), {{"bank", "gig"}});
        workspace.bank.SourceFormat = SourceFormat::Dls;
    }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace workspace{host};
};

TEST_F(DlsLoadTest, InteractiveLoadShowsTheFlavourAndKeepsStereoWavesWhole) {
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    EXPECT_EQ(host.formatLabels, std::vector<std::string>{"GigaSampler"});
    EXPECT_EQ(workspace.bank.SampleCount, 3);
    EXPECT_EQ(workspace.bank.SampleTable[1].channels, 2);
    EXPECT_EQ(workspace.bank.SampleTable[1].stereoHalf, 1);
    // Mono pairing is on by default: Short-L and Short-R become a pair shown as "Short".
    EXPECT_EQ(workspace.bank.SampleTable[0].linkIndex, 3);
    EXPECT_EQ(workspace.bank.SampleTable[0].name, "Short");
    EXPECT_EQ(workspace.bank.SampleTable[0].fullName, "Short-L");

    ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
    EXPECT_EQ(workspace.bank.SampleCount, 4) << "a silent load splits the stereo wave";
}

// A looped zone hands its loop, cut to the sample's length, to its sample.
TEST_F(DlsLoadTest, ZoneLoopsAreCutToTheSampleAndPassedOn) {
    ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
    const BankModel& bank = workspace.bank;
    EXPECT_EQ(bank.ZoneTable[0].loopStart, 20u);
    EXPECT_EQ(bank.ZoneTable[0].loopEnd, 100u);
    EXPECT_EQ(bank.SampleTable[0].looped, 1);
    EXPECT_EQ(bank.SampleTable[0].loopStart, 20u);
    EXPECT_EQ(bank.SampleTable[0].loopEnd, 100u);
    EXPECT_EQ(bank.SampleTable[1].looped, 0);
}

TEST_F(DlsLoadTest, SettingsSteerPairingAndUnmappedRegions) {
    workspace.settings.LinkMonoSamples = false;
    workspace.settings.ReadUnmappedRegions = false;
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    const BankModel& bank = workspace.bank;
    EXPECT_EQ(bank.SampleTable[0].linkIndex, 0);
    EXPECT_EQ(bank.SampleTable[0].name, "Short-L");
    ASSERT_EQ(bank.PresetCount, 2);
    EXPECT_TRUE(bank.PresetTable[2].layerList.Empty()) << "its only layer plays no wave";
}

TEST_F(DlsLoadTest, SoundFontSourceFormatRefusesADlsFile) {
    workspace.bank.SourceFormat = SourceFormat::SoundFont;
    EXPECT_EQ(LoadBankSilently(workspace, 0), LoadStatus::WrongFormat);
    EXPECT_EQ(workspace.bank.SampleCount, 0);
}

} // namespace
} // namespace quorvane
