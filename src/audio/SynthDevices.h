// The synthesizers auditioning loads a preset into and plays: the devices, a bank loaded at a MIDI bank
// number, and the MIDI output that plays the open device.
//
// Threads: every member is called from the user-interface thread only. A device's own audio thread renders
// the sound; nothing here waits for it.
#pragma once

#include <cstdint>
#include <string>

namespace quorvane::audio {

constexpr int kMaxSynthDevices = 6;

// How opening a MIDI port ended; the windows pick their message from it.
enum class PortResult { Opened, InUse, Failed };

class SynthDevices {
  public:
    virtual ~SynthDevices() = default;

    // Devices found, at most kMaxSynthDevices.
    virtual int Count() const = 0;
    // The device's name as the menus show it.
    virtual std::string Name(int device) const = 0;
    // Makes the device ready for loading and playing; false when it cannot be opened.
    virtual bool Open(int device) = 0;
    // Why the last Open of `device` failed, in words for the user; empty when it did not fail.
    virtual std::string OpenError(int /*device*/) const { return {}; }
    virtual void Close(int device) = 0;
    // Loads the SoundFont at `path` so that its bank 0 answers to MIDI bank `bankLocation`. 0 when it is
    // loaded; any other value means the device could not take it (nothing is loaded then).
    virtual int LoadBank(int device, uint32_t bankLocation, const std::string& path) = 0;
    // Removes the bank loaded at `bankLocation`; nothing when none is.
    virtual void ClearBank(int device, uint32_t bankLocation) = 0;

    // The MIDI output that plays `device`.
    virtual PortResult OpenOutput(int device) = 0;
    virtual void CloseOutput() = 0;
    virtual bool IsOutputOpen() const = 0;
    // Sends one short message: status in the low byte, data 1 in the next, data 2 in the third. Lost when
    // the output is not open.
    virtual void SendShortMessage(uint32_t message) = 0;
};

} // namespace quorvane::audio
