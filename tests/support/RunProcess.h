// Runs a program the way a user or script would, and keeps what it printed and how it ended: the CLI
// tests and the peer tests both need the exit status and the two output streams apart.
#pragma once

#include <string>
#include <vector>

namespace quorvane::test {

// The exit status a sanitizer gives the child when it finds a fault. Left at its default, a sanitizer exits
// with 1, which quorvane-cli also uses for a usage error: a memory fault in a usage-error path would pass.
constexpr int kSanitizerExitStatus = 99;

struct ProcessResult {
    int exitStatus = -1;   // the program's exit status; 128 + signal number when a signal ended it
    bool signaled = false; // a signal ended it (a crash, an abort from a sanitizer)
    std::string out;
    std::string err;
};

// Runs program with the arguments (no shell) and stdin from /dev/null, and waits for it. The child gets
// this environment with the sanitizers' exit status set to kSanitizerExitStatus.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args);

// This process's environment with the sanitizers' exit status set to kSanitizerExitStatus, as every child
// a test starts gets it.
std::vector<std::string> ChildEnvironment();

// The full path of an executable found on PATH, or an empty text.
std::string FindOnPath(const std::string& name);

} // namespace quorvane::test
