// A program run as a child the test keeps a hand on while it runs: signals sent at a chosen moment, a file
// size limit (a disk that fills at a given size, SIGXFSZ ignored so that writes fail with EFBIG), and the
// child's peak memory once it ended. Its stderr goes through a small pipe that is read only in Finish(),
// so a child that prints status lines while it works waits there until the test lets it go on.
#pragma once

#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

#include "support/RunProcess.h"

namespace quorvane::test {

struct ChildLimits {
    rlim_t fileSize = RLIM_INFINITY;
};

class ChildProcess {
  public:
    ChildProcess(const std::string& program, const std::vector<std::string>& args, ChildLimits limits = {});
    ~ChildProcess(); // a child still running is killed and reaped
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Running();
    void Signal(int signal);
    // Reads both streams to their end and waits for the child.
    ProcessResult Finish();
    // The child's peak resident memory in KiB, known after Finish().
    long PeakKilobytes() const { return peakKilobytes_; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool reaped_ = false;
    long peakKilobytes_ = 0;
};

} // namespace quorvane::test
