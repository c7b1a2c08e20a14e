// The one object that owns a session's state besides the widgets: the bank model, the attribute texts, the
// file list and loader state, the settings, and the Host through which everything reaches the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "model/AttributeList.h"
#include "model/BankModel.h"

namespace quorvane {

// One entry of the file list: the text shown (the file name without its extension) and the extension as
// it stands on disk (empty when the name has none), so that a bank named "Piano.SF2" is found again on a
// case-sensitive file system.
struct FileListEntry {
    std::string text;
    std::string extension;
};

struct LoaderState {
    int loadedEntry = -1;      // file-list entry now in the model; -1 after the list is rebuilt
    int loadedFlag = 0;        // 1 while the model holds loadedEntry
    int loadingFlag = 0;       // 1 while a reader chain runs
    std::string currentFolder; // folder of the file list, ending in '/'
    std::string currentFileName; // path of the bank being read; empty between loads
    std::vector<FileListEntry> fileList;
};

struct Settings {
    bool ReadUnmappedRegions = true;
    bool LinkMonoSamples = true;
    bool Menu_ShowCompressed = false;
};

class Workspace {
  public:
    explicit Workspace(Host& host) : host(host) {}

    Host& host;
    BankModel bank;
    AttributeList attributes;
    LoaderState loader;
    Settings settings;
};

} // namespace quorvane
