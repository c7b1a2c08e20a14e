#include "convert/BankLoader.h"

#include <cstdio>
#include <filesystem>

#include "convert/AkaiDisc.h"
#include "convert/StereoNames.h"
#include "convert/StereoPairs.h"
#include "formats/akai/AkaiPrograms.h"
#include "formats/dls/DlsInstruments.h"
#include "formats/dls/DlsWavePool.h"
#include "formats/sfz/SfzReader.h"

namespace quorvane {

namespace {

constexpr const char* kUnableToOpen = "UNABLE TO OPEN FILE!";
constexpr const char* kDamagedBank = "DAMAGED BANK";

// The SoundFont chain: image, version, samples, INFO and hydra, loops, pair names. The odd-size warning is
// raised between the hydra walk and the tables' use, as an interactive load shows it.
void RunSoundFontChain(Workspace& workspace, InputFile& file, bool interactive, ReadNotes& notes) {
    BankModel& bank = workspace.bank;
    Host& host = workspace.host;
    bank.SourceFormat = SourceFormat::SoundFont;
    BuildSoundFontImage(bank, file, notes);
    ReadSoundFontVersion(bank);
    if (interactive) {
        char label[32];
        std::snprintf(label, sizeof label, "SoundFont %.1f", bank.BankVersion / 10.0);
        host.SetFormatLabel(label);
    }
    ReadSoundFontSamples(bank, notes);
    MeasureOggVorbisSamples(bank, file, notes);
    const bool oddSize = ReadSoundFontHydra(bank, notes);
    if (oddSize && interactive && !host.IsProgressWindowShowing()) {
        host.SetFormatLabelsVisible(false);
        host.ShowMessage(kOddChunkMessage, kMessageCaption, MessageIcon::Warning);
    }
    PropagateSoundFontLoops(bank);
    TidyStereoNames(bank);
}

// What the bank holds that the model cannot is said rather than converted silently wrong: in a message when
// the user opened the bank, as status lines (the terminal, for the command line) while saving.
void ReportUnsupported(Workspace& workspace, const ReadNotes& unsupported, bool interactive) {
    LoaderState& loader = workspace.loader;
    Host& host = workspace.host;
    if (unsupported.lines.empty() || (!interactive && loader.unsupportedReported == loader.currentFileName))
        return;
    loader.unsupportedReported = loader.currentFileName;
    const std::string name = std::filesystem::path(loader.currentFileName).filename().string();
    if (interactive && !host.IsProgressWindowShowing()) {
        std::string text = name + " holds what this program cannot convert:";
        for (const std::string& line : unsupported.lines)
            text += "\n" + line;
        host.ShowMessage(text, kMessageCaption, MessageIcon::Warning);
        return;
    }
    for (const std::string& line : unsupported.lines)
        host.AddStatusLine("!WARNING " + name + ": " + line);
}

// The SFZ chain: the text, its includes and the headers of its sample files; what the model cannot hold
// is said as for DLS banks. The sample files are inputs of the run from then on.
void RunSfzChain(Workspace& workspace, bool interactive, ReadNotes& notes) {
    BankModel& bank = workspace.bank;
    ReadNotes unsupported;
    ReadSfzBank(workspace.loader.currentFileName, bank, workspace.sfzSamples, unsupported);
    workspace.sources.sfz.Protect(workspace.sfzSamples);
    bank.SourceFormat = SourceFormat::Sfz;
    notes.damage = unsupported.damage;
    ReportUnsupported(workspace, unsupported, interactive);
    if (interactive)
        workspace.host.SetFormatLabel("SFZ");
}

// The DLS and GigaSampler chain: wave pool image and pool, instruments, loops; a load that a write follows
// also splits interleaved stereo waves into linked halves; then mono pairing and pair names.
void RunDlsChain(Workspace& workspace, InputFile& file, bool interactive, bool forWriting, ReadNotes& notes) {
    BankModel& bank = workspace.bank;
    bank.SourceFormat = SourceFormat::Dls;
    BuildDlsImage(bank, workspace.dls, file, notes);
    ReadNotes unsupported;
    ReadDlsWavePool(bank, workspace.dls, unsupported);
    ReadDlsInstruments(bank, workspace.dls, workspace.settings.ReadUnmappedRegions, unsupported);
    ReportUnsupported(workspace, unsupported, interactive);
    if (interactive)
        workspace.host.SetFormatLabel(bank.DlsFlavour == DlsFlavour::GigaSampler ? "GigaSampler"
                                                                                 : "DLS Level 1");
    PropagateDlsLoops(bank);
    if (forWriting)
        SplitStereoSamples(bank);
    if (workspace.settings.LinkMonoSamples)
        LinkMonoSamples(bank);
    TidyStereoNames(bank);
}

// The Akai chain for the volume listed at `entry`: its directory, then the samples and programs it lists;
// a silent load (a write is coming) also reads every program; then mono pairing and pair names. A
// directory that cannot be read shows "SCSI READ VOLUME ERROR !" and reads nothing.
bool RunAkaiChain(Workspace& workspace, uint32_t entry, bool interactive) {
    BankModel& bank = workspace.bank;
    AkaiState& akai = workspace.akai;
    workspace.loader.currentBank = static_cast<int>(entry);
    const uint32_t volume = akai.VolumeEntryOf(entry);
    if (ReadVolumeDirectory(akai, workspace.scsi, volume) != kScsiCompleted) {
        workspace.host.SetTitle(kVolumeReadError);
        return false;
    }
    if (interactive)
        workspace.host.SetFormatLabel(AkaiVolumeLabel(akai.VolumeType(volume)));
    bank.SourceFormat = SourceFormat::Akai;
    for (std::string& text : bank.BankInfo)
        text.clear();
    workspace.dls.SampleGroupNames.clear();
    ListAkaiSamples(bank, akai);
    ListAkaiPrograms(bank, akai);
    if (!interactive)
        ReadAkaiProgramsOfVolume(workspace, AkaiProgramMode::ReadAll, akai.IsS3000Volume(volume));
    if (workspace.settings.LinkMonoSamples)
        LinkMonoSamples(bank);
    TidyStereoNames(bank);
    return true;
}

enum class Opened { Ok, CannotOpen, NotABank, WrongFormat };

// Opens the entry's file and checks that its type fits the chosen source format.
Opened OpenEntry(Workspace& workspace, uint32_t entry, InputFile& file) {
    const std::string path = EntryPath(workspace, entry);
    workspace.loader.currentFileName = path;
    workspace.loader.currentBank = static_cast<int>(entry);
    if (!file.Open(path))
        return Opened::CannotOpen;
    const std::optional<SourceFormat> format = SourceFormatOfFile(file, path);
    if (!format)
        return Opened::NotABank;
    if (*format != workspace.bank.SourceFormat)
        return Opened::WrongFormat;
    return Opened::Ok;
}

LoadStatus StatusOf(Opened opened) {
    switch (opened) {
    case Opened::Ok:
        return LoadStatus::Loaded;
    case Opened::CannotOpen:
        return LoadStatus::CannotOpen;
    case Opened::NotABank:
        return LoadStatus::NotABank;
    case Opened::WrongFormat:
        return LoadStatus::WrongFormat;
    }
    return LoadStatus::NotABank;
}

// The model of a bank that could not be read: empty, of the same source format.
void EmptyBank(BankModel& bank) {
    const SourceFormat format = bank.SourceFormat;
    bank = BankModel{};
    bank.SourceFormat = format;
}

bool RunChain(Workspace& workspace, InputFile& file, bool interactive, bool forWriting, ReadNotes& notes) {
    switch (workspace.bank.SourceFormat) {
    case SourceFormat::SoundFont:
        RunSoundFontChain(workspace, file, interactive, notes);
        return true;
    case SourceFormat::Dls:
        RunDlsChain(workspace, file, interactive, forWriting, notes);
        return true;
    case SourceFormat::Sfz:
        RunSfzChain(workspace, interactive, notes);
        return true;
    default:
        return false;
    }
}

// A chain run without the window: a damaged bank leaves the model empty rather than half read.
LoadStatus RunSilentChain(Workspace& workspace, InputFile& file, bool forWriting, ReadNotes& notes) {
    if (!RunChain(workspace, file, false, forWriting, notes))
        return LoadStatus::NotABank;
    if (notes.Damaged()) {
        EmptyBank(workspace.bank);
        return LoadStatus::Damaged;
    }
    return LoadStatus::Loaded;
}

// The interactive Akai load: the volume's label, the chain without the programs (they are read when the
// user picks one), a fresh selection with the loaded flag down, so that picking the volume again reads the
// disc again. A directory that cannot be read leaves the views empty.
LoadStatus LoadAkaiVolumeInteractively(Workspace& workspace, uint32_t entry) {
    LoaderState& loader = workspace.loader;
    BankModel& bank = workspace.bank;
    Host& host = workspace.host;
    workspace.attributes.EditAttributes.clear();
    loader.loadedEntry = static_cast<int>(entry);
    loader.loadingFlag = true;
    const bool loaded = RunAkaiChain(workspace, entry, true);
    loader.loadingFlag = false;
    if (!loaded) {
        bank.PresetCount = bank.LayerCount = bank.ZoneCount = bank.SampleCount = 0;
        host.SetFormatLabelsVisible(false);
    } else {
        host.SetFormatLabelsVisible(true);
    }
    loader.loadedFlag = false;
    workspace.selection.currentPreset = 0;
    workspace.selection.selectedSample = kNoSample;
    host.BankChanged();
    return loaded ? LoadStatus::Loaded : LoadStatus::CannotOpen;
}

} // namespace

std::string ReadTypeKey(InputFile& file) {
    char header[12];
    if (file.ReadAt(0, header, sizeof header) < sizeof header)
        return {};
    return std::string(header, 4) + std::string(header + 8, 4);
}

std::optional<SourceFormat> SourceFormatOfFile(InputFile& file, const std::string& path) {
    if (const std::optional<SourceFormat> format = SourceFormatOfKey(ReadTypeKey(file)))
        return format;
    return SourceFormatOfTextFile(std::filesystem::path(path).filename().string());
}

bool IsReadFromFile(SourceFormat format) {
    return format == SourceFormat::SoundFont || format == SourceFormat::Dls || format == SourceFormat::Sfz;
}

void SetFileList(Workspace& workspace, const std::string& folder, const std::vector<FileListEntry>& entries) {
    SetFileList(workspace, folder, entries, std::vector<std::string>(entries.size(), folder));
}

void SetFileList(Workspace& workspace, const std::string& folder, const std::vector<FileListEntry>& entries,
                 const std::vector<std::string>& entryFolders) {
    workspace.attributes.ClearFileList();
    workspace.loader.currentFolder = folder;
    workspace.loader.fileList = entries;
    workspace.loader.loadedEntry = -1;
    for (uint32_t i = 0; i < entries.size(); ++i)
        workspace.attributes.PathAttributes +=
            BankPathLine(i, i < entryFolders.size() ? entryFolders[i] : folder);
    workspace.attributes.PathAttributes += BankEndLine(static_cast<uint32_t>(entries.size()));
}

void SetFileListOfPaths(Workspace& workspace, const std::vector<std::string>& paths) {
    std::vector<FileListEntry> entries;
    std::vector<std::string> folders;
    for (const std::string& path : paths) {
        const std::filesystem::path file(path);
        const std::string folder = file.parent_path().string();
        entries.push_back(FileListEntryOf(file.filename().string()));
        folders.push_back(folder.empty() ? "./" : folder + "/");
    }
    SetFileList(workspace, "./", entries, folders);
}

FileListEntry FileListEntryOf(const std::string& fileName) {
    const std::filesystem::path name(fileName);
    const std::string extension = name.extension().string();
    if (extension.size() <= 1)
        return {fileName, ""};
    return {name.stem().string(), extension.substr(1)};
}

std::string EntryPath(const Workspace& workspace, uint32_t entry) {
    std::string folder = EntryFolder(workspace.attributes, entry, workspace.loader.currentFolder);
    const auto& list = workspace.loader.fileList;
    if (entry >= list.size())
        return folder;
    const FileListEntry& item = list[entry];
    return folder + item.text + (item.extension.empty() ? "" : "." + item.extension);
}

LoadStatus LoadBankSilently(Workspace& workspace, uint32_t entry, ReadNotes* notes) {
    ReadNotes scratch;
    ReadNotes& sink = notes ? *notes : scratch;
    workspace.loader.currentFileName.clear();
    if (workspace.bank.SourceFormat == SourceFormat::Akai)
        return RunAkaiChain(workspace, entry, false) ? LoadStatus::Loaded : LoadStatus::CannotOpen;
    if (!IsReadFromFile(workspace.bank.SourceFormat))
        return LoadStatus::NotABank;
    InputFile file;
    const Opened opened = OpenEntry(workspace, entry, file);
    if (opened != Opened::Ok)
        return StatusOf(opened);
    return RunSilentChain(workspace, file, true, sink);
}

LoadStatus LoadBankSilentlyOfItsType(Workspace& workspace, uint32_t entry, ReadNotes* notes) {
    InputFile probe;
    if (!probe.Open(EntryPath(workspace, entry))) {
        workspace.loader.currentFileName.clear();
        return LoadStatus::CannotOpen;
    }
    const std::optional<SourceFormat> format = SourceFormatOfFile(probe, EntryPath(workspace, entry));
    if (!format)
        return LoadStatus::NotABank;
    workspace.bank.SourceFormat = *format;
    return LoadBankSilently(workspace, entry, notes);
}

LoadResult LoadBank(Workspace& workspace, const std::string& path, const LoadOptions& options) {
    LoadResult result;
    std::optional<SourceFormat> format;
    {
        InputFile probe;
        if (!probe.Open(path)) {
            result.status = LoadStatus::CannotOpen;
            return result;
        }
        format = SourceFormatOfFile(probe, path);
    }
    if (!format)
        return result;
    workspace.bank.SourceFormat = *format;
    SetFileListOfPaths(workspace, {path});
    result.status = options.mode == LoadMode::Interactive ? LoadBankInteractively(workspace, 0, &result.notes)
                                                          : LoadBankSilently(workspace, 0, &result.notes);
    return result;
}

LoadStatus LoadBankInteractively(Workspace& workspace, uint32_t entry, ReadNotes* notes) {
    ReadNotes scratch;
    ReadNotes& sink = notes ? *notes : scratch;
    LoaderState& loader = workspace.loader;
    BankModel& bank = workspace.bank;
    Host& host = workspace.host;
    loader.currentFileName.clear();
    if (loader.loadedEntry == static_cast<int>(entry) && loader.loadedFlag)
        return LoadStatus::AlreadyLoaded;
    if (bank.SourceFormat == SourceFormat::Akai)
        return LoadAkaiVolumeInteractively(workspace, entry);
    if (!IsReadFromFile(bank.SourceFormat))
        return LoadStatus::NotABank;

    workspace.attributes.EditAttributes.clear();
    loader.loadedEntry = static_cast<int>(entry);
    InputFile file;
    const Opened opened = OpenEntry(workspace, entry, file);
    LoadStatus status = StatusOf(opened);
    if (opened == Opened::CannotOpen) {
        bank.PresetCount = bank.LayerCount = bank.ZoneCount = bank.SampleCount = 0;
        host.SetTitle(kUnableToOpen);
        host.SetFormatLabelsVisible(false);
        host.BankChanged();
    } else if (opened == Opened::Ok) {
        loader.loadingFlag = true;
        host.SetFormatLabelsVisible(true);
        if (!RunChain(workspace, file, true, false, sink)) {
            status = LoadStatus::NotABank;
        } else if (sink.Damaged()) {
            // A damaged bank says what is wrong and leaves nothing on screen, not an empty bank.
            EmptyBank(bank);
            status = LoadStatus::Damaged;
            host.SetTitle(kDamagedBank);
            host.SetFormatLabelsVisible(false);
            if (!host.IsProgressWindowShowing())
                host.ShowMessage(std::filesystem::path(loader.currentFileName).filename().string() +
                                     " is damaged: " + sink.damage + ".",
                                 kMessageCaption, MessageIcon::Warning);
            host.BankChanged();
        } else {
            loader.loadedFlag = true;
            host.BankChanged();
        }
        loader.loadingFlag = false;
    }
    file.Close();
    if (bank.PresetCount == 0)
        loader.loadedFlag = false;
    return status;
}

} // namespace quorvane
