#include "audio/WavePlayer.h"

#include <algorithm>
#include <cmath>

namespace quorvane::audio {

namespace {

// Frames a play buffer really holds: its byte length over two, never past its storage.
uint32_t FramesOf(const FrameBuffer& buffer) {
    return std::min<uint32_t>(buffer.FrameCount(), static_cast<uint32_t>(buffer.frames.size()));
}

ChannelLoop LoopOf(const SampleRecord& sample) {
    ChannelLoop loop;
    // A loop that ends at or before its start has nothing to repeat: the sample plays once.
    loop.looped = sample.looped == 1 && sample.loopEnd > sample.loopStart;
    loop.start = sample.loopStart;
    loop.end = sample.loopEnd;
    return loop;
}

int16_t Scaled(int16_t value, int volume) {
    return static_cast<int16_t>(value * volume / 1000);
}

} // namespace

int VolumeForPosition(int position) {
    return static_cast<int>(1000.0 * std::pow(50.0, -4.0 * position / 100.0));
}

std::vector<uint32_t> FallbackRates(uint32_t rate) {
    std::vector<uint32_t> rates;
    if (rate > 96000)
        rates.push_back(rate = 96000);
    if (rate > 44100)
        rates.push_back(rate = 44100);
    if (rate < 8000)
        rates.push_back(rate = 8000);
    if (rate < 11025)
        rates.push_back(rate = 11025);
    return rates;
}

ChannelLoop LeftLoop(const BankModel& bank, uint32_t sample) {
    return bank.IsValidSample(sample) ? LoopOf(bank.SampleTable[sample]) : ChannelLoop{};
}

ChannelLoop RightLoop(const BankModel& bank, uint32_t sample) {
    if (!bank.IsValidSample(sample))
        return {};
    const SampleRecord& record = bank.SampleTable[sample];
    const bool linked = record.sampleType == 4 || record.sampleType == 2;
    if (linked && bank.IsValidSample(record.linkIndex - 1u))
        return LoopOf(bank.SampleTable[record.linkIndex - 1u]);
    return LoopOf(record);
}

WavePlayer::~WavePlayer() {
    StopPlayback();
}

std::vector<std::string> WavePlayer::ListOutputDevices() {
    std::vector<std::string> names = output_.DeviceNames();
    if (names.size() > kMaxOutputDevices)
        names.resize(kMaxOutputDevices);
    OutputDeviceCount = static_cast<uint32_t>(names.size());
    return names;
}

bool WavePlayer::TestDevice(int device, std::string& error) {
    StopPlayback();
    BlockQueue& queue = queue_;
    queue.Reset(2);
    const int code = output_.Open(device, 44100, 2, queue, error);
    output_.Close();
    return code == 0;
}

StartResult WavePlayer::StartPlayback(const Workspace& workspace) {
    StartResult result;
    const BankModel& bank = workspace.bank;
    const uint32_t index = workspace.selection.selectedSample;
    if (!bank.IsValidSample(index) || FramesOf(workspace.samples.PlayLeft) == 0)
        return result;
    const SampleRecord& sample = bank.SampleTable[index];
    // A sample without a rate has no speed to play at.
    if (sample.sampleRate == 0)
        return result;
    StopPlayback();
    result.attempted = true;
    const int channels = sample.channels == 2 ? 2 : 1;
    queue_.Reset(channels);
    uint32_t rate = sample.sampleRate;
    std::string error;
    int code = output_.Open(OutputDevice, rate, channels, queue_, error);
    for (uint32_t fallback : FallbackRates(sample.sampleRate)) {
        if (code == 0)
            break;
        rate = fallback;
        code = output_.Open(OutputDevice, rate, channels, queue_, error);
    }
    if (code != 0) {
        result.deviceName = output_.DeviceName(OutputDevice);
        result.error = error;
        return result;
    }
    playing_ = true;
    PlayPosLeft = PlayPosRight = 0;
    result.started = true;
    result.rate = rate;
    return result;
}

void WavePlayer::FillBlock(const Workspace& workspace, int block) {
    const BankModel& bank = workspace.bank;
    const uint32_t index = workspace.selection.selectedSample;
    if (!playing_ || !bank.IsValidSample(index))
        return;
    if (bank.SampleTable[index].channels == 2)
        FillStereo(workspace, block);
    else
        FillMono(workspace, block);
}

void WavePlayer::FillMono(const Workspace& workspace, int block) {
    const uint32_t frames = FramesOf(workspace.samples.PlayLeft);
    if (PlayPosLeft >= frames) {
        queue_.SetDraining(true);
        return;
    }
    if (queue_.IsQueued(block))
        return;
    const int16_t* source = workspace.samples.PlayLeft.frames.data();
    const ChannelLoop loop = LeftLoop(workspace.bank, workspace.selection.selectedSample);
    int16_t* out = queue_.Data(block);
    size_t made = 0;
    while (made < BlockQueue::kBlockValues) {
        out[made++] = Scaled(source[PlayPosLeft], PlayVolume);
        ++PlayPosLeft;
        if (loop.looped && PlayPosLeft >= loop.end)
            PlayPosLeft = loop.start;
        if (PlayPosLeft >= frames)
            break;
    }
    if (PlayPosLeft >= frames)
        queue_.SetDraining(true);
    queue_.Submit(block, made);
}

void WavePlayer::FillStereo(const Workspace& workspace, int block) {
    const uint32_t leftFrames = FramesOf(workspace.samples.PlayLeft);
    const uint32_t rightFrames = FramesOf(workspace.samples.PlayRight);
    if (PlayPosLeft >= leftFrames && PlayPosRight >= rightFrames) {
        queue_.SetDraining(true);
        return;
    }
    if (queue_.IsQueued(block))
        return;
    const int16_t* left = workspace.samples.PlayLeft.frames.data();
    const int16_t* right = workspace.samples.PlayRight.frames.data();
    const uint32_t index = workspace.selection.selectedSample;
    const ChannelLoop leftLoop = LeftLoop(workspace.bank, index);
    const ChannelLoop rightLoop = RightLoop(workspace.bank, index);
    int16_t* out = queue_.Data(block);
    size_t made = 0;
    while (made + 2 <= BlockQueue::kBlockValues) {
        out[made++] = PlayPosLeft < leftFrames ? Scaled(left[PlayPosLeft], PlayVolume) : 0;
        out[made++] = PlayPosRight < rightFrames ? Scaled(right[PlayPosRight], PlayVolume) : 0;
        // A channel past its end stays there, so that the count cannot wrap round.
        if (PlayPosLeft < UINT32_MAX)
            ++PlayPosLeft;
        if (PlayPosRight < UINT32_MAX)
            ++PlayPosRight;
        if (leftLoop.looped && PlayPosLeft >= leftLoop.end)
            PlayPosLeft = leftLoop.start;
        if (rightLoop.looped && PlayPosRight >= rightLoop.end)
            PlayPosRight = rightLoop.start;
        if (PlayPosLeft >= leftFrames && PlayPosRight >= rightFrames)
            break;
    }
    if (PlayPosLeft >= leftFrames && PlayPosRight >= rightFrames)
        queue_.SetDraining(true);
    queue_.Submit(block, made);
}

void WavePlayer::StopPlayback() {
    if (!output_.IsOpen() && !playing_)
        return;
    output_.Close();
    playing_ = false;
}

bool WavePlayer::Poll(const Workspace& workspace) {
    if (!playing_)
        return false;
    bool finished = false;
    for (int block = queue_.TakeFinished(); block != -1; block = queue_.TakeFinished()) {
        finished = true;
        if (OutputDeviceCount >= 1 && workspace.bank.IsValidSample(workspace.selection.selectedSample))
            FillBlock(workspace, block);
    }
    if (!finished || queue_.IsQueued(0) || queue_.IsQueued(1))
        return false;
    output_.Finish();
    playing_ = false;
    return true;
}

} // namespace quorvane::audio
