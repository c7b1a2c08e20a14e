// The wave pool of DLS and GigaSampler banks as the sample table: each wave's format, data place, name,
// tuning, loop and group, and the sample group names, from small files made by the DLS builder.
#include <gtest/gtest.h>

#include "support/DlsBuilder.h"

namespace quorvane {
namespace {

using test::DlsBuilder;
using test::DlsReading;
using test::DlsSamplerChunk;
using test::DlsWave;
using test::DlsWaveSample;
using test::MonoWave;
using test::ReadDlsBytes;

TEST(DlsWavePoolTest, EachWaveGivesOneRecordWithItsFormatDataNameAndGroup) {
    DlsBuilder dls;
    dls.groupNames = {"Default Group", "Strings", "Brass", "Keys"};
    DlsWave tone = MonoWave("Tone", 1000, 22050);
    tone.group = 3;
    DlsWave stereo = MonoWave("Pad", 500, 48000);
    stereo.channels = 2;
    stereo.group = 300;
    DlsWave eightBit = MonoWave(std::string(40, 'N'), 10);
    eightBit.bitsPerSample = 8;
    eightBit.data.assign(2001, 0x80); // odd: the reader counts the pad byte
    DlsWave bare = MonoWave("", 10);
    bare.withFormat = false;
    dls.waves = {tone, stereo, eightBit, bare};
    std::map<std::string, test::ChunkPlace> layout;
    const DlsReading read = ReadDlsBytes(dls.Build(&layout));
    const BankModel& bank = read.bank;

    EXPECT_EQ(read.dls.SampleGroupNames, dls.groupNames) << "group names come before the first wave";
    ASSERT_EQ(bank.SampleCount, 4);
    struct Expected {
        const char* name;
        uint16_t channels, stereoHalf, bits;
        uint32_t rate, length, group;
    };
    const Expected expected[] = {
        {"Tone", 1, 0, 16, 22050, 2000, 3},
        {"Pad", 2, 1, 16, 48000, 1000, 255},
        {"NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN", 1, 0, 8, 44100, 2002, 0},
        {"!noname", 0, 0, 16, 0, 20, 0},
    };
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE("wave " + std::to_string(i));
        const SampleRecord& sample = bank.SampleTable[i];
        EXPECT_EQ(sample.name, expected[i].name);
        EXPECT_EQ(sample.fullName, expected[i].name);
        EXPECT_EQ(sample.channels, expected[i].channels);
        EXPECT_EQ(sample.stereoHalf, expected[i].stereoHalf);
        EXPECT_EQ(sample.bitsPerSample, expected[i].bits);
        EXPECT_EQ(sample.sampleRate, expected[i].rate);
        EXPECT_EQ(sample.dataOffset, layout.at("wvpl/wave" + std::to_string(i) + "/data").offset + 8);
        EXPECT_EQ(sample.dataLength, expected[i].length);
        EXPECT_EQ(sample.sampleGroup, expected[i].group);
        EXPECT_EQ(sample.sampleType, 0);
        EXPECT_EQ(sample.linkIndex, 0);
    }
}

TEST(DlsWavePoolTest, LoopAndTuningFromSmplAndWsmp) {
    struct Case {
        const char* what;
        std::optional<DlsSamplerChunk> smpl;
        std::optional<DlsWaveSample> wsmp;
        uint32_t frames;
        uint16_t rootKey;
        int32_t pitch;
        uint16_t looped;
        uint32_t loopStart, loopEnd;
    };
    const Case cases[] = {
        {"wsmp with one loop of length 0",
         {},
         DlsWaveSample{.loopCount = 1, .loopStart = 1000},
         5000,
         60,
         0,
         1,
         1000,
         1000},
        {"wsmp with one loop",
         {},
         DlsWaveSample{.loopCount = 1, .loopStart = 10, .loopLength = 90},
         5000,
         60,
         0,
         1,
         10,
         100},
        {"wsmp without a loop", {}, DlsWaveSample{.unityNote = 200, .fineTune = -30}, 5000, 72, -30, 0, 0, 0},
        {"smpl loop end far past the data",
         DlsSamplerChunk{.loopCount = 1, .loopStart = 5, .loopEnd = 50000},
         {},
         10000,
         60,
         0,
         1,
         5,
         10000},
        {"smpl loop end 0",
         DlsSamplerChunk{.loopCount = 1, .loopStart = 5, .loopEnd = 0},
         {},
         100,
         60,
         0,
         1,
         5,
         0},
        // The fraction is how far above its unity note the wave sounds: a correction the other way, taken
        // from the nearer note.
        {"smpl quarter-semitone fraction",
         DlsSamplerChunk{.unityNote = 0x145, .pitchFraction = 0x40000000},
         {},
         100,
         0x45,
         -25,
         0,
         0,
         0},
        {"smpl fraction of three quarters",
         DlsSamplerChunk{.pitchFraction = 0xC0000000},
         {},
         100,
         61,
         25,
         0,
         0,
         0},
        {"smpl fraction of one half",
         DlsSamplerChunk{.pitchFraction = 0x80000000},
         {},
         100,
         60,
         -50,
         0,
         0,
         0},
        {"wsmp after smpl overrides it",
         DlsSamplerChunk{
             .unityNote = 50, .pitchFraction = 0x40000000, .loopCount = 1, .loopStart = 1, .loopEnd = 9},
         DlsWaveSample{.unityNote = 70, .fineTune = 3, .loopCount = 1, .loopStart = 20, .loopLength = 30},
         100, 70, 3, 1, 20, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DlsBuilder dls;
        DlsWave wave = MonoWave("Wave", c.frames);
        wave.smpl = c.smpl;
        wave.wsmp = c.wsmp;
        dls.waves = {wave};
        const DlsReading read = ReadDlsBytes(dls.Build());
        ASSERT_EQ(read.bank.SampleCount, 1);
        const SampleRecord& sample = read.bank.SampleTable[0];
        EXPECT_EQ(sample.rootKey, c.rootKey);
        EXPECT_EQ(sample.pitchCorrection, c.pitch);
        EXPECT_EQ(sample.looped, c.looped);
        EXPECT_EQ(sample.loopStart, c.loopStart);
        EXPECT_EQ(sample.loopEnd, c.loopEnd);
    }
}

TEST(DlsWavePoolTest, AtMost256GroupNamesOfAtMost32Characters) {
    DlsBuilder dls;
    for (int g = 0; g < 257; ++g)
        dls.groupNames.push_back("group " + std::to_string(g));
    dls.groupNames[1] = std::string(32, 'a') + "bcdefgh";
    dls.waves = {MonoWave("Wave", 10)};
    const DlsReading read = ReadDlsBytes(dls.Build());
    ASSERT_EQ(read.dls.SampleGroupNames.size(), 256u);
    EXPECT_EQ(read.dls.SampleGroupNames[1], std::string(32, 'a'));
    EXPECT_EQ(read.dls.SampleGroupNames[255], "group 255");
    EXPECT_EQ(read.bank.SampleCount, 1);
}

// Odd-sized chunks in a wave (an unknown one, the name, the data) are each followed by a pad byte; the
// next chunk and the next wave are found behind it.
TEST(DlsWavePoolTest, OddSizedChunksAreSteppedOverToTheEvenBoundary) {
    DlsBuilder dls;
    DlsWave first = MonoWave("Odd", 0); // "Odd" and its zero: 4 bytes; the data below is odd
    first.extraChunks = {{"junk", {1, 2, 3}}};
    first.data.assign(7, 0);
    first.smpl = DlsSamplerChunk{.unityNote = 64};
    DlsWave second = MonoWave("Even", 100, 32000);
    second.extraChunks = {{"junk", {9}}};
    dls.waves = {first, second};
    const DlsReading read = ReadDlsBytes(dls.Build());
    ASSERT_EQ(read.bank.SampleCount, 2);
    EXPECT_EQ(read.bank.SampleTable[0].name, "Odd");
    EXPECT_EQ(read.bank.SampleTable[0].dataLength, 8u);
    EXPECT_EQ(read.bank.SampleTable[0].rootKey, 64) << "smpl after the odd data chunk";
    EXPECT_EQ(read.bank.SampleTable[1].name, "Even");
    EXPECT_EQ(read.bank.SampleTable[1].sampleRate, 32000u);
    EXPECT_EQ(read.bank.SampleTable[1].dataLength, 200u);
}

TEST(DlsWavePoolTest, WithoutGroupListTheWalkStartsAtThePool) {
    DlsBuilder dls;
    dls.waves = {MonoWave("One", 10), MonoWave("Two", 10)};
    const DlsReading read = ReadDlsBytes(dls.Build());
    EXPECT_EQ(read.dls.SampleGroupListOffset, 0u);
    EXPECT_TRUE(read.dls.SampleGroupNames.empty());
    ASSERT_EQ(read.bank.SampleCount, 2);
    EXPECT_EQ(read.bank.SampleTable[1].name, "Two");
    EXPECT_TRUE(read.notes.lines.empty());
}

// The image keeps every header but no wave data: the pool's data payloads are missing from it.
TEST(DlsWavePoolTest, ImageLeavesOutTheWaveData) {
    DlsBuilder dls;
    dls.waves = {MonoWave("One", 5000), MonoWave("Two", 3000)};
    const test::Bytes bytes = dls.Build();
    const DlsReading read = ReadDlsBytes(bytes);
    EXPECT_EQ(read.bank.BankImageSize, bytes.size() - 16000);
    EXPECT_LE(read.bank.BankImageSize, read.bank.BankImage.size());
    EXPECT_EQ(read.dls.BankFileSize, bytes.size());
}

} // namespace
} // namespace quorvane
