#include "convert/BatchSave.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>

#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/ConversionParameters.h"
#include "convert/FolderFiles.h"
#include "convert/PresetEdits.h"
#include "convert/SampleFetch.h"
#include "convert/SaveDialog.h"
#include "core/StringPrintf.h"
#include "formats/common/ProtectedInputs.h"

namespace quorvane {

namespace {

// The paths a run has written. A second item that maps to a path already written in the run (two presets
// of one name, "Bass/Lead" beside "Bass_Lead", a.sf2 beside a.gig) gets "-2", "-3" ... before its
// extension instead of replacing the first.
class RunNames {
  public:
    std::string Claim(const std::string& path) {
        std::string candidate = path;
        const std::filesystem::path file(path);
        const std::string stem = (file.parent_path() / file.stem()).string();
        const std::string extension = file.extension().string();
        for (int n = 2; used_.count(Key(candidate)) != 0; ++n)
            candidate.assign(stem).append("-").append(std::to_string(n)).append(extension);
        return candidate;
    }
    void Add(const std::string& path) { used_.insert(Key(path)); }

  private:
    static std::string Key(const std::string& path) {
        return std::filesystem::path(path).lexically_normal().string();
    }
    std::set<std::string> used_;
};

// One output file of the run, of the chosen records of the open bank.
class RunWriter {
  public:
    RunWriter(Workspace& workspace, OutputType type, BatchResult& result)
        : workspace_(workspace), type_(type), result_(result) {}

    void Write(const WriteSelection& chosen, uint32_t entry, const std::string& wanted, BankNaming naming,
               ProgressSpan span) {
        Host& host = workspace_.host;
        std::string folderOrFile = wanted;
        while (type_ == OutputType::Sfz && folderOrFile.size() > 1 && folderOrFile.back() == '/')
            folderOrFile.pop_back();
        const std::string path = names_.Claim(folderOrFile);
        host.SetOutputPath(path);
        const auto started = std::chrono::steady_clock::now();
        workspace_.writer.progress = span;
        workspace_.writer.keepCutShort = false;
        bool written = false;
        uint32_t unreadable = 0;
        std::string writtenPath = path;
        std::vector<std::string> outputs; // the files written, where they are more than the path
        uint64_t folderBytes = 0;         // what they hold together
        if (type_ == OutputType::Sfz) {
            // An SFZ output is a folder: it is written even where a folder of its name exists, its files
            // replacing those of their names.
            const SfzWriteResult sfz = WriteSfz(workspace_, chosen, entry, path + "/");
            written = sfz.written && !sfz.files.empty();
            result_.losses.insert(result_.losses.end(), sfz.losses.begin(), sfz.losses.end());
            outputs = sfz.files;
            folderBytes = sfz.bytes;
        } else if (type_ == OutputType::Giga) {
            const GigaWriteResult giga = WriteGigaFile(workspace_, chosen, entry, path, naming);
            written = giga.written;
            writtenPath = giga.path;
            unreadable = giga.unreadableSamples;
        } else {
            const SoundFontSampleStorage storage = type_ == OutputType::SoundFont3
                                                       ? SoundFontSampleStorage::OggVorbis
                                                       : SoundFontSampleStorage::Pcm;
            const SoundFontWriteResult soundFont =
                WriteSoundFont(workspace_, chosen, entry, path, naming, false, storage);
            written = soundFont.written;
            writtenPath = soundFont.path;
            unreadable = soundFont.unreadableSamples;
        }
        // Cancel cut this file short: the writer abandoned it (a bank that lacks some of its samples is not
        // kept) and said so; a file of that name from before is left as it was.
        workspace_.writer.keepCutShort = true;
        names_.Add(writtenPath);
        if (written) {
            if (outputs.empty())
                result_.written.push_back(writtenPath);
            else
                result_.written.insert(result_.written.end(), outputs.begin(), outputs.end());
            result_.unreadableSamples += unreadable;
            WrittenFile file = Described(writtenPath, chosen, started);
            if (!outputs.empty())
                file.bytes = folderBytes;
            host.FileWritten(file);
        } else if (!host.InterruptRequested()) // an interrupted write is no failure of the file
            ++result_.failed;
    }

  private:
    static WrittenFile Described(const std::string& path, const WriteSelection& chosen,
                                 std::chrono::steady_clock::time_point started) {
        WrittenFile file;
        file.path = path;
        std::error_code error;
        const uintmax_t bytes = std::filesystem::file_size(path, error);
        file.bytes = error ? 0 : static_cast<uint64_t>(bytes);
        file.presets = static_cast<uint32_t>(chosen.PresetSlots().size());
        file.samples = chosen.SampleCount();
        file.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return file;
    }

    Workspace& workspace_;
    OutputType type_;
    BatchResult& result_;
    RunNames names_;
};

// A path without its ".gig" extension (in any case), as a split bank's parts are named after it.
std::string WithoutGigaExtension(const std::string& path) {
    const std::filesystem::path file(path);
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".gig" ? (file.parent_path() / file.stem()).string() : path;
}

// Bar 1 at the start of an item, bar 2 empty, the item's name shown, and the window given a chance to
// repaint. True when the user asked to stop.
bool StartItem(Host& host, ProgressSpan span, const std::string& name) {
    host.SetOverallProgress(span.base);
    host.SetFileProgress(0);
    host.SetProgressItemName(name);
    host.PumpEvents();
    return host.CancelRequested();
}

void OpenProgress(Host& host, const std::string& caption, const std::string& itemCaption) {
    host.OpenProgressWindow(caption, itemCaption);
    host.ClearStatusLines();
    host.SetOverallProgress(0);
    host.SetFileProgress(0);
}

// A run that was cancelled leaves the bars where they stopped.
void FinishProgress(Host& host, bool cancelled) {
    if (!cancelled)
        host.SetOverallProgress(1000);
    host.FinishProgressWindow();
}

// The open bank and what its loading set, put aside while a run loads other banks (or the shown bank again,
// as its writers need it) into the session, and given back as it was when the run ends: a save never
// changes what the views show.
class SetAside {
  public:
    explicit SetAside(Workspace& workspace)
        : workspace_(workspace), bank_(std::move(workspace.bank)), dls_(workspace.dls), akai_(workspace.akai),
          loader_(workspace.loader), selection_(workspace.selection) {
        workspace.bank = BankModel{};
        workspace.bank.SourceFormat = bank_.SourceFormat;
    }
    ~SetAside() {
        workspace_.bank = std::move(bank_);
        workspace_.dls = std::move(dls_);
        workspace_.akai = std::move(akai_);
        // The run's names of what it said stay; where the list and the views stand is as before.
        loader_.unsupportedReported = workspace_.loader.unsupportedReported;
        workspace_.loader = std::move(loader_);
        workspace_.selection = selection_;
        SampleSourceFor(workspace_);
    }
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

  private:
    Workspace& workspace_;
    BankModel bank_;
    DlsState dls_;
    AkaiState akai_;
    LoaderState loader_;
    Selection selection_;
};

void ReportLoadFailure(Host& host, LoadStatus status, const std::string& path, const ReadNotes& notes) {
    if (status == LoadStatus::CannotOpen)
        host.AddStatusLine(StringPrintf("ERROR! Can't open File %s", path.c_str()));
    else if (status == LoadStatus::Damaged)
        host.AddStatusLine(StringPrintf("ERROR! %s is damaged: %s", path.c_str(), notes.damage.c_str()));
    else
        host.AddStatusLine(StringPrintf("ERROR! %s is not a bank of a supported type", path.c_str()));
}

// Replays the preset edit lines onto a bank of a command-line run; false (with a status line) when they
// name presets the bank does not have, so that they would land on the wrong presets or on none.
bool ReplayPresetEdits(Workspace& workspace, OutputType type) {
    BankModel& bank = workspace.bank;
    const std::string& edits = workspace.attributes.EditAttributes;
    const uint32_t highest = HighestEditedSlot(edits);
    if (highest > bank.PresetCount) {
        workspace.host.AddStatusLine(
            StringPrintf("ERROR! The edits name preset %u, the bank has %u presets: not saved.", highest,
                         static_cast<unsigned>(bank.PresetCount)));
        return false;
    }
    // The GigaSampler writer replays the edits of Akai volumes itself.
    if (!(bank.SourceFormat == SourceFormat::Akai && type == OutputType::Giga))
        ApplyEdits(bank, edits, ApplyMode::Views);
    return true;
}

} // namespace

OutputType OutputTypeOfPath(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return HasExtension(name, ".gig")   ? OutputType::Giga
           : HasExtension(name, ".sf3") ? OutputType::SoundFont3
           : HasExtension(name, ".sfz") ? OutputType::Sfz
                                        : OutputType::SoundFont;
}

const char* OutputExtension(OutputType type) {
    switch (type) {
    case OutputType::Giga:
        return ".gig";
    case OutputType::SoundFont3:
        return ".sf3";
    case OutputType::Sfz:
        return "";
    case OutputType::SoundFont:
        break;
    }
    return ".sf2";
}

ProgressSpan BarShare(size_t k, size_t n) {
    if (n == 0)
        return {};
    const int base = static_cast<int>(k * 1000 / n);
    const int next = static_cast<int>((k * 1000 + 1000) / n);
    return ProgressSpan{base, next - base};
}

uint32_t GigaSortKey(const PresetRecord& preset) {
    return (preset.isDrum ? 0x8000000u : 0u) + MidiBankNumber(preset) * 256u + (preset.program & 255u);
}

std::vector<std::vector<uint32_t>> PlanGigaParts(const BankModel& bank, std::vector<uint32_t> work) {
    std::stable_sort(work.begin(), work.end(), [&bank](uint32_t a, uint32_t b) {
        return GigaSortKey(bank.PresetTable[a]) < GigaSortKey(bank.PresetTable[b]);
    });

    std::vector<std::vector<uint32_t>> parts;
    for (size_t p = 0; p < work.size();) {
        std::vector<uint32_t> part;
        WriteSelection chosen(bank);
        for (size_t u = 0; u < kMaxGigaInstruments && p + u < work.size(); ++u) {
            chosen.AddPreset(bank, work[p + u]);
            part.push_back(work[p + u]);
            uint64_t bytes = 0;
            for (uint32_t s = 0; s < bank.SampleCount; ++s)
                if (chosen.HasSample(s))
                    bytes += bank.SampleTable[s].dataLength;
            if (bytes > kMaxGigaPartBytes) {
                if (part.size() > 1)
                    part.pop_back();
                break;
            }
        }
        p += part.size();
        parts.push_back(std::move(part));
    }
    return parts;
}

ShownEdits ShownEditsInBankSave(const Workspace& workspace, const std::vector<uint32_t>& entries) {
    const int shown = workspace.loader.loadedEntry;
    const size_t listed = workspace.loader.fileList.size();
    if (workspace.attributes.EditAttributes.empty() || shown < 0 || static_cast<size_t>(shown) >= listed)
        return ShownEdits::None;
    const uint32_t entry = static_cast<uint32_t>(shown);
    if (!entries.empty() && std::find(entries.begin(), entries.end(), entry) == entries.end())
        return ShownEdits::None;
    const size_t saved = entries.empty() ? listed : entries.size();
    return saved == 1 ? ShownEdits::Kept : ShownEdits::LeftOut;
}

BatchResult SaveBanks(Workspace& workspace, const BankSaveRequest& request) {
    BatchResult result;
    const auto& list = workspace.loader.fileList;
    if (list.empty())
        return result;
    std::vector<uint32_t> chosen;
    for (uint32_t entry : request.entries)
        if (entry < list.size())
            chosen.push_back(entry);
    if (request.entries.empty())
        for (uint32_t entry = 0; entry < list.size(); ++entry)
            chosen.push_back(entry);

    Host& host = workspace.host;
    const SourceFormat listFormat = workspace.bank.SourceFormat;
    const bool akai = listFormat == SourceFormat::Akai;
    host.SetTitle("");
    // Each bank is read once, into the session while the shown one is set aside, and every file of it is
    // written from that one reading.
    SetAside shown(workspace);
    BankModel& bank = workspace.bank;
    // Every bank of the run says what it holds that cannot be converted, even when it was said before.
    workspace.loader.unsupportedReported.clear();
    OpenProgress(host, akai ? "Saving Volume(s) ..." : "Saving Bank(s) ...", akai ? "Volume:" : "Bank:");

    // No output of the run replaces a bank it reads, before or after that bank is read: a folder converted
    // into itself writes "NAME-1" beside a bank whose name an output takes.
    InputGuard inputs;
    if (!akai)
        for (uint32_t entry : chosen)
            inputs.Add(EntryPath(workspace, entry));
    RunWriter writer(workspace, request.type, result);
    for (size_t k = 0; k < chosen.size(); ++k) {
        const uint32_t entry = chosen[k];
        const std::string& text = list[entry].text;
        const ProgressSpan share = BarShare(k, chosen.size());
        if (StartItem(host, share, text)) {
            result.cancelled = true;
            break;
        }
        ++result.items;
        workspace.loader.currentBank = static_cast<int>(entry);
        host.AddStatusLine(
            StringPrintf(akai ? "Loading  '%s'  AKAI volume." : "Loading  '%s'  bank.", text.c_str()));
        // A bank that cannot be read is not written: the model would still hold the bank before it.
        ReadNotes notes;
        const LoadStatus status = request.entriesOfAnyType
                                      ? LoadBankSilentlyOfItsType(workspace, entry, &notes)
                                      : LoadBankSilently(workspace, entry, &notes);
        if (status != LoadStatus::Loaded) {
            ReportLoadFailure(host, status, EntryPath(workspace, entry), notes);
            ++result.failed;
            result.damaged += status == LoadStatus::Damaged;
            continue;
        }
        if (!workspace.attributes.BankEditAttributes.empty())
            ApplyBankParameters(bank, workspace.attributes.BankEditAttributes, entry, host);
        if (request.replayPresetEdits && !workspace.attributes.EditAttributes.empty() &&
            !ReplayPresetEdits(workspace, request.type)) {
            ++result.failed;
            continue;
        }
        const std::string name = akai ? OutputFileName(SourceFormat::Akai, text) : text;
        if (request.type == OutputType::Giga && bank.PresetCount > kMaxGigaInstruments) {
            // The parts take the name given for the bank's file ("x.gig": "x part1.gig" ...) when there is
            // one, the bank's own name otherwise.
            const std::string partBase = chosen.size() == 1 && !request.file.empty()
                                             ? WithoutGigaExtension(request.file)
                                             : request.folder + name;
            std::vector<uint32_t> slots;
            for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
                slots.push_back(slot);
            const std::vector<std::vector<uint32_t>> parts = PlanGigaParts(bank, std::move(slots));
            for (size_t part = 0; part < parts.size(); ++part) {
                if (part > 0 && host.CancelRequested()) {
                    result.cancelled = true;
                    break;
                }
                host.SetFileProgress(0);
                const ProgressSpan partShare{share.base + static_cast<int>(share.span * part / parts.size()),
                                             static_cast<int>(share.span / parts.size())};
                writer.Write(WriteSelection::Presets(bank, parts[part]), entry,
                             partBase + StringPrintf(" part%i.gig", static_cast<int>(part + 1)),
                             BankNaming::SourceBank, partShare);
            }
        } else {
            const std::string path = chosen.size() == 1 && !request.file.empty()
                                         ? request.file
                                         : request.folder + name + OutputExtension(request.type);
            writer.Write(WriteSelection::All(bank), entry, path, BankNaming::SourceBank, share);
        }
    }
    result.cancelled = result.cancelled || host.CancelRequested();
    FinishProgress(host, result.cancelled);
    return result;
}

BatchResult SavePresets(Workspace& workspace, const PresetSaveRequest& request) {
    BatchResult result;
    BankModel& bank = workspace.bank;
    Host& host = workspace.host;
    std::vector<uint32_t> chosen;
    for (uint32_t slot : request.presets)
        if (bank.IsValidSlot(slot))
            chosen.push_back(slot);
    if (request.presets.empty())
        for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
            chosen.push_back(slot);
    if (chosen.empty())
        return result;
    if (request.type == OutputType::Giga && request.combine && chosen.size() > kMaxGigaInstruments) {
        host.ShowMessage(
            StringPrintf("There are %i selected presets.\r\n\r\nGigaSampler can read only 128 instruments.",
                         static_cast<int>(chosen.size())),
            kMessageCaption, MessageIcon::Warning);
        result.refused = true;
        return result;
    }

    const bool akai = bank.SourceFormat == SourceFormat::Akai;
    const SourceFormat sourceFormat = bank.SourceFormat;
    const uint32_t entry =
        workspace.loader.currentBank < 0 ? 0 : static_cast<uint32_t>(workspace.loader.currentBank);
    std::vector<std::string> names;
    names.reserve(chosen.size());
    for (uint32_t slot : chosen)
        names.push_back(bank.PresetTable[slot].name);
    OpenProgress(host, akai ? "Saving Program(s) ..." : "Saving Preset(s) ...", "Preset:");
    InputGuard inputs;
    if (!akai && entry < workspace.loader.fileList.size())
        inputs.Add(EntryPath(workspace, entry));
    if (akai && entry < workspace.loader.fileList.size())
        host.AddStatusLine(
            StringPrintf("Loading  '%s'  AKAI volume.", workspace.loader.fileList[entry].text.c_str()));

    // The writers take the bank as a load for writing leaves it (a GigaSampler bank's stereo waves split),
    // with its edits replayed: unless the session holds it so already, it is read once for the run while
    // the shown bank is set aside, and given back unchanged at the end.
    std::optional<SetAside> shown;
    LoadStatus status = LoadStatus::Loaded;
    ReadNotes notes;
    if (!request.modelAsRead) {
        shown.emplace(workspace);
        status = LoadBankSilently(workspace, entry, &notes);
        if (status == LoadStatus::Loaded)
            ApplyEdits(bank, workspace.attributes.EditAttributes, ApplyMode::Views);
    }

    RunWriter writer(workspace, request.type, result);
    const bool sfz = request.type == OutputType::Sfz;
    const bool combine = request.combine || sfz;
    const size_t passes = combine ? 1 : chosen.size();
    for (size_t u = 0; u < passes; ++u) {
        const ProgressSpan share = combine ? ProgressSpan{} : BarShare(u, chosen.size());
        if (StartItem(host, share, names[u])) {
            result.cancelled = true;
            break;
        }
        ++result.items;
        // A bank that cannot be read writes none of its files.
        if (status != LoadStatus::Loaded) {
            ReportLoadFailure(host, status, EntryPath(workspace, entry), notes);
            ++result.failed;
            continue;
        }
        if (combine) {
            writer.Write(WriteSelection::Presets(bank, chosen), entry,
                         sfz && request.file.empty() ? request.folder : request.file, BankNaming::SourceBank,
                         share);
        } else {
            workspace.selection.currentPreset = chosen[u];
            const std::string path =
                chosen.size() > 1
                    ? request.folder + OutputFileName(sourceFormat, names[u]) + OutputExtension(request.type)
                    : request.file;
            writer.Write(WriteSelection::Presets(bank, {chosen[u]}), entry, path, BankNaming::Preset, share);
        }
    }
    result.cancelled = result.cancelled || host.CancelRequested();
    FinishProgress(host, result.cancelled);
    return result;
}

} // namespace quorvane
