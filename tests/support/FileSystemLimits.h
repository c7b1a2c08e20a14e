// File-system conditions the writer tests set up: a disk that fills at a given size, and the list of what a
// folder holds afterwards (no temporary file may stay behind).
#pragma once

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace quorvane::test {

// Lowers the file size limit while it lives (so a write past it fails as on a full disk, also as root) and
// restores the limit and the SIGXFSZ disposition when it goes.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        // Past the limit write() fails with EFBIG instead of the process being killed.
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t oldHandler_;
};

// The names in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace quorvane::test
