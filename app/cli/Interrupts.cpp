#include "Interrupts.h"

#include <atomic>
#include <csignal>
#include <cstdio>

namespace quorvane::cli {

namespace {
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch lock-free atomics");

void OnSignal(int signal) {
    int none = 0;
    caught.compare_exchange_strong(none, signal);
}
} // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume: the write loop notices the signal between pieces of work.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
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
