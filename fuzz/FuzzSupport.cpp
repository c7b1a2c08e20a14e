#include "FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "convert/BankLoader.h"
#include "convert/SampleFetch.h"

namespace quorvane::fuzz {

namespace fs = std::filesystem;

namespace {

std::string ParentFolder() {
    if (const char* chosen = std::getenv("QUORVANE_FUZZ_SCRATCH"); chosen != nullptr && *chosen != '\0')
        return chosen;
    if (::access("/dev/shm", W_OK | X_OK) == 0)
        return "/dev/shm";
    return fs::temp_directory_path().string();
}

struct Scratch {
    std::string folder;
    Scratch() {
        std::string pattern = ParentFolder() + "/quorvane-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a scratch folder in " + ParentFolder());
        folder = pattern + "/";
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Scratch& TheScratch() {
    static Scratch scratch;
    return scratch;
}

} // namespace

const std::string& ScratchFolder() {
    return TheScratch().folder;
}

void ClearScratch() {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(ScratchFolder(), error)) {
        std::error_code ignored;
        fs::remove_all(entry.path(), ignored);
    }
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = ScratchFolder() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size))
        throw std::runtime_error("cannot write " + path);
    std::fclose(file);
    return path;
}

void FetchEverySample(Workspace& workspace) {
    for (uint32_t s = 0; s < workspace.bank.SampleCount; ++s) {
        LoadSampleForPlay(workspace, s);
        FetchSample(workspace, s, false);
        FetchSample(workspace, s, true);
        StoredExportFrames(workspace, s);
    }
    workspace.samples.PlayLeft.Free();
    workspace.samples.PlayRight.Free();
}

bool LoadBankAtPath(Workspace& workspace, const std::string& path) {
    return LoadBank(workspace, path, {LoadMode::Interactive}).status == LoadStatus::Loaded;
}

} // namespace quorvane::fuzz
