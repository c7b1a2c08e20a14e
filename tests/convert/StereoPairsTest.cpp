// Stereo pairs after loading: interleaved stereo waves split into linked halves with a hard-panned zone
// for each right half, mono samples paired by name, and the left/right suffix taken off paired names.
#include <gtest/gtest.h>

#include "convert/StereoNames.h"
#include "convert/StereoPairs.h"
#include "support/DlsBuilder.h"
#include "support/RecordingHost.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::DlsBuilder;
using test::DlsRegion;
using test::MonoWave;
namespace ewa = test::ewa;

std::vector<uint16_t> Items(const HexIndexList& list) {
    return {list.begin(), list.end()};
}

// A region of one dimension region playing the wave, with the 3ewa pan byte given.
DlsRegion OneWaveRegion(uint32_t wave, uint8_t pan, uint16_t keyLow) {
    DlsRegion region{.keyLow = keyLow, .keyHigh = static_cast<uint16_t>(keyLow + 9)};
    region.dimensionRegions = {{.poolIndex = wave}};
    region.dimensionRegions[0].articulation.U8(ewa::pan, pan);
    return region;
}

class StereoSplitLoad : public ::testing::Test {
  protected:
    LoadStatus Load(const DlsBuilder& dls) {
        const std::string path = dir.Write("bank.gig", dls.Build());
        workspace.bank.SourceFormat = SourceFormat::Dls;
        return test::LoadBankFile(workspace, path);
    }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace workspace{host};
};

// Two stereo waves among ten mono ones: fourteen samples, the two right halves at the end linking back;
// each zone on a stereo wave gets a right-half zone after it, the pair panned hard apart.
TEST_F(StereoSplitLoad, TwoStereoWavesAmongTenMonoWaves) {
    DlsBuilder dls;
    for (int w = 0; w < 12; ++w)
        dls.waves.push_back(MonoWave("Wave " + std::to_string(w), 50));
    dls.waves[3].channels = dls.waves[7].channels = 2;
    dls.waves[3].name = "Strings";
    dls.waves[7].name = "Choir";
    // Pan byte 25 is +198.
    dls.instruments = {
        {.name = "Pads",
         .regions = {OneWaveRegion(3, 0, 0), OneWaveRegion(7, 25, 10), OneWaveRegion(0, 0, 20)}}};
    workspace.settings.LinkMonoSamples = false;
    ASSERT_EQ(Load(dls), LoadStatus::Loaded);
    const BankModel& bank = workspace.bank;

    ASSERT_EQ(bank.SampleCount, 14);
    for (const auto& [left, right] : {std::pair{3, 12}, std::pair{7, 13}}) {
        SCOPED_TRACE("stereo wave " + std::to_string(left));
        const SampleRecord& l = bank.SampleTable[left];
        const SampleRecord& r = bank.SampleTable[right];
        EXPECT_EQ(l.stereoHalf, 1);
        EXPECT_EQ(r.stereoHalf, 2);
        EXPECT_EQ(l.linkIndex, right + 1);
        EXPECT_EQ(r.linkIndex, left + 1);
        EXPECT_EQ(l.channels, 1);
        EXPECT_EQ(r.channels, 1);
        EXPECT_EQ(r.name, l.name);
        EXPECT_EQ(r.dataOffset, l.dataOffset);
    }
    ASSERT_EQ(bank.ZoneCount, 5);
    ASSERT_EQ(bank.PresetCount, 1);
    const LayerRecord& layer = bank.LayerTable.at(bank.PresetTable[1].layerList[0]);
    EXPECT_EQ(Items(layer.zoneList), (std::vector<uint16_t>{0, 3, 1, 4, 2}));
    struct Expected {
        uint16_t zone, sample;
        int16_t pan;
    };
    for (const Expected& e :
         {Expected{0, 3, -500}, Expected{3, 12, 500}, Expected{1, 7, -302}, Expected{4, 13, 500}}) {
        SCOPED_TRACE("zone " + std::to_string(e.zone));
        const ZoneRecord& zone = bank.ZoneTable[e.zone];
        EXPECT_EQ(zone.sampleIndex, e.sample);
        EXPECT_EQ(zone.generators[gen::sampleID], e.sample);
        EXPECT_EQ(zone.generators[gen::pan], e.pan);
        EXPECT_TRUE(zone.IsSet(gen::pan));
    }
    EXPECT_EQ(bank.ZoneTable[3].generators[gen::keyRange], bank.ZoneTable[0].generators[gen::keyRange]);
    EXPECT_FALSE(bank.ZoneTable[2].IsSet(gen::pan)) << "a mono zone is left alone";
}

// Two stereo waves of the same name: each wave's halves stay linked to each other through mono pairing,
// rather than the two left halves pairing up by name.
TEST_F(StereoSplitLoad, HalvesOfSameNamedStereoWavesStayPaired) {
    DlsBuilder dls;
    dls.waves = {MonoWave("Pad", 50), MonoWave("Pad", 50), MonoWave("Bass", 50)};
    dls.waves[0].channels = dls.waves[1].channels = 2;
    dls.instruments = {{.name = "Pads", .regions = {OneWaveRegion(0, 0, 0), OneWaveRegion(1, 0, 10)}}};
    ASSERT_EQ(Load(dls), LoadStatus::Loaded);
    const BankModel& bank = workspace.bank;
    ASSERT_EQ(bank.SampleCount, 5);
    for (const auto& [left, right] : {std::pair{0, 3}, std::pair{1, 4}}) {
        SCOPED_TRACE("stereo wave " + std::to_string(left));
        EXPECT_EQ(bank.SampleTable[left].linkIndex, right + 1);
        EXPECT_EQ(bank.SampleTable[right].linkIndex, left + 1);
    }
}

// A dimension region whose pool index lies just past the pool has no sample; appending the right halves
// behind the pool must not make that index name one of them.
TEST_F(StereoSplitLoad, IndexPastThePoolStaysWithoutSample) {
    DlsBuilder dls;
    dls.waves = {MonoWave("Mono", 50), MonoWave("Wide", 50)};
    dls.waves[1].channels = 2;
    dls.instruments = {{.name = "Pads", .regions = {OneWaveRegion(2, 0, 0), OneWaveRegion(1, 0, 10)}}};
    ASSERT_EQ(Load(dls), LoadStatus::Loaded);
    const BankModel& bank = workspace.bank;
    ASSERT_EQ(bank.SampleCount, 3);
    ASSERT_GE(bank.ZoneCount, 1);
    EXPECT_FALSE(bank.IsValidSample(bank.ZoneTable[0].sampleIndex))
        << "the zone plays " << bank.SampleTable[bank.ZoneTable[0].sampleIndex].name << ", the right half of "
        << "a wave it never named";
}

// The split on a model made by hand: pans are held to -500..500, and a zone listed by two layers gets one
// right-half zone, panned once.
TEST(StereoSplitTest, PansAreClampedAndEachZoneGetsOneRightHalf) {
    BankModel bank;
    bank.SourceFormat = SourceFormat::Dls;
    SampleRecord stereo;
    stereo.name = stereo.fullName = "Wide";
    stereo.channels = 2;
    stereo.stereoHalf = 1;
    SampleRecord mono;
    mono.name = mono.fullName = "Narrow";
    bank.SampleTable = {stereo, mono};
    bank.SampleCount = 2;
    const int16_t pans[] = {200, 0, -400, 0};
    const uint16_t samples[] = {0, 0, 0, 1};
    for (int z = 0; z < 4; ++z) {
        ZoneRecord zone;
        zone.isGlobal = 0;
        zone.sampleIndex = samples[z];
        zone.Set(gen::sampleID, static_cast<int16_t>(samples[z]));
        zone.Set(gen::keyRange, static_cast<int16_t>(10 * z));
        zone.generators[gen::pan] = pans[z];
        bank.ZoneTable.push_back(zone);
    }
    bank.ZoneCount = 4;
    LayerRecord first, second;
    first.zoneList = {0, 1, 3};
    second.zoneList = {2, 0};
    bank.LayerTable = {first, second};
    bank.LayerCount = 2;

    SplitStereoSamples(bank);
    ASSERT_EQ(bank.SampleCount, 3);
    EXPECT_EQ(bank.SampleTable[2].linkIndex, 1);
    ASSERT_EQ(bank.ZoneCount, 7);
    EXPECT_EQ(Items(bank.LayerTable[0].zoneList), (std::vector<uint16_t>{0, 4, 1, 5, 3}));
    EXPECT_EQ(Items(bank.LayerTable[1].zoneList), (std::vector<uint16_t>{2, 6, 0, 4}));
    const int16_t expectedPans[] = {-300, -500, -500, 0, 500, 500, 100};
    for (int z = 0; z < 7; ++z)
        EXPECT_EQ(bank.ZoneTable[z].generators[gen::pan], expectedPans[z]) << "zone " << z;
    for (int z = 4; z < 7; ++z) {
        EXPECT_EQ(bank.ZoneTable[z].sampleIndex, 2) << "zone " << z;
        EXPECT_EQ(bank.ZoneTable[z].generators[gen::keyRange],
                  bank.ZoneTable[z - 4].generators[gen::keyRange]);
    }
}

TEST(StereoNamesTest, PairedNamesLoseOneSideSuffix) {
    struct Case {
        const char* name;
        SourceFormat sourceFormat;
        const char* shown;
        uint16_t channels = 2;
        uint16_t sampleType = 4;
    };
    const Case cases[] = {
        {"PIANO-L", SourceFormat::SoundFont, "PIANO"},
        {"PIANO-R", SourceFormat::Dls, "PIANO", 2, 2},
        {"PIANO(L)", SourceFormat::SoundFont, "PIANO"},
        {"PIANO(R)", SourceFormat::Akai, "PIANO", 2, 2},
        {"PIANO L", SourceFormat::Akai, "PIANO"},
        {"PIANO L", SourceFormat::SoundFont, "PIANO L"},
        {"PIANOR", SourceFormat::Akai, "PIANO", 2, 2},
        {"PIANO   ", SourceFormat::Akai, "PIANO"},
        {"L", SourceFormat::Akai, "L"},
        {"L", SourceFormat::SoundFont, "L"},
        {"(L)", SourceFormat::SoundFont, "(L)"},
        {"PIANO-L(R)", SourceFormat::SoundFont, "PIANO-L"},
        {"PIANO-L", SourceFormat::SoundFont, "PIANO-L", 1, 0},
        {"PIANO-L", SourceFormat::SoundFont, "PIANO-L", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in source format " + std::to_string(NumberOf(c.sourceFormat)));
        BankModel bank;
        bank.SourceFormat = c.sourceFormat;
        SampleRecord sample;
        sample.name = sample.fullName = c.name;
        sample.channels = c.channels;
        sample.sampleType = c.sampleType;
        bank.SampleTable = {sample};
        bank.SampleCount = 1;
        TidyStereoNames(bank);
        EXPECT_EQ(bank.SampleTable[0].name, c.shown);
        EXPECT_EQ(bank.SampleTable[0].fullName, c.name);
    }
}

// Each case: the sample names (mono, or already stereo when marked with a leading '*'), and each sample's
// link (1-based, 0 for none) and sample type afterwards: 4 for a left half, 2 for a right half.
TEST(LinkMonoSamplesTest, MonoSamplesPairByName) {
    struct Case {
        const char* what;
        SourceFormat sourceFormat;
        std::vector<std::string> names;
        std::vector<uint16_t> links;
        std::vector<uint16_t> types;
    };
    const Case cases[] = {
        {"L and R endings", SourceFormat::Dls, {"PianoL", "PianoR"}, {2, 1}, {4, 2}},
        {"lower-case endings", SourceFormat::Dls, {"Pianol", "Pianor"}, {2, 1}, {4, 2}},
        {"right name first", SourceFormat::Dls, {"PianoR", "PianoL"}, {2, 1}, {2, 4}},
        {"bare name and R", SourceFormat::Dls, {"Piano", "PianoR"}, {2, 1}, {4, 2}},
        {"L and bare name", SourceFormat::Dls, {"PianoL", "Piano"}, {2, 1}, {4, 2}},
        {"the same name twice", SourceFormat::Dls, {"Pad", "Pad"}, {2, 1}, {4, 2}},
        {"(L) and (R) in a GigaSampler bank", SourceFormat::Dls, {"Pad(L)", "Pad(R)"}, {2, 1}, {4, 2}},
        {"(L) and (R) in an Akai bank", SourceFormat::Akai, {"Pad(L)", "Pad(R)"}, {0, 0}, {0, 0}},
        {"the first match wins, links stay mutual",
         SourceFormat::Dls,
         {"PadL", "Bass", "PadR", "PadR"},
         {3, 0, 1, 0},
         {4, 0, 2, 0}},
        {"single letters", SourceFormat::Dls, {"L", "R"}, {0, 0}, {0, 0}},
        {"an already stereo sample is left alone", SourceFormat::Dls, {"*PadL", "PadR"}, {0, 0}, {0, 0}},
        {"unrelated names", SourceFormat::Dls, {"Piano", "Organ"}, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BankModel bank;
        bank.SourceFormat = c.sourceFormat;
        for (const std::string& entry : c.names) {
            SampleRecord sample;
            const bool stereo = entry[0] == '*';
            sample.name = sample.fullName = stereo ? entry.substr(1) : entry;
            sample.channels = stereo ? 2 : 1;
            sample.sampleType = 0;
            bank.SampleTable.push_back(sample);
        }
        bank.SampleCount = static_cast<uint16_t>(bank.SampleTable.size());
        LinkMonoSamples(bank);
        for (size_t i = 0; i < c.names.size(); ++i) {
            const SampleRecord& sample = bank.SampleTable[i];
            EXPECT_EQ(sample.linkIndex, c.links[i]) << c.names[i];
            EXPECT_EQ(sample.sampleType, c.types[i]) << c.names[i];
            EXPECT_EQ(sample.channels, c.links[i] != 0 || c.names[i][0] == '*' ? 2 : 1) << c.names[i];
        }

        // Undoing the pairing makes every paired sample mono again.
        UnlinkMonoSamples(bank);
        for (size_t i = 0; i < c.names.size(); ++i) {
            if (c.links[i] == 0)
                continue;
            EXPECT_EQ(bank.SampleTable[i].channels, 1) << c.names[i];
            EXPECT_EQ(bank.SampleTable[i].linkIndex, 0) << c.names[i];
            EXPECT_EQ(bank.SampleTable[i].sampleType, 0) << c.names[i];
        }
    }
}

} // namespace
} // namespace quorvane
