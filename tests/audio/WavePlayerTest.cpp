// Wave playback without a sound card: what the player hands the output block by block, when it stops by
// itself, the volume, the rate fall-backs, and samples whose values cannot be played as they stand.
#include <gtest/gtest.h>

#include <numeric>

#include "audio/FakeOutput.h"
#include "audio/WavePlayer.h"
#include "support/RecordingHost.h"

using namespace quorvane;
using namespace quorvane::audio;

namespace {

class WavePlayerTest : public ::testing::Test {
  protected:
    test::RecordingHost host;
    Workspace workspace{host};
    test::FakeOutput output;
    WavePlayer player{output};

    void SetUp() override { player.ListOutputDevices(); }

    // Sample 0 with `frames` frames counting up from 1 (so every frame is recognisable), selected.
    SampleRecord& AddSample(uint32_t frames, uint32_t rate = 44100) {
        SampleRecord sample;
        sample.name = sample.fullName = "ramp";
        sample.sampleRate = rate;
        sample.dataLength = frames * 2;
        workspace.bank.SampleTable.push_back(sample);
        workspace.bank.SampleCount = static_cast<uint16_t>(workspace.bank.SampleTable.size());
        workspace.selection.selectedSample = 0;
        FrameVector values(frames);
        for (uint32_t i = 0; i < frames; ++i)
            values[i] = static_cast<int16_t>((i + 1) % 30000);
        workspace.samples.PlayLeft.Fill(std::move(values));
        return workspace.bank.SampleTable.back();
    }

    void Start() {
        ASSERT_TRUE(player.StartPlayback(workspace).started);
        player.FillBlock(workspace, 0);
        player.FillBlock(workspace, 1);
    }
};

int16_t Ramp(uint32_t frame) {
    return static_cast<int16_t>((frame + 1) % 30000);
}

TEST_F(WavePlayerTest, UnloopedMonoSampleIsSentInBlocksOfFortyThousandAndStopsAfterTheLastOne) {
    AddSample(100000);
    Start();
    std::vector<int16_t> heard = output.Play(40000);
    EXPECT_EQ(heard.front(), Ramp(0));
    EXPECT_EQ(heard.back(), Ramp(39999));
    EXPECT_FALSE(player.Poll(workspace)); // block 0 refilled with frames 80,000 .. 99,999
    EXPECT_EQ(player.PlayPosLeft, 100000u);
    heard = output.Play(40000);
    EXPECT_EQ(heard.front(), Ramp(40000));
    EXPECT_EQ(heard.back(), Ramp(79999));
    EXPECT_FALSE(player.Poll(workspace)); // nothing left for block 1; block 0 still queued
    heard = output.Play(30000);
    EXPECT_EQ(heard[0], Ramp(80000));
    EXPECT_EQ(heard[19999], Ramp(99999));
    EXPECT_EQ(heard[20000], 0); // the end: silence, not a late block
    EXPECT_TRUE(player.Poll(workspace));
    EXPECT_EQ(player.Position(), 100000u);
    EXPECT_EQ(player.Underruns(), 0u);
}

TEST_F(WavePlayerTest, LoopModesDecideWhetherTheSampleRepeats) {
    struct Case {
        const char* what;
        uint16_t looped;
        uint32_t loopStart, loopEnd;
        bool repeats;
    };
    const Case cases[] = {
        {"looped 1000..2000", 1, 1000, 2000, true},
        {"two Akai loops (looped 2) play once", 2, 1000, 2000, false},
        {"a loop end before its start plays once", 1, 2000, 1000, false},
        {"a loop end past the data plays once", 1, 1000, 900000, false},
        {"an empty loop plays once", 1, 1500, 1500, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        workspace.bank = {};
        SampleRecord& sample = AddSample(3000);
        sample.looped = c.looped;
        sample.loopStart = c.loopStart;
        sample.loopEnd = c.loopEnd;
        Start();
        std::vector<int16_t> heard;
        bool ended = false;
        for (int round = 0; round < 6 && !ended; ++round) {
            const std::vector<int16_t> block = output.Play(40000);
            heard.insert(heard.end(), block.begin(), block.end());
            ended = player.Poll(workspace);
        }
        EXPECT_EQ(ended, !c.repeats);
        if (c.repeats) {
            // Frames 0..1999, then 1000..1999 over and over: every block full.
            EXPECT_EQ(heard[1999], Ramp(1999));
            EXPECT_EQ(heard[2000], Ramp(1000));
            EXPECT_EQ(heard[3000], Ramp(1000));
            EXPECT_EQ(heard[239999], Ramp(1000 + (239999 - 2000) % 1000));
        } else {
            EXPECT_EQ(heard[2999], Ramp(2999));
            EXPECT_EQ(heard[3000], 0);
        }
        player.StopPlayback();
    }
}

TEST_F(WavePlayerTest, StereoPairPlaysThePartnersLoopOnTheRightAndZerosAfterAShorterChannel) {
    SampleRecord& left = AddSample(5000);
    left.channels = 2;
    left.sampleType = 4;
    left.linkIndex = 2;
    SampleRecord right = left;
    right.sampleType = 2;
    right.linkIndex = 1;
    right.looped = 1;
    right.loopStart = 100;
    right.loopEnd = 200;
    workspace.bank.SampleTable.push_back(right);
    workspace.bank.SampleCount = 2;
    // Right channel: 1000 frames of -1 .. -1000.
    FrameVector values(1000);
    for (int i = 0; i < 1000; ++i)
        values[static_cast<size_t>(i)] = static_cast<int16_t>(-(i + 1));
    workspace.samples.PlayRight.Fill(std::move(values));
    Start();
    const std::vector<int16_t> heard = output.Play(20000);
    ASSERT_EQ(output.channels, 2);
    EXPECT_EQ(heard[2 * 0], Ramp(0));
    EXPECT_EQ(heard[2 * 199 + 1], -200);
    EXPECT_EQ(heard[2 * 200 + 1], -101); // the partner's loop, not the left sample's (which has none)

    // Without the right loop the right channel falls silent after its end while the left goes on.
    player.StopPlayback();
    workspace.bank.SampleTable[1].looped = 0;
    Start();
    const std::vector<int16_t> once = output.Play(20000);
    EXPECT_EQ(once[2 * 999 + 1], -1000);
    EXPECT_EQ(once[2 * 1000 + 1], 0);
    EXPECT_EQ(once[2 * 4999], Ramp(4999));
    EXPECT_EQ(once[2 * 5000], 0);
    EXPECT_TRUE(player.Poll(workspace));
}

TEST_F(WavePlayerTest, VolumeScalesEveryValueTowardZero) {
    const std::pair<int, int> positions[] = {{0, 1000}, {25, 20}, {32, 6}};
    for (const auto& [position, volume] : positions)
        EXPECT_EQ(VolumeForPosition(position), volume) << "position " << position;
    AddSample(10);
    workspace.samples.PlayLeft.frames[0] = -30001;
    workspace.samples.PlayLeft.frames[1] = 149;
    player.PlayVolume = VolumeForPosition(25);
    Start();
    const std::vector<int16_t> heard = output.Play(2);
    EXPECT_EQ(heard[0], -600); // -30001 * 20 / 1000, truncated toward zero
    EXPECT_EQ(heard[1], 2);
}

TEST_F(WavePlayerTest, RefusedRatesFallBackInOrder) {
    struct Case {
        uint32_t rate;
        std::set<uint32_t> refused;
        std::vector<uint32_t> asked;
        bool started;
    };
    const Case cases[] = {
        {192000, {192000}, {192000, 96000}, true}, {192000, {192000, 96000}, {192000, 96000, 44100}, true},
        {4000, {4000}, {4000, 8000}, true},        {4000, {4000, 8000, 11025}, {4000, 8000, 11025}, false},
        {22050, {22050}, {22050}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        workspace.bank = {};
        AddSample(100, c.rate);
        output.refusedRates = c.refused;
        output.openedRates.clear();
        const StartResult result = player.StartPlayback(workspace);
        EXPECT_EQ(output.openedRates, c.asked);
        EXPECT_EQ(result.started, c.started);
        EXPECT_EQ(player.Playing(), c.started);
        if (c.started) {
            EXPECT_EQ(result.rate, c.asked.back());
        } else {
            EXPECT_EQ(result.error, "rate refused");
            EXPECT_EQ(result.deviceName, "Fake device");
        }
        player.StopPlayback();
    }
}

TEST_F(WavePlayerTest, NothingPlaysWithoutFramesOrRate) {
    AddSample(100, 0);
    EXPECT_FALSE(player.StartPlayback(workspace).attempted);
    workspace.bank = {};
    AddSample(0);
    EXPECT_FALSE(player.StartPlayback(workspace).attempted);
    workspace.selection.selectedSample = 0xFFFF;
    EXPECT_FALSE(player.StartPlayback(workspace).attempted);
    EXPECT_TRUE(output.openedRates.empty());
}

TEST_F(WavePlayerTest, OneFrameSamplePlaysThatFrameAndEnds) {
    AddSample(1);
    Start();
    const std::vector<int16_t> heard = output.Play(3);
    EXPECT_EQ(heard, (std::vector<int16_t>{Ramp(0), 0, 0}));
    EXPECT_TRUE(player.Poll(workspace));
}

TEST(BlockQueueTest, BlocksPlayInTurnAndALateOneIsCountedWhileTheEndIsNot) {
    BlockQueue queue;
    queue.Reset(1);
    std::vector<int16_t> out(4);
    queue.Render(out.data(), 4); // before the first block: starting, not late
    EXPECT_EQ(queue.Starved(), 0u);
    std::iota(queue.Data(0), queue.Data(0) + 3, 1);
    queue.Submit(0, 3);
    queue.Render(out.data(), 4);
    EXPECT_EQ(out, (std::vector<int16_t>{1, 2, 3, 0}));
    EXPECT_EQ(queue.Starved(), 1u); // block 1 was not there in time
    EXPECT_EQ(queue.TakeFinished(), 0);
    EXPECT_EQ(queue.TakeFinished(), -1);
    queue.SetDraining(true);
    queue.Render(out.data(), 4);
    EXPECT_EQ(queue.Starved(), 1u);
    EXPECT_EQ(queue.FramesPlayed(), 3u);
}

} // namespace
