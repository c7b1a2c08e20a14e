#include "support/DamagedBanks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>

#include "convert/BankWriters.h"
#include "model/AttributeList.h"
#include "support/ModelChecks.h"
#include "support/SoundFontWriterFixtures.h"

namespace quorvane::test {

namespace {

DlsRegion Region(std::vector<std::pair<uint8_t, uint8_t>> dimensions, const std::vector<uint32_t>& pool) {
    DlsRegion region;
    region.dimensions = std::move(dimensions);
    for (uint32_t index : pool)
        region.dimensionRegions.push_back({.poolIndex = index});
    return region;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

Bytes BuildDls(DlsBuilder dls, const Damage& damage, std::map<std::string, ChunkPlace>* layout) {
    dls.declaredSize = damage.declaredSize;
    dls.appendToChunk = damage.appendToChunk;
    dls.padOddChunks = !damage.unpadded;
    return dls.Build(layout);
}

} // namespace

SoundFontBuilder SoundFontDamageBase() {
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

DlsBuilder GigaDamageBase() {
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

DlsBuilder LevelOneDamageBase() {
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

const std::vector<DamageBase>& DamageBases() {
    static const std::vector<DamageBase> bases = {
        {.name = "SoundFont",
         .sourceFormat = SourceFormat::SoundFont,
         .extension = ".sf2",
         .build =
             [](const Damage& damage, std::map<std::string, ChunkPlace>* layout) {
                 SoundFontBuilder sf = SoundFontDamageBase();
                 sf.declaredSize = damage.declaredSize;
                 sf.appendToChunk = damage.appendToChunk;
                 sf.omit = damage.omit;
                 return sf.Build(layout);
             },
         .inconsistency = SoundFontModelInconsistency,
         .isSampleData = [](const std::string& path) { return path == "smpl"; },
         .canOmit = true},
        {.name = "GigaSampler",
         .sourceFormat = SourceFormat::Dls,
         .extension = ".gig",
         .build =
             [](const Damage& damage, std::map<std::string, ChunkPlace>* layout) {
                 return BuildDls(GigaDamageBase(), damage, layout);
             },
         .inconsistency = DlsModelInconsistency,
         .isSampleData = [](const std::string& path) { return EndsWith(path, "/data"); },
         .canDropPadBytes = true},
        {.name = "DLS Level 1",
         .sourceFormat = SourceFormat::Dls,
         .extension = ".dls",
         .build =
             [](const Damage& damage, std::map<std::string, ChunkPlace>* layout) {
                 return BuildDls(LevelOneDamageBase(), damage, layout);
             },
         .inconsistency = DlsModelInconsistency,
         .isSampleData = [](const std::string& path) { return EndsWith(path, "/data"); },
         .canDropPadBytes = true},
    };
    return bases;
}

const DamageBase& SoundFontBase() {
    return DamageBases()[0];
}
const DamageBase& GigaBase() {
    return DamageBases()[1];
}
const DamageBase& LevelOneBase() {
    return DamageBases()[2];
}

std::string SoundFontModelInconsistency(const BankModel& bank) {
    std::string tables = TableInconsistency(bank);
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

std::string DlsModelInconsistency(const BankModel& bank) {
    std::string tables = TableInconsistency(bank);
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

void ExpectSoundFontReferencesResolve(Workspace& workspace, const TempDir& dir) {
    const std::string path = dir.Folder() + "out.sf2";
    const SoundFontWriteResult result = WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0,
                                                       path, BankNaming::SourceBank, false);
    ASSERT_TRUE(result.written);
    const std::vector<RiffChunk> chunks = WalkRiff(ReadFileBytes(result.path));
    const size_t samples = SampleHeaders(chunks).size() - 1;
    const size_t instruments = InstrumentHeaders(chunks).size() - 1;
    for (const GenRecord& g : GenRecords(chunks, "igen")) {
        if (g.number == gen::sampleID) {
            EXPECT_LT(g.amount, samples);
        }
    }
    for (const GenRecord& g : GenRecords(chunks, "pgen")) {
        if (g.number == gen::instrument) {
            EXPECT_LT(g.amount, instruments);
        }
    }
    std::filesystem::remove(result.path);
}

void LoadDamaged(const DamageBase& base, const TempDir& dir, const Bytes& bytes, LoadStatus expected,
                 const std::string& what, bool writeSoundFont) {
    SCOPED_TRACE(base.name + ": " + what);
    // A fresh name for every file: rewriting one file in place makes the file system flush it each time,
    // which would make the sweeps crawl.
    static std::atomic<int> files{0};
    const std::string stem = "bank" + std::to_string(files++);
    const std::string path = dir.Write(stem + base.extension, bytes);
    struct Remove {
        std::string path;
        ~Remove() { std::filesystem::remove(path); }
    } remove{path};
    NullHost host;
    Workspace workspace(host);
    workspace.bank.SourceFormat = base.sourceFormat;
    const LoadStatus status = LoadBankFile(workspace, path);
    BankModel& bank = workspace.bank;
    // A bank whose structure the damage took away (no preset data left) is reported as damaged rather than
    // loaded: then nothing of it is in the model.
    if (expected == LoadStatus::Loaded && status == LoadStatus::Damaged) {
        EXPECT_EQ(bank.PresetCount + bank.LayerCount + bank.ZoneCount + bank.SampleCount, 0);
        return;
    }
    EXPECT_EQ(status, expected);
    const std::string problem = base.inconsistency(bank);
    EXPECT_EQ(problem, "");
    if (!problem.empty())
        return;
    if (writeSoundFont)
        ExpectSoundFontReferencesResolve(workspace, dir);
    std::vector<uint32_t> slots;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        slots.push_back(slot);
    EXPECT_EQ(WriteSelection::Presets(bank, slots).PresetSlots(), slots);
    ApplyEdits(bank, "PRES 0001 MOVZ 000C PRES 0002 FILT 03e8 PRES 0001 REVB 0064 ", ApplyMode::Views);
}

} // namespace quorvane::test
