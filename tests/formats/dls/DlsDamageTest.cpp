// Damaged and hostile DLS and GigaSampler files: truncated, with chunk sizes past the file, dimension
// region counts and bit counts that do not fit, pool indices past the pool. Loading must not crash or read
// outside the data (the test build runs under the address and undefined-behaviour sanitizers), and what
// was read must hang together: every count within its table, every list item valid, every pair mutual,
// and a zone whose sample is not in the pool written as no zone at all.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "convert/BankWriters.h"
#include "support/DlsBuilder.h"
#include "support/ModelChecks.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

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

DlsRegion Region(std::vector<std::pair<uint8_t, uint8_t>> dimensions, std::vector<uint32_t> pool) {
    DlsRegion region;
    region.dimensions = std::move(dimensions);
    for (uint32_t index : pool)
        region.dimensionRegions.push_back({.poolIndex = index});
    return region;
}

// Every kind of chunk the readers take apart, with little wave data so that sweeps over every byte stay
// quick: bank INFO, groups, a stereo wave, smpl and wsmp loops, an odd-sized chunk, dimension layouts with
// a channel, velocity and key-switch split, an unmapped dimension region and instrument globals.
DlsBuilder GigaBase() {
    DlsBuilder dls;
    dls.info = {{"INAM", "Base"}, {"ISFT", "test"}};
    dls.groupNames = {"Default Group", "Keys"};
    DlsWave left = MonoWave("Left", 16);
    left.smpl = DlsSamplerChunk{.unityNote = 62, .loopCount = 1, .loopStart = 2, .loopEnd = 9};
    left.group = 1;
    DlsWave wide = MonoWave("Wide", 16);
    wide.channels = 2;
    wide.data.resize(64);
    wide.wsmp = DlsWaveSample{.loopCount = 1, .loopStart = 4, .loopLength = 8};
    DlsWave right = MonoWave("Right", 16);
    right.wsmp = DlsWaveSample{.unityNote = 61};
    right.extraChunks = {{"junk", {1, 2, 3}}};
    dls.waves = {left, wide, right};

    DlsRegion split = Region({{dim::kSampleChannel, 1}, {dim::kVelocity, 1}}, {0, 2, 0, 2});
    split.dimensionRegions[0].wsmp =
        DlsWaveSample{.unityNote = 60, .loopCount = 1, .loopStart = 2, .loopLength = 7};
    split.dimensionRegions[0].articulation.U16(ewa::velocityUpperLimit, 70).U8(ewa::pan, 20);
    DlsRegion stereo = Region({}, {1});
    stereo.keyLow = 60;
    DlsRegion keys = Region({{dim::kKeySwitch, 1}}, {1, 0xFFFF});
    keys.wsmp = DlsWaveSample{.loopCount = 1, .loopStart = 1, .loopLength = 4};
    dls.instruments = {
        {.name = "Piano",
         .bank = 1,
         .program = 2,
         .regions = {split, stereo},
         .globals = std::array<uint8_t, 12>{0, 0, 0, 0, 0, 0, 5, 0}},
        {.name = "Switch", .drum = true, .regions = {keys}},
    };
    return dls;
}

DlsBuilder LevelOneBase() {
    DlsBuilder dls;
    dls.waves = {MonoWave("One", 16), MonoWave("Two", 16)};
    dls.waves[1].channels = 2;
    dls.instruments = {
        {.name = "Organ",
         .program = 3,
         .regions = {{.keyHigh = 59, .wsmp = DlsWaveSample{.loopCount = 1, .loopStart = 1, .loopLength = 9}},
                     {.keyLow = 60, .wsmp = DlsWaveSample{}, .tableIndex = 1, .rgn2 = true}}},
        {.name = "Empty"},
    };
    return dls;
}

std::vector<std::pair<std::string, DlsBuilder>> Bases() {
    return {{"GigaSampler", GigaBase()}, {"DLS Level 1", LevelOneBase()}};
}

// The first way in which the model does not hang together, or an empty text.
std::string Inconsistency(const BankModel& bank) {
    const std::string tables = test::TableInconsistency(bank);
    if (!tables.empty())
        return tables;
    std::ostringstream out;
    for (uint32_t k = 0; k < bank.ZoneCount; ++k) {
        const ZoneRecord& zone = bank.ZoneTable[k];
        if (bank.IsValidSample(zone.sampleIndex) &&
            zone.loopEnd > bank.SampleTable[zone.sampleIndex].dataLength / 2)
            out << "zone " << k << " loops to " << zone.loopEnd << " past the end of sample "
                << zone.sampleIndex << " (" << bank.SampleTable[zone.sampleIndex].dataLength / 2
                << " frames); ";
    }
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        const SampleRecord& sample = bank.SampleTable[i];
        const bool paired = sample.linkIndex != 0 &&
                            (sample.stereoHalf != 0 || sample.sampleType == 2 || sample.sampleType == 4);
        if (!paired)
            continue;
        const uint32_t partner = sample.linkIndex - 1u;
        if (!bank.IsValidSample(partner) || bank.SampleTable[partner].linkIndex != i + 1)
            out << "sample " << i << " paired with " << partner << " which does not pair back; ";
    }
    return out.str();
}

// Writes the loaded bank as a SoundFont and checks that every reference in it points inside its table:
// a zone whose sample is not in the pool must not name a sample header that does not exist.
void ExpectSoundFontReferencesResolve(Workspace& workspace, const test::TempDir& dir) {
    workspace.bank.SelectAll(1);
    const std::string path = dir.Folder() + "out.sf2";
    const SoundFontWriteResult result = WriteSoundFont(workspace, 0, path, 0, false);
    ASSERT_TRUE(result.written);
    const std::vector<test::RiffChunk> chunks = test::WalkRiff(test::ReadFileBytes(result.path));
    const size_t samples = test::SampleHeaders(chunks).size() - 1;
    const size_t instruments = test::InstrumentHeaders(chunks).size() - 1;
    for (const test::GenRecord& g : test::GenRecords(chunks, "igen")) {
        if (g.number == gen::sampleID) {
            EXPECT_LT(g.amount, samples);
        }
    }
    for (const test::GenRecord& g : test::GenRecords(chunks, "pgen")) {
        if (g.number == gen::instrument) {
            EXPECT_LT(g.amount, instruments);
        }
    }
    std::filesystem::remove(result.path);
}

class DlsDamageTest : public ::testing::Test {
  protected:
    // Loads the bytes through the silent load, as batch saving does, and checks the model; optionally also
    // writes it as a SoundFont.
    void LoadAndCheck(const test::Bytes& bytes, const std::string& what, bool write = false) {
        SCOPED_TRACE(what);
        // A fresh name for every file: rewriting one file in place makes the file system flush it each
        // time, which would make the sweeps crawl.
        const std::string path = dir.Write("bank" + std::to_string(files_++) + ".gig", bytes);
        struct Remove {
            std::string path;
            ~Remove() { std::filesystem::remove(path); }
        } remove{path};
        NullHost host;
        Workspace workspace(host);
        workspace.bank.SourceFormat = kDlsSource;
        test::LoadBankFile(workspace, path);
        const std::string problem = Inconsistency(workspace.bank);
        EXPECT_EQ(problem, "");
        if (problem.empty() && write)
            ExpectSoundFontReferencesResolve(workspace, dir);
    }

    test::TempDir dir;
    int files_ = 0;
};

TEST_F(DlsDamageTest, UndamagedBasesLoadWhole) {
    for (const auto& [name, base] : Bases()) {
        SCOPED_TRACE(name);
        const std::string path = dir.Write("bank.gig", base.Build());
        NullHost host;
        Workspace workspace(host);
        workspace.bank.SourceFormat = kDlsSource;
        ASSERT_EQ(test::LoadBankFile(workspace, path), LoadStatus::Loaded);
        EXPECT_EQ(workspace.bank.PresetCount, 2);
        EXPECT_EQ(workspace.bank.SampleCount, base.waves.size() + 1) << "the stereo wave is split";
        EXPECT_EQ(Inconsistency(workspace.bank), "");
        ExpectSoundFontReferencesResolve(workspace, dir);
    }
}

TEST_F(DlsDamageTest, TruncatedAtEveryByte) {
    for (const auto& [name, base] : Bases()) {
        const test::Bytes whole = base.Build();
        for (size_t size = 0; size < whole.size(); ++size)
            LoadAndCheck(test::Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)),
                         name + " cut to " + std::to_string(size) + " bytes");
    }
}

// Each chunk's size field in turn says too little, too much, or more than the file could hold.
TEST_F(DlsDamageTest, ChunkSizesThatDoNotFit) {
    for (const auto& [name, base] : Bases()) {
        std::map<std::string, test::ChunkPlace> layout;
        base.Build(&layout);
        for (const auto& [path, place] : layout) {
            const uint32_t actual = place.size;
            for (uint32_t size : {0u, 1u, 3u, 7u, 11u, actual - 1, actual + 1, actual + 13, actual + 1000,
                                  0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
                DlsBuilder damaged = base;
                damaged.declaredSize[path] = size;
                LoadAndCheck(damaged.Build(), name + ": " + path + " size " + std::to_string(size));
            }
        }
        DlsBuilder unpadded = base;
        unpadded.padOddChunks = false;
        LoadAndCheck(unpadded.Build(), name + " without pad bytes");
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
        DlsBuilder dls = GigaBase();
        c.damage(dls);
        LoadAndCheck(dls.Build(), c.what, true);
    }

    const Case levelOne[] = {
        {"table index past the pool", [](DlsBuilder& dls) { dls.instruments[0].regions[1].tableIndex = 2; }},
        {"table index 0xFFFFFFFF",
         [](DlsBuilder& dls) { dls.instruments[0].regions[0].tableIndex = 0xFFFFFFFF; }},
        {"no wave pool", [](DlsBuilder& dls) { dls.waves.clear(); }},
    };
    for (const Case& c : levelOne) {
        DlsBuilder dls = LevelOneBase();
        c.damage(dls);
        LoadAndCheck(dls.Build(), std::string("Level 1: ") + c.what, true);
    }
}

// A region can hold at most 32 dimension regions: a count past that in a tiny file must not make the
// reader set up tables for tens of thousands of zones and layers.
TEST_F(DlsDamageTest, RegionCountsDoNotSizeTheTablesPastWhatCanBeRead) {
    DlsBuilder dls = GigaBase();
    dls.instruments[0].regions[0].dimensionRegionCount = 0xFFFF;
    dls.instruments[1].regions[0].dimensionRegionCount = 0xFFFF;
    const test::DlsReading read = test::ReadDlsBytes(dls.Build());
    EXPECT_LE(read.bank.ZoneCount, 3 * 32);
    EXPECT_LE(read.bank.LayerCount, 2 * 32);
}

// Every byte outside the wave data set in turn to values that make sizes, counts and indices extreme.
TEST_F(DlsDamageTest, EveryHeaderByteSetToExtremes) {
    std::map<std::string, test::ChunkPlace> layout;
    const test::Bytes whole = GigaBase().Build(&layout);
    std::set<size_t> data;
    for (const auto& [path, place] : layout)
        if (path.size() > 5 && path.compare(path.size() - 5, 5, "/data") == 0)
            for (size_t at = place.offset + 8; at < place.offset + 8 + place.size; ++at)
                data.insert(at);
    for (size_t at = 0; at < whole.size(); ++at) {
        if (data.count(at))
            continue;
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x80}, uint8_t{0xFF}}) {
            if (whole[at] == value)
                continue;
            test::Bytes bytes = whole;
            bytes[at] = value;
            LoadAndCheck(bytes, "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
    }
}

} // namespace
} // namespace quorvane
