// The SoundFont reader's steps on small banks made byte by byte.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/soundfont/SoundFontReader.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontSteps.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bag;
using test::Gens;
using test::InfoText;
using test::Range;
using test::SoundFontBuilder;

constexpr uint16_t Neg(int value) {
    return static_cast<uint16_t>(static_cast<int16_t>(value));
}

std::vector<uint16_t> Items(const HexIndexList& list) {
    return {list.begin(), list.end()};
}

class SoundFontReaderTest : public ::testing::Test {
  protected:
    // Reads the bank the builder describes; layout receives where its chunks landed.
    BankModel Read(const SoundFontBuilder& builder, std::map<std::string, test::ChunkPlace>* layout = nullptr,
                   bool* odd = nullptr) {
        fileBytes = builder.Build(layout);
        BankModel bank;
        const bool oddChunk = test::ReadSoundFontFile(bank, dir.Write("bank.sf2", fileBytes));
        if (odd != nullptr)
            *odd = oddChunk;
        return bank;
    }

    test::TempDir dir;
    test::Bytes fileBytes;
};

// Three samples (a mono flute, a mutual stereo pair), three instruments (the last used by no preset) and
// three presets: one with a global layer, one without layers, one drum kit in bank 128.
SoundFontBuilder SmallBank() {
    SoundFontBuilder sf;
    sf.info = {InfoText("INAM", "Small Bank"), InfoText("ICOP", "nobody")};
    sf.AddSample("Flute", 100);
    sf.samples[0].originalKey = 72;
    sf.samples[0].correction = -7;
    sf.samples[0].sampleRate = 22050;
    sf.AddSample("PIANO-L", 200);
    sf.AddSample("PIANO-R", 200);
    sf.samples[1].type = 4;
    sf.samples[1].link = 2;
    sf.samples[2].type = 2;
    sf.samples[2].link = 1;
    sf.instruments = {
        {.name = "Flute",
         .bags = {Gens({{gen::sampleModes, 1}}), Gens({{gen::keyRange, Range(0, 127)}, {gen::sampleID, 0}})}},
        {.name = "Piano",
         .bags = {Gens({{gen::keyRange, Range(0, 60)}, {gen::overridingRootKey, 64}, {gen::sampleID, 1}}),
                  Gens({{gen::sampleID, 2}})}},
        {.name = "Unused", .bags = {Gens({{gen::sampleID, 0}})}},
    };
    sf.presets = {
        {.name = "Flute",
         .program = 73,
         .bags = {Gens({{gen::reverbEffectsSend, 100}}), Gens({{gen::instrument, 0}})}},
        {.name = "Empty", .program = 1},
        {.name = "Kit", .bank = 128, .bags = {Gens({{gen::keyRange, Range(36, 60)}, {gen::instrument, 1}})}},
    };
    return sf;
}

TEST_F(SoundFontReaderTest, ReadsSmallBankIntoTheModel) {
    std::map<std::string, test::ChunkPlace> layout;
    bool odd = true;
    const BankModel bank = Read(SmallBank(), &layout, &odd);
    EXPECT_FALSE(odd);

    // The image is the file without its sample-data list, chunks in file order.
    const test::ChunkPlace sdta = layout.at("sdta");
    EXPECT_EQ(bank.SampleDataStart, sdta.offset + 20);
    ASSERT_EQ(bank.BankImageSize, fileBytes.size() - sdta.size - 8);
    ASSERT_GE(bank.BankImage.size(), bank.BankImageSize);
    EXPECT_EQ(std::memcmp(bank.BankImage.data(), fileBytes.data(), sdta.offset), 0);
    EXPECT_EQ(std::memcmp(bank.BankImage.data() + sdta.offset, fileBytes.data() + sdta.offset + sdta.size + 8,
                          bank.BankImageSize - sdta.offset),
              0);

    EXPECT_EQ(bank.BankVersion, 21);
    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("INAM")], "Small Bank");
    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("ICOP")], "nobody");

    ASSERT_EQ(bank.PresetCount, 3);
    ASSERT_GE(bank.PresetTable.size(), 4u);
    const PresetRecord& flute = bank.PresetTable[1];
    EXPECT_EQ(flute.name, "Flute");
    EXPECT_EQ(flute.program, 73);
    EXPECT_EQ(flute.bank, 0);
    EXPECT_EQ(flute.isDrum, 0);
    EXPECT_EQ(Items(flute.layerList), (std::vector<uint16_t>{0, 1}));
    // A preset whose first bag index equals the next one's has no layers.
    EXPECT_EQ(bank.PresetTable[2].name, "Empty");
    EXPECT_TRUE(bank.PresetTable[2].layerList.Empty());
    // Bank 128 is the percussion bank.
    const PresetRecord& kit = bank.PresetTable[3];
    EXPECT_EQ(kit.isDrum, 1);
    EXPECT_EQ(kit.bank, 0);
    EXPECT_EQ(Items(kit.layerList), (std::vector<uint16_t>{2}));

    ASSERT_EQ(bank.LayerCount, 4); // three preset bags and the unused instrument
    const LayerRecord& global = bank.LayerTable[0];
    EXPECT_EQ(global.name, "Global Layer");
    EXPECT_EQ(global.isGlobal, 1);
    EXPECT_TRUE(global.zoneList.Empty());
    EXPECT_TRUE(global.IsSet(gen::reverbEffectsSend));
    EXPECT_EQ(global.generators[gen::reverbEffectsSend], 100);
    EXPECT_EQ(global.Unsigned(gen::keyRange), kFullRange);
    EXPECT_EQ(bank.LayerTable[1].name, "Flute");
    EXPECT_EQ(bank.LayerTable[1].isGlobal, 0);
    EXPECT_EQ(Items(bank.LayerTable[1].zoneList), (std::vector<uint16_t>{0, 1}));
    EXPECT_EQ(bank.LayerTable[2].name, "Piano");
    EXPECT_EQ(bank.LayerTable[2].Unsigned(gen::keyRange), Range(36, 60));
    EXPECT_EQ(Items(bank.LayerTable[2].zoneList), (std::vector<uint16_t>{2, 3}));

    ASSERT_EQ(bank.ZoneCount, 5);
    const ZoneRecord& globalZone = bank.ZoneTable[0];
    EXPECT_EQ(globalZone.isGlobal, 1);
    EXPECT_FALSE(bank.IsValidSample(globalZone.sampleIndex));
    EXPECT_EQ(globalZone.generators[gen::overridingRootKey], 0);
    EXPECT_EQ(globalZone.loopStart, 0u);
    EXPECT_EQ(globalZone.loopEnd, 0u);
    const ZoneRecord& fluteZone = bank.ZoneTable[1];
    EXPECT_EQ(fluteZone.isGlobal, 0);
    EXPECT_EQ(fluteZone.sampleIndex, 0);
    EXPECT_TRUE(fluteZone.IsSet(gen::sampleID));
    EXPECT_EQ(fluteZone.generators[gen::sampleID], 0);
    // The root key to play at: the sample's own, unless the zone overrides it; the flag stays as read.
    EXPECT_EQ(fluteZone.generators[gen::overridingRootKey], 72);
    EXPECT_FALSE(fluteZone.IsSet(gen::overridingRootKey));
    EXPECT_EQ(bank.ZoneTable[2].generators[gen::overridingRootKey], 64);
    EXPECT_TRUE(bank.ZoneTable[2].IsSet(gen::overridingRootKey));
    EXPECT_EQ(bank.ZoneTable[2].Unsigned(gen::keyRange), Range(0, 60));
    EXPECT_EQ(bank.ZoneTable[3].generators[gen::overridingRootKey], 60);
    EXPECT_EQ(fluteZone.loopStart, 8u);
    EXPECT_EQ(fluteZone.loopEnd, 92u);

    ASSERT_EQ(bank.SampleCount, 3);
    ASSERT_GE(bank.SampleTable.size(), 3u);
    const SampleRecord& fluteSample = bank.SampleTable[0];
    EXPECT_EQ(fluteSample.name, "Flute");
    EXPECT_EQ(fluteSample.fullName, "Flute");
    EXPECT_EQ(fluteSample.dataOffset, bank.SampleDataStart);
    EXPECT_EQ(fluteSample.dataLength, 200u);
    EXPECT_EQ(fluteSample.sampleRate, 22050u);
    EXPECT_EQ(fluteSample.bitsPerSample, 16);
    EXPECT_EQ(fluteSample.blockAlign, 2);
    EXPECT_EQ(fluteSample.rootKey, 72);
    EXPECT_EQ(fluteSample.pitchCorrection, -7);
    EXPECT_EQ(fluteSample.stereoHalf, 0);
    // The global zone's sampleModes 1 reaches the flute zone, which loops its sample.
    EXPECT_EQ(fluteSample.looped, 1);
    EXPECT_EQ(fluteSample.loopStart, 8u);
    EXPECT_EQ(fluteSample.loopEnd, 92u);
    const SampleRecord& left = bank.SampleTable[1];
    EXPECT_EQ(left.dataOffset, bank.SampleDataStart + 146 * 2);
    EXPECT_EQ(left.dataLength, 400u);
    EXPECT_EQ(left.looped, 0);
}

TEST_F(SoundFontReaderTest, VersionComesFromIfil) {
    struct Case {
        uint16_t major, minor, version;
    };
    for (const Case& c : {Case{2, 1, 21}, Case{2, 4, 24}, Case{3, 0, 30}}) {
        SoundFontBuilder sf = SmallBank();
        sf.version = std::pair{c.major, c.minor};
        EXPECT_EQ(Read(sf).BankVersion, c.version) << c.major << "." << c.minor;
    }
}

TEST_F(SoundFontReaderTest, UnusedInstrumentBecomesAnAppendedLayer) {
    const BankModel bank = Read(SmallBank());
    ASSERT_EQ(bank.LayerCount, 4);
    const LayerRecord& unused = bank.LayerTable[3];
    EXPECT_EQ(unused.name, "Unused");
    EXPECT_EQ(unused.isGlobal, 0);
    EXPECT_EQ(Items(unused.zoneList), (std::vector<uint16_t>{4}));
    for (int number = 0; number < gen::count; ++number) {
        if (number == gen::instrument)
            continue;
        EXPECT_FALSE(unused.IsSet(number)) << number;
        if (number != gen::keyRange && number != gen::velRange) { // ranges may keep their full-range default
            EXPECT_EQ(unused.generators[number], 0) << number;
        }
    }
    EXPECT_TRUE(unused.IsSet(gen::instrument));
    EXPECT_EQ(unused.generators[gen::instrument], 2);
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        for (uint16_t layer : bank.PresetTable[slot].layerList)
            EXPECT_NE(layer, 3) << "slot " << slot;
}

TEST_F(SoundFontReaderTest, SampleHeaders) {
    struct Case {
        const char* what;
        test::Sample in;
        std::string name;
        bool hasData;
        uint32_t dataLength;
        uint32_t loopStart, loopEnd;
        uint16_t sampleType;
    };
    // Every sample lies in 300 words of data; offsets are in words from the start of smpl.
    const Case cases[] = {
        {"plain",
         {.name = "Oboe", .start = 20, .end = 120, .loopStart = 30, .loopEnd = 110},
         "Oboe",
         true,
         200,
         10,
         90,
         1},
        {"name of all twenty characters",
         {.name = "ABCDEFGHIJKLMNOPQRST", .start = 20, .end = 120, .loopStart = 30, .loopEnd = 110},
         "ABCDEFGHIJKLMNOPQRST",
         true,
         200,
         10,
         90,
         1},
        {"ROM sample",
         {.name = "Organ", .start = 20, .end = 120, .loopStart = 30, .loopEnd = 110, .type = 0x8001},
         "ROM:Organ",
         false,
         0,
         10,
         90,
         1},
        {"one frame",
         {.name = "Click", .start = 20, .end = 21, .loopStart = 20, .loopEnd = 21},
         "Click",
         false,
         2,
         0,
         1,
         1},
        {"two frames",
         {.name = "Tick", .start = 20, .end = 22, .loopStart = 20, .loopEnd = 22},
         "Tick",
         true,
         4,
         0,
         2,
         1},
        {"loop end past the sample end",
         {.name = "Oboe", .start = 20, .end = 120, .loopStart = 30, .loopEnd = 250},
         "Oboe",
         true,
         200,
         10,
         100,
         1},
        {"loop start before the sample",
         {.name = "Oboe", .start = 20, .end = 120, .loopStart = 5, .loopEnd = 110},
         "Oboe",
         true,
         200,
         0,
         90,
         1},
        {"loop start past the sample end",
         {.name = "Oboe", .start = 20, .end = 120, .loopStart = 130, .loopEnd = 110},
         "Oboe",
         true,
         200,
         0,
         90,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf;
        sf.sampleWords.assign(300, 0);
        sf.samples = {c.in};
        sf.samples[0].originalKey = 200; // only the low seven bits are a key
        sf.samples[0].correction = -50;
        const BankModel bank = Read(sf);
        ASSERT_EQ(bank.SampleCount, 1);
        const SampleRecord& sample = bank.SampleTable[0];
        EXPECT_EQ(sample.name, c.name);
        EXPECT_EQ(sample.fullName, c.name);
        EXPECT_EQ(sample.dataOffset, c.hasData ? bank.SampleDataStart + c.in.start * 2 : 0u);
        EXPECT_EQ(sample.dataLength, c.dataLength);
        EXPECT_EQ(sample.loopStart, c.loopStart);
        EXPECT_EQ(sample.loopEnd, c.loopEnd);
        EXPECT_EQ(sample.sampleType, c.sampleType);
        EXPECT_EQ(sample.rootKey, 200 & 127);
        EXPECT_EQ(sample.pitchCorrection, -50);
        EXPECT_EQ(sample.channels, 1);
    }
}

// A stereo link counts only when it is mutual: the partner exists, has the other side's type (2 with 4)
// and links back. Anything else leaves the sample unpaired with its type kept.
TEST_F(SoundFontReaderTest, StereoLinksPairOnlyMutualPartners) {
    struct In {
        uint16_t type, link;
    };
    struct Out {
        uint16_t channels, linkIndex, sampleType;
        bool operator==(const Out&) const = default;
    };
    struct Case {
        const char* what;
        std::vector<In> in;
        std::vector<Out> out;
    };
    const Case cases[] = {
        {"mutual pair", {{4, 1}, {2, 0}}, {{2, 2, 4}, {2, 1, 2}}},
        {"halves all linking to sample 0, a mono one",
         {{1, 0}, {4, 0}, {2, 0}, {4, 0}},
         {{1, 0, 1}, {1, 0, 4}, {1, 0, 2}, {1, 0, 4}}},
        {"partner of the same type", {{4, 1}, {4, 0}}, {{1, 0, 4}, {1, 0, 4}}},
        {"partner is mono", {{4, 1}, {1, 0}}, {{1, 0, 4}, {1, 0, 1}}},
        {"link past the table", {{4, 7}, {2, 0}}, {{1, 0, 4}, {1, 0, 2}}},
        {"link to itself", {{4, 0}, {1, 0}}, {{1, 0, 4}, {1, 0, 1}}},
        {"one-way link beside a mutual pair", {{4, 1}, {2, 2}, {4, 1}}, {{1, 0, 4}, {2, 3, 2}, {2, 2, 4}}},
        {"mono sample with a link", {{1, 1}, {1, 0}}, {{1, 0, 1}, {1, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf;
        for (const In& in : c.in) {
            const uint16_t index = sf.AddSample("S", 50);
            sf.samples[index].type = in.type;
            sf.samples[index].link = in.link;
        }
        const BankModel bank = Read(sf);
        ASSERT_EQ(bank.SampleCount, c.in.size());
        for (size_t i = 0; i < c.out.size(); ++i) {
            const SampleRecord& s = bank.SampleTable[i];
            EXPECT_EQ((Out{s.channels, s.linkIndex, s.sampleType}), c.out[i])
                << "sample " << i << ": channels " << s.channels << ", linkIndex " << s.linkIndex << ", type "
                << s.sampleType;
        }
    }
}

TEST_F(SoundFontReaderTest, ZoneLoopOffsets) {
    struct Case {
        const char* what;
        uint32_t frames;
        uint32_t sampleLoopStart, sampleLoopEnd; // relative to the sample
        std::vector<test::Generator> generators;
        uint32_t loopStart, loopEnd;
    };
    const Case cases[] = {
        {"the sample's loop", 100, 10, 90, {}, 10, 90},
        {"fine offsets",
         100,
         10,
         90,
         {{gen::startloopAddrsOffset, 5}, {gen::endloopAddrsOffset, Neg(-5)}},
         15,
         85},
        {"end past the sample", 100, 10, 90, {{gen::endloopAddrsOffset, 50}}, 10, 100},
        {"start before the sample", 100, 10, 90, {{gen::startloopAddrsOffset, Neg(-20)}}, 0, 90},
        {"end before start: whole sample",
         100,
         10,
         90,
         {{gen::startloopAddrsOffset, 60}, {gen::endloopAddrsOffset, Neg(-60)}},
         0,
         100},
        {"empty loop gets one frame",
         100,
         10,
         90,
         {{gen::startloopAddrsOffset, 40}, {gen::endloopAddrsOffset, Neg(-40)}},
         50,
         51},
        {"coarse start in a long sample",
         40000,
         100,
         39000,
         {{gen::startloopAddrsCoarseOffset, 1}},
         32868,
         39000},
        {"coarse start in a short sample", 1000, 100, 900, {{gen::startloopAddrsCoarseOffset, 1}}, 0, 900},
        {"coarse end back", 40000, 100, 39000, {{gen::endloopAddrsCoarseOffset, Neg(-1)}}, 100, 6232},
        {"coarse and fine together",
         40000,
         100,
         39000,
         {{gen::startloopAddrsCoarseOffset, 1}, {gen::startloopAddrsOffset, Neg(-1)}},
         32867,
         39000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf;
        sf.AddSample("S", c.frames);
        sf.samples[0].loopStart = c.sampleLoopStart;
        sf.samples[0].loopEnd = c.sampleLoopEnd;
        Bag bag{c.generators, std::nullopt};
        bag.generators.push_back({gen::sampleID, 0});
        sf.instruments = {{.name = "I", .bags = {bag}}};
        const BankModel bank = Read(sf);
        ASSERT_EQ(bank.ZoneCount, 1);
        const ZoneRecord& zone = bank.ZoneTable[0];
        EXPECT_EQ(zone.loopStart, c.loopStart);
        EXPECT_EQ(zone.loopEnd, c.loopEnd);
        // The offsets live on only in the zone's loop.
        for (int number : {gen::startloopAddrsOffset, gen::endloopAddrsOffset,
                           gen::startloopAddrsCoarseOffset, gen::endloopAddrsCoarseOffset}) {
            EXPECT_FALSE(zone.IsSet(number)) << number;
            EXPECT_EQ(zone.generators[number], 0) << number;
        }
    }
}

TEST_F(SoundFontReaderTest, LoopingZonesLoopTheirSamples) {
    SoundFontBuilder sf;
    sf.AddSample("A", 100);
    sf.AddSample("B", 100);
    sf.AddSample("C", 100);
    sf.instruments = {
        // The global zone's sample mode replaces that of every zone of the instrument.
        {.name = "Loops",
         .bags = {Gens({{gen::sampleModes, 3}}), Gens({{gen::sampleModes, 0}, {gen::sampleID, 0}}),
                  Gens({{gen::sampleID, 1}})}},
        // A later zone playing sample A wins; mode 2 does not loop.
        {.name = "Later",
         .bags = {Gens({{gen::sampleModes, 1}, {gen::startloopAddrsOffset, 4}, {gen::sampleID, 0}}),
                  Gens({{gen::sampleModes, 2}, {gen::sampleID, 2}})}},
    };
    const BankModel bank = Read(sf);
    ASSERT_EQ(bank.ZoneCount, 5);
    for (int z = 0; z < 3; ++z) {
        EXPECT_TRUE(bank.ZoneTable[z].IsSet(gen::sampleModes)) << z;
        EXPECT_EQ(bank.ZoneTable[z].generators[gen::sampleModes], 3) << z;
    }
    ASSERT_EQ(bank.SampleCount, 3);
    EXPECT_EQ(bank.SampleTable[0].looped, 1);
    EXPECT_EQ(bank.SampleTable[0].loopStart, 12u);
    EXPECT_EQ(bank.SampleTable[0].loopEnd, 92u);
    EXPECT_EQ(bank.SampleTable[1].looped, 1);
    EXPECT_EQ(bank.SampleTable[2].looped, 0);
}

TEST_F(SoundFontReaderTest, InfoTexts) {
    struct Case {
        const char* what;
        test::InfoChunk chunk;
        std::string expected;
    };
    const Case cases[] = {
        {"zero-terminated and padded", InfoText("INAM", "Grand"), "Grand"},
        {"odd size, no terminator", {"IENG", {'a', 'b', 'c'}}, "abc"},
        {"a comment of 2,444 bytes is read whole", InfoText("ICMT", std::string(2444, 'x')),
         std::string(2444, 'x')},
        {"no text is longer than the 65,535 characters a SoundFont allows",
         {"ICMT", test::Bytes(70000, 'y')},
         std::string(65535, 'y')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundFontBuilder sf = SmallBank();
        sf.info = {c.chunk, InfoText("ISFT", "Tool")};
        const BankModel bank = Read(sf);
        EXPECT_EQ(bank.BankInfo[BankInfoSlotOf(c.chunk.tag.c_str())], c.expected);
        EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("ISFT")], "Tool");
    }
}

// An odd-sized chunk is reported, and the walk goes on from the unpadded position, which is where the
// next chunk of such a file really starts.
TEST_F(SoundFontReaderTest, OddChunkIsReportedAndReadingGoesOn) {
    SoundFontBuilder sf = SmallBank();
    sf.info = {{"ICMT", {'a', 'b', 0}}, InfoText("INAM", "After")};
    bool odd = false;
    const BankModel bank = Read(sf, nullptr, &odd);
    EXPECT_TRUE(odd);
    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("ICMT")], "ab");
    EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("INAM")], "After");
    EXPECT_EQ(bank.BankVersion, 21);
    EXPECT_EQ(bank.SampleCount, 3);
    ASSERT_EQ(bank.PresetCount, 3);
    EXPECT_EQ(bank.PresetTable[1].name, "Flute");
}

TEST_F(SoundFontReaderTest, BankWithoutSamplesStillHasItsPresets) {
    SoundFontBuilder sf = SmallBank();
    sf.samples.clear(); // only the terminal record is left
    const BankModel bank = Read(sf);
    EXPECT_EQ(bank.SampleCount, 0);
    EXPECT_EQ(bank.PresetCount, 3);
    ASSERT_EQ(bank.ZoneCount, 5);
    for (int z = 0; z < bank.ZoneCount; ++z) {
        const ZoneRecord& zone = bank.ZoneTable[z];
        EXPECT_FALSE(bank.IsValidSample(zone.sampleIndex)) << z;
        EXPECT_EQ(zone.loopStart, 0u) << z;
        EXPECT_EQ(zone.loopEnd, 0u) << z;
        if (!zone.IsSet(gen::overridingRootKey)) {
            EXPECT_EQ(zone.generators[gen::overridingRootKey], 0) << z;
        }
    }
}

// An instrument or sample index past its table is never followed.
// Presets name runs of layers and instruments runs of zones; every layer of one instrument holds the same
// run, kept as its two numbers, so thousands of layers over a large instrument cost no more than one.
// Bag indices that go backwards give runs that overlap.
TEST_F(SoundFontReaderTest, LayersOfOneInstrumentHoldItsZoneRun) {
    SoundFontBuilder sf = SmallBank();
    sf.presets.push_back(
        {.name = "Again", .bags = {Gens({{gen::instrument, 0}}), Gens({{gen::instrument, 0}})}});
    sf.presets.push_back({.name = "Back", .bags = {Gens({})}, .firstBag = 1});
    const BankModel bank = Read(sf);
    const HexIndexList& zones = bank.LayerTable[1].zoneList;
    EXPECT_TRUE(zones.IsRun());
    EXPECT_EQ(Items(zones), (std::vector<uint16_t>{0, 1}));
    for (uint16_t layer : bank.PresetTable[bank.PresetCount - 1].layerList)
        EXPECT_EQ(bank.LayerTable[layer].zoneList, zones) << layer;
    // "Back" names bag 1 as its first, over the layers of the presets before it, up to its own bag 5.
    const HexIndexList& back = bank.PresetTable[bank.PresetCount].layerList;
    EXPECT_TRUE(back.IsRun());
    EXPECT_EQ(Items(back), (std::vector<uint16_t>{1, 2, 3, 4, 5}));
}

TEST_F(SoundFontReaderTest, IndicesPastTheirTablesAreNone) {
    SoundFontBuilder sf = SmallBank();
    sf.presets[0].bags[1] = Gens({{gen::instrument, 3}});   // three instruments: 0..2
    sf.instruments[2].bags[0] = Gens({{gen::sampleID, 3}}); // three samples: 0..2
    const BankModel bank = Read(sf);
    const LayerRecord& layer = bank.LayerTable[1];
    EXPECT_EQ(layer.name, "Global Layer");
    EXPECT_TRUE(layer.zoneList.Empty());
    const ZoneRecord& zone = bank.ZoneTable[4];
    EXPECT_FALSE(bank.IsValidSample(zone.sampleIndex));
    EXPECT_EQ(zone.loopStart, 0u);
    EXPECT_EQ(zone.loopEnd, 0u);
    EXPECT_EQ(zone.generators[gen::overridingRootKey], 0);
}

} // namespace
} // namespace quorvane
