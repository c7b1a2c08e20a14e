// Turns one entry of the file list into a loaded bank: finds the entry's file, identifies its type from
// its first 12 bytes and runs the matching reader chain.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/soundfont/SoundFontReader.h"
#include "session/Workspace.h"

namespace quorvane {

enum class LoadStatus {
    Loaded,        // the reader chain ran
    AlreadyLoaded, // interactive load of the entry on screen: nothing to do
    CannotOpen,    // the file could not be opened
    NotABank,      // the type key is unknown, or the file is shorter than 12 bytes
    WrongFormat,   // a known bank type that the chosen source format does not accept
    Damaged,       // the bank's structure is missing or cut (ReadNotes::damage says what): nothing is read
};

// The type key: file bytes 0..3 followed by bytes 8..11 ("RIFFsfbk", "RIFFDLS ").
std::string ReadTypeKey(InputFile& file);
// The source format of an open bank file: by its type key, or for a text without one (SFZ) by the extension
// of its path.
std::optional<SourceFormat> SourceFormatOfFile(InputFile& file, const std::string& path);
// Source formats whose banks are files of the file list that a reader chain reads.
bool IsReadFromFile(SourceFormat format);

// Replaces the file list with the given entries of one folder (ending in '/'), recording one path line per
// entry and the end line. Clears the attribute texts and the loaded entry.
void SetFileList(Workspace& workspace, const std::string& folder, const std::vector<FileListEntry>& entries);
// The same with a folder of its own for each entry (a search's results), entries.size() of them.
void SetFileList(Workspace& workspace, const std::string& folder, const std::vector<FileListEntry>& entries,
                 const std::vector<std::string>& entryFolders);
// Replaces the file list with one entry per path, each with the path line of its own folder: the banks
// named on a command line. Clears the attribute texts and the loaded entry.
void SetFileListOfPaths(Workspace& workspace, const std::vector<std::string>& paths);
// The file-list entry of a file name: its text and extension. A name that ends in a dot keeps it in its
// text, so that its path is put back together as it was ("bank." never becomes "bank", another file).
FileListEntry FileListEntryOf(const std::string& fileName);
// Full path of a bank entry: its folder from the path lines, its text, a dot, its extension.
std::string EntryPath(const Workspace& workspace, uint32_t entry);

// How a bank is loaded: as when the user selects it (titles, labels and messages through the Host), or
// silently, as batch saving does (no window updates, no messages).
enum class LoadMode { Interactive, Silent };

struct LoadOptions {
    LoadMode mode = LoadMode::Silent;
};

struct LoadResult {
    LoadStatus status = LoadStatus::NotABank;
    ReadNotes notes;
};

// The one way to load the bank at a path: its source format is taken from the file's type key, and the file
// list becomes that one entry. The model is replaced when a reader chain runs and kept as it was otherwise.
LoadResult LoadBank(Workspace& workspace, const std::string& path, const LoadOptions& options = {});

// The silent load of batch saving: no window updates, no messages. The model is replaced when the chain
// runs and kept as it was otherwise.
LoadStatus LoadBankSilently(Workspace& workspace, uint32_t entry, ReadNotes* notes = nullptr);
// The silent load of an entry whose bank type may differ from the list's: the source format is taken from
// the file's type key first (banks named on a command line, of several types in one run).
LoadStatus LoadBankSilentlyOfItsType(Workspace& workspace, uint32_t entry, ReadNotes* notes = nullptr);
// The load run when the user selects an entry: the same chains, with titles, labels and messages through
// the Host.
LoadStatus LoadBankInteractively(Workspace& workspace, uint32_t entry, ReadNotes* notes = nullptr);

} // namespace quorvane
