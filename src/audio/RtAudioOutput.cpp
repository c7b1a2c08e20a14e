#include "audio/RtAudioOutput.h"

#include <cstdlib>
#include <filesystem>

#include <RtAudio.h>

namespace quorvane::audio {

namespace {

constexpr unsigned int kPeriodFrames = 512;
constexpr size_t kMaxErrorText = 200;

// A PulseAudio server (or PipeWire's) is asked for by name or listens on the user's runtime socket.
bool PulseServerReachable() {
    if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0')
        return true;
    const char* runtime = std::getenv("PULSE_RUNTIME_PATH");
    std::filesystem::path socket;
    if (runtime != nullptr && *runtime != '\0') {
        socket = std::filesystem::path(runtime) / "native";
    } else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0') {
        socket = std::filesystem::path(xdg) / "pulse" / "native";
    } else {
        return false;
    }
    std::error_code ignored;
    return std::filesystem::exists(socket, ignored);
}

bool PulseCompiled() {
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    for (RtAudio::Api api : apis)
        if (api == RtAudio::LINUX_PULSE)
            return true;
    return false;
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

RtAudioOutput::RtAudioOutput() {
    try {
        rt_ = std::make_unique<RtAudio>(PulseCompiled() && PulseServerReachable() ? RtAudio::LINUX_PULSE
                                                                                  : RtAudio::UNSPECIFIED);
        rt_->showWarnings(false);
        const unsigned int count = rt_->getDeviceCount();
        for (unsigned int id = 0; id < count; ++id) {
            const RtAudio::DeviceInfo info = rt_->getDeviceInfo(id);
            if (info.probed && info.outputChannels > 0) {
                outputs_.push_back(id);
                names_.push_back(info.name);
            }
        }
    } catch (const std::exception&) {
        // No sound system: no devices, and playing stays off.
        outputs_.clear();
        names_.clear();
    }
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
        error = "No sound output is available.";
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
