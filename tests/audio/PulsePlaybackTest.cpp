// Real sound: samples play through RtAudio into a PulseAudio server of the test's own with a null sink,
// and what the sink's monitor heard is compared with the sample's frames. No sound hardware is needed.
// Where no server can be started the tests skip (and fail under CI). A stream that joins a running sink can
// lose a few milliseconds at its start while the server mixes it in, so lengths are checked to within
// kFrameSlack frames; a sample cut short by its latency or played twice is far outside that.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "audio/PulseSink.h"
#include "audio/RtAudioOutput.h"
#include "audio/WavePlayer.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/RunProcess.h"

using namespace quorvane;
using namespace quorvane::audio;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFrameSlack = 300; // under 7 ms

class PulsePlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_PEER(!test::FindOnPath("parec").empty(),
                     "parec is missing (Debian package pulseaudio-utils)");
        sink_ = std::make_unique<test::PulseSink>();
        REQUIRE_PEER(sink_->Running(), "no PulseAudio server: " << sink_->Error());
        output_ = std::make_unique<RtAudioOutput>();
        player_ = std::make_unique<WavePlayer>(*output_);
        REQUIRE_PEER(!player_->ListOutputDevices().empty(),
                     "RtAudio lists no output on the PulseAudio server");
        player_->OutputDevice = kDefaultOutput;
    }

    void TearDown() override {
        player_.reset();
        output_.reset();
        sink_.reset();
    }

    SampleRecord& AddSample(const FrameVector& left, uint16_t channels = 1) {
        SampleRecord sample;
        sample.name = sample.fullName = "tone";
        sample.sampleRate = test::PulseSink::kRate;
        sample.dataLength = static_cast<uint32_t>(left.size() * 2);
        sample.channels = channels;
        workspace_.bank.SampleTable.push_back(sample);
        workspace_.bank.SampleCount = static_cast<uint16_t>(workspace_.bank.SampleTable.size());
        workspace_.selection.selectedSample = 0;
        workspace_.samples.PlayLeft.Fill(FrameVector(left));
        return workspace_.bank.SampleTable.front();
    }

    // Plays the selected sample, polling as the window's timer does, until it ends by itself, or until
    // `frames` frames were played (a looped sample), or 20 s have passed; returns the stereo frames the
    // sink heard and whether the sample ended by itself.
    std::pair<std::vector<int16_t>, bool> PlayAndRecord(uint64_t frames = UINT64_MAX) {
        test::Recorder recorder(*sink_);
        EXPECT_TRUE(recorder.Running());
        const StartResult start = player_->StartPlayback(workspace_);
        EXPECT_TRUE(start.started) << start.error;
        player_->FillBlock(workspace_, 0);
        player_->FillBlock(workspace_, 1);
        bool ended = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!ended && player_->Position() < frames && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ended = player_->Poll(workspace_);
        }
        player_->StopPlayback();
        auto heard = recorder.Stop();
        return {heard, ended};
    }

    test::RecordingHost host_;
    Workspace workspace_{host_};
    std::unique_ptr<test::PulseSink> sink_;
    std::unique_ptr<RtAudioOutput> output_;
    std::unique_ptr<WavePlayer> player_;
};

FrameVector Sine(uint32_t frames, double hertz, double amplitude) {
    FrameVector values(frames);
    for (uint32_t i = 0; i < frames; ++i)
        values[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * hertz * i / 44100.0)));
    return values;
}

// One channel (0 left, 1 right) of interleaved stereo frames.
std::vector<int16_t> Channel(const std::vector<int16_t>& stereo, int channel) {
    std::vector<int16_t> values;
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2)
        values.push_back(stereo[i]);
    return values;
}

// First and one-past-last index whose magnitude exceeds `threshold`; {0, 0} when none does.
std::pair<size_t, size_t> SoundingSpan(const std::vector<int16_t>& values, int threshold) {
    size_t first = values.size(), last = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (std::abs(values[i]) > threshold) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    return first < last ? std::pair{first, last} : std::pair<size_t, size_t>{0, 0};
}

// The frequency of a tone from the rising zero crossings of `frames` values starting at `from`.
double Frequency(const std::vector<int16_t>& values, size_t from, size_t frames) {
    std::vector<double> crossings;
    for (size_t i = from + 1; i < from + frames && i < values.size(); ++i) {
        if (values[i - 1] < 0 && values[i] >= 0)
            crossings.push_back(static_cast<double>(i - 1) +
                                values[i - 1] / double(values[i - 1] - values[i]));
    }
    if (crossings.size() < 2)
        return 0;
    // The median period: a chunk the recording dropped on a busy machine shortens one period only.
    std::vector<double> periods(crossings.size() - 1);
    for (size_t k = 0; k + 1 < crossings.size(); ++k)
        periods[k] = crossings[k + 1] - crossings[k];
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    return 44100.0 / periods[periods.size() / 2];
}

TEST_F(PulsePlaybackTest, LoopedSinePlaysAt440HertzForLongerThanItsLength) {
    // Half a second holds exactly 220 periods, so the loop over the whole sample joins without a click.
    SampleRecord& sample = AddSample(Sine(22050, 440, 12000));
    sample.looped = 1;
    sample.loopStart = 0;
    sample.loopEnd = 22050;
    const auto [heard, ended] = PlayAndRecord(66150);
    EXPECT_FALSE(ended);
    const std::vector<int16_t> left = Channel(heard, 0);
    const auto [first, last] = SoundingSpan(left, 2000);
    ASSERT_GT(last - first, 44100u) << "the loop played for " << (last - first) << " frames";
    // A second well after the sample's own half second is still the same tone.
    EXPECT_NEAR(Frequency(left, first + 30000, 44100), 440.0, 0.5);
    EXPECT_EQ(player_->Underruns(), 0u);
}

TEST_F(PulsePlaybackTest, UnloopedSampleStopsByItselfAfterItsFrames) {
    FrameVector values(100000, 8000);
    AddSample(values);
    const auto [heard, ended] = PlayAndRecord();
    EXPECT_TRUE(ended);
    const auto [first, last] = SoundingSpan(Channel(heard, 0), 4000);
    EXPECT_NEAR(static_cast<double>(last - first), 100000.0, kFrameSlack);
}

TEST_F(PulsePlaybackTest, StereoPairComesOutOnTwoChannelsWithTheShorterRightSilentAfterItsEnd) {
    SampleRecord& left = AddSample(Sine(88200, 1000, 10000), 2);
    left.sampleType = 4;
    left.linkIndex = 2;
    SampleRecord right = workspace_.bank.SampleTable[0];
    right.sampleType = 2;
    right.linkIndex = 1;
    workspace_.bank.SampleTable.push_back(right);
    workspace_.bank.SampleCount = 2;
    workspace_.samples.PlayRight.Fill(FrameVector(44100, -6000));
    const auto [heard, ended] = PlayAndRecord();
    EXPECT_TRUE(ended);
    const std::vector<int16_t> l = Channel(heard, 0), r = Channel(heard, 1);
    const auto [leftFirst, leftLast] = SoundingSpan(l, 3000);
    const auto [rightFirst, rightLast] = SoundingSpan(r, 3000);
    EXPECT_NEAR(static_cast<double>(rightLast - rightFirst), 44100.0, kFrameSlack);
    EXPECT_NEAR(static_cast<double>(rightFirst), static_cast<double>(leftFirst), 30.0);
    EXPECT_NEAR(static_cast<double>(leftLast - leftFirst), 88200.0, kFrameSlack);
    EXPECT_NEAR(Frequency(l, leftFirst + 100, 44100), 1000.0, 0.5);
    EXPECT_NEAR(r[rightFirst + 1000], -6000, 2);
    // After the right half's end only the left channel sounds.
    EXPECT_EQ(SoundingSpan(std::vector<int16_t>(r.begin() + static_cast<long>(rightLast), r.end()), 2).second,
              0u);
}

TEST_F(PulsePlaybackTest, VolumePosition25ScalesBy20Thousandths) {
    FrameVector values(20000, 10000);
    AddSample(values);
    player_->PlayVolume = VolumeForPosition(25);
    const auto [heard, ended] = PlayAndRecord();
    EXPECT_TRUE(ended);
    const std::vector<int16_t> left = Channel(heard, 0);
    const auto [first, last] = SoundingSpan(left, 100);
    ASSERT_NEAR(static_cast<double>(last - first), 20000.0, kFrameSlack);
    EXPECT_NEAR(left[first + 10000], 200, 2);
    EXPECT_NEAR(left[first + 19000], 200, 2);
}

} // namespace
