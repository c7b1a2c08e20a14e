// The sound output wave playback plays through: a list of devices, and one stream at a time that plays
// 16-bit PCM frames from a BlockQueue.
//
// Threads: every member is called from the user-interface thread only. While a stream is open the
// output's own audio thread calls BlockQueue::Render and nothing else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/BlockQueue.h"

namespace quorvane::audio {

constexpr int kDefaultOutput = -1; // the system's default output

class WaveOutput {
  public:
    virtual ~WaveOutput() = default;

    // Output device names in the order the Audio Output menu lists them.
    virtual std::vector<std::string> DeviceNames() = 0;
    // The name of device `device`, or of the default output for kDefaultOutput.
    virtual std::string DeviceName(int device) = 0;
    // Opens `device` for `channels` interleaved 16-bit channels at `rate` frames a second and starts it
    // playing from `queue` (silence until a block is submitted). 0 on success; otherwise a nonzero code with
    // the device's error text in `error`, and nothing is open.
    virtual int Open(int device, uint32_t rate, int channels, BlockQueue& queue, std::string& error) = 0;
    // Stops the stream at once, dropping what it holds, and closes it. Nothing when none is open.
    virtual void Close() = 0;
    // Lets what the stream holds play out and closes it then; returns at once. The stream counts as
    // closed from now on, and the next Open waits for the end.
    virtual void Finish() = 0;
    virtual bool IsOpen() const = 0;
    // Why nothing can play, in words for the user ("no sound server ... was found"); empty when the output
    // has somewhere to play.
    virtual std::string Unavailable() const { return {}; }
};

} // namespace quorvane::audio
