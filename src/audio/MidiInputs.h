// The MIDI inputs a keyboard plays auditioning through: the list the menus show and one open input whose
// messages are queued for the user-interface thread.
//
// Threads: every member is called from the user-interface thread only. While an input is open, the MIDI
// library's own thread puts each incoming message into a fixed lock-free queue (no allocation, no lock) and
// never touches anything else; the user-interface thread takes them with Next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/SynthDevices.h"

namespace quorvane::audio {

constexpr int kMaxMidiInputs = 4;

class MidiInputs {
  public:
    virtual ~MidiInputs() = default;

    // Input names in the order the menus show them, at most kMaxMidiInputs.
    virtual std::vector<std::string> Names() const = 0;
    // Opens input `index` and starts queueing what it receives. Closes an input that is already open first.
    virtual PortResult Open(int index) = 0;
    // Stops and closes the open input, dropping what it had queued; nothing when none is open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Takes the oldest queued message: status in the low byte, data 1 in the next, data 2 in the third
    // (running status already resolved; system messages are not queued). False when none is waiting.
    virtual bool Next(uint32_t& message) = 0;
};

} // namespace quorvane::audio
