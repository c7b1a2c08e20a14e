#include "formats/common/ProtectedInputs.h"

#include <algorithm>
#include <sys/stat.h>

namespace quorvane {

namespace {

// Every guarded file, once per guard that holds it. Runs are driven from one thread (the windows' or the
// command line's), so the list needs no lock.
std::vector<std::pair<uint64_t, uint64_t>>& Guarded() {
    static std::vector<std::pair<uint64_t, uint64_t>> files;
    return files;
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
    if (Guarded().empty() || !IdentityOf(path, identity))
        return false;
    return std::find(Guarded().begin(), Guarded().end(), identity) != Guarded().end();
}

void InputGuard::Add(const std::string& path) {
    std::pair<uint64_t, uint64_t> identity;
    if (!IdentityOf(path, identity))
        return;
    files_.push_back(identity);
    Guarded().push_back(identity);
}

InputGuard::~InputGuard() {
    auto& guarded = Guarded();
    for (const auto& identity : files_) {
        const auto found = std::find(guarded.begin(), guarded.end(), identity);
        if (found != guarded.end())
            guarded.erase(found);
    }
}

} // namespace quorvane
