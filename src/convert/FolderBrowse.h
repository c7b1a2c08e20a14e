// The folder tree of the file browser, without widgets: the roots a user starts from (the file system,
// the home folder, mounted volumes) and the subfolders of a folder.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

enum class RootKind { Fixed, Removable, CdRom, Network };

struct FolderRoot {
    std::string text; // what the tree shows: "Label (path)"
    std::string path; // ending in '/'
    RootKind kind = RootKind::Fixed;
};

// The file system root, the home folder, and every mounted volume a user keeps files on (under /media,
// /mnt, /run/media, or any mount of a block device), each once, from the mount table `mountsFile` (the
// format of /proc/self/mounts). Labels come from /dev/disk/by-label; a CD-ROM without one is "CDROM".
std::vector<FolderRoot> ListFolderRoots(const std::string& mountsFile = "/proc/self/mounts",
                                        const std::string& home = "");

struct Subfolder {
    std::string name;
    bool hidden = false;     // the name starts with '.'
    bool expandable = false; // it has a subfolder of its own, hidden ones included
};

// The subfolders of `folder` (ending in '/'), hidden ones only with showHidden, sorted by name without
// regard to case. A folder that cannot be read has none.
std::vector<Subfolder> ListSubfolders(const std::string& folder, bool showHidden);

// The path of a folder with a '/' at its end.
std::string WithTrailingSlash(std::string path);

struct FolderSteps {
    size_t root = 0;                // position in the roots given
    std::vector<std::string> names; // the folders below that root, one per level, down to the folder
};

// The way down the folder tree to `folder` (a path without "." or ".." parts): the deepest of `roots`
// (paths ending in '/') that it lies in, then one name per level below it. None when it lies in no root.
std::optional<FolderSteps> StepsToFolder(const std::vector<std::string>& roots, const std::string& folder);

} // namespace quorvane
