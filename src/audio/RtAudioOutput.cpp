#include "audio/RtAudioOutput.h"

#include <algorithm>

#include <RtAudio.h>

namespace quorvane::audio {

namespace {

constexpr unsigned int kPeriodFrames = 512;
constexpr size_t kMaxErrorText = 200;

bool Compiled(RtAudio::Api wanted) {
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), wanted) != apis.end();
}

// The back end for the services that answer, in the order of preference; UNSPECIFIED when none does.
RtAudio::Api BackEndFor(const SoundServices& services) {
    if (services.soundServer && Compiled(RtAudio::LINUX_PULSE))
        return RtAudio::LINUX_PULSE;
    if (services.alsaCard && Compiled(RtAudio::LINUX_ALSA))
        return RtAudio::LINUX_ALSA;
    if (services.jackServer && Compiled(RtAudio::UNIX_JACK))
        return RtAudio::UNIX_JACK;
    return RtAudio::UNSPECIFIED;
}

int Render(void* out, void* /*in*/, unsigned int frames, double /*time*/, RtAudioStreamStatus /*status*/,
           void* user) {
    static_cast<BlockQueue*>(user)->Render(static_cast<int16_t*>(out), frames);
    return 0;
}

std::string Shortened(std::string text) {
    if (text.size() > kMaxErrorText)
        text.resize(kMaxErrorText);
    return text;
}

} // namespace

RtAudioOutput::RtAudioOutput(const SoundServices& services) {
    const RtAudio::Api backEnd = BackEndFor(services);
    if (backEnd == RtAudio::UNSPECIFIED) {
        unavailable_ = services.CanPlay() ? "the sound library plays through none of the sound services"
                                          : NoSoundReason(services);
        return;
    }
    try {
        rt_ = std::make_unique<RtAudio>(backEnd);
        rt_->showWarnings(false);
        const unsigned int count = rt_->getDeviceCount();
        for (unsigned int id = 0; id < count; ++id) {
            const RtAudio::DeviceInfo info = rt_->getDeviceInfo(id);
            if (info.probed && info.outputChannels > 0) {
                outputs_.push_back(id);
                names_.push_back(info.name);
            }
        }
    } catch (const std::exception& e) {
        // No sound system after all: no devices, and playing stays off.
        rt_.reset();
        outputs_.clear();
        names_.clear();
        unavailable_ = Shortened(e.what());
    }
    if (rt_ && outputs_.empty())
        unavailable_ = "the sound service lists no output device";
}

RtAudioOutput::~RtAudioOutput() {
    Close();
}

std::vector<std::string> RtAudioOutput::DeviceNames() {
    return names_;
}

std::string RtAudioOutput::DeviceName(int device) {
    if (device >= 0 && static_cast<size_t>(device) < names_.size())
        return names_[static_cast<size_t>(device)];
    return "Default";
}

int RtAudioOutput::Open(int device, uint32_t rate, int channels, BlockQueue& queue, std::string& error) {
    Close();
    if (!rt_) {
        error = "No sound output is available: " + unavailable_ + ".";
        return 1;
    }
    if (device != kDefaultOutput && (device < 0 || static_cast<size_t>(device) >= outputs_.size())) {
        error = "The output device is not present.";
        return 2;
    }
    try {
        RtAudio::StreamParameters parameters;
        parameters.deviceId =
            device == kDefaultOutput ? rt_->getDefaultOutputDevice() : outputs_[static_cast<size_t>(device)];
        parameters.nChannels = channels == 2 ? 2 : 1;
        parameters.firstChannel = 0;
        unsigned int frames = kPeriodFrames;
        queue_ = &queue;
        rt_->openStream(&parameters, nullptr, RTAUDIO_SINT16, rate, &frames, &Render, queue_);
        rt_->startStream();
        open_ = true;
        return 0;
    } catch (const RtAudioError& e) {
        error = Shortened(e.getMessage());
        Close();
        return 3 + static_cast<int>(e.getType());
    } catch (const std::exception& e) {
        error = Shortened(e.what());
        Close();
        return 3;
    }
}

void RtAudioOutput::AwaitFinish() {
    if (finishing_.valid())
        finishing_.wait();
}

void RtAudioOutput::Finish() {
    AwaitFinish();
    if (!rt_ || !open_)
        return;
    open_ = false;
    finishing_ = std::async(std::launch::async, [this] {
        try {
            // Stopping (not aborting) plays what the server still holds before it returns.
            if (rt_->isStreamRunning())
                rt_->stopStream();
            if (rt_->isStreamOpen())
                rt_->closeStream();
        } catch (const std::exception&) {
            // A stream that cannot be stopped cleanly is gone all the same.
        }
    });
}

void RtAudioOutput::Close() {
    AwaitFinish();
    if (!rt_)
        return;
    try {
        if (rt_->isStreamRunning())
            rt_->abortStream();
        if (rt_->isStreamOpen())
            rt_->closeStream();
    } catch (const std::exception&) {
        // A stream that cannot be stopped cleanly is gone all the same.
    }
    open_ = false;
    queue_ = nullptr;
}

bool RtAudioOutput::IsOpen() const {
    return open_;
}

} // namespace quorvane::audio
