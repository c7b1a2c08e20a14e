// SynthDevices over FluidSynth in the program's own process: one device, "FluidSynth". Opening it makes a
// synthesizer and starts FluidSynth's audio driver (PulseAudio, else PipeWire, ALSA, JACK, OSS: those whose
// service answers), which renders on a thread of its own straight into the sound server's buffer. The
// drivers' failures are kept for the window, not printed. The MIDI output is the
// synthesizer itself: short messages become FluidSynth calls.
//
// Offline, no audio driver is started and nothing sounds by itself: Render takes the synthesizer's output
// on demand, for tests and measurements that need no sound device.
//
// Threads: every member is called from the user-interface thread only. FluidSynth serialises its calls
// against the driver thread with its own lock, so a message sent while the driver renders waits at most
// for one block of 64 frames.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/SoundServices.h"
#include "audio/SynthDevices.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

namespace quorvane::audio {

// The synthesizer's output gain for auditioning (FluidSynth's default is 0.2).
constexpr double kAuditionGain = 1.0;

class FluidSynthDevices : public SynthDevices {
  public:
    enum class Output { AudioDriver, Offline };

    static constexpr int kSampleRate = 44100;
    // The driver's buffer: periods of kPeriodFrames, kPeriods of them (about 23 ms at 44.1 kHz): half of it
    // let a busy machine starve the sound server, which then played gaps. FluidSynth's PulseAudio driver
    // asks the server for one period only, so there the period is the whole buffer.
    static constexpr int kPeriodFrames = 256;
    static constexpr int kPeriods = 4;
    static constexpr int kBufferFrames = kPeriodFrames * kPeriods;

    // With an audio driver, `services` are the machine's sound services (asked when the device first
    // opens unless given).
    explicit FluidSynthDevices(Output output = Output::AudioDriver,
                               std::optional<SoundServices> services = std::nullopt);
    ~FluidSynthDevices() override;
    FluidSynthDevices(const FluidSynthDevices&) = delete;
    FluidSynthDevices& operator=(const FluidSynthDevices&) = delete;

    int Count() const override { return 1; }
    std::string Name(int device) const override;
    bool Open(int device) override;
    std::string OpenError(int device) const override { return device == 0 ? openError_ : std::string(); }
    void Close(int device) override;
    int LoadBank(int device, uint32_t bankLocation, const std::string& path) override;
    void ClearBank(int device, uint32_t bankLocation) override;

    PortResult OpenOutput(int device) override;
    void CloseOutput() override;
    bool IsOutputOpen() const override { return outputOpen_; }
    void SendShortMessage(uint32_t message) override;

    bool IsOpen() const { return synth_ != nullptr; }
    // The audio driver that is playing ("pulseaudio", "alsa" ...); empty offline or when closed.
    const std::string& DriverName() const { return driverName_; }
    // Offline: the next `frames` frames of the open synthesizer, interleaved stereo, 16-bit. Silence when
    // no device is open or a driver plays the sound.
    void Render(int16_t* interleaved, int frames);

  private:
    bool StartDriver();

    Output output_;
    std::optional<SoundServices> services_;
    std::string openError_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
    std::string driverName_;
    bool outputOpen_ = false;
    // Loaded banks: bank location and FluidSynth's SoundFont id.
    std::vector<std::pair<uint32_t, int>> banks_;
};

} // namespace quorvane::audio
