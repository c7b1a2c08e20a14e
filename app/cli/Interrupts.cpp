#include "Interrupts.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace quorvane::cli {

namespace {
std::atomic<int> caught{0};
std::atomic<bool> writing{false};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

void OnSignal(int signal) {
    if (!writing.load()) {
        // Nothing written yet, nothing to clean up: end now, whatever read the run is waiting on.
        const char* text = signal == SIGINT ? "interrupted (SIGINT): nothing was written\n"
                                            : "interrupted (SIGTERM): nothing was written\n";
        [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
        ::_exit(128 + signal);
    }
    int none = 0;
    caught.compare_exchange_strong(none, signal);
}
} // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the write loop notices the signal between pieces of work. A second
    // signal finds the default handling back and ends the program at once, should the first not be noticed.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void WritingStarts() {
    writing.store(true);
}

int InterruptSignal() {
    return caught.load();
}

int StatusAfterInterrupt(int status) {
    const int signal = InterruptSignal();
    if (signal == 0)
        return status;
    std::fflush(stdout);
    std::fprintf(stderr,
                 "interrupted (%s): the file being written was discarded; files finished before stay\n",
                 signal == SIGINT ? "SIGINT" : "SIGTERM");
    return 128 + signal;
}

} // namespace quorvane::cli
