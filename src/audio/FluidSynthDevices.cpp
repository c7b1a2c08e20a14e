#include "audio/FluidSynthDevices.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace quorvane::audio {

namespace {

constexpr const char* kDeviceName = "FluidSynth";

// PulseAudio first (PipeWire answers it too), then the servers and devices FluidSynth can play through
// without starting anything of its own. A driver is tried only when its service answers.
std::vector<const char*> DriversFor(const SoundServices& services) {
    std::vector<const char*> drivers;
    if (services.soundServer)
        drivers.insert(drivers.end(), {"pulseaudio", "pipewire"});
    if (services.alsaCard)
        drivers.push_back("alsa");
    if (services.jackServer)
        drivers.push_back("jack");
    if (services.alsaCard)
        drivers.push_back("oss");
    return drivers;
}

// FluidSynth's error lines while the drivers are tried: the last one says why none started.
void KeepError(int /*level*/, const char* message, void* data) {
    if (message != nullptr)
        *static_cast<std::string*>(data) = message;
}

} // namespace

FluidSynthDevices::FluidSynthDevices(Output output, std::optional<SoundServices> services)
    : output_(output), services_(services) {}

FluidSynthDevices::~FluidSynthDevices() {
    Close(0);
}

std::string FluidSynthDevices::Name(int device) const {
    return device == 0 ? kDeviceName : std::string();
}

bool FluidSynthDevices::Open(int device) {
    if (device != 0)
        return false;
    if (synth_ != nullptr)
        return true;
    openError_.clear();
    // FluidSynth warns about every channel without a preset whenever a bank comes or goes; only its errors
    // are worth a line on the terminal.
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) {
        openError_ = "the synthesizer could not be made";
        return false;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
    // Audition banks are deleted once loaded: every sample must be in memory before the load returns.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 0);
    // FluidSynth's own gain (0.2) leaves a note some 17 dB below the same sample played back; at this gain
    // a single note at full velocity and volume is about as loud as the sample (chords may clip).
    fluid_settings_setnum(settings_, "synth.gain", kAuditionGain);
    synth_ = new_fluid_synth(settings_);
    if (synth_ == nullptr) {
        openError_ = "the synthesizer could not be made";
        Close(0);
        return false;
    }
    if (output_ == Output::AudioDriver && !StartDriver()) {
        Close(0);
        return false;
    }
    return true;
}

bool FluidSynthDevices::StartDriver() {
    // Asked again when nothing could play before: a sound server started since then is found on a retry.
    if (!services_ || !services_->CanPlay())
        services_ = ProbeSoundServices();
    if (!services_->CanPlay()) {
        openError_ = NoSoundReason(*services_);
        return false;
    }
    // JACK's ports are connected to the speakers, as the other drivers play to the default device.
    fluid_settings_setint(settings_, "audio.jack.autoconnect", 1);
    std::string lastError;
    fluid_set_log_function(FLUID_ERR, &KeepError, &lastError);
    for (const char* name : DriversFor(*services_)) {
        if (fluid_settings_setstr(settings_, "audio.driver", name) != FLUID_OK)
            continue;
        const bool onePeriod = std::string_view(name) == "pulseaudio";
        fluid_settings_setint(settings_, "audio.period-size", onePeriod ? kBufferFrames : kPeriodFrames);
        fluid_settings_setint(settings_, "audio.periods", onePeriod ? 1 : kPeriods);
        driver_ = new_fluid_audio_driver(settings_, synth_);
        if (driver_ != nullptr) {
            driverName_ = name;
            break;
        }
    }
    fluid_set_log_function(FLUID_ERR, fluid_default_log_function, nullptr);
    if (driver_ == nullptr)
        openError_ = lastError.empty() ? "no audio driver of FluidSynth could play" : lastError;
    return driver_ != nullptr;
}

void FluidSynthDevices::Close(int device) {
    if (device != 0)
        return;
    outputOpen_ = false;
    // The driver goes first: its thread renders from the synthesizer until it is deleted.
    if (driver_ != nullptr)
        delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
    driverName_.clear();
    if (synth_ != nullptr)
        delete_fluid_synth(synth_);
    synth_ = nullptr;
    banks_.clear();
    if (settings_ != nullptr)
        delete_fluid_settings(settings_);
    settings_ = nullptr;
}

int FluidSynthDevices::LoadBank(int device, uint32_t bankLocation, const std::string& path) {
    if (device != 0 || synth_ == nullptr || bankLocation > 16383)
        return -1;
    ClearBank(device, bankLocation);
    // Presets are looked up again only once the bank answers at its location, so that a channel already
    // set to that bank and program finds the new preset at once.
    const int id = fluid_synth_sfload(synth_, path.c_str(), 0);
    if (id == FLUID_FAILED)
        return -1;
    if (fluid_synth_set_bank_offset(synth_, id, static_cast<int>(bankLocation)) != FLUID_OK) {
        fluid_synth_sfunload(synth_, id, 1);
        return -1;
    }
    banks_.emplace_back(bankLocation, id);
    fluid_synth_program_reset(synth_);
    return 0;
}

void FluidSynthDevices::ClearBank(int device, uint32_t bankLocation) {
    if (device != 0 || synth_ == nullptr)
        return;
    const auto found = std::find_if(banks_.begin(), banks_.end(),
                                    [bankLocation](const auto& bank) { return bank.first == bankLocation; });
    if (found == banks_.end())
        return;
    // Voices still sounding keep their samples until they end; FluidSynth frees them then.
    fluid_synth_sfunload(synth_, found->second, 1);
    banks_.erase(found);
}

PortResult FluidSynthDevices::OpenOutput(int device) {
    if (device != 0 || synth_ == nullptr)
        return PortResult::Failed;
    outputOpen_ = true;
    return PortResult::Opened;
}

void FluidSynthDevices::CloseOutput() {
    outputOpen_ = false;
}

void FluidSynthDevices::SendShortMessage(uint32_t message) {
    if (!outputOpen_ || synth_ == nullptr)
        return;
    const int status = static_cast<int>(message & 0xFF);
    const int data1 = static_cast<int>(message >> 8 & 0x7F);
    const int data2 = static_cast<int>(message >> 16 & 0x7F);
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth_, channel, data1);
        break;
    case 0x90:
        // FluidSynth takes velocity 0 as the note-off it stands for.
        fluid_synth_noteon(synth_, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth_, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth_, channel, data1, data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth_, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth_, channel, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth_, channel, data2 << 7 | data1);
        break;
    default: // system messages and stray data bytes play nothing
        break;
    }
}

void FluidSynthDevices::Render(int16_t* interleaved, int frames) {
    if (frames <= 0)
        return;
    if (synth_ == nullptr || driver_ != nullptr) {
        std::memset(interleaved, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
        return;
    }
    fluid_synth_write_s16(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
}

} // namespace quorvane::audio
