#include "convert/FolderFiles.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

#include "core/Host.h"

namespace quorvane {

namespace {

struct Entries {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

Entries ReadFolder(const std::string& folder) {
    Entries entries;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info {};
            const bool found = ::stat((folder + name).c_str(), &info) == 0;
            isFolder = found && S_ISDIR(info.st_mode);
            isFile = found && S_ISREG(info.st_mode);
        }
        // A FIFO, device or socket is no bank or audio file; listed, it would be opened and read, and a
        // FIFO or a device can make that wait.
        if (isFolder || isFile)
            (isFolder ? entries.folders : entries.files).push_back(name);
    }
    ::closedir(dir);
    std::sort(entries.files.begin(), entries.files.end(), FileNameLess);
    std::sort(entries.folders.begin(), entries.folders.end(), FileNameLess);
    return entries;
}

} // namespace

std::string LowerName(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

bool FileNameLess(const std::string& a, const std::string& b) {
    const std::string la = LowerName(a), lb = LowerName(b);
    return la != lb ? la < lb : a < b;
}

bool HasExtension(const std::string& name, const std::string& extension) {
    return name.size() > extension.size() &&
           LowerName(name.substr(name.size() - extension.size())) == LowerName(extension);
}

std::vector<FoundFile> FilesOfFolder(const std::string& folder) {
    std::vector<FoundFile> files;
    for (std::string& name : ReadFolder(folder).files)
        files.push_back({folder, std::move(name)});
    return files;
}

std::vector<FoundFile> FilesOfTree(const std::string& folder, bool withHidden, Host& host) {
    std::vector<FoundFile> files;
    std::set<std::pair<dev_t, ino_t>> visited;
    std::deque<std::string> pending{folder};
    while (!pending.empty()) {
        const std::string current = std::move(pending.front());
        pending.pop_front();
        struct stat info {};
        if (::stat(current.c_str(), &info) != 0 || !visited.emplace(info.st_dev, info.st_ino).second)
            continue;
        Entries entries = ReadFolder(current);
        for (std::string& name : entries.files)
            files.push_back({current, std::move(name)});
        for (const std::string& name : entries.folders)
            if (withHidden || name[0] != '.')
                pending.push_back(current + name + "/");
        host.PumpEvents();
    }
    return files;
}

} // namespace quorvane
