// Akai programs read into layers and zones: the keygroup conversions as one table of inputs and generator
// values, the zones a program makes, the velocity range moved up to the layer, the S3000 layout and the
// re-read of one program.
#include <gtest/gtest.h>

#include <functional>

#include "formats/akai/AkaiPrograms.h"
#include "support/AkaiDiscReading.h"

namespace quorvane {
namespace {

using test::AkaiImageBuilder;
using test::AkaiKeygroup;
using test::AkaiPartition;
using test::AkaiProgram;
using test::AkaiSample;
using test::AkaiVelocityZone;
using test::AkaiVolume;

AkaiVelocityZone Zone(const std::string& sample, uint8_t low = 0, uint8_t high = 127) {
    AkaiVelocityZone zone;
    zone.sample = sample;
    zone.lowVelocity = low;
    zone.highVelocity = high;
    return zone;
}

AkaiImageBuilder Disc(const std::vector<AkaiProgram>& programs, bool s3000 = false) {
    AkaiImageBuilder builder;
    AkaiVolume volume{"V", static_cast<uint8_t>(s3000 ? 3 : 1)};
    for (const char* name : {"SINE", "SAW", "SINE"}) // a name twice: the first one is played
        volume.files.push_back(test::SampleFile(AkaiSample{name, std::vector<int16_t>(64)}, s3000));
    for (const AkaiProgram& program : programs)
        volume.files.push_back(test::ProgramFile(program));
    builder.partitions = {AkaiPartition{1, {volume}}};
    return builder;
}

ReadNotes ReadAll(test::AkaiDiscReading& disc, bool s3000 = false) {
    ReadNotes notes;
    ReadAkaiPrograms(disc.bank, disc.scsi, AkaiProgramMode::ReadAll, 0, s3000, notes);
    return notes;
}

TEST(AkaiProgramsTest, KeygroupValuesBecomeZoneGenerators) {
    struct Case {
        const char* name;
        std::function<void(AkaiKeygroup&)> change;
        int generator;
        int value;
        bool present;
    };
    using K = AkaiKeygroup&;
    const Case cases[] = {
        {"attack 0", [](K) {}, gen::attackVolEnv, -12000, false},
        {"attack 1", [](K k) { k.env1[0] = 1; }, gen::attackVolEnv, -11208, true},
        {"attack 50", [](K k) { k.env1[0] = 50; }, gen::attackVolEnv, -3573, true},
        {"attack 99", [](K k) { k.env1[0] = 99; }, gen::attackVolEnv, 4061, true},
        {"attack bit 7 ignored", [](K k) { k.env1[0] = 128 + 50; }, gen::attackVolEnv, -3573, true},
        {"decay 50", [](K k) { k.env1[1] = 50; }, gen::decayVolEnv, -2525, true},
        {"release 0", [](K) {}, gen::releaseVolEnv, -12000, false},
        {"release 1", [](K k) { k.env1[3] = 1; }, gen::releaseVolEnv, -11857, true},
        {"sustain 99", [](K) {}, gen::sustainVolEnv, 0, false},
        {"sustain 50", [](K k) { k.env1[2] = 50; }, gen::sustainVolEnv, 300, true},
        {"sustain 0", [](K k) { k.env1[2] = 0; }, gen::sustainVolEnv, 1000, true},
        {"env2 attack 50", [](K k) { k.env2[0] = 50; }, gen::attackModEnv, -3573, true},
        {"env2 decay 50", [](K k) { k.env2[1] = 50; }, gen::decayModEnv, -2525, true},
        {"env2 sustain 50", [](K k) { k.env2[2] = 50; }, gen::sustainModEnv, 300, true},
        {"env2 release 99", [](K k) { k.env2[3] = 99; }, gen::releaseModEnv, 6805, true},
        {"cutoff 99", [](K) {}, gen::initialFilterFc, 13508, false},
        {"cutoff 0", [](K k) { k.cutoff = 0; }, gen::initialFilterFc, 1550, true},
        {"cutoff 50", [](K k) { k.cutoff = 50; }, gen::initialFilterFc, 7695, true},
        {"cutoff 40 + offset 10",
         [](K k) {
             k.cutoff = 40;
             k.zones[0].filterOffset = 10;
         },
         gen::initialFilterFc, 7695, true},
        {"cutoff 98", [](K k) { k.cutoff = 98; }, gen::initialFilterFc, 13595, true},
        {"cutoff 90 + offset 20",
         [](K k) {
             k.cutoff = 90;
             k.zones[0].filterOffset = 20;
         },
         gen::initialFilterFc, 13508, false},
        {"env2 to filter -3", [](K k) { k.env2ToFilter = -3; }, gen::modEnvToFilterFc, -720, true},
        {"env2 to filter 0", [](K) {}, gen::modEnvToFilterFc, 0, false},
        {"env2 to pitch 5", [](K k) { k.env2ToPitch = 5; }, gen::modEnvToPitch, 1200, true},
        {"key to env1 decay 2", [](K k) { k.keyToEnv1Decay = 2; }, gen::keynumToVolEnvDecay, 48, true},
        {"key to env2 decay -1", [](K k) { k.keyToEnv2Decay = -1; }, gen::keynumToModEnvDecay, -24, true},
        {"zone pan -50", [](K k) { k.zones[0].pan = -50; }, gen::pan, -500, true},
        {"centre pan", [](K) {}, gen::pan, 0, true},
        {"keys 36..72",
         [](K k) {
             k.lowKey = 36;
             k.highKey = 128 + 72;
         },
         gen::keyRange, 72 * 256 + 36, true},
        {"no tune", [](K) {}, gen::coarseTune, 0, false},
        {"zone +1 semitone", [](K k) { k.zones[0].semitoneTune = 1; }, gen::coarseTune, 1, true},
        {"keygroup 128/255 and zone -2: coarse",
         [](K k) {
             k.fineTune = 128;
             k.zones[0].semitoneTune = -2;
         },
         gen::coarseTune, -1, true},
        {"keygroup 128/255 and zone -2: fine",
         [](K k) {
             k.fineTune = 128;
             k.zones[0].semitoneTune = -2;
         },
         gen::fineTune, -50, true},
        {"constant pitch", [](K k) { k.zones[0].constantPitch = true; }, gen::scaleTuning, 0, true},
        {"pitch tracking", [](K) {}, gen::scaleTuning, 0, false},
        {"root key", [](K) {}, gen::overridingRootKey, 60, true},
        {"sample", [](K k) { k.zones[0] = Zone("SAW"); }, gen::sampleID, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AkaiKeygroup keygroup;
        keygroup.zones[0] = Zone("SINE");
        c.change(keygroup);
        test::AkaiDiscReading disc(Disc({AkaiProgram{"P", false, 0, 0, 0, 0, {keygroup}}}));
        ReadAll(disc);
        ASSERT_EQ(disc.bank.ZoneCount, 1u);
        const ZoneRecord& zone = disc.bank.ZoneTable[0];
        EXPECT_EQ(zone.generators[c.generator], c.value);
        EXPECT_EQ(zone.IsSet(c.generator), c.present);
    }
}

TEST(AkaiProgramsTest, ProgramMakesOneLayerAndAZonePerUsedVelocityZone) {
    AkaiKeygroup low, high, notAKeygroup, unplayable;
    low.highKey = 59;
    low.cutoff = 90;
    low.zones = {Zone("SINE", 0, 63), Zone("SAW", 64, 127), Zone("NO SUCH", 0, 127), Zone("SAW", 90, 80)};
    low.zones[0].filterOffset = 30;
    low.zones[0].loudness = 127;
    low.zones[0].constantPitch = true;
    high.lowKey = 60;
    high.zones = {Zone("SINE", 0, 63), Zone("SAW", 64, 127)};
    notAKeygroup.blockId = 3;
    notAKeygroup.zones[0] = Zone("SINE");
    unplayable.zones[0] = Zone("SINE", 0, 0); // velocities 0..0: the zone plays nothing
    AkaiProgram program{"PIANO", false, 7, -20, 128, -1, {low, notAKeygroup, high, unplayable}};

    test::AkaiDiscReading disc(Disc({AkaiProgram{"FIRST"}, program}));
    disc.bank.BankInfo[3] = "left from before";
    ReadAll(disc);
    const BankModel& bank = disc.bank;
    ASSERT_EQ(bank.PresetCount, 2u);
    ASSERT_EQ(bank.LayerCount, 2u);
    EXPECT_TRUE(bank.BankInfo[3].empty());

    const PresetRecord& preset = bank.PresetTable[2];
    EXPECT_EQ(preset.program, 7);
    EXPECT_EQ(preset.keygroupCount, 2);
    EXPECT_EQ(preset.layerList.Count(), 1u);
    EXPECT_EQ(preset.layerList[0], 1);
    EXPECT_EQ(preset.instrumentGlobals[42], 4u) << "the header's bytes are kept";
    EXPECT_EQ(preset.instrumentGlobals[15], 7u);

    const LayerRecord& layer = bank.LayerTable[1];
    EXPECT_EQ(layer.name, "PIANO");
    EXPECT_EQ(layer.isGlobal, 0);
    EXPECT_EQ(layer.generators[gen::instrument], 1);
    EXPECT_EQ(layer.generators[gen::pan], -200);
    EXPECT_EQ(layer.generators[gen::fineTune], -50) << "-1 semitone + 128/255";
    EXPECT_TRUE(layer.IsSet(gen::coarseTune));
    EXPECT_EQ(layer.generators[gen::coarseTune], 0);
    EXPECT_EQ(layer.Unsigned(gen::velRange), kFullRange) << "the zones' velocity ranges differ";

    ASSERT_EQ(layer.zoneList.Count(), 4u);
    EXPECT_EQ(bank.ZoneCount, 4u);
    const uint16_t velocities[] = {63 << 8, 127 << 8 | 64, 63 << 8, 127 << 8 | 64};
    const uint16_t keys[] = {59 << 8, 59 << 8, 127 << 8 | 60, 127 << 8 | 60};
    for (size_t i = 0; i < 4; ++i) {
        const ZoneRecord& zone = bank.ZoneTable[layer.zoneList[i]];
        EXPECT_EQ(zone.Unsigned(gen::velRange), velocities[i]);
        EXPECT_EQ(zone.Unsigned(gen::keyRange), keys[i]);
        EXPECT_EQ(zone.sampleIndex, i % 2);
        EXPECT_EQ(zone.isGlobal, 0);
    }
    // The keygroup's bytes kept for display, with the zone's cutoff, loudness and pitch tracking in them.
    const ZoneRecord& first = bank.ZoneTable[layer.zoneList[0]];
    EXPECT_EQ(first.rawArticulation[1] & 0xFF, 0) << "keygroup byte 2";
    EXPECT_EQ(first.rawArticulation[3] >> 8, 99) << "cutoff 90 + offset 30, at most 99";
    EXPECT_EQ(first.rawArticulation[25] & 0xFF, 50) << "loudness 127 * 50 / 127";
    EXPECT_EQ(first.rawArticulation[61] & 0xFF, 1) << "constant pitch";
    EXPECT_EQ(first.rawArticulation[75], 0);
    EXPECT_EQ(bank.ZoneTable[layer.zoneList[1]].rawArticulation[3] >> 8, 90);
}

TEST(AkaiProgramsTest, SharedVelocityRangeMovesUpToTheLayer) {
    struct Case {
        uint8_t low, high;
        uint16_t layerRange;
    };
    for (const Case& c : {Case{0, 127, kFullRange}, Case{10, 100, 100 << 8 | 10}}) {
        AkaiKeygroup a, b;
        a.zones[0] = Zone("SINE", c.low, c.high);
        b.zones = {Zone("SAW", c.low, c.high), Zone("SINE", c.low, c.high)};
        test::AkaiDiscReading disc(Disc({AkaiProgram{"P", false, 0, 0, 0, 0, {a, b}}}));
        ReadAll(disc);
        const LayerRecord& layer = disc.bank.LayerTable[0];
        EXPECT_EQ(layer.Unsigned(gen::velRange), c.layerRange);
        ASSERT_EQ(layer.zoneList.Count(), 3u);
        for (uint16_t z : layer.zoneList)
            EXPECT_EQ(disc.bank.ZoneTable[z].Unsigned(gen::velRange), kFullRange);
    }
    // A single zone keeps its own range.
    AkaiKeygroup only;
    only.zones[0] = Zone("SINE", 10, 100);
    test::AkaiDiscReading disc(Disc({AkaiProgram{"P", false, 0, 0, 0, 0, {only}}}));
    ReadAll(disc);
    EXPECT_EQ(disc.bank.ZoneTable[0].Unsigned(gen::velRange), 100 << 8 | 10);
    EXPECT_EQ(disc.bank.LayerTable[0].Unsigned(gen::velRange), kFullRange);
}

TEST(AkaiProgramsTest, S3000KeygroupsAreReadAtTheirOwnStride) {
    AkaiKeygroup first, second;
    first.zones[0] = Zone("SINE");
    second.lowKey = 70;
    second.zones[0] = Zone("SAW");
    AkaiProgram program{"S3K", true, 0, 0, 0, 0, {first, second}};
    test::AkaiDiscReading disc(Disc({program}, true));
    ReadAll(disc, disc.akai.IsS3000Volume(0));
    ASSERT_EQ(disc.bank.ZoneCount, 2u);
    EXPECT_EQ(disc.bank.ZoneTable[1].Unsigned(gen::keyRange), 127 << 8 | 70);
    EXPECT_EQ(disc.bank.ZoneTable[1].sampleIndex, 1);
}

TEST(AkaiProgramsTest, KeygroupCountPastTheReadAndUnreadablePrograms) {
    AkaiKeygroup keygroup;
    keygroup.zones[0] = Zone("SINE");
    AkaiProgram boasting{"BOAST", false, 0, 0, 0, 0, {keygroup, keygroup}};
    boasting.keygroupCount = 255; // 255 * 150 bytes: far past the 16,384 bytes read
    AkaiImageBuilder builder = Disc({AkaiProgram{"LOST", false, 0, 0, 0, 0, {keygroup}}, boasting});
    // The first program's file is moved past the end of the disc.
    builder.partitions[0].volumes[0].files[3].firstBlock = 250;
    builder.totalSectors = 800;
    test::AkaiDiscReading disc(builder);
    ASSERT_EQ(disc.bank.PresetCount, 2u);
    ReadAll(disc);
    EXPECT_EQ(disc.bank.PresetTable[1].layerList.Count(), 0u) << "unreadable: no layer contents";
    EXPECT_EQ(disc.bank.PresetTable[1].name, "LOST");
    EXPECT_EQ(disc.bank.PresetTable[2].keygroupCount, 2);
    EXPECT_EQ(disc.bank.ZoneCount, 2u);
}

// Images are often cut after their last used block: a program with fewer sectors behind it than a whole
// read takes is read from the sectors the image holds.
TEST(AkaiProgramsTest, ProgramNearTheEndOfACutImageIsRead) {
    AkaiKeygroup low, high;
    low.highKey = 59;
    low.zones[0] = Zone("SINE");
    high.lowKey = 60;
    high.zones[0] = Zone("SAW");
    for (uint32_t sectorsLeft : {1u, 3u, 7u}) {
        SCOPED_TRACE(sectorsLeft);
        AkaiImageBuilder builder = Disc({AkaiProgram{"LAST", false, 0, 0, 0, 0, {low, high}}});
        builder.totalSectors = builder.PartitionStart(0) +
                               builder.FileBlock(0, 0, 3) * (test::kAkaiBlock / test::kAkaiSector) +
                               sectorsLeft;
        test::AkaiDiscReading disc(builder);
        ASSERT_EQ(disc.bank.PresetCount, 1u);
        EXPECT_TRUE(ReadAll(disc).lines.empty()) << "the program is whole on the disc";
        ASSERT_EQ(disc.bank.PresetTable[1].layerList.Count(), 1u);
        EXPECT_EQ(disc.bank.PresetTable[1].keygroupCount, 2);
        EXPECT_EQ(disc.bank.ZoneCount, 2u);
    }
}

// A cut that falls inside a program's keygroups, or before the program, loses keygroups: the program is
// read as far as the disc goes, and what is missing is said rather than passed off as the whole program.
TEST(AkaiProgramsTest, ProgramCutByTheEndOfTheImageIsSaid) {
    AkaiKeygroup keygroup;
    keygroup.zones[0] = Zone("SINE");
    const std::vector<AkaiKeygroup> twenty(20, keygroup);
    struct Case {
        uint32_t sectorsLeft;
        uint16_t keygroupsRead;
        const char* note;
    };
    // 2048 bytes hold the header (150) and 12 whole keygroups of 150; the 13th is cut.
    for (const Case& c : {Case{1, 12,
                               "program 1 'LONG': the disc ends 2048 bytes into it, 8 of its keygroups "
                               "are missing"},
                          Case{0, 0, "program 1 'LONG' at sector "}}) {
        SCOPED_TRACE(c.sectorsLeft);
        AkaiImageBuilder builder = Disc({AkaiProgram{"LONG", false, 0, 0, 0, 0, twenty}});
        builder.totalSectors = builder.PartitionStart(0) +
                               builder.FileBlock(0, 0, 3) * (test::kAkaiBlock / test::kAkaiSector) +
                               c.sectorsLeft;
        test::AkaiDiscReading disc(builder);
        ASSERT_EQ(disc.bank.PresetCount, 1u);
        const ReadNotes notes = ReadAll(disc);
        ASSERT_EQ(notes.lines.size(), 1u);
        EXPECT_EQ(notes.lines[0].rfind(c.note, 0), 0u) << notes.lines[0];
        EXPECT_EQ(disc.bank.PresetTable[1].keygroupCount, c.keygroupsRead);
        EXPECT_EQ(disc.bank.ZoneCount, c.keygroupsRead);
    }
}

TEST(AkaiProgramsTest, ModeOneRereadsOnlyTheCurrentProgram) {
    AkaiKeygroup keygroup;
    keygroup.zones = {Zone("SINE", 0, 63), Zone("SAW", 64, 127)};
    test::AkaiDiscReading disc(Disc({AkaiProgram{"ONE", false, 1, 0, 0, 0, {keygroup}},
                                     AkaiProgram{"TWO", false, 2, 0, 0, 0, {keygroup, keygroup}}}));
    ReadAll(disc);
    ASSERT_EQ(disc.bank.ZoneCount, 6u);

    ReadNotes notes;
    ReadAkaiPrograms(disc.bank, disc.scsi, AkaiProgramMode::RereadCurrent, 0, false, notes);
    EXPECT_EQ(disc.bank.ZoneCount, 6u) << "no current preset: nothing changes";
    ReadAkaiPrograms(disc.bank, disc.scsi, AkaiProgramMode::RereadCurrent, 3, false, notes);
    EXPECT_EQ(disc.bank.ZoneCount, 6u) << "no such slot: nothing changes";

    ReadAkaiPrograms(disc.bank, disc.scsi, AkaiProgramMode::RereadCurrent, 2, false, notes);
    ASSERT_EQ(disc.bank.LayerCount, 2u);
    EXPECT_EQ(disc.bank.ZoneCount, 4u);
    EXPECT_TRUE(disc.bank.LayerTable[0].name.empty()) << "the other program's layer is rebuilt empty";
    EXPECT_EQ(disc.bank.LayerTable[1].name, "TWO");
    EXPECT_EQ(disc.bank.LayerTable[1].zoneList.Count(), 4u);
    EXPECT_EQ(disc.bank.LayerTable[1].zoneList[0], 0) << "zones are numbered afresh";
    EXPECT_EQ(disc.bank.PresetTable[2].keygroupCount, 2);
}

} // namespace
} // namespace quorvane
