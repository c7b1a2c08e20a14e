// Runs a program the way a user or script would, and keeps what it printed and how it ended: the CLI
// tests and the peer tests both need the exit status and the two output streams apart.
#pragma once

#include <string>
#include <vector>

namespace quorvane::test {

struct ProcessResult {
    int exitStatus = -1;  // the program's exit status; 128 + signal number when a signal ended it
    bool signaled = false; // a signal ended it (a crash, an abort from a sanitizer)
    std::string out;
    std::string err;
};

// Runs program with the arguments (no shell), stdin closed, and waits for it.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args);

// The full path of an executable found on PATH, or an empty text.
std::string FindOnPath(const std::string& name);

} // namespace quorvane::test
