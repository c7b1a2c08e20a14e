// WaveOutput over RtAudio: the PulseAudio back end when a PulseAudio (or PipeWire) server answers, else
// ALSA when the machine has a sound card, else a running JACK server; none of them asked when the
// machine has none of these services (RtAudio would print its failures to the terminal).
//
// Threads: every member is called from the user-interface thread only; RtAudio's stream thread runs the
// callback, which only renders from the BlockQueue.
#pragma once

#include <future>
#include <memory>

#include "audio/SoundServices.h"
#include "audio/WaveOutput.h"

class RtAudio;

namespace quorvane::audio {

class RtAudioOutput : public WaveOutput {
  public:
    explicit RtAudioOutput(const SoundServices& services = ProbeSoundServices());
    ~RtAudioOutput() override;

    std::vector<std::string> DeviceNames() override;
    std::string DeviceName(int device) override;
    int Open(int device, uint32_t rate, int channels, BlockQueue& queue, std::string& error) override;
    void Close() override;
    void Finish() override;
    bool IsOpen() const override;
    std::string Unavailable() const override { return unavailable_; }

  private:
    std::unique_ptr<RtAudio> rt_;
    std::vector<unsigned int> outputs_; // RtAudio device ids of the devices with outputs
    std::vector<std::string> names_;
    std::string unavailable_;
    BlockQueue* queue_ = nullptr;
    bool open_ = false;
    // The stream playing out its last frames after Finish, on a thread of its own; every other call
    // waits for it before touching RtAudio.
    std::future<void> finishing_;
    void AwaitFinish();
};

} // namespace quorvane::audio
