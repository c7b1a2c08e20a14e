// The GigaSampler writer on small banks made byte by byte: how zones become regions and dimension regions,
// what the header, instrument and wave chunks hold, how the wave pool is indexed and how the output is
// named. What happens to an output that cannot be written is in convert/WriteTargetTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <system_error>
#include <vector>

#include "formats/common/SamplerPitch.h"
#include "support/DlsBuilder.h"
#include "support/GigWriteSession.h"
#include "support/SoundFontBuilder.h"

namespace quorvane {
namespace {

using test::Bytes;
using test::GetU32;
using test::GigFileParts;
using test::GigRegionParts;
using test::GigWriteSession;
using test::Range;
using test::SoundFontBuilder;
using test::U16At;

using Definition = std::array<uint8_t, 8>;

struct PlacedZone {
    uint8_t keyLow = 0, keyHigh = 127, velocityLow = 0, velocityHigh = 127;
    uint16_t sample = 0;
};

// One preset "P" whose one layer holds the zones, and samples S0, S1, ... of 40 frames each.
SoundFontBuilder OneLayerBank(const std::vector<PlacedZone>& zones, int samples) {
    SoundFontBuilder sf;
    for (int s = 0; s < samples; ++s)
        sf.AddSample("S" + std::to_string(s), 40);
    test::Instrument instrument{.name = "I"};
    for (const PlacedZone& z : zones)
        instrument.bags.push_back(test::Gens({{gen::keyRange, Range(z.keyLow, z.keyHigh)},
                                              {gen::velRange, Range(z.velocityLow, z.velocityHigh)},
                                              {gen::sampleID, z.sample}}));
    sf.instruments = {instrument};
    sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
    return sf;
}

std::vector<std::string> Warnings(const std::vector<std::string>& lines) {
    std::vector<std::string> warnings;
    for (const std::string& line : lines)
        if (line.rfind("!WARNING", 0) == 0)
            warnings.push_back(line);
    return warnings;
}

// Zones on the same keys become slots (overlapping velocities) and items (velocity splits) of the key grid;
// each region then has layer splits x velocity splits dimension regions, d = v x layer splits + l.
TEST(GigaWriterTest, ZonesBecomeRegionsAndDimensionRegions) {
    struct Case {
        const char* what;
        std::vector<PlacedZone> zones;
        int samples;
        std::vector<std::pair<int, int>> regions;
        std::vector<Definition> definitions; // the rest are zero
        std::vector<uint8_t> limits;         // 3ewa velocity upper limit of each dimension region
        std::vector<uint32_t> pool;          // pool index of each dimension region
        std::vector<std::string> warnings = {};
    };
    std::vector<PlacedZone> nineLayers(9);
    for (uint16_t s = 0; s < 9; ++s)
        nineLayers[s].sample = s;
    // Nine velocity bands in one slot (16 velocity splits) and two full-velocity zones over them: three
    // slots would need 4 x 16 dimension regions, so the layer splits fall to 32 / 16.
    std::vector<PlacedZone> bandsAndTwoLayers;
    for (uint16_t s = 0; s < 9; ++s)
        bandsAndTwoLayers.push_back(
            {0, 127, static_cast<uint8_t>(14 * s), static_cast<uint8_t>(s == 8 ? 127 : 14 * s + 13), s});
    bandsAndTwoLayers.push_back({.sample = 9});
    bandsAndTwoLayers.push_back({.sample = 10});
    std::vector<uint8_t> bandLimits;
    std::vector<uint32_t> bandPool;
    for (uint32_t v = 0; v < 16; ++v) {
        bandLimits.push_back(v < 8 ? static_cast<uint8_t>(14 * v + 13) : 127);
        bandLimits.push_back(127);
        bandPool.push_back(v < 9 ? v : 11); // 11: the null sample, after the 11 selected samples
        bandPool.push_back(v == 0 ? 9 : 11);
    }

    const std::vector<Case> cases = {
        {"one zone over 36..96", {{36, 96}}, 1, {{36, 96}}, {}, {127}, {0}},
        {"two velocity halves",
         {{0, 127, 0, 63, 0}, {0, 127, 64, 127, 1}},
         2,
         {{0, 127}},
         {{0x82, 1, 0, 1, 0, 0, 0, 0}},
         {63, 127},
         {0, 1}},
        {"a layered pair",
         {{0, 127, 0, 127, 0}, {0, 127, 0, 127, 1}},
         2,
         {{0, 127}},
         {{0x81, 1, 0, 1, 0, 0, 0, 0}},
         {127, 127},
         {0, 1}},
        {"a velocity gap played by the null sample",
         {{0, 127, 0, 40, 0}, {0, 127, 80, 127, 1}},
         2,
         {{0, 127}},
         {{0x82, 2, 0, 3, 0, 0, 0, 0}},
         {40, 79, 127, 127},
         {0, 2, 1, 2}},
        {"nine overlapping layers: at most 8 layer splits",
         nineLayers,
         9,
         {{0, 127}},
         {{0x81, 3, 0, 7, 0, 0, 0, 0}},
         std::vector<uint8_t>(8, 127),
         {0, 1, 2, 3, 4, 5, 6, 7}},
        {"too many layer splits for 16 velocity splits",
         bandsAndTwoLayers,
         11,
         {{0, 127}},
         {{0x81, 1, 0, 1, 0, 0, 0, 0}, {0x82, 4, 1, 30, 0, 0, 0, 0}},
         bandLimits,
         bandPool,
         {"!WARNING Too many layer splits in region [C-1 - G9]."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GigWriteSession session;
        session.Load(OneLayerBank(c.zones, c.samples).Build());
        const GigFileParts gig = session.WriteAndRead();
        ASSERT_EQ(gig.instruments.size(), 1u);
        const auto& regions = gig.instruments[0].regions;
        std::vector<std::pair<int, int>> keys;
        keys.reserve(regions.size());
        for (const GigRegionParts& r : regions)
            keys.emplace_back(r.KeyLow(), r.KeyHigh());
        EXPECT_EQ(keys, c.regions);
        EXPECT_EQ(GetU32(gig.instruments[0].insh, 0), regions.size());
        EXPECT_EQ(Warnings(session.host.statusLines), c.warnings);
        ASSERT_EQ(regions.size(), 1u);

        const GigRegionParts& region = regions[0];
        const uint32_t n = static_cast<uint32_t>(c.limits.size());
        EXPECT_EQ(region.DimensionRegionCount(), n);
        ASSERT_EQ(region.dimensionRegions.size(), n);
        EXPECT_EQ(region.listSize, 204 * n + 310);
        EXPECT_EQ(region.prgListSize, 204 * n + 4);
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(region.Definition(i), i < c.definitions.size() ? c.definitions[i] : Definition{}) << i;
        EXPECT_EQ(region.VelocityLimits(), c.limits);
        std::vector<uint32_t> pool = c.pool;
        pool.resize(32, 0xFFFFFFFF);
        EXPECT_EQ(region.PoolIndices(), pool);
        EXPECT_EQ(region.TableIndex(), c.pool[0]);
        EXPECT_EQ(region.wsmp, region.dimensionRegions[0].wsmp)
            << "the region's wsmp is dimension region 0's";
        const bool layered = !c.definitions.empty() && c.definitions[0][0] == 0x81;
        EXPECT_EQ(U16At(region.ddp, 0), layered ? 0 : 0xFFFF);

        // The waves: every selected sample in table order, then the null sample when a gap needed it.
        const bool usesNull = std::count(c.pool.begin(), c.pool.end(), static_cast<uint32_t>(c.samples)) > 0;
        ASSERT_EQ(gig.waves.size(), static_cast<size_t>(c.samples) + (usesNull ? 1 : 0));
        for (int s = 0; s < c.samples; ++s)
            EXPECT_EQ(gig.waves[s].name, "S" + std::to_string(s));
        if (usesNull) {
            EXPECT_EQ(gig.waves.back().name, "null_sample");
        }
    }
}

// Every chunk of the file in its order and size: the bank INFO with its defaults, the identifiers, the
// instrument headers and globals (a fine tune all layers share moves there), the tuning, gain and root key of
// each dimension region after SoundFont global layers and zones are spread, and the default sample group.
TEST(GigaWriterTest, HeaderInstrumentsAndWaveSamples) {
    SoundFontBuilder sf;
    sf.info = {test::InfoText("INAM", "Bank Name"), test::InfoText("IENG", "Someone"),
               test::InfoText("ICMT", std::string(1500, 'c'))};
    sf.AddSample("Sine", 40);
    sf.AddSample("Saw", 30);
    sf.samples[1].originalKey = 48;
    sf.instruments = {
        {.name = "I",
         .bags = {
             test::Gens({{gen::overridingRootKey, 62}}),
             test::Gens({{gen::keyRange, Range(0, 59)}, {51, 1}, {52, 3}, {48, 100}, {gen::sampleID, 0}}),
             test::Gens(
                 {{gen::keyRange, Range(60, 127)}, {gen::overridingRootKey, 50}, {gen::sampleID, 1}})}}};
    sf.presets = {
        {.name = "Lead",
         .program = 80,
         .bank = 8,
         .bags = {test::Gens({{52, 7}, {gen::instrument, 0}}),
                  test::Gens({{gen::keyRange, Range(100, 127)}, {52, 7}, {48, 1500}, {gen::instrument, 0}})}},
        {.name = "Kit",
         .program = 25,
         .bank = 128,
         .bags = {test::Gens({{48, 50}, {52, 5}}),
                  test::Gens({{gen::keyRange, Range(0, 59)}, {gen::instrument, 0}})}},
    };
    GigWriteSession session;
    session.Load(sf.Build());
    const UniqueId fileId = session.workspace.writer.giga.fileId;
    const UniqueId instrumentId = session.workspace.writer.giga.instrumentId;
    const std::time_t before = std::time(nullptr);
    const GigaWriteResult result = session.Write();
    const std::time_t after = std::time(nullptr);
    ASSERT_TRUE(result.written);
    const Bytes file = test::ReadFileBytes(result.path);
    const GigFileParts gig = test::ReadGigParts(file);

    EXPECT_EQ(gig.topLevel, (std::vector<std::string>{"INFO", "vers", "colh", "dlid", "lins", "3gri", "ptbl",
                                                      "wvpl", "3crc"}));
    EXPECT_EQ(result.size, file.size());
    EXPECT_EQ(session.workspace.writer.LastWrittenSize, file.size());
    EXPECT_EQ(session.host.statusLines,
              (std::vector<std::string>{
                  "Saving instrument 1  'Lead'", "Saving instrument 2  'Kit'", "Updating wavepool table ...",
                  "Copying sample 1  'Sine'", "Copying sample 2  'Saw'",
                  "Saved file  '" + result.path + "'  (" + std::to_string(file.size()) + " bytes)."}));

    // Bank INFO: fixed sizes, blanks for the archival location, texts cut to 127 characters and the comment
    // to the 1023 its wider field holds.
    EXPECT_EQ(gig.infoSize, 3340u);
    ASSERT_EQ(gig.info.size(), 17u);
    EXPECT_EQ(gig.info.at("IARL"), Bytes(256, ' '));
    for (const auto& [tag, data] : gig.info) {
        if (tag != "IARL") {
            EXPECT_EQ(data.size(), tag == "ICMT" ? 1024u : 128u) << tag;
        }
    }
    EXPECT_EQ(test::TextField(gig.info.at("INAM")), "Bank")
        << "a SoundFont's own name gives way to the list entry";
    EXPECT_EQ(test::TextField(gig.info.at("ISFT")), "Quorvane v1.1");
    EXPECT_EQ(test::TextField(gig.info.at("IENG")), "Someone");
    EXPECT_EQ(test::TextField(gig.info.at("ICMT")), std::string(1023, 'c'));
    // The creation date in local time, as the SoundFont writer writes it.
    const std::string created = test::TextField(gig.info.at("ICRD"));
    const std::regex dateForm(R"(^(\d{1,2}) ([A-Z][a-z]{2}) (\d{4})   (\d{1,2}):(\d{2}):(\d{2})$)");
    std::smatch date;
    ASSERT_TRUE(std::regex_match(created, date, dateForm)) << created;
    bool matchesClock = false;
    for (std::time_t t : {before, after}) {
        std::tm local{};
        localtime_r(&t, &local);
        char expected[64];
        std::strftime(expected, sizeof expected, "%b %Y", &local);
        matchesClock = matchesClock || (std::stoi(date[1]) == local.tm_mday &&
                                        date[2].str() + " " + date[3].str() == expected &&
                                        std::stoi(date[4]) == local.tm_hour);
    }
    EXPECT_TRUE(matchesClock) << created;

    EXPECT_EQ(gig.vers, (Bytes{0, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(GetU32(gig.colh, 0), 2u);
    EXPECT_EQ(gig.dlid, Bytes(fileId.begin(), fileId.end()));

    ASSERT_EQ(gig.instruments.size(), 2u);
    const auto& lead = gig.instruments[0];
    const auto& kit = gig.instruments[1];
    EXPECT_EQ(lead.name, "Lead");
    EXPECT_EQ(lead.inam.size(), 64u);
    EXPECT_EQ(std::string(lead.isft.begin(), lead.isft.end()), "Pellaquinter");
    Bytes secondId(instrumentId.begin(), instrumentId.end());
    test::PatchU32(secondId, 0, GetU32(secondId, 0) + 1);
    EXPECT_EQ(lead.dlid, Bytes(instrumentId.begin(), instrumentId.end()));
    EXPECT_EQ(kit.dlid, secondId);
    EXPECT_EQ(lead.insh, (Bytes{3, 0, 0, 0, 0, 8, 0, 0, 80, 0, 0, 0})) << "SoundFont bank 8 is MSB 8";
    EXPECT_EQ(kit.insh, (Bytes{1, 0, 0, 0, 0, 0, 0, 0x80, 25, 0, 0, 0}));
    // Both layers of the lead share fine tune 7: it moves into the globals. The kit's global layer is spread
    // into its other layer and then holds nothing, so the kit's layers do not agree.
    EXPECT_EQ(lead.ewg, (Bytes{0, 0, 0, 0, 0, 0, 7, 0, 2, 0, 0, 127}));
    EXPECT_EQ(kit.ewg, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 127}));

    // A dimension region's wsmp: unity note, fine tune, gain (high 16 bits of lAttenuation).
    struct Wave {
        uint16_t unity;
        int16_t fine;
        uint32_t attenuation;
        bool operator==(const Wave&) const = default;
    };
    auto waveOf = [](const Bytes& wsmp) {
        return Wave{U16At(wsmp, 4), test::S16At(wsmp, 6), GetU32(wsmp, 8)};
    };
    std::vector<std::vector<Wave>> leadWaves;
    for (const GigRegionParts& r : lead.regions) {
        leadWaves.emplace_back();
        for (const auto& d : r.dimensionRegions)
            leadWaves.back().push_back(waveOf(d.wsmp));
    }
    // Keys 0..59: the global zone's root key 62; fine 3 + 100 x coarse 1; 100 cB -> 37 (x 0.38 - 0.6).
    // Keys 60..99: the zone's own root key 50. Keys 100..127 add the second layer, whose 1500 cB is
    // limited to 1440 -> 547.
    EXPECT_EQ(leadWaves, (std::vector<std::vector<Wave>>{
                             {{62, 103, 37u << 16}}, {{50, 0, 0}}, {{50, 0, 0}, {50, 0, 547u << 16}}}));
    ASSERT_EQ(kit.regions.size(), 1u);
    // The kit's layer took attenuation 50 and fine tune 5 from the global layer: 100 + 50 cB -> 56.
    EXPECT_EQ(waveOf(kit.regions[0].dimensionRegions.at(0).wsmp), (Wave{62, 108, 56u << 16}));

    // A SoundFont has no sample groups: one default group, and every wave in it.
    EXPECT_EQ(gig.groupNames, std::vector<std::string>{"Default Sample Group"});
    EXPECT_EQ(gig.groupListSize, 88u);
    EXPECT_EQ(gig.groupNameListSize, 76u);
    for (const auto& wave : gig.waves)
        EXPECT_EQ(wave.gix, (Bytes{0, 0, 0, 0})) << wave.name;
}

// The wave chunks: PCM format of the sample's rate, the tuning as the pitch the wave sounds at (unity note
// and fraction above it, a correction of more than half a semitone whole), and the loop end as the last
// frame of the loop. Our reader reads the same pitch back.
TEST(GigaWriterTest, WaveChunksCarryFormatTuningAndLoop) {
    SoundFontBuilder sf;
    sf.AddSample("Flat", 40);
    sf.AddSample("Sharp", 40);
    sf.AddSample("Looped", 2100);
    sf.samples[0].correction = -10;
    sf.samples[1].correction = 60;
    sf.samples[1].sampleRate = 22050;
    sf.samples[2].originalKey = 72;
    sf.samples[2].loopStart = sf.samples[2].start + 100;
    sf.samples[2].loopEnd = sf.samples[2].start + 2000;
    sf.instruments = {
        {.name = "I",
         .bags = {test::Gens({{gen::keyRange, Range(0, 40)}, {gen::sampleID, 0}}),
                  test::Gens({{gen::keyRange, Range(41, 80)}, {gen::sampleID, 1}}),
                  test::Gens({{gen::keyRange, Range(81, 127)}, {gen::sampleModes, 1}, {gen::sampleID, 2}})}}};
    sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
    GigWriteSession session;
    session.Load(sf.Build());
    const GigaWriteResult result = session.Write();
    ASSERT_TRUE(result.written);
    const Bytes file = test::ReadFileBytes(result.path);
    const GigFileParts gig = test::ReadGigParts(file);
    ASSERT_EQ(gig.waves.size(), 3u);

    struct Expected {
        uint32_t rate, frames, unity, fraction, loops, loopStart, loopEnd;
    };
    const Expected expected[] = {
        // Unlooped samples keep the loop points of their header (8 frames in from each end), with count 0.
        // A correction of -10 sounds 10 cents above the root; one of 60 sounds 40 cents above the note below.
        {44100, 40, 60, 10 * kFractionPerCent, 0, 8, 31},
        {22050, 40, 59, 40 * kFractionPerCent, 0, 8, 31},
        {44100, 2100, 72, 0, 1, 100, 1999},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(gig.waves[i].name);
        const auto& wave = gig.waves[i];
        Bytes fmt;
        for (uint32_t v : {1u | 1u << 16, expected[i].rate, 2 * expected[i].rate, 2u | 16u << 16})
            test::PutU32(fmt, v);
        EXPECT_EQ(wave.fmt, fmt);
        EXPECT_EQ(wave.data.size(), 2 * expected[i].frames);
        EXPECT_EQ(wave.listSize, wave.data.size() + 200);
        ASSERT_EQ(wave.smpl.size(), 60u);
        EXPECT_EQ(GetU32(wave.smpl, 8), 22676u);
        EXPECT_EQ(GetU32(wave.smpl, 12), expected[i].unity);
        EXPECT_EQ(GetU32(wave.smpl, 16), expected[i].fraction);
        EXPECT_EQ(GetU32(wave.smpl, 28), expected[i].loops);
        EXPECT_EQ(GetU32(wave.smpl, 44), expected[i].loopStart);
        EXPECT_EQ(GetU32(wave.smpl, 48), expected[i].loopEnd);
    }
    // Players tune by the dimension region, so its fine tune carries the sample's correction as well.
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(test::S16At(gig.instruments.at(0).regions.at(i).dimensionRegions.at(0).wsmp, 6),
                  (std::array<int16_t, 3>{-10, 60, 0}[i]))
            << i;
    // The looped zone's wsmp: one loop, start 100, length 1900.
    const Bytes& wsmp = gig.instruments.at(0).regions.at(2).dimensionRegions.at(0).wsmp;
    EXPECT_EQ(GetU32(wsmp, 16), 1u);
    EXPECT_EQ(GetU32(wsmp, 28), 100u);
    EXPECT_EQ(GetU32(wsmp, 32), 1900u);

    const test::DlsReading back = test::ReadDlsBytes(file);
    ASSERT_GE(back.bank.SampleCount, 3);
    EXPECT_EQ(back.bank.SampleTable[0].pitchCorrection, -10);
    EXPECT_EQ(back.bank.SampleTable[1].rootKey, 59);
    EXPECT_EQ(back.bank.SampleTable[1].pitchCorrection, -40);
    EXPECT_EQ(back.bank.SampleTable[2].loopStart, 100u);
    EXPECT_EQ(back.bank.SampleTable[2].loopEnd, 2000u);
}

// Only the selected samples are written, in table order, and pool indices count them: a sample left out in
// the middle shifts the later ones down, and the null sample a velocity gap needs comes last. The pool table
// gives each wave's LIST offset from the first byte after the wave pool's list type.
TEST(GigaWriterTest, PoolIndicesCountTheSelectedSamplesAndTheNullSampleComesLast) {
    SoundFontBuilder sf;
    for (const char* name : {"A", "B", "C"})
        sf.AddSample(name, 30);
    for (size_t s = 0; s < 3; ++s)
        sf.sampleWords[sf.samples[s].start] = static_cast<int16_t>(1000 + s); // tell the waves apart
    sf.instruments = {{.name = "Gap",
                       .bags = {test::Gens({{gen::velRange, Range(0, 40)}, {gen::sampleID, 0}}),
                                test::Gens({{gen::velRange, Range(80, 127)}, {gen::sampleID, 2}})}},
                      {.name = "Other", .bags = {test::Gens({{gen::sampleID, 1}})}}};
    sf.presets = {{.name = "Keep", .bags = {test::Gens({{gen::instrument, 0}})}},
                  {.name = "Skip", .program = 1, .bags = {test::Gens({{gen::instrument, 1}})}}};
    GigWriteSession session;
    session.Load(sf.Build());
    BankModel& bank = session.workspace.bank;
    session.selection = WriteSelection::Presets(bank, {1});
    ASSERT_EQ(bank.SampleCount, 3);
    const GigaWriteResult result = session.Write();
    ASSERT_TRUE(result.written);
    const GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));

    EXPECT_EQ(GetU32(gig.colh, 0), 1u);
    ASSERT_EQ(gig.instruments.size(), 1u);
    const GigRegionParts& region = gig.instruments[0].regions.at(0);
    EXPECT_EQ(region.VelocityLimits(), (std::vector<uint8_t>{40, 79, 127, 127}));
    const std::vector<uint32_t> pool = region.PoolIndices();
    EXPECT_EQ(std::vector<uint32_t>(pool.begin(), pool.begin() + 4), (std::vector<uint32_t>{0, 2, 1, 2}));
    // The null sample's dimension regions play it at the region's first key.
    EXPECT_EQ(U16At(region.dimensionRegions[1].wsmp, 4), 0);

    ASSERT_EQ(gig.waves.size(), 3u);
    EXPECT_EQ(gig.waves[0].name, "A");
    EXPECT_EQ(gig.waves[1].name, "C");
    EXPECT_EQ(gig.waves[2].name, "null_sample");
    EXPECT_EQ(test::S16At(gig.waves[0].data, 0), 1000);
    EXPECT_EQ(test::S16At(gig.waves[1].data, 0), 1002);
    EXPECT_EQ(gig.waves[2].data, Bytes(128, 0));
    EXPECT_EQ(GetU32(gig.waves[2].fmt, 4), 44100u);
    EXPECT_EQ(GetU32(gig.waves[2].smpl, 12), 60u);

    ASSERT_EQ(gig.ptbl.size(), 8u + 4 * 3);
    EXPECT_EQ(GetU32(gig.ptbl, 0), 8u);
    EXPECT_EQ(gig.PoolTableCount(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(gig.PoolTableOffset(i), gig.waves[i].offset - (gig.wavePoolOffset + 12)) << i;

    // The model is only read: the null sample exists in the file alone, numbered after the bank's written
    // samples, and the unselected sample has no pool number.
    EXPECT_EQ(bank.SampleCount, 3);
    EXPECT_EQ(result.poolIndex, (std::vector<uint32_t>{0, 0xFFFFFFFFu, 1}));
}

// The bank name in the INFO list: a SoundFont's own name always gives way to the bank list's entry, or, for
// a file of one preset (mode 1), to that preset's name; a GigaSampler bank keeps the name it has.
TEST(GigaWriterTest, BankNameInTheInfoList) {
    SoundFontBuilder sf = OneLayerBank({{}}, 1);
    sf.info = {test::InfoText("INAM", "Own Name")};
    sf.presets.push_back({.name = "Second", .program = 1, .bags = {test::Gens({{gen::instrument, 0}})}});
    test::DlsBuilder dls;
    dls.info = {{"INAM", "Own Name"}};
    dls.instruments = {{.name = "First", .regions = {{.dimensionRegions = {{}}}}},
                       {.name = "Second", .program = 1, .regions = {{.dimensionRegions = {{}}}}}};
    dls.waves = {test::MonoWave("Wave", 100)};
    struct Case {
        const char* what;
        bool giga;
        BankNaming naming;
        std::vector<uint32_t> presets;
        std::string name;
    };
    constexpr BankNaming kBank = BankNaming::SourceBank, kPreset = BankNaming::Preset;
    const Case cases[] = {
        {"SoundFont, whole bank", false, kBank, {1, 2}, "Bank"},
        {"SoundFont, one preset to its own file", false, kPreset, {2}, "Second"},
        {"SoundFont, two presets named after the preset", false, kPreset, {1, 2}, "Bank"},
        {"SoundFont, one preset named after the bank", false, kBank, {2}, "Bank"},
        {"GigaSampler, one preset to its own file", true, kPreset, {2}, "Own Name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GigWriteSession session;
        if (c.giga)
            session.Load(dls.Build(), "Bank.gig", SourceFormat::Dls);
        else
            session.Load(sf.Build());
        BankModel& bank = session.workspace.bank;
        session.selection = WriteSelection::Presets(bank, c.presets);
        session.workspace.selection.currentPreset = c.presets.back();
        const GigaWriteResult result = session.Write("Out.gig", c.naming);
        ASSERT_TRUE(result.written);
        const GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));
        EXPECT_EQ(test::TextField(gig.info.at("INAM")), c.name);
        EXPECT_EQ(gig.instruments.size(), c.presets.size());
    }
}

// Writing onto the open bank's own file goes to "-1.gig", or the next number that is free; the bank itself
// is left as it was, also when the output names it in another spelling of its path.
TEST(GigaWriterTest, OutputOntoTheOpenBankTakesTheNextFreeNumber) {
    test::DlsBuilder dls;
    dls.instruments = {
        {.name = "Inst", .regions = {{.keyLow = 36, .keyHigh = 72, .dimensionRegions = {{}}}}}};
    dls.waves = {test::MonoWave("Wave", 100)};
    const Bytes source = dls.Build();
    struct Case {
        std::string output; // in the test folder
        std::vector<std::string> existing;
        std::string written;
    };
    for (const Case& c : {Case{"Bank.gig", {}, "Bank-1.gig"}, Case{"Bank.gig", {"Bank-1.gig"}, "Bank-2.gig"},
                          Case{"Bank.gig", {"Bank-1.gig", "Bank-2.gig", "Bank-4.gig"}, "Bank-3.gig"},
                          Case{"./Bank.gig", {}, "Bank-1.gig"}}) {
        SCOPED_TRACE(c.output + " " + c.written);
        GigWriteSession session;
        session.Load(source, "Bank.gig", SourceFormat::Dls);
        for (const std::string& name : c.existing)
            session.folder.Write(name, {'o', 'l', 'd'});
        const GigaWriteResult result = session.Write(c.output);
        ASSERT_TRUE(result.written);
        std::error_code missing;
        EXPECT_TRUE(std::filesystem::equivalent(result.path, session.folder.Folder() + c.written, missing))
            << result.path;
        EXPECT_TRUE(test::ReadFileBytes(session.sourcePath) == source) << "the open bank was overwritten";
        for (const std::string& name : c.existing)
            EXPECT_EQ(test::ReadFileBytes(session.folder.Folder() + name), (Bytes{'o', 'l', 'd'})) << name;
        EXPECT_EQ(test::ReadGigParts(test::ReadFileBytes(result.path)).instruments.size(), 1u);
    }
}

} // namespace
} // namespace quorvane
