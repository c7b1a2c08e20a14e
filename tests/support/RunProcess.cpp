#include "support/RunProcess.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

extern char** environ;

namespace quorvane::test {

// The current environment, with exitcode appended to the sanitizer options (a later option wins).
std::vector<std::string> ChildEnvironment() {
    const std::string exitOption = "exitcode=" + std::to_string(kSanitizerExitStatus);
    std::vector<std::string> env;
    bool asan = false;
    bool ubsan = false;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        if (text.rfind("ASAN_OPTIONS=", 0) == 0) {
            text += ":" + exitOption;
            asan = true;
        } else if (text.rfind("UBSAN_OPTIONS=", 0) == 0) {
            text += ":" + exitOption;
            ubsan = true;
        }
        env.push_back(text);
    }
    if (!asan) {
        env.push_back("ASAN_OPTIONS=" + exitOption);
    }
    if (!ubsan) {
        env.push_back("UBSAN_OPTIONS=" + exitOption);
    }
    return env;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args) {
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        result.err = "pipe failed";
        return result;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        result.err = "pipe failed";
        return result;
    }

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<std::string> envText = ChildEnvironment();
    std::vector<char*> envp;
    envp.reserve(envText.size() + 1);
    for (std::string& entry : envText) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = "fork failed";
        return result;
    }

    // Both streams are drained together: a program that fills one pipe while we wait on the other would
    // otherwise never finish.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int streamsOpen = 2;
    char buffer[65536];
    while (streamsOpen > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --streamsOpen;
            }
        }
    }
    for (pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signaled = true;
        result.exitStatus = 128 + WTERMSIG(status);
    }
    return result;
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

} // namespace quorvane::test
