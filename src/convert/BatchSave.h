// The batch save: whole banks of the file list, or chosen presets of the open bank, converted to SoundFont
// 2 or GigaSampler files in one run, reporting through the conversion progress window of the Host. The
// Save button, the preset tree's double click and the command-line program all run these two operations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/common/WriteMessages.h"
#include "session/Workspace.h"

namespace quorvane {

// SoundFont3: a SoundFont whose samples are Ogg Vorbis streams. Sfz: a folder of .sfz files and samples.
enum class OutputType { SoundFont, Giga, SoundFont3, Sfz };

// GigaSampler players read at most this many instruments from one file, and a part of a split bank takes
// at most this many bytes of sample data (unless its one preset alone needs more).
constexpr size_t kMaxGigaInstruments = 128;
constexpr uint64_t kMaxGigaPartBytes = 0x4000000;

// The output type a path asks for: GigaSampler for a ".gig" extension in any case, SoundFont 3 for ".sf3",
// SFZ for ".sfz", else SoundFont.
OutputType OutputTypeOfPath(const std::string& path);
// The extension files of the type get, with its dot; none for SFZ, whose output is a folder.
const char* OutputExtension(OutputType type);

struct BankSaveRequest {
    OutputType type = OutputType::SoundFont;
    std::vector<uint32_t> entries; // chosen file-list entries in list order; none: every entry
    std::string folder;            // where the files go, ending in '/'
    std::string file;              // with one chosen entry, its output file; empty: named after the entry
                                   // (SFZ: the folder of each bank, or of the one chosen entry)
    // Beyond the Save button, for the command line: the preset edit lines are replayed onto every bank
    // (a bank with fewer presets than they name is not written), and the entries may be of any bank type.
    bool replayPresetEdits = false;
    bool entriesOfAnyType = false;
};

struct PresetSaveRequest {
    OutputType type = OutputType::SoundFont;
    std::vector<uint32_t> presets; // chosen preset slots in tree order; none: every preset
    bool combine = false;          // all chosen presets into `file`, else one file each (SFZ: always one
                                   // folder, `file` or else `folder`)
    std::string folder;            // where one file per preset goes, ending in '/'
    std::string file;              // the file of one preset, or of all combined
    // The model is as a load for writing and replaying its edits leaves it (the command line loads it so):
    // it is written from as it is, with no read of its own.
    bool modelAsRead = false;
};

struct BatchResult {
    size_t items = 0;   // banks, or preset files, started
    size_t failed = 0;  // of those, not read or not written
    size_t damaged = 0; // of the failed, banks whose structure is missing or cut
    // Samples of the files written whose data could not be read: the files hold them without their data.
    size_t unreadableSamples = 0;
    bool cancelled = false;
    bool refused = false; // too many presets for one GigaSampler file: nothing written
    std::vector<std::string> written;
    std::vector<std::string> losses; // what the outputs could not express (SFZ)
};

// Share of the overall progress bar of item k (from 0) of n.
ProgressSpan BarShare(size_t k, size_t n);

// Order of presets in the parts of a split GigaSampler bank: drum presets last, then bank, then program.
uint32_t GigaSortKey(const PresetRecord& preset);
// The preset slots in sort-key order, cut into parts of at most 128 presets whose samples take at most
// kMaxGigaPartBytes; a part always holds at least one preset.
std::vector<std::vector<uint32_t>> PlanGigaParts(const BankModel& bank, std::vector<uint32_t> slots);

// What a bank save does with the preset edits of the bank on screen (the loaded entry). Saved by itself the
// bank is written with them; saved together with other banks they are left out, since replayed there they
// would change those banks' presets too.
enum class ShownEdits { None, Kept, LeftOut };
// `entries` as the request's: the chosen file-list entries, none for every entry.
ShownEdits ShownEditsInBankSave(const Workspace& workspace, const std::vector<uint32_t>& entries);

BatchResult SaveBanks(Workspace& workspace, const BankSaveRequest& request);
BatchResult SavePresets(Workspace& workspace, const PresetSaveRequest& request);

} // namespace quorvane
