#include "audio/PulseSink.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/RunProcess.h"

namespace quorvane::test {

namespace {

// Starts `program` with `args`, stdout to `output` (or /dev/null) and stderr to /dev/null.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& output) {
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(output.empty() ? "/dev/null" : output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open("/dev/null", O_WRONLY);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

void End(pid_t pid, int signal) {
    if (pid <= 0)
        return;
    kill(pid, signal);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

bool Accepts(const std::string& socketPath) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

} // namespace

PulseSink::PulseSink() {
    const std::string program = FindOnPath("pulseaudio");
    if (program.empty()) {
        error_ = "pulseaudio is not installed (Debian package pulseaudio)";
        return;
    }
    char pattern[] = "/tmp/quorvane-pulse-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error_ = "no temporary folder for the server";
        return;
    }
    folder_ = pattern;
    // The server keeps its state, cookie and socket in the private folder, whoever runs the tests.
    setenv("HOME", folder_.c_str(), 1);
    setenv("PULSE_RUNTIME_PATH", folder_.c_str(), 1);
    setenv("PULSE_STATE_PATH", folder_.c_str(), 1);
    const std::string socketPath = folder_ + "/native";
    pid_ = Spawn(program,
                 {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
                  "--log-target=stderr", "-L",
                  "module-native-protocol-unix socket=" + socketPath + " auth-anonymous=1", "-L",
                  std::string("module-null-sink sink_name=") + kSinkName + " rate=44100 channels=2"},
                 "");
    for (int i = 0; i < 500 && !Accepts(socketPath); ++i) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "the PulseAudio server ended at start-up";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!Accepts(socketPath)) {
        error_ = "the PulseAudio server did not answer within 5 s";
        return;
    }
    setenv("PULSE_SERVER", Server().c_str(), 1);
}

PulseSink::~PulseSink() {
    End(pid_, SIGTERM);
    unsetenv("PULSE_SERVER");
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

Recorder::Recorder(const PulseSink& sink) {
    std::error_code ignored_;
    const std::string program = FindOnPath("parec");
    if (program.empty() || !sink.Running())
        return;
    char pattern[] = "/tmp/quorvane-rec-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0)
        return;
    close(fd);
    file_ = pattern;
    // A null sink delivers nothing to its monitor while it idles, and wakes up a little late for a new
    // stream: a stream of zeros keeps it running, so that the recording holds every frame played.
    const std::string pacat = FindOnPath("pacat");
    if (!pacat.empty())
        keepAwake_ =
            Spawn(pacat,
                  {"--server=" + sink.Server(), std::string("--device=") + PulseSink::kSinkName, "--raw",
                   "--format=s16le", "--rate=44100", "--channels=2", "--latency-msec=20", "/dev/zero"},
                  "");
    pid_ = Spawn(program,
                 {"--server=" + sink.Server(), std::string("--device=") + PulseSink::kSinkName + ".monitor",
                  "--raw", "--format=s16le", "--rate=44100", "--channels=2", "--latency-msec=20"},
                 file_);
    // Nothing plays before the recording runs: parec has written a tenth of a second.
    for (int i = 0; i < 1000 && std::filesystem::file_size(file_, ignored_) < 44100 * 4 / 10; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

Recorder::~Recorder() {
    End(pid_, SIGINT);
    End(keepAwake_, SIGINT);
    if (!file_.empty())
        std::remove(file_.c_str());
}

std::vector<int16_t> Recorder::Stop() {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    End(pid_, SIGINT);
    pid_ = -1;
    End(keepAwake_, SIGINT);
    keepAwake_ = -1;
    std::ifstream in(file_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    return frames;
}

} // namespace quorvane::test
