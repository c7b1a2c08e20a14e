#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvane::test {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           ChildLimits limits) {
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return;
    }
    // The smallest pipe: a child that prints while it works soon waits for the test to read.
    ::fcntl(errPipe[1], F_SETPIPE_SZ, 4096);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envText = ChildEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : envText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        if (limits.fileSize != RLIM_INFINITY) {
            ::signal(SIGXFSZ, SIG_IGN); // kept across exec: a write past the limit fails with EFBIG
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = limits.fileSize;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    out_ = outPipe[0];
    err_ = errPipe[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (int fd : {out_, err_})
        if (fd >= 0)
            ::close(fd);
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || reaped_)
        return false;
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

void ChildProcess::Signal(int signal) {
    if (pid_ > 0 && !reaped_)
        ::kill(pid_, signal);
}

ProcessResult ChildProcess::Finish() {
    ProcessResult result;
    if (pid_ <= 0) {
        result.err = "fork failed";
        return result;
    }
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            ::close(fd.fd);
    out_ = err_ = -1;
    int status = 0;
    rusage usage{};
    while (::wait4(pid_, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    peakKilobytes_ = usage.ru_maxrss;
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signaled = true;
        result.exitStatus = 128 + WTERMSIG(status);
    }
    return result;
}

} // namespace quorvane::test
