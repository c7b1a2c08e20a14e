// The Audio Output menu's device list, read from the sound output samples play through.
#pragma once

#include "audio/WaveOutput.h"
#include "ui/DeviceLists.h"

namespace quorvane::ui {

class OutputDevices : public DeviceList {
  public:
    explicit OutputDevices(audio::WaveOutput& output) : output_(output) {}
    std::vector<std::string> Names() const override { return output_.DeviceNames(); }

  private:
    audio::WaveOutput& output_;
};

// An output without devices, for a window given none: nothing plays.
class SilentOutput : public audio::WaveOutput {
  public:
    std::vector<std::string> DeviceNames() override { return {}; }
    std::string DeviceName(int) override { return "Default"; }
    int Open(int, uint32_t, int, audio::BlockQueue&, std::string& error) override {
        error = "No sound output is available.";
        return 1;
    }
    void Close() override {}
    void Finish() override {}
    bool IsOpen() const override { return false; }
};

} // namespace quorvane::ui
