// A PulseAudio server of the test's own, with one null sink and no sound hardware: started as a user-level
// daemon in a private folder, reached through its socket (PULSE_SERVER), stopped when the object goes.
// Recorder captures the sink's monitor with parec while the test plays into the sink.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvane::test {

class PulseSink {
  public:
    static constexpr const char* kSinkName = "quorvane_test";
    static constexpr uint32_t kRate = 44100;

    PulseSink();
    ~PulseSink();
    PulseSink(const PulseSink&) = delete;
    PulseSink& operator=(const PulseSink&) = delete;

    // False, with the reason, when the server could not be started.
    bool Running() const { return pid_ > 0 && error_.empty(); }
    const std::string& Error() const { return error_; }
    // The server address for PULSE_SERVER.
    std::string Server() const { return "unix:" + folder_ + "/native"; }

  private:
    std::string folder_;
    pid_t pid_ = -1;
    std::string error_;
};

// Records the sink's monitor, 16-bit stereo at the sink's rate, from construction until Stop.
class Recorder {
  public:
    explicit Recorder(const PulseSink& sink);
    ~Recorder();
    bool Running() const { return pid_ > 0; }
    // Stops recording and returns the interleaved stereo frames heard.
    std::vector<int16_t> Stop();

  private:
    std::string file_;
    pid_t pid_ = -1;
    pid_t keepAwake_ = -1;
};

} // namespace quorvane::test
