// Damaged and hostile SoundFont files: truncated, with sizes and counts that do not fit, with indices
// past their tables. Loading must not crash or read outside the data (the test build runs under the
// address and undefined-behaviour sanitizers), and whatever was read must hang together: every count
// within its table, every list item and sample index either valid or treated as none.
#include <gtest/gtest.h>

#include <sstream>

#include "convert/BankLoader.h"
#include "model/AttributeList.h"
#include "support/ModelChecks.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Gens;
using test::InfoText;
using test::Range;
using test::SoundFontBuilder;

// Every table the reader fills, a global layer and zone, a stereo pair and an unused instrument, with
// little sample data so that a sweep over every byte stays quick.
SoundFontBuilder DamageBase() {
    SoundFontBuilder sf;
    sf.info = {InfoText("INAM", "Base"), InfoText("ISFT", "test")};
    sf.AddSample("Mono", 20);
    sf.AddSample("Pair-L", 20);
    sf.AddSample("Pair-R", 20);
    sf.samples[1].type = 4;
    sf.samples[1].link = 2;
    sf.samples[2].type = 2;
    sf.samples[2].link = 1;
    sf.instruments = {
        {.name = "Lead",
         .bags = {Gens({{gen::sampleModes, 1}}),
                  Gens({{gen::keyRange, Range(0, 64)}, {gen::startloopAddrsOffset, 2}, {gen::sampleID, 0}}),
                  Gens({{gen::sampleID, 1}}), Gens({{gen::sampleID, 2}})}},
        {.name = "Spare", .bags = {Gens({{gen::sampleID, 0}})}},
    };
    sf.presets = {
        {.name = "Lead", .program = 1, .bags = {Gens({{gen::pan, 100}}), Gens({{gen::instrument, 0}})}},
        {.name = "Kit", .bank = 128, .bags = {Gens({{gen::keyRange, Range(30, 40)}, {gen::instrument, 0}})}},
    };
    return sf;
}

// The first way in which the model does not hang together, or an empty text.
std::string Inconsistency(const BankModel& bank) {
    const std::string tables = test::TableInconsistency(bank);
    if (!tables.empty())
        return tables;
    std::ostringstream out;
    for (uint32_t k = 0; k < bank.ZoneCount; ++k) {
        const ZoneRecord& zone = bank.ZoneTable[k];
        if (!bank.IsValidSample(zone.sampleIndex)) {
            if (zone.loopStart != 0 || zone.loopEnd != 0)
                out << "zone " << k << " without a sample has a loop; ";
            continue;
        }
        const uint32_t frames = bank.SampleTable[zone.sampleIndex].dataLength / 2;
        if (zone.loopEnd > frames || zone.loopStart > zone.loopEnd)
            out << "zone " << k << " loop " << zone.loopStart << ".." << zone.loopEnd << " in " << frames
                << " frames; ";
    }
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        const SampleRecord& sample = bank.SampleTable[i];
        if (sample.channels == 2) {
            const uint32_t partner = sample.linkIndex - 1u;
            if (!bank.IsValidSample(partner) || bank.SampleTable[partner].linkIndex != i + 1)
                out << "sample " << i << " paired with " << partner << " which does not pair back; ";
        } else if (sample.linkIndex != 0) {
            out << "unpaired sample " << i << " keeps link " << sample.linkIndex << "; ";
        }
        if (sample.looped && sample.loopEnd > sample.dataLength / 2)
            out << "looped sample " << i << " loops past its end; ";
    }
    return out.str();
}

// Loads the bytes through the silent load, checks the model and works the model functions over it.
void LoadAndCheck(const test::TempDir& dir, const test::Bytes& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    dir.Write("bank.sf2", bytes);
    NullHost host;
    Workspace workspace(host);
    SetFileList(workspace, dir.Folder(), {{"bank", "sf2"}});
    LoadBankSilently(workspace, 0);
    BankModel& bank = workspace.bank;
    const std::string problem = Inconsistency(bank);
    EXPECT_EQ(problem, "");
    if (!problem.empty())
        return;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        bank.SelectPreset(slot, 1);
    ApplyEdits(bank, "PRES 0001 MOVZ 000C PRES 0002 FILT 03e8 PRES 0001 REVB 0064 ", kApplyForViews);
}

class SoundFontDamageTest : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(SoundFontDamageTest, UndamagedBaseIsConsistent) {
    const test::Bytes bytes = DamageBase().Build();
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
    EXPECT_EQ(Inconsistency(workspace.bank), "");
}

TEST_F(SoundFontDamageTest, TruncatedAtEveryByte) {
    const test::Bytes whole = DamageBase().Build();
    for (size_t size = 0; size < whole.size(); ++size)
        LoadAndCheck(dir, test::Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)),
                     "cut to " + std::to_string(size) + " bytes");
}

// Each chunk's size field in turn says too little, too much, or more than the file could hold.
TEST_F(SoundFontDamageTest, ChunkSizesThatDoNotFit) {
    std::map<std::string, test::ChunkPlace> layout;
    DamageBase().Build(&layout);
    for (const auto& [name, place] : layout) {
        const uint32_t actual = place.size;
        for (uint32_t size : {0u, 1u, 2u, 3u, 7u, actual - 1, actual + 1, actual + 38, actual + 46,
                              0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
            SoundFontBuilder sf = DamageBase();
            sf.declaredSize[name] = size;
            LoadAndCheck(dir, sf.Build(), name + " size " + std::to_string(size));
        }
    }
}

// Tables whose size is not a whole number of records, and chunks missing altogether.
TEST_F(SoundFontDamageTest, TablesThatDoNotFitOrAreMissing) {
    std::map<std::string, test::ChunkPlace> layout;
    DamageBase().Build(&layout);
    for (const auto& [name, place] : layout) {
        if (name == "RIFF")
            continue;
        SoundFontBuilder missing = DamageBase();
        missing.omit.insert(name);
        LoadAndCheck(dir, missing.Build(), name + " missing");
        for (size_t extra : {1u, 3u, 20u, 45u}) {
            SoundFontBuilder longer = DamageBase();
            longer.appendToChunk[name] = test::Bytes(extra, 0xFF);
            LoadAndCheck(dir, longer.Build(), name + " with " + std::to_string(extra) + " extra bytes");
        }
    }
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
        SoundFontBuilder sf = DamageBase();
        c.damage(sf);
        LoadAndCheck(dir, sf.Build(), c.what);
    }
}

TEST_F(SoundFontDamageTest, GarbageAfterTheForm) {
    test::Bytes chunkLike = {'L', 'I', 'S', 'T', 0xF0, 0xFF, 0xFF, 0xFF, 'p', 'd', 't', 'a'};
    test::Bytes tinyChunks;
    for (int i = 0; i < 200; ++i)
        tinyChunks.insert(tinyChunks.end(), {'p', 'h', 'd', 'r', 0, 0, 0, 0});
    for (const test::Bytes& garbage :
         {test::Bytes{0x00}, test::Bytes(7, 0xAB), test::Bytes(64, 0xFF), chunkLike, tinyChunks}) {
        SoundFontBuilder sf = DamageBase();
        sf.garbage = garbage;
        LoadAndCheck(dir, sf.Build(), std::to_string(garbage.size()) + " bytes of garbage");
    }
}

// Every byte outside the sample data set in turn to values that make sizes, counts and indices extreme.
TEST_F(SoundFontDamageTest, EveryHeaderByteSetToExtremes) {
    std::map<std::string, test::ChunkPlace> layout;
    const test::Bytes whole = DamageBase().Build(&layout);
    const test::ChunkPlace smpl = layout.at("smpl");
    for (size_t at = 0; at < whole.size(); ++at) {
        if (at >= smpl.offset + 8 && at < smpl.offset + 8 + smpl.size)
            continue;
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x80}, uint8_t{0xFF}}) {
            if (whole[at] == value)
                continue;
            test::Bytes bytes = whole;
            bytes[at] = value;
            LoadAndCheck(dir, bytes, "byte " + std::to_string(at) + " = " + std::to_string(value));
        }
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
        SoundFontBuilder sf = DamageBase();
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
        EXPECT_EQ(Inconsistency(workspace.bank), "");
    }
}

} // namespace
} // namespace quorvane
