// The devices the menus offer: wave outputs (Audio Output), synthesizers and MIDI inputs (Auditioning) and
// CD-ROM drives that can hold Akai discs (the Akai menu). The desktop program hands in the machine's
// devices; tests hand in their own.
#pragma once

#include <string>
#include <vector>

namespace quorvane::audio {
class WaveOutput;
class SynthDevices;
class MidiInputs;
} // namespace quorvane::audio

namespace quorvane::ui {

class DeviceList {
  public:
    virtual ~DeviceList() = default;
    // Device names in the order the menu shows them.
    virtual std::vector<std::string> Names() const = 0;
};

class NoDevices : public DeviceList {
  public:
    std::vector<std::string> Names() const override { return {}; }
};

struct DeviceLists {
    const DeviceList* audioOutputs;
    const DeviceList* akaiDrives;
    // Probe the machine's CD-ROM drives at start-up and offer them in the Akai menu after akaiDrives.
    bool scanScsiBus = false;
    // The sound output samples play through; none plays nothing.
    audio::WaveOutput* waveOutput = nullptr;
    // The synthesizers auditioning plays presets on and the MIDI inputs that play them; none: auditioning
    // stays off.
    audio::SynthDevices* synthesizers = nullptr;
    audio::MidiInputs* midiInputs = nullptr;
};

// The lists of this machine without its sound devices, which the program adds: the CD-ROM drives found on
// the bus.
DeviceLists MachineDeviceLists();

// Lists that are all empty, for a machine without the devices (and for tests).
DeviceLists NoDeviceLists();

} // namespace quorvane::ui
