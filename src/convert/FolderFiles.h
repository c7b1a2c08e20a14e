// The files a listing or a search takes: the non-folder entries of one folder, or of a whole folder tree
// walked level by level. Shared by the bank listings and the audio-file listings.
#pragma once

#include <string>
#include <vector>

namespace quorvane {

class Host;

struct FoundFile {
    std::string folder; // ending in '/'
    std::string name;
};

// Name order without regard to case (ties in byte order), as the file list shows names.
bool FileNameLess(const std::string& a, const std::string& b);
// The name in lower case, for matching extensions without regard to case.
std::string LowerName(std::string name);
// True when the name ends in `extension` (with its dot) in any case.
bool HasExtension(const std::string& name, const std::string& extension);

// The regular files of `folder` (ending in '/'; links to them too), in name order: no FIFO, device or socket.
// A folder that cannot be read has none.
std::vector<FoundFile> FilesOfFolder(const std::string& folder);

// Every file in `folder` and in the folders below it, level by level: all files of the folder, then those of
// its subfolders, then of theirs, each folder's files in name order. A folder reached a second time (through
// a symbolic link that loops back) is not walked again; hidden folders (names starting with '.') are walked
// only with withHidden. The host may handle its events after each folder: a large tree takes a while.
std::vector<FoundFile> FilesOfTree(const std::string& folder, bool withHidden, Host& host);

} // namespace quorvane
