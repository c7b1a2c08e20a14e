// 24-bit samples through SoundFont 2.04 banks: the low bytes of sm24 read beside the 16-bit words, written
// whenever a written sample has more than 16 bits, and exported as 24-bit audio files, so that 24-bit
// audio survives bit for bit; FluidSynth plays the low bytes of the banks we write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "convert/AudioFolder.h"
#include "convert/BankWriters.h"
#include "convert/SampleFetch.h"
#include "support/AudioFileBuilder.h"
#include "support/FluidRender.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/SmallModels.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bytes;

Bytes RandomBytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

// The sample data of a WAVE file (its "data" chunk) or an AIFF file (its SSND chunk after offset and
// block size).
Bytes AudioData(const Bytes& file) {
    const bool aiff = test::FourCCAt(file, 0) == "FORM";
    for (size_t at = 12; at + 8 <= file.size();) {
        const std::string id = test::FourCCAt(file, at);
        const uint32_t size = aiff ? uint32_t(file[at + 4]) << 24 | uint32_t(file[at + 5]) << 16 |
                                         uint32_t(file[at + 6]) << 8 | file[at + 7]
                                   : test::GetU32(file, at + 4);
        const size_t end = std::min<size_t>(file.size(), at + 8 + size);
        if (id == "data")
            return Bytes(file.begin() + at + 8, file.begin() + end);
        if (id == "SSND")
            return Bytes(file.begin() + at + 16, file.begin() + end);
        at += 8 + size + (size & 1);
    }
    return {};
}

// One preset per sample of the listed audio files, each playing its sample over the whole keyboard: the
// bank an audio-file source becomes once it has presets.
void GivePresets(BankModel& bank) {
    std::vector<test::SmallPreset> presets(bank.SampleCount);
    for (uint16_t i = 0; i < bank.SampleCount; ++i)
        presets[i].sampleIndex = i;
    BankModel shaped = test::SmallModel(presets);
    for (uint16_t i = 0; i < bank.SampleCount; ++i)
        shaped.ZoneTable[i].Set(gen::sampleID, static_cast<int16_t>(i));
    bank.PresetTable = std::move(shaped.PresetTable);
    bank.LayerTable = std::move(shaped.LayerTable);
    bank.ZoneTable = std::move(shaped.ZoneTable);
    bank.PresetCount = shaped.PresetCount;
    bank.LayerCount = shaped.LayerCount;
    bank.ZoneCount = shaped.ZoneCount;
}

TEST(SoundFont24Bit, AudioFilesOfMoreThan16BitsSurviveASoundFontAndExportBitForBit) {
    test::TempDir in, out;
    struct Source {
        std::string name;
        SampleFileType type; // the export type that gives the source's own layout back
        int bits;
        Bytes data;
    };
    const std::vector<Source> sources = {
        {"deep.wav", SampleFileType::Wave, 24, RandomBytes(300 * 3, 1)},
        {"plain.wav", SampleFileType::Wave, 16, RandomBytes(200 * 2, 2)},
        {"deep.aif", SampleFileType::Aiff, 24, RandomBytes(251 * 3, 3)},
    };
    for (const Source& s : sources) {
        const uint32_t frames = static_cast<uint32_t>(s.data.size() / (s.bits / 8));
        in.Write(s.name,
                 s.type == SampleFileType::Aiff
                     ? test::AiffForm({{"COMM", test::CommBody(1, frames, s.bits, 44100)},
                                       {"SSND", test::SsndBody(s.data)}})
                     : test::WaveForm({{"fmt ", test::FmtBody(1, 1, 44100, s.bits)}, {"data", s.data}}));
    }
    const std::string bankPath = out.Folder() + "deep.sf2";
    {
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(ListAudioFolder(workspace, in.Folder()), 3u);
        GivePresets(workspace.bank);
        SoundFontWriteOptions options;
        options.bankName = "deep";
        ASSERT_TRUE(WriteSoundFontBank(workspace.bank, WriteSelection::All(workspace.bank),
                                       *SampleSourceFor(workspace), host, bankPath, options)
                        .written);
    }

    const Bytes bank = test::ReadFileBytes(bankPath);
    const std::vector<test::RiffChunk> chunks = test::WalkRiff(bank);
    const test::RiffChunk* ifil = test::FindChunk(chunks, "sfbk/INFO/ifil");
    const test::RiffChunk* smpl = test::FindChunk(chunks, "sfbk/sdta/smpl");
    const test::RiffChunk* sm24 = test::FindChunk(chunks, "sfbk/sdta/sm24");
    ASSERT_TRUE(ifil && smpl && sm24);
    EXPECT_EQ(test::U16At(ifil->data, 0) * 100 + test::U16At(ifil->data, 2), 204) << "version 2.04";
    EXPECT_EQ(sm24->size, smpl->size / 2 + smpl->size / 2 % 2) << "a low byte per word, even in size";

    test::RecordingHost host;
    Workspace workspace{host};
    ASSERT_EQ(test::LoadBankFile(workspace, bankPath), LoadStatus::Loaded);
    ASSERT_EQ(workspace.bank.SampleCount, 3u);
    // The samples are written in the order the folder lists them: WAVE files first, then AIFF files.
    for (uint32_t i = 0; i < workspace.bank.SampleCount; ++i) {
        const Source* source = &sources[i];
        SCOPED_TRACE(source->name);
        EXPECT_EQ(SampleBits(workspace.bank.SampleTable[i]), 24);
        // As the source holds it, and a 24-bit sample cut to 16 bits on request.
        const std::string exported = out.Folder() + "export" + std::to_string(i);
        ASSERT_EQ(WriteSampleFile(workspace, exported, i, source->type, source->bits).status,
                  SampleFileStatus::Written);
        EXPECT_EQ(AudioData(test::ReadFileBytes(exported)), source->data);
        if (source->bits == 24 && source->type == SampleFileType::Wave) {
            ASSERT_EQ(WriteSampleFile(workspace, exported + "-16", i, SampleFileType::Wave, 16).status,
                      SampleFileStatus::Written);
            Bytes upper;
            for (size_t at = 0; at < source->data.size(); at += 3)
                upper.insert(upper.end(), {source->data[at + 1], source->data[at + 2]});
            EXPECT_EQ(AudioData(test::ReadFileBytes(exported + "-16")), upper);
        }
    }
}

// A bank of one sample over the whole keyboard, 24-bit when low bytes are given.
test::SoundFontBuilder OneSampleBank(bool withLowBytes, std::pair<uint16_t, uint16_t> version = {2, 4}) {
    test::SoundFontBuilder sf;
    sf.version = version;
    const uint16_t sample = sf.AddSample("Deep", 2000);
    sf.samples[sample].loopStart = 100;
    sf.samples[sample].loopEnd = 1900;
    sf.instruments = {{.name = "Deep", .bags = {test::Gens({{gen::sampleModes, 1}, {gen::sampleID, 0}})}}};
    sf.presets = {{.name = "Deep", .bags = {test::Gens({{gen::instrument, 0}})}}};
    if (withLowBytes)
        sf.sampleLowBytes = RandomBytes(sf.sampleWords.size() + sf.sampleWords.size() % 2, 4);
    return sf;
}

TEST(SoundFont24Bit, LowBytesCountOnlyInA204BankWhoseSm24HoldsThemAll) {
    struct Case {
        const char* what;
        std::pair<uint16_t, uint16_t> version;
        size_t cutLowBytes;
        bool wide;
    };
    for (const Case& c : {Case{"2.04 with sm24", {2, 4}, 0, true}, Case{"2.01 with sm24", {2, 1}, 0, false},
                          Case{"sm24 shorter than the sample", {2, 4}, 1500, false}}) {
        SCOPED_TRACE(c.what);
        test::SoundFontBuilder sf = OneSampleBank(true, c.version);
        sf.sampleLowBytes.resize(sf.sampleLowBytes.size() - c.cutLowBytes);
        test::TempDir dir;
        const std::string path = dir.Write("deep.sf2", sf.Build());
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, path), LoadStatus::Loaded);
        FrameBuffer left, right;
        EXPECT_EQ(SampleSourceFor(workspace)->Fetch(0, {left, right}, false).readErrors, 0u);
        ASSERT_EQ(left.FrameCount(), 2000u);
        EXPECT_EQ(left.Wide(), c.wide);
        for (uint32_t i = 0; i < 2000; ++i)
            ASSERT_EQ(left.Frame24(i), sf.sampleWords[i] * 256 + (c.wide ? sf.sampleLowBytes[i] : 0)) << i;
    }
}

double Rms(const std::vector<float>& frames) {
    double energy = 0;
    for (float f : frames)
        energy += double(f) * f;
    return std::sqrt(energy / std::max<size_t>(frames.size(), 1));
}

TEST(SoundFont24Bit, AWrittenBankKeepsItsLowBytesAndFluidSynthPlaysThem) {
    test::TempDir dir;
    const test::SoundFontBuilder sf = OneSampleBank(true);
    const std::string source = dir.Write("deep.sf2", sf.Build());
    const std::string copy = dir.Folder() + "copy.sf2";
    {
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, source), LoadStatus::Loaded);
        ASSERT_TRUE(WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, copy,
                                   BankNaming::SourceBank, false)
                        .written);
    }
    Bytes written = test::ReadFileBytes(copy);
    const std::vector<test::RiffChunk> chunks = test::WalkRiff(written);
    const test::RiffChunk* sm24 = test::FindChunk(chunks, "sfbk/sdta/sm24");
    const std::vector<test::SampleHeader> headers = test::SampleHeaders(chunks);
    ASSERT_TRUE(sm24 != nullptr && headers.size() == 2);
    const uint32_t start = headers[0].start;
    ASSERT_LE(start + 2000, sm24->data.size());
    EXPECT_TRUE(
        std::equal(sf.sampleLowBytes.begin(), sf.sampleLowBytes.begin() + 2000, sm24->data.begin() + start));

    // The same bank with its low bytes cleared must sound (slightly) different: FluidSynth reads them.
    std::fill_n(written.begin() + sm24->offset + 8, sm24->size, 0);
    const std::string cleared = dir.Write("cleared.sf2", written);
    test::Phrase phrase;
    phrase.events = {{0, test::PhraseEvent::NoteOn, 0, 60, 127},
                     {22050, test::PhraseEvent::NoteOff, 0, 60, 0}};
    phrase.frames = 30000;
    test::FluidLog log, clearedLog;
    const std::vector<float> full = test::RenderPhrase(copy, phrase, log);
    const std::vector<float> upper = test::RenderPhrase(cleared, phrase, clearedLog);
    ASSERT_FALSE(full.empty()) << "FluidSynth did not load our 24-bit bank";
    ASSERT_EQ(full.size(), upper.size());
    EXPECT_EQ(log.errors, std::vector<std::string>{});
    for (const std::string& warning : log.warnings) // FluidSynth ignores an sm24 it finds wrong, and says so
        EXPECT_EQ(warning.find("sm24"), std::string::npos) << warning;
    ASSERT_GT(Rms(full), 1e-3);
    std::vector<float> difference(full.size());
    for (size_t i = 0; i < full.size(); ++i)
        difference[i] = full[i] - upper[i];
    const double below = 20 * std::log10(std::max(Rms(difference), 1e-20) / Rms(full));
    EXPECT_LT(below, -30.0) << "the low bytes are quiet detail";
    EXPECT_GT(below, -140.0) << "the render without the low bytes is the same: they were not played";
}

} // namespace
} // namespace quorvane
