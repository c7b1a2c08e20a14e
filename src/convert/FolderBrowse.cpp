#include "convert/FolderBrowse.h"

#include "convert/FolderFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace quorvane {

namespace {

// The mount table escapes blanks and a few other characters as \ooo.
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::isdigit(static_cast<unsigned char>(field[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(field[i + 3]))) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

RootKind KindOf(const std::string& type, const std::string& mountPoint) {
    if (type == "iso9660" || type == "udf")
        return RootKind::CdRom;
    if (type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" || type == "smbfs" ||
        type.rfind("fuse.sshfs", 0) == 0 || type == "9p")
        return RootKind::Network;
    if (mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0)
        return RootKind::Removable;
    return RootKind::Fixed;
}

// Labels of block devices by their device node, from the links in /dev/disk/by-label.
std::string LabelOf(const std::string& device) {
    std::error_code error;
    const std::filesystem::path byLabel("/dev/disk/by-label");
    for (std::filesystem::directory_iterator it(byLabel, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        const auto target = std::filesystem::canonical(it->path(), ignored);
        if (!ignored && target.string() == device)
            return Unescape(it->path().filename().string());
    }
    return {};
}

// Mounts a user keeps files on: real devices and network shares, not the kernel's own file systems.
bool IsUserMount(const std::string& device, const std::string& type, const std::string& mountPoint) {
    if (mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/mnt/", 0) == 0 ||
        mountPoint.rfind("/run/media/", 0) == 0)
        return true;
    if (KindOf(type, mountPoint) == RootKind::Network)
        return true;
    return device.rfind("/dev/", 0) == 0 && mountPoint.rfind("/boot", 0) != 0 &&
           mountPoint.rfind("/snap/", 0) != 0 && type != "squashfs";
}

} // namespace

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::optional<FolderSteps> StepsToFolder(const std::vector<std::string>& roots, const std::string& folder) {
    const std::string wanted = WithTrailingSlash(folder);
    std::optional<FolderSteps> steps;
    size_t best = 0;
    for (size_t i = 0; i < roots.size(); ++i) {
        const std::string& root = roots[i];
        if (wanted.rfind(root, 0) == 0 && root.size() > best) {
            steps = FolderSteps{i, {}};
            best = root.size();
        }
    }
    if (!steps)
        return steps;
    for (size_t at = best; at < wanted.size();) {
        const size_t end = wanted.find('/', at);
        steps->names.push_back(wanted.substr(at, end - at));
        at = end + 1;
    }
    return steps;
}

std::vector<FolderRoot> ListFolderRoots(const std::string& mountsFile, const std::string& home) {
    std::vector<FolderRoot> roots;
    std::set<std::string> seen;
    auto add = [&](std::string text, const std::string& path, RootKind kind) {
        const std::string folder = WithTrailingSlash(path);
        if (seen.insert(folder).second)
            roots.push_back({std::move(text), folder, kind});
    };
    add("File System (/)", "/", RootKind::Fixed);
    std::string homeFolder = home;
    if (homeFolder.empty()) {
        const char* variable = std::getenv("HOME");
        homeFolder = variable != nullptr ? variable : "";
    }
    if (!homeFolder.empty())
        add("Home (" + WithTrailingSlash(homeFolder) + ")", homeFolder, RootKind::Fixed);

    std::ifstream mounts(mountsFile);
    std::string line;
    std::vector<FolderRoot> volumes;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        device = Unescape(device);
        mountPoint = Unescape(mountPoint);
        if (mountPoint == "/" || !IsUserMount(device, type, mountPoint))
            continue;
        const RootKind kind = KindOf(type, mountPoint);
        std::string label = device.rfind("/dev/", 0) == 0 ? LabelOf(device) : std::string();
        if (label.size() > 60)
            label.resize(60);
        if (label.empty() && kind == RootKind::CdRom)
            label = "CDROM";
        if (label.empty())
            label = std::filesystem::path(mountPoint).filename().string();
        std::string text = label;
        text.append(" (").append(mountPoint).append(")");
        volumes.push_back({std::move(text), mountPoint, kind});
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const FolderRoot& a, const FolderRoot& b) { return a.path < b.path; });
    for (FolderRoot& volume : volumes)
        add(std::move(volume.text), volume.path, volume.kind);
    return roots;
}

std::vector<Subfolder> ListSubfolders(const std::string& folder, bool showHidden) {
    std::vector<Subfolder> folders;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return folders;
    auto isFolder = [](const std::string& path, const dirent* entry) {
        if (entry->d_type == DT_DIR)
            return true;
        if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
            return false;
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    };
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !isFolder(folder + name, entry))
            continue;
        const bool hidden = name[0] == '.';
        if (hidden && !showHidden)
            continue;
        folders.push_back({name, hidden, false});
    }
    ::closedir(dir);

    // A child gets an expand button when a look inside finds a folder of its own: "." and ".." are
    // counted as the directory scan returns them, so more than two entries means a real subfolder, hidden
    // or not.
    for (Subfolder& child : folders) {
        const std::string path = folder + child.name + "/";
        DIR* inner = ::opendir(path.c_str());
        if (inner == nullptr)
            continue;
        int count = 0;
        while (count < 3) {
            const dirent* entry = ::readdir(inner);
            if (entry == nullptr)
                break;
            count += isFolder(path + entry->d_name, entry) ? 1 : 0;
        }
        ::closedir(inner);
        child.expandable = count > 2;
    }
    std::sort(folders.begin(), folders.end(),
              [](const Subfolder& a, const Subfolder& b) { return FileNameLess(a.name, b.name); });
    return folders;
}

} // namespace quorvane
