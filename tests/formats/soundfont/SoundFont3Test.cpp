// SoundFont 3 banks (Ogg Vorbis samples) read as FluidSynth plays them: every compressed sample decodes to
// the frame count its stream's end announces, and the bank written out as SoundFont 2 (PCM samples) sounds
// as the compressed original in FluidSynth.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "convert/SampleFetch.h"
#include "support/FluidRender.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

struct CompressedBank {
    const char* path;
    bool required; // a Debian package the set-up installs; the others are read where they are present
};

void PrintTo(const CompressedBank& bank, std::ostream* out) {
    *out << bank.path;
}

double Rms(const std::vector<float>& frames) {
    double energy = 0;
    for (float f : frames)
        energy += double(f) * f;
    return std::sqrt(energy / std::max<size_t>(frames.size(), 1));
}

// Two notes, one after the other, on each of the bank's first presets (up to eight melodic ones, and one
// drum kit on the drum channel), chosen by bank select and program change: a phrase any bank sounds in.
test::Phrase PresetPhrase(const BankModel& bank) {
    constexpr int kStep = 44100 / 4;
    test::Phrase phrase;
    int channel = 0, step = 0;
    bool drums = false;
    for (uint32_t slot = 1; slot <= bank.PresetCount && channel < 8; ++slot) {
        const PresetRecord& preset = bank.PresetTable[slot];
        const bool drum = preset.bank == 128 || preset.isDrum;
        if (drum && drums)
            continue;
        const int on = drum ? 9 : channel++;
        drums = drums || drum;
        const int at = step * kStep;
        if (!drum)
            phrase.events.push_back({at, test::PhraseEvent::Controller, on, 0, preset.bank & 127});
        phrase.events.push_back({at, test::PhraseEvent::Program, on, preset.program & 127, 0});
        phrase.events.push_back({at, test::PhraseEvent::NoteOn, on, drum ? 38 : 60, 110});
        phrase.events.push_back({at + kStep, test::PhraseEvent::NoteOff, on, drum ? 38 : 60, 0});
        phrase.events.push_back({at + kStep, test::PhraseEvent::NoteOn, on, drum ? 42 : 67, 70});
        phrase.events.push_back({at + 2 * kStep, test::PhraseEvent::NoteOff, on, drum ? 42 : 67, 0});
        step += 2;
    }
    phrase.frames = (step + 2) * kStep;
    return phrase;
}

class SoundFont3 : public ::testing::TestWithParam<CompressedBank> {};

TEST_P(SoundFont3, SamplesDecodeWholeAndTheSoundFont2CopyPlaysAsTheOriginal) {
    const CompressedBank& compressed = GetParam();
    if (!compressed.required && !std::filesystem::exists(compressed.path))
        GTEST_SKIP() << compressed.path << " is not here";
    REQUIRE_PEER(std::filesystem::exists(compressed.path),
                 compressed.path << " is missing: install musescore-general-soundfont-small");
    test::TempDir folder;
    const std::string copyPath = folder.Folder() + "copy.sf2";
    test::Phrase phrase;
    {
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, compressed.path), LoadStatus::Loaded);
        const BankModel& bank = workspace.bank;
        ASSERT_GT(bank.SampleCount, 0);
        SampleSource* source = SampleSourceFor(workspace);
        ASSERT_NE(source, nullptr);
        uint32_t checked = 0;
        for (uint32_t i = 0; i < bank.SampleCount; ++i) {
            const SampleRecord& sample = bank.SampleTable[i];
            // A bank may name ROM samples of a synthesizer besides its own.
            if (sample.name.starts_with("ROM:"))
                continue;
            ASSERT_EQ(sample.encoding, SampleEncoding::OggVorbis) << sample.name;
            ASSERT_NE(sample.dataLength, 0u) << sample.name;
            EXPECT_LE(sample.loopEnd, sample.dataLength / 2) << sample.name;
            // Decoding every sample of a large bank takes long under the sanitizers: every 7th will do.
            if (checked++ % 7 != 0)
                continue;
            FrameBuffer left, right;
            const FetchReport report = source->Fetch(i, {left, right}, false);
            EXPECT_EQ(report.readErrors, 0u) << sample.name;
            EXPECT_EQ(left.length, sample.dataLength) << sample.name;
        }
        EXPECT_GT(checked, 0u);
        phrase = PresetPhrase(bank);
        ASSERT_TRUE(WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, copyPath,
                                   BankNaming::SourceBank, false)
                        .written);
    }

    test::FluidLog originalLog, copyLog;
    const std::vector<float> original = test::RenderPhrase(compressed.path, phrase, originalLog);
    const std::vector<float> copy = test::RenderPhrase(copyPath, phrase, copyLog);
    ASSERT_FALSE(original.empty()) << "FluidSynth did not load the original";
    ASSERT_FALSE(copy.empty()) << "FluidSynth did not load the copy";
    ASSERT_EQ(original.size(), copy.size());
    EXPECT_EQ(copyLog.errors, std::vector<std::string>{});
    const double originalRms = Rms(original), copyRms = Rms(copy);
    ASSERT_GT(originalRms, 1e-4) << "the phrase should be audible";
    EXPECT_NEAR(20 * std::log10(copyRms / originalRms), 0.0, 1.0) << "level of the copy, dB";
    std::vector<float> difference(original.size());
    for (size_t i = 0; i < original.size(); ++i)
        difference[i] = original[i] - copy[i];
    // The same decoder on both sides: what differs is rounding to 16 bits, far below the music.
    EXPECT_LT(20 * std::log10(std::max(Rms(difference), 1e-12) / originalRms), -40.0);
}

INSTANTIATE_TEST_SUITE_P(
    CompressedBanks, SoundFont3,
    ::testing::Values(CompressedBank{"/usr/share/sounds/sf3/MuseScore_General_Lite.sf3", true},
                      CompressedBank{QUORVANE_REALWORLD_DIR "/files/sf3/TimGM6mb.sf3", false},
                      CompressedBank{QUORVANE_REALWORLD_DIR "/files/sf3/VintageDreamsWaves-v2.sf3", false},
                      CompressedBank{QUORVANE_REALWORLD_DIR "/files/sf3/Boomwhacker.sf3", false}));

// Writes the whole bank at `path` to `output` as a SoundFont 3; the loaded bank is left in `workspace`.
void WriteCompressedCopy(Workspace& workspace, const std::string& path, const std::string& output) {
    ASSERT_EQ(test::LoadBankFile(workspace, path), LoadStatus::Loaded);
    ASSERT_TRUE(WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, output,
                               BankNaming::SourceBank, false, SoundFontSampleStorage::OggVorbis)
                    .written);
}

TEST(SoundFont3Writing, ACompressedCopyKeepsEveryFrameCountAndLoopAndPlaysAsTheOriginal) {
    test::TempDir folder;
    const std::string copyPath = folder.Folder() + "copy.sf3";
    const std::string againPath = folder.Folder() + "again.sf3";
    test::RecordingHost host;
    Workspace original{host};
    WriteCompressedCopy(original, test::kTimGM6mbPath, copyPath);
    // Each stream carries its own codebooks, which weigh on banks of many short samples like this one.
    EXPECT_LT(std::filesystem::file_size(copyPath) * 3 / 2, std::filesystem::file_size(test::kTimGM6mbPath));

    Workspace copy{host};
    WriteCompressedCopy(copy, copyPath, againPath); // SoundFont 3 to SoundFont 3: the streams as they are
    ASSERT_EQ(copy.bank.SampleCount, original.bank.SampleCount);
    for (uint32_t i = 0; i < copy.bank.SampleCount; ++i) {
        const SampleRecord& a = original.bank.SampleTable[i];
        const SampleRecord& b = copy.bank.SampleTable[i];
        EXPECT_EQ(b.encoding, SampleEncoding::OggVorbis) << b.name;
        EXPECT_EQ(b.dataLength, a.dataLength) << b.name;
        EXPECT_EQ(b.loopStart, a.loopStart) << b.name;
        EXPECT_EQ(b.loopEnd, a.loopEnd) << b.name;
    }

    const test::Phrase phrase = test::ShortGmPhrase();
    test::FluidLog originalLog, copyLog, againLog;
    const std::vector<float> source = test::RenderPhrase(test::kTimGM6mbPath, phrase, originalLog);
    const std::vector<float> compressed = test::RenderPhrase(copyPath, phrase, copyLog);
    const std::vector<float> again = test::RenderPhrase(againPath, phrase, againLog);
    ASSERT_FALSE(compressed.empty()) << "FluidSynth did not load our SoundFont 3";
    ASSERT_EQ(source.size(), compressed.size());
    EXPECT_EQ(copyLog.errors, std::vector<std::string>{});
    EXPECT_NEAR(20 * std::log10(Rms(compressed) / Rms(source)), 0.0, 1.0) << "level of the copy, dB";
    EXPECT_EQ(again, compressed) << "a stream copied from a SoundFont 3 must decode as before";
}

} // namespace
} // namespace quorvane
