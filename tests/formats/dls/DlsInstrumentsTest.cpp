// GigaSampler and DLS Level 1 instruments as presets, layers and zones: dimension layouts, velocity
// splits, unmapped dimension regions, instrument headers and globals, from files made by the DLS builder.
#include <gtest/gtest.h>

#include "formats/dls/DlsInstruments.h"
#include "support/DlsBuilder.h"
#include "support/SoundFontBuilder.h"

namespace quorvane {
namespace {

using test::DlsBuilder;
using test::DlsInstrument;
using test::DlsReading;
using test::DlsRegion;
using test::DlsWaveSample;
using test::GigArticulation;
using test::GigDimensionRegion;
using test::MonoWave;
using test::Range;
using test::ReadDlsBytes;
namespace dim = test::dim;
namespace ewa = test::ewa;

// A region with the dimensions given and one dimension region per combination of their bits, each playing
// wave r % waves of a pool of that many waves.
DlsRegion DimensionedRegion(std::vector<std::pair<uint8_t, uint8_t>> dimensions, uint32_t waves = 1) {
    DlsRegion region;
    region.keyLow = 36;
    region.keyHigh = 72;
    region.dimensions = std::move(dimensions);
    int bits = 0;
    for (const auto& d : region.dimensions)
        bits += d.second;
    for (uint32_t r = 0; r < (1u << bits); ++r)
        region.dimensionRegions.push_back({.poolIndex = r % waves});
    return region;
}

DlsBuilder OneRegionBank(const DlsRegion& region, uint32_t waves = 1) {
    DlsBuilder dls;
    dls.instruments = {{.name = "Inst", .regions = {region}}};
    for (uint32_t w = 0; w < waves; ++w)
        dls.waves.push_back(MonoWave("Wave" + std::to_string(w), 100));
    return dls;
}

std::vector<std::string> LayerNames(const BankModel& bank, uint32_t slot) {
    std::vector<std::string> names;
    for (uint16_t l : bank.PresetTable.at(slot).layerList)
        names.push_back(bank.LayerTable.at(l).name);
    return names;
}

std::vector<std::vector<uint16_t>> ZoneLists(const BankModel& bank, uint32_t slot) {
    std::vector<std::vector<uint16_t>> lists;
    for (uint16_t l : bank.PresetTable.at(slot).layerList) {
        const HexIndexList& zones = bank.LayerTable.at(l).zoneList;
        lists.emplace_back(zones.begin(), zones.end());
    }
    return lists;
}

uint16_t VelocityOf(const BankModel& bank, uint16_t zone) {
    return bank.ZoneTable.at(zone).Unsigned(gen::velRange);
}

// Upper limits 40, 90, 127 and 127 again: the fourth zone's range is empty (0x7F7F) and it is not listed.
TEST(DlsInstrumentsTest, VelocityUpperLimitsSplitTheLayer) {
    DlsRegion region = DimensionedRegion({{dim::kVelocity, 2}});
    const uint16_t limits[] = {40, 90, 127, 127};
    for (size_t r = 0; r < 4; ++r)
        region.dimensionRegions[r].articulation.U16(ewa::velocityUpperLimit, limits[r]);
    const DlsReading read = ReadDlsBytes(OneRegionBank(region).Build());
    const BankModel& bank = read.bank;
    EXPECT_EQ(bank.DlsFlavour, DlsFlavour::GigaSampler);
    ASSERT_EQ(bank.PresetCount, 1);
    EXPECT_EQ(LayerNames(bank, 1), std::vector<std::string>{"layer 1"});
    EXPECT_EQ(ZoneLists(bank, 1), (std::vector<std::vector<uint16_t>>{{0, 1, 2}}));
    EXPECT_EQ(VelocityOf(bank, 0), Range(0, 40));
    EXPECT_EQ(VelocityOf(bank, 1), Range(41, 90));
    EXPECT_EQ(VelocityOf(bank, 2), Range(91, 127));
    EXPECT_EQ(VelocityOf(bank, 3), 0x7F7F);
    EXPECT_TRUE(bank.ZoneTable[0].IsSet(gen::velRange));
}

// Velocity and sample-channel splits stay inside a layer; the layer dimension and every other dimension
// (here a key switch) make layers of their own. Without upper limits the velocity zones split 0..127
// evenly, restarting in every layer; only the left channel's zones are listed.
TEST(DlsInstrumentsTest, DimensionLayoutsFormLayersAndZones) {
    using Lists = std::vector<std::vector<uint16_t>>;
    using Names = std::vector<std::string>;
    const std::vector<uint16_t> quarters = {Range(0, 31), Range(32, 63), Range(64, 95), Range(96, 127)};
    std::vector<uint16_t> quartersTwice = quarters;
    quartersTwice.insert(quartersTwice.end(), quarters.begin(), quarters.end());
    struct Case {
        const char* what;
        std::vector<std::pair<uint8_t, uint8_t>> dimensions;
        Names layers;
        Lists zones;
        std::vector<uint16_t> velocities; // of the listed zones, layer by layer
    };
    const Case cases[] = {
        {"sample channel and velocity",
         {{dim::kSampleChannel, 1}, {dim::kVelocity, 2}},
         {"layer 1"},
         {{0, 2, 4, 6}},
         quarters},
        {"sample channel, velocity and a layer dimension",
         {{dim::kSampleChannel, 1}, {dim::kVelocity, 2}, {dim::kLayer, 1}},
         {"layer 1", "layer 2"},
         {{0, 2, 4, 6}, {8, 10, 12, 14}},
         quartersTwice},
        {"key switch",
         {{dim::kKeySwitch, 2}},
         {"dimension 1", "dimension 2", "dimension 3", "dimension 4"},
         {{0}, {1}, {2}, {3}},
         {kFullRange, kFullRange, kFullRange, kFullRange}},
        {"velocity and a key switch",
         {{dim::kVelocity, 1}, {dim::kKeySwitch, 1}},
         {"dimension 1", "dimension 2"},
         {{0, 1}, {2, 3}},
         {Range(0, 63), Range(64, 127), Range(0, 63), Range(64, 127)}},
        {"layer dimension after a key switch",
         {{dim::kKeySwitch, 1}, {dim::kLayer, 1}},
         {"dimension 1", "dimension 3", "dimension 2", "dimension 4"},
         {{0}, {1}, {2}, {3}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DlsReading read = ReadDlsBytes(OneRegionBank(DimensionedRegion(c.dimensions)).Build());
        const BankModel& bank = read.bank;
        ASSERT_EQ(bank.PresetCount, 1);
        EXPECT_EQ(LayerNames(bank, 1), c.layers);
        EXPECT_EQ(ZoneLists(bank, 1), c.zones);
        std::vector<uint16_t> velocities;
        for (const auto& list : ZoneLists(bank, 1))
            for (uint16_t z : list)
                velocities.push_back(VelocityOf(bank, z));
        if (!c.velocities.empty()) {
            EXPECT_EQ(velocities, c.velocities);
        }
        for (uint16_t l : bank.PresetTable[1].layerList) {
            EXPECT_TRUE(bank.LayerTable[l].IsSet(gen::instrument));
            EXPECT_EQ(bank.LayerTable[l].generators[gen::instrument], l);
        }
    }
}

// Dimension regions whose pool index is not in the pool (0xFFFF): listed when unmapped regions are read;
// otherwise left out, and a layer left without zones leaves its preset.
TEST(DlsInstrumentsTest, UnmappedDimensionRegions) {
    DlsRegion region = DimensionedRegion({{dim::kKeySwitch, 2}}, 2);
    region.dimensionRegions[2].poolIndex = 0xFFFF;
    region.dimensionRegions[3].poolIndex = 0xFFFF;
    const test::Bytes bytes = OneRegionBank(region, 2).Build();

    const DlsReading all = ReadDlsBytes(bytes, true);
    EXPECT_EQ(LayerNames(all.bank, 1).size(), 4u);
    EXPECT_EQ(ZoneLists(all.bank, 1), (std::vector<std::vector<uint16_t>>{{0}, {1}, {2}, {3}}));
    EXPECT_EQ(all.bank.ZoneTable[3].sampleIndex, 0xFFFF);

    const DlsReading mapped = ReadDlsBytes(bytes, false);
    EXPECT_EQ(LayerNames(mapped.bank, 1), (std::vector<std::string>{"dimension 1", "dimension 2"}));
    EXPECT_EQ(ZoneLists(mapped.bank, 1), (std::vector<std::vector<uint16_t>>{{0}, {1}}));
}

// What the model cannot hold is said, not converted silently wrong: a compressed wave (an "ewav" chunk)
// keeps no data, so it stays silent; a GigaSampler 2 region of 6 dimension bits (64 dimension regions, its
// layout holds 32) is read up to its 32nd, and the next region still gets its own zone.
TEST(DlsInstrumentsTest, WhatTheModelCannotHoldIsSaid) {
    DlsRegion oversized = DimensionedRegion({{dim::kVelocity, 3}, {dim::kKeySwitch, 3}});
    DlsRegion next = DimensionedRegion({}, 1);
    next.keyLow = 80;
    next.keyHigh = 90;
    next.dimensionRegions[0].poolIndex = 1;
    DlsBuilder dls = OneRegionBank(oversized, 2);
    dls.instruments[0].regions.push_back(next);
    dls.waves[0].extraChunks = {{"ewav", test::Bytes(16, 0)}};
    const DlsReading read = ReadDlsBytes(dls.Build());
    const BankModel& bank = read.bank;

    ASSERT_EQ(read.unsupported.lines.size(), 2u);
    EXPECT_NE(read.unsupported.lines[0].find("1 compressed sample(s), the first 'Wave0'"), std::string::npos);
    EXPECT_NE(read.unsupported.lines[1].find("1 region(s) use more dimension bits"), std::string::npos);
    EXPECT_EQ(bank.SampleTable[0].dataOffset, 0u) << "a compressed wave is read without data";
    EXPECT_NE(bank.SampleTable[1].dataOffset, 0u);

    ASSERT_GT(bank.ZoneCount, 32);
    const ZoneRecord& last = bank.ZoneTable[32];
    EXPECT_EQ(last.sampleIndex, 1);
    EXPECT_EQ(last.Unsigned(gen::keyRange), Range(80, 90));
    const std::vector<std::vector<uint16_t>> lists = ZoneLists(bank, 1);
    EXPECT_EQ(lists.size(), 4u) << "the 2 key-switch bits the 32 dimension regions reach";
    EXPECT_EQ(lists[0].back(), 32) << "the next region's zone is listed in the first layer";

    const DlsReading plain = ReadDlsBytes(OneRegionBank(DimensionedRegion({{dim::kVelocity, 2}})).Build());
    EXPECT_TRUE(plain.unsupported.lines.empty());
}

// Two instruments: header fields, names, bank INFO, the 3ewg globals, and what each zone takes from its
// region, its dimension region's wsmp and its 3ewa.
TEST(DlsInstrumentsTest, InstrumentsRegionsAndDimensionRegionsFillTheirRecords) {
    DlsBuilder dls;
    dls.info = {{"INAM", "Bank name"}, {"ICOP", "(c) nobody"}};
    DlsRegion looped = DimensionedRegion({{dim::kVelocity, 1}}, 2);
    looped.keyLow = 10;
    looped.keyHigh = 20;
    looped.dimensionRegions[0].wsmp =
        DlsWaveSample{.unityNote = 62, .fineTune = 7, .loopCount = 1, .loopStart = 10, .loopLength = 40};
    looped.dimensionRegions[0].poolIndex = 1;
    looped.dimensionRegions[1].poolIndex = 0;
    looped.dimensionRegions[1].wsmp = DlsWaveSample{.unityNote = 64, .loopStart = 10, .loopLength = 400};
    looped.dimensionRegions[1].articulation.U8(ewa::pan, 32);
    DlsRegion plain = DimensionedRegion({}, 1);
    plain.keyLow = 21;
    plain.keyHigh = 30;
    const std::array<uint8_t, 12> globals = {1, 2, 3, 4, 5, 6, 0xF6, 0xFF, 9, 10, 11, 12}; // fine tune -10
    dls.instruments = {
        {.name = std::string(70, 'P'), .bank = 0x0102, .drum = true, .program = 5, .regions = {plain}},
        {.name = "Second", .bank = 3, .program = 7, .regions = {looped, plain}, .globals = globals},
    };
    dls.waves = {MonoWave("Short", 100), MonoWave("Long", 1000)};
    const DlsReading read = ReadDlsBytes(dls.Build());
    const BankModel& bank = read.bank;

    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("INAM")], "Bank name");
    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("ICOP")], "(c) nobody");
    ASSERT_EQ(bank.PresetCount, 2);
    const PresetRecord& first = bank.PresetTable[1];
    const PresetRecord& second = bank.PresetTable[2];
    EXPECT_EQ(first.name, std::string(63, 'P'));
    EXPECT_EQ(first.bank, 1) << "the MSB, bits 8..14 of ulBank";
    EXPECT_EQ(first.bankLsb, 2) << "the LSB, bits 0..6";
    EXPECT_EQ(first.program, 5);
    EXPECT_EQ(first.isDrum, 1);
    EXPECT_EQ(second.bank, 0);
    EXPECT_EQ(second.bankLsb, 3);
    EXPECT_EQ(second.isDrum, 0);
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(second.instrumentGlobals[i], globals[i]);

    // Layers and zones of the second instrument follow those of the first.
    EXPECT_EQ(ZoneLists(bank, 1), (std::vector<std::vector<uint16_t>>{{0}}));
    EXPECT_EQ(ZoneLists(bank, 2), (std::vector<std::vector<uint16_t>>{{1, 2, 3}}));
    const LayerRecord& layer = bank.LayerTable.at(second.layerList[0]);
    EXPECT_EQ(layer.generators[52], -10);
    EXPECT_TRUE(layer.IsSet(52));
    EXPECT_FALSE(bank.LayerTable.at(first.layerList[0]).IsSet(52));

    const ZoneRecord& loopZone = bank.ZoneTable[1];
    EXPECT_EQ(loopZone.sampleIndex, 1);
    EXPECT_EQ(loopZone.generators[gen::sampleID], 1);
    EXPECT_EQ(loopZone.Unsigned(gen::keyRange), Range(10, 20));
    EXPECT_EQ(loopZone.generators[gen::overridingRootKey], 62);
    EXPECT_EQ(loopZone.generators[52], 7);
    EXPECT_EQ(loopZone.generators[gen::sampleModes], 1);
    EXPECT_EQ(loopZone.loopStart, 10u);
    EXPECT_EQ(loopZone.loopEnd, 50u);
    EXPECT_EQ(loopZone.rawArticulation[ewa::cutoff / 2] & 0xFF, 0x7F) << "the 3ewa bytes are kept";

    // Not looped, and the loop is longer than the sample: no loop points.
    const ZoneRecord& unloopedZone = bank.ZoneTable[2];
    EXPECT_EQ(unloopedZone.sampleIndex, 0);
    EXPECT_FALSE(unloopedZone.IsSet(gen::sampleModes));
    EXPECT_EQ(unloopedZone.loopStart, 0u);
    EXPECT_EQ(unloopedZone.loopEnd, 0u);
    EXPECT_EQ(unloopedZone.generators[gen::pan], 254);
    EXPECT_EQ(bank.ZoneTable[3].Unsigned(gen::keyRange), Range(21, 30));
}

// DLS Level 1: one layer per instrument, one zone per region, from rgnh, wsmp and wlnk.
TEST(DlsInstrumentsTest, LevelOneRegionsBecomeZonesOfOneLayer) {
    DlsBuilder dls;
    DlsRegion low{
        .keyLow = 0x80 | 12,
        .keyHigh = 47,
        .velocityLow = 1,
        .velocityHigh = 100,
        .wsmp =
            DlsWaveSample{
                .unityNote = 0x80 | 40, .fineTune = -12, .loopCount = 1, .loopStart = 4, .loopLength = 0},
        .tableIndex = 1};
    DlsRegion high{.keyLow = 48,
                   .keyHigh = 127,
                   .wsmp = DlsWaveSample{.unityNote = 60, .loopStart = 8, .loopLength = 20},
                   .tableIndex = 0,
                   .rgn2 = true};
    DlsRegion noWsmp{.keyLow = 0, .keyHigh = 11, .tableIndex = 0};
    dls.instruments = {
        {.name = "Organ", .bank = 0x0100, .program = 19, .regions = {low, high, noWsmp}},
        {.name = "Kit", .drum = true, .regions = {high}},
    };
    dls.waves = {MonoWave("A", 100), MonoWave("B", 100)};
    const DlsReading read = ReadDlsBytes(dls.Build());
    const BankModel& bank = read.bank;
    EXPECT_EQ(bank.DlsFlavour, DlsFlavour::Dls);
    ASSERT_EQ(bank.PresetCount, 2);
    ASSERT_EQ(bank.LayerCount, 2);
    ASSERT_EQ(bank.ZoneCount, 4);
    EXPECT_EQ(LayerNames(bank, 1), std::vector<std::string>{"layer"});
    EXPECT_EQ(LayerNames(bank, 2), std::vector<std::string>{"layer"});
    EXPECT_EQ(ZoneLists(bank, 1), (std::vector<std::vector<uint16_t>>{{0, 1}}))
        << "a region without wsmp of its own or of its wave is not listed";
    EXPECT_EQ(ZoneLists(bank, 2), (std::vector<std::vector<uint16_t>>{{3}}));
    EXPECT_EQ(bank.PresetTable[1].program, 19);
    EXPECT_EQ(bank.PresetTable[2].isDrum, 1);
    EXPECT_EQ(bank.LayerTable[1].generators[gen::instrument], 1);

    const ZoneRecord& z0 = bank.ZoneTable[0];
    EXPECT_EQ(z0.sampleIndex, 1);
    EXPECT_EQ(z0.generators[gen::sampleID], 1);
    EXPECT_EQ(z0.Unsigned(gen::keyRange), Range(12, 47));
    EXPECT_EQ(z0.Unsigned(gen::velRange), Range(1, 100));
    EXPECT_TRUE(z0.IsSet(gen::pan));
    EXPECT_EQ(z0.generators[gen::overridingRootKey], 40);
    EXPECT_EQ(z0.generators[52], -12);
    EXPECT_EQ(z0.generators[gen::sampleModes], 1);
    EXPECT_EQ(z0.loopStart, 4u);
    EXPECT_EQ(z0.loopEnd, 4u);

    const ZoneRecord& z1 = bank.ZoneTable[1];
    EXPECT_EQ(z1.sampleIndex, 0);
    EXPECT_FALSE(z1.IsSet(gen::sampleModes));
    EXPECT_EQ(z1.loopStart, 8u);
    EXPECT_EQ(z1.loopEnd, 20u) << "without a loop the stored length stands";
}

// Tuning, gain and loop of DLS regions as players hear them: a fine tune beyond a semitone is split into
// coarse and fine tune, a gain below unity becomes attenuation, and a region without a "wsmp" of its own
// plays by its wave's (whose tuning its sample carries).
TEST(DlsInstrumentsTest, LevelOneRegionsTuneAndAttenuateAsTheirSampleValuesSay) {
    constexpr int32_t kDecibel = 655360; // lAttenuation units per dB
    struct Case {
        const char* what = "";
        std::optional<DlsWaveSample> region{}, wave{};
        int root = 60, coarse = 0, fine = 0, attenuation = 0;
        uint32_t loopStart = 0, loopEnd = 0;
    };
    const DlsWaveSample waveValues{.unityNote = 70,
                                   .fineTune = -150,
                                   .attenuation = -6 * kDecibel,
                                   .loopCount = 1,
                                   .loopStart = 10,
                                   .loopLength = 40};
    const std::vector<Case> cases = {
        {.what = "fine tune within a semitone", .region = DlsWaveSample{.fineTune = 45}, .fine = 45},
        {.what = "fine tune of -1195 cents",
         .region = DlsWaveSample{.unityNote = 64, .fineTune = -1195},
         .root = 64,
         .coarse = -11,
         .fine = -95},
        {.what = "fine tune of +3401 cents",
         .region = DlsWaveSample{.fineTune = 3401},
         .coarse = 34,
         .fine = 1},
        {.what = "gain of -14 dB",
         .region = DlsWaveSample{.attenuation = -14 * kDecibel},
         .attenuation = 140},
        {.what = "gain of -0.6 dB",
         .region = DlsWaveSample{.attenuation = -6 * kDecibel / 10},
         .attenuation = 6},
        {.what = "gain above unity", .region = DlsWaveSample{.attenuation = 3 * kDecibel}},
        {.what = "the region's own wsmp wins; its tuning less the wave's, which the sample carries",
         .region = DlsWaveSample{.unityNote = 50, .fineTune = -100},
         .wave = waveValues,
         .root = 50,
         .fine = 50},
        {.what = "the wave's wsmp when the region has none",
         .wave = waveValues,
         .root = 70,
         .attenuation = 60,
         .loopStart = 10,
         .loopEnd = 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DlsBuilder dls;
        dls.instruments = {{.name = "Tuned", .regions = {DlsRegion{.wsmp = c.region, .tableIndex = 0}}}};
        dls.waves = {MonoWave("A", 100)};
        dls.waves[0].wsmp = c.wave;
        const BankModel& bank = ReadDlsBytes(dls.Build()).bank;
        ASSERT_EQ(ZoneLists(bank, 1), (std::vector<std::vector<uint16_t>>{{0}}));
        const ZoneRecord& zone = bank.ZoneTable[0];
        EXPECT_EQ(zone.generators[gen::overridingRootKey], c.root);
        EXPECT_EQ(zone.IsSet(gen::coarseTune) ? zone.generators[gen::coarseTune] : 0, c.coarse);
        EXPECT_EQ(zone.generators[gen::fineTune], c.fine);
        EXPECT_EQ(zone.IsSet(gen::initialAttenuation) ? zone.generators[gen::initialAttenuation] : 0,
                  c.attenuation);
        EXPECT_EQ(zone.IsSet(gen::sampleModes), c.loopEnd != 0);
        if (c.loopEnd != 0) {
            EXPECT_EQ(zone.loopStart, c.loopStart);
            EXPECT_EQ(zone.loopEnd, c.loopEnd);
        }
    }
}

// A GigaSampler region without 3ewa (a plain DLS region in the bank) plays as a DLS region does: one zone
// with its key and velocity range, its wsmp's tuning and its own art1 articulation.
TEST(DlsInstrumentsTest, GigaSamplerRegionWithoutDimensionRegionsGetsAZone) {
    constexpr uint16_t kEg1Attack = 0x0206;
    DlsRegion plain{.keyLow = 80,
                    .keyHigh = 90,
                    .velocityLow = 10,
                    .velocityHigh = 100,
                    .wsmp = DlsWaveSample{.unityNote = 70, .fineTune = -150},
                    .tableIndex = 1,
                    .articulation = test::DlsArticulationList{{{0, 0, kEg1Attack, 0, 1200 * 65536}}}};
    DlsBuilder dls = OneRegionBank(DimensionedRegion({{dim::kVelocity, 1}}), 2);
    dls.instruments[0].regions.push_back(plain);
    dls.instruments.push_back({.name = "Plain only", .program = 1, .regions = {plain}});
    const BankModel& bank = ReadDlsBytes(dls.Build()).bank;
    ASSERT_EQ(bank.DlsFlavour, DlsFlavour::GigaSampler);
    ASSERT_EQ(ZoneLists(bank, 1), (std::vector<std::vector<uint16_t>>{{0, 1, 2}}));
    ASSERT_EQ(ZoneLists(bank, 2), (std::vector<std::vector<uint16_t>>{{3}}));
    for (uint16_t z : {2, 3}) {
        SCOPED_TRACE(z);
        const ZoneRecord& zone = bank.ZoneTable[z];
        EXPECT_EQ(zone.sampleIndex, 1);
        EXPECT_EQ(zone.Unsigned(gen::keyRange), Range(80, 90));
        EXPECT_EQ(zone.Unsigned(gen::velRange), Range(10, 100));
        EXPECT_EQ(zone.generators[gen::overridingRootKey], 70);
        EXPECT_EQ(zone.generators[gen::coarseTune], -1);
        EXPECT_EQ(zone.generators[gen::fineTune], -50);
        EXPECT_EQ(zone.generators[gen::attackVolEnv], 1200);
    }
}

} // namespace
} // namespace quorvane
