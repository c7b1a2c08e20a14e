// The sample file writer: the exact WAVE and AIFF layouts, stereo pairs padded to the longer half, the
// tuning fields, and a run of saves that meets a file it cannot write.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/SampleExport.h"
#include "support/RecordingHost.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using namespace test;

constexpr uint32_t kCent = 42949672;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
uint32_t U32(const Bytes& b, size_t at) {
    return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}
uint16_t U16BE(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) << 8 | b.at(at + 1));
}
uint32_t U32BE(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(U16BE(b, at)) << 16 | U16BE(b, at + 2);
}
std::string Id(const Bytes& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

// A SoundFont bank of ramps: "Mono" (1000 frames), and the stereo pair "Pad-L" (1000 frames) and "Pad-R"
// (600 frames), loaded through the bank loader so that every sample is fetched from the file.
class SampleFileWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SoundFontBuilder sf;
        sf.AddSample("Mono", 1000);
        const uint16_t left = sf.AddSample("Pad-L", 1000);
        const uint16_t right = sf.AddSample("Pad-R", 600);
        sf.samples[left].type = 4;
        sf.samples[left].link = right;
        sf.samples[right].type = 2;
        sf.samples[right].link = left;
        dir.Write("bank.sf2", sf.Build());
        workspace.bank.SourceFormat = SourceFormat::SoundFont;
        SetFileList(workspace, dir.Folder(), {{"bank", "sf2"}});
        ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
        ASSERT_EQ(workspace.bank.SampleCount, 3);
        SampleRecord& mono = workspace.bank.SampleTable[0];
        mono.sampleRate = 22050;
        mono.rootKey = 60;
        mono.pitchCorrection = 0;
        mono.looped = 1;
        mono.loopStart = 100;
        mono.loopEnd = 900;
    }

    Bytes Write(uint32_t index, SampleFileType type) {
        const std::string path = out.Folder() + "s" + (type == SampleFileType::Aiff ? ".aif" : ".wav");
        const SampleFileResult result = WriteSampleFile(workspace, path, index, type);
        EXPECT_EQ(result.status, SampleFileStatus::Written);
        Bytes bytes = ReadAll(path);
        EXPECT_EQ(result.size, bytes.size());
        return bytes;
    }

    TempDir dir, out;
    RecordingHost host;
    Workspace workspace{host};
};

struct WaveLayoutCase {
    const char* what;
    uint16_t looped;
    int32_t pitchCorrection;
    uint32_t dataAt, smplSize, fileSize, unityNote, fraction;
};

TEST_F(SampleFileWriterTest, WaveLayout) {
    const std::vector<WaveLayoutCase> cases = {
        {"looped", 1, 0, 104, 60, 2112, 60, 0},
        {"unlooped", 0, 0, 80, 36, 2088, 60, 0},
        // The sample sounds at its root less its correction: 375 Hz is note 66 corrected by -23 cents.
        {"a sample sounding flat counts up from the note below", 0, 23, 80, 36, 2088, 59, 77 * kCent},
        {"a sample sounding sharp counts up from its root", 0, -23, 80, 36, 2088, 60, 23 * kCent},
        {"whole semitones of a wide correction move the unity note", 0, 250, 80, 36, 2088, 57, 50 * kCent},
        {"a wide sharp sample", 0, -230, 80, 36, 2088, 62, 30 * kCent},
    };
    for (const WaveLayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        SampleRecord& mono = workspace.bank.SampleTable[0];
        mono.looped = c.looped;
        mono.pitchCorrection = c.pitchCorrection;
        const Bytes f = Write(0, SampleFileType::Wave);
        ASSERT_EQ(f.size(), c.fileSize);
        EXPECT_EQ(Id(f, 0), "RIFF");
        EXPECT_EQ(U32(f, 4), c.fileSize - 8);
        EXPECT_EQ(Id(f, 8), "WAVE");
        EXPECT_EQ(Id(f, 12), "fmt ");
        EXPECT_EQ(U32(f, 16), 16u);
        EXPECT_EQ(U16(f, 20), 1);      // PCM
        EXPECT_EQ(U16(f, 22), 1);      // channels
        EXPECT_EQ(U32(f, 24), 22050u); // rate
        EXPECT_EQ(U32(f, 28), 44100u); // bytes per second
        EXPECT_EQ(U16(f, 32), 2);      // block align
        EXPECT_EQ(U16(f, 34), 16);     // bits
        EXPECT_EQ(Id(f, 36), "smpl");
        EXPECT_EQ(U32(f, 40), c.smplSize);
        EXPECT_EQ(U32(f, 52), 1000000000u / 22050);
        EXPECT_EQ(U32(f, 56), c.unityNote);
        EXPECT_EQ(U32(f, 60), c.fraction);
        EXPECT_EQ(U32(f, 72), c.looped);
        if (c.looped) {
            EXPECT_EQ(U32(f, 88), 100u);
            EXPECT_EQ(U32(f, 92), 899u);
        }
        EXPECT_EQ(Id(f, c.dataAt), "data");
        EXPECT_EQ(U32(f, c.dataAt + 4), 2000u);
        for (uint32_t i : {0u, 1u, 999u})
            EXPECT_EQ(static_cast<int16_t>(U16(f, c.dataAt + 8 + 2 * i)), static_cast<int16_t>(i * 64));
    }
}

TEST_F(SampleFileWriterTest, AiffLayout) {
    SampleRecord& mono = workspace.bank.SampleTable[0];
    for (int32_t correction : {250, -250}) {
        SCOPED_TRACE(correction);
        mono.pitchCorrection = correction;
        const Bytes f = Write(0, SampleFileType::Aiff);
        ASSERT_EQ(f.size(), 2108u);
        EXPECT_EQ(Id(f, 0), "FORM");
        EXPECT_EQ(U32BE(f, 4), 2100u);
        EXPECT_EQ(Id(f, 8), "AIFF");
        EXPECT_EQ(Id(f, 12), "COMM");
        EXPECT_EQ(U32BE(f, 16), 18u);
        EXPECT_EQ(U16BE(f, 20), 1);
        EXPECT_EQ(U32BE(f, 22), 1000u);
        EXPECT_EQ(U16BE(f, 26), 16);
        EXPECT_EQ(Bytes(f.begin() + 28, f.begin() + 38), (Bytes{0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(Id(f, 38), "MARK");
        EXPECT_EQ(U32BE(f, 42), 18u);
        EXPECT_EQ(U16BE(f, 46), 2);
        EXPECT_EQ(U16BE(f, 48), 1);
        EXPECT_EQ(U32BE(f, 50), 100u);
        EXPECT_EQ(U16BE(f, 56), 2);
        EXPECT_EQ(U32BE(f, 58), 900u);
        EXPECT_EQ(Id(f, 64), "INST");
        EXPECT_EQ(U32BE(f, 68), 20u);
        EXPECT_EQ(f[72], 60);
        EXPECT_EQ(static_cast<int8_t>(f[73]), correction / 5); // the cents beyond whole semitones: ±50
        EXPECT_EQ(Bytes(f.begin() + 74, f.begin() + 78), (Bytes{0, 127, 0, 127}));
        EXPECT_EQ(U16BE(f, 80), 1);
        EXPECT_EQ(U16BE(f, 82), 1);
        EXPECT_EQ(U16BE(f, 84), 2);
        EXPECT_EQ(Id(f, 92), "SSND");
        EXPECT_EQ(U32BE(f, 96), 2008u);
        EXPECT_EQ(U32BE(f, 100), 0u);
        EXPECT_EQ(U32BE(f, 104), 0u); // block size: the data is not block-aligned
        EXPECT_EQ(static_cast<int16_t>(U16BE(f, 108 + 2 * 999)), static_cast<int16_t>(999 * 64));
    }
    // Without a loop the markers stay and the sustain loop is off.
    mono.looped = 0;
    const Bytes f = Write(0, SampleFileType::Aiff);
    EXPECT_EQ(U32BE(f, 50), 100u);
    EXPECT_EQ(U16BE(f, 80), 0);
    EXPECT_EQ(U16BE(f, 84), 0);
}

TEST_F(SampleFileWriterTest, StereoPairIsPaddedToTheLongerHalfWithTheLeftHalfOnTheLeft) {
    for (uint32_t index : {1u, 2u}) {
        SCOPED_TRACE(index == 1 ? "saving the left half" : "saving the right half");
        const Bytes f = Write(index, SampleFileType::Aiff);
        ASSERT_EQ(f.size(), 108u + 4000u);
        EXPECT_EQ(U16BE(f, 20), 2);
        EXPECT_EQ(U32BE(f, 22), 1000u);
        for (uint32_t i : {0u, 599u, 600u, 999u}) {
            EXPECT_EQ(static_cast<int16_t>(U16BE(f, 108 + 4 * i)), static_cast<int16_t>(i * 64)) << i;
            EXPECT_EQ(static_cast<int16_t>(U16BE(f, 110 + 4 * i)), i < 600 ? static_cast<int16_t>(i * 64) : 0)
                << i;
        }
    }
    const Bytes wave = Write(1, SampleFileType::Wave);
    EXPECT_EQ(U16(wave, 22), 2);
    EXPECT_EQ(U32(wave, 28), workspace.bank.SampleTable[1].sampleRate * 4);
    EXPECT_EQ(U16(wave, 32), 4);
    EXPECT_EQ(U32(wave, 84), 4000u); // the data chunk at 80: unlooped
}

// Saving all: a sample file that cannot be written is reported and the run goes on (how each kind of target
// is refused is in convert/WriteTargetTest.cpp).
TEST_F(SampleFileWriterTest, AFileThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
    // The pair is saved once, under the name both halves show; a name another sample of the run
    // already took gets a number; a target taken by a folder is reported and the next sample still saved.
    workspace.bank.SampleTable[0].name = "Pad";
    std::filesystem::create_directory(out.Path() / "Pad.wav");
    host.progressWindowShowing = true;
    const SampleSaveSummary summary = SaveAllSamples(workspace, out.Folder(), SampleFileType::Wave);
    EXPECT_EQ(summary.written, 1u);
    EXPECT_EQ(summary.failed, 1u);
    EXPECT_FALSE(summary.cancelled);
    EXPECT_EQ(host.statusLines.at(0), "ERROR! Can't write to File " + out.Folder() + "Pad.wav");
    EXPECT_EQ(ReadAll(out.Folder() + "Pad (2).wav").size(), 88u + 4000u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), {}), 2);
    EXPECT_EQ(host.fileProgress, (std::vector<int>{500, 1000}));

    host.cancel = true;
    EXPECT_TRUE(SaveAllSamples(workspace, out.Folder(), SampleFileType::Wave).cancelled);
}

// A sample without frames (a ROM sample, whose sound is in a synthesizer's memory) has nothing to save: no
// file passes for it. A loop flag over an empty loop writes no loop rather than one that ends before it
// starts.
TEST_F(SampleFileWriterTest, NothingIsSavedForASampleWithoutFramesAndNoEmptyLoop) {
    SampleRecord& mono = workspace.bank.SampleTable[0];
    mono.loopStart = mono.loopEnd = 0;
    const Bytes wave = Write(0, SampleFileType::Wave);
    EXPECT_EQ(U32(wave, 40), 36u) << "a sampler chunk without a loop";
    EXPECT_EQ(U32(wave, 72), 0u) << "loop count";

    mono.dataOffset = mono.dataLength = 0;
    const std::string path = out.Folder() + "rom.wav";
    EXPECT_EQ(WriteSampleFile(workspace, path, 0, SampleFileType::Wave).status, SampleFileStatus::Skipped);
    EXPECT_FALSE(std::filesystem::exists(path));
}

} // namespace
} // namespace quorvane
