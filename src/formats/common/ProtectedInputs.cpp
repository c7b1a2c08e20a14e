#include "formats/common/ProtectedInputs.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>

namespace quorvane {

namespace {

// Every guarded file, once per guard that holds it. A bank compared on a thread of its own guards its
// sample files while the windows' thread may save, so the list is taken under a lock.
std::vector<std::pair<uint64_t, uint64_t>>& Guarded() {
    static std::vector<std::pair<uint64_t, uint64_t>> files;
    return files;
}

std::mutex& GuardedLock() {
    static std::mutex lock;
    return lock;
}

bool IdentityOf(const std::string& path, std::pair<uint64_t, uint64_t>& identity) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return false;
    identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return true;
}

} // namespace

bool IsProtectedInput(const std::string& path) {
    std::pair<uint64_t, uint64_t> identity;
    if (!IdentityOf(path, identity))
        return false;
    const std::lock_guard<std::mutex> held(GuardedLock());
    return std::find(Guarded().begin(), Guarded().end(), identity) != Guarded().end();
}

void InputGuard::Add(const std::string& path) {
    std::pair<uint64_t, uint64_t> identity;
    if (!IdentityOf(path, identity))
        return;
    files_.push_back(identity);
    const std::lock_guard<std::mutex> held(GuardedLock());
    Guarded().push_back(identity);
}

InputGuard::~InputGuard() {
    const std::lock_guard<std::mutex> held(GuardedLock());
    auto& guarded = Guarded();
    for (const auto& identity : files_) {
        const auto found = std::find(guarded.begin(), guarded.end(), identity);
        if (found != guarded.end())
            guarded.erase(found);
    }
}

} // namespace quorvane
