#include "convert/BankFolder.h"

#include <algorithm>
#include <filesystem>

#include "convert/BankLoader.h"
#include "convert/FolderFiles.h"

namespace quorvane {

namespace {

// File-list entries of the found files of the source format, sorted as the list shows them.
std::vector<FoundFile> BankFiles(const Workspace& workspace, std::vector<FoundFile> files) {
    // DLS banks share the reader of GigaSampler files and are listed with them, SoundFont 3 banks (their
    // samples compressed) with SoundFont 2 banks.
    const SourceFormatFacts& facts = FactsOf(workspace.bank.SourceFormat);
    const std::string extension = std::string(".") + facts.extension;
    const char* sibling = facts.siblingExtension;
    std::erase_if(files, [&](const FoundFile& file) {
        return !HasExtension(file.name, extension) && !(sibling && HasExtension(file.name, sibling));
    });
    std::stable_sort(files.begin(), files.end(), [](const FoundFile& a, const FoundFile& b) {
        return FileNameLess(std::filesystem::path(a.name).stem().string(),
                            std::filesystem::path(b.name).stem().string());
    });
    return files;
}

uint32_t SetFoundFiles(Workspace& workspace, const std::string& folder, const std::vector<FoundFile>& files,
                       ListingKind listingKind) {
    std::vector<FileListEntry> entries;
    std::vector<std::string> folders;
    entries.reserve(files.size());
    folders.reserve(files.size());
    for (const FoundFile& file : files) {
        entries.push_back(FileListEntryOf(file.name));
        folders.push_back(file.folder);
    }
    SetFileList(workspace, folder, entries, folders);
    workspace.loader.listingKind = listingKind;
    return static_cast<uint32_t>(entries.size());
}

} // namespace

uint32_t ListBankFolder(Workspace& workspace, const std::string& folder) {
    return SetFoundFiles(workspace, folder, BankFiles(workspace, FilesOfFolder(folder)), ListingKind::Folder);
}

uint32_t SearchBankFiles(Workspace& workspace, const std::string& folder) {
    return SetFoundFiles(
        workspace, folder,
        BankFiles(workspace, FilesOfTree(folder, workspace.settings.ShowHiddenDirs, workspace.host)),
        ListingKind::Search);
}

} // namespace quorvane
