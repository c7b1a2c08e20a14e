// The files a run reads. No output of the run may replace one of them, however its path is spelled: a
// folder converted into itself, an edits file named like the bank, a disc image converted onto its own
// name. A writer that meets one writes under a free name beside it instead (FreeOutputName), and an output
// file refuses to be renamed over one (OutputFile::Commit) as the last guard.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

// True when path names a file (by device and inode) that a live InputGuard protects.
bool IsProtectedInput(const std::string& path);

// Protects the given files for as long as it lives. Files that do not exist are ignored.
class InputGuard {
  public:
    InputGuard() = default;
    explicit InputGuard(const std::vector<std::string>& paths) {
        for (const std::string& path : paths)
            Add(path);
    }
    ~InputGuard();
    InputGuard(const InputGuard&) = delete;
    InputGuard& operator=(const InputGuard&) = delete;

    void Add(const std::string& path);

  private:
    std::vector<std::pair<uint64_t, uint64_t>> files_; // device, inode
};

} // namespace quorvane
