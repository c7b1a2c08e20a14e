// Wave playback: streams the play buffers of the selected sample (filled when the sample was selected)
// through a WaveOutput in two alternating blocks, looping where the sample loops, at the chosen volume.
//
// Threads: the user-interface thread makes every call. The output's audio thread only ever touches the
// BlockQueue; the play buffers, positions and settings here belong to the user-interface thread, which
// refills a block when Poll finds it played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/BlockQueue.h"
#include "audio/WaveOutput.h"
#include "session/Workspace.h"

namespace quorvane::audio {

constexpr uint32_t kMaxOutputDevices = 6;

// The gain in thousandths for volume slider position 0..32 (0 at the top, loudest).
int VolumeForPosition(int position);

// The rate a device is asked for after it refused `rate`: each of the fall-backs in turn, as long as the
// device keeps refusing. Empty when nothing is left to try.
std::vector<uint32_t> FallbackRates(uint32_t rate);

struct StartResult {
    bool started = false;
    bool attempted = false; // false when there was nothing to play (no valid sample, no frames, no rate)
    uint32_t rate = 0;      // the rate the sample plays at
    std::string deviceName; // with the error text, for the message box when the device refused
    std::string error;
};

// The loop a channel plays: the sample's own for the left one, the partner's for the right one of a pair.
struct ChannelLoop {
    bool looped = false; // `looped` exactly 1, with an end after the start
    uint32_t start = 0;
    uint32_t end = 0;
};
ChannelLoop LeftLoop(const BankModel& bank, uint32_t sample);
ChannelLoop RightLoop(const BankModel& bank, uint32_t sample);

class WavePlayer {
  public:
    explicit WavePlayer(WaveOutput& output) : output_(output) {}
    ~WavePlayer();

    // The devices for the Audio Output menu, at most six; OutputDeviceCount follows.
    std::vector<std::string> ListOutputDevices();
    // Opens device `device` (kDefaultOutput for the default) for 16-bit stereo at 44100 Hz and closes it
    // again. False with the device's error text when it cannot be opened.
    bool TestDevice(int device, std::string& error);

    // Opens the output for the selected sample of `workspace`; the caller fills blocks 0 and 1 next.
    StartResult StartPlayback(const Workspace& workspace);
    // Produces the next block of the selected sample into `block` and hands it over, unless the block is
    // still queued or everything was sent.
    void FillBlock(const Workspace& workspace, int block);
    // Stops at once and closes the output. Nothing when not playing.
    void StopPlayback();
    // Refills the blocks the output has finished. True when playback has ended by itself (every block
    // handed over and nothing left to send): the output then plays out its last frames and closes, and the
    // player no longer plays.
    bool Poll(const Workspace& workspace);

    bool Playing() const { return playing_; }
    // Frames played since the start.
    uint64_t Position() const { return queue_.FramesPlayed(); }
    // Periods in which a block was late and silence played.
    uint32_t Underruns() const { return queue_.Starved(); }

    int OutputDevice = 0;           // kDefaultOutput, or 0..5
    uint32_t OutputDeviceCount = 0; // 0 disables playing
    int PlayVolume = 1000;          // 0..1000, thousandths applied to every value
    uint32_t PlayPosLeft = 0;
    uint32_t PlayPosRight = 0;

  private:
    void FillMono(const Workspace& workspace, int block);
    void FillStereo(const Workspace& workspace, int block);

    WaveOutput& output_;
    BlockQueue queue_;
    bool playing_ = false;
};

} // namespace quorvane::audio
