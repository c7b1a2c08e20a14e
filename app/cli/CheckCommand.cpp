#include "CheckCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>

#include "AkaiInput.h"
#include "BankInput.h"
#include "compare/BankComparison.h"
#include "compare/PresetRender.h"
#include "convert/BankLoader.h"
#include "convert/BatchSave.h"
#include "convert/FolderFiles.h"

namespace quorvane::cli {

namespace fs = std::filesystem;

namespace {

// A bank of the check with the workspace that holds and fetches it.
struct LoadedBank {
    std::unique_ptr<TerminalHost> host = std::make_unique<TerminalHost>();
    std::unique_ptr<Workspace> workspace = std::make_unique<Workspace>(*host);
    std::string path;
};

// Loads a bank the way a conversion reads it (stereo waves as linked halves), so that both sides are seen
// as the writer saw its source.
ExitCode LoadCheckedBank(LoadedBank& bank, const std::string& path) {
    bank.path = path;
    return LoadBankFromPath(*bank.workspace, path, LoadMode::Silent);
}

ExitCode LoadAkaiSource(LoadedBank& bank, const std::string& path, const std::string& address) {
    Workspace& workspace = *bank.workspace;
    if (const ExitCode opened = OpenAkaiDiscFromPath(workspace, path); opened != kExitOk)
        return opened;
    if (address.empty()) {
        std::fprintf(stderr, "error: '%s' is an Akai disc: name the converted volume with --volume\n",
                     path.c_str());
        return kExitUsage;
    }
    std::vector<VolumeAddress> volumes;
    bool many = false;
    if (const ExitCode resolved = ResolveVolumes(workspace, address, volumes, &many); resolved != kExitOk)
        return resolved;
    if (many || volumes.size() != 1) {
        std::fprintf(stderr, "error: check compares one volume at a time\n");
        return kExitUsage;
    }
    bank.path = path + " " + VolumeAddressText(volumes[0]);
    return LoadAkaiVolume(workspace, volumes[0]);
}

// The output banks: files as named, and the bank files of a named folder in name order (the source itself
// left out when it lies there).
std::vector<std::string> OutputBanks(const std::vector<std::string>& outputs, const std::string& source) {
    std::vector<std::string> banks;
    for (const std::string& output : outputs) {
        std::error_code error;
        if (!fs::is_directory(output, error)) {
            banks.push_back(output);
            continue;
        }
        for (const std::string& found : BankFilesOfFolder(output))
            if (!fs::equivalent(found, source, error))
                banks.push_back(found);
    }
    return banks;
}

// A temporary folder for the SoundFont conversions FluidSynth plays, removed with what it holds.
class RenderFolder {
  public:
    RenderFolder() {
        std::string pattern = (fs::temp_directory_path() / "quorvane-check-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~RenderFolder() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// Writes the bank at path (an Akai disc's volume with `volume`) as a SoundFont file `target`, the way
// `convert` does.
bool WriteSoundFontCopy(const std::string& path, const std::string& volume, const std::string& target) {
    NullHost host;
    Workspace workspace(host);
    BankSaveRequest request;
    request.type = OutputType::SoundFont;
    request.folder = fs::path(target).parent_path().string() + "/";
    request.file = target;
    if (!volume.empty()) {
        std::vector<VolumeAddress> volumes;
        if (OpenAkaiDiscFromPath(workspace, path) != kExitOk ||
            ResolveVolumes(workspace, volume, volumes) != kExitOk || volumes.size() != 1)
            return false;
        request.entries = {volumes[0].position};
    } else {
        SetFileListOfPaths(workspace, {path});
        request.entries = {0};
        request.entriesOfAnyType = true;
    }
    const BatchResult result = SaveBanks(workspace, request);
    return result.failed == 0 && result.written.size() == 1 && result.written[0] == target;
}

bool FluidSynthPlays(const BankModel& bank) {
    const BankKind kind = KindOfBank(bank);
    return kind == BankKind::SoundFont2 || kind == BankKind::SoundFont3;
}

// --render: FluidSynth plays the source and the output, each bank it cannot load through its SoundFont
// conversion, and the differences heard join the report.
bool AddRendersToReport(CheckReport& report, const CheckCommandOptions& options, const LoadedBank& source,
                        const std::vector<LoadedBank>& outputs) {
    const RenderFolder folder;
    if (folder.Path().empty()) {
        std::fprintf(stderr, "error: cannot make a temporary folder for the renders\n");
        return false;
    }
    const BankModel& sourceBank = source.workspace->bank;
    RenderSide sourceSide{&sourceBank, options.source};
    if (!FluidSynthPlays(sourceBank) || !options.volume.empty()) {
        sourceSide.soundFont = folder.Path() + "/source.sf2";
        if (!WriteSoundFontCopy(options.source, options.volume, sourceSide.soundFont)) {
            std::fprintf(stderr, "error: cannot convert '%s' to SoundFont for rendering\n",
                         source.path.c_str());
            return false;
        }
        report.renderNotes.push_back("The source (" + FormatTextOf(sourceBank) +
                                     ") was rendered from its SoundFont conversion.");
    }
    std::vector<RenderSide> outputSides;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const BankModel& bank = outputs[i].workspace->bank;
        RenderSide side{&bank, outputs[i].path};
        if (!FluidSynthPlays(bank)) {
            side.soundFont = folder.Path() + "/output" + std::to_string(i + 1) + ".sf2";
            if (!WriteSoundFontCopy(outputs[i].path, "", side.soundFont)) {
                std::fprintf(stderr, "error: cannot convert '%s' to SoundFont for rendering\n",
                             outputs[i].path.c_str());
                return false;
            }
            if (i == 0)
                report.renderNotes.push_back("The output (" + FormatTextOf(bank) +
                                             ") was rendered from its SoundFont conversion.");
        }
        outputSides.push_back(side);
    }
    std::vector<std::string> errors;
    report.notesRendered = AddRenders(report, sourceSide, outputSides, errors);
    for (const std::string& error : errors)
        std::fprintf(stderr, "warning: %s\n", error.c_str());
    return true;
}

} // namespace

ExitCode RunCheck(const CheckCommandOptions& options) {
    LoadedBank source;
    std::error_code error;
    const bool akai = !options.volume.empty() ||
                      (!fs::is_directory(options.source, error) && IsAkaiDiscPath(options.source));
    const ExitCode loaded = akai ? LoadAkaiSource(source, options.source, options.volume)
                                 : LoadCheckedBank(source, options.source);
    if (loaded != kExitOk)
        return loaded;
    for (unsigned slot : options.presets) {
        if (!source.workspace->bank.IsValidSlot(slot)) {
            std::fprintf(stderr, "error: preset %u does not exist (the source has presets 1..%u)\n", slot,
                         source.workspace->bank.PresetCount);
            return kExitUsage;
        }
    }

    const std::vector<std::string> paths =
        OutputBanks(options.outputs, akai ? std::string() : options.source);
    if (paths.empty()) {
        std::fprintf(stderr, "error: no output bank to check against\n");
        return kExitUsage;
    }
    std::vector<LoadedBank> outputs(paths.size());
    std::vector<CheckedBank> checked;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (const ExitCode status = LoadCheckedBank(outputs[i], paths[i]); status != kExitOk)
            return status;
        checked.push_back(CheckedBank{outputs[i].workspace.get(), paths[i]});
    }

    CheckOptions check;
    check.sourceSlots.assign(options.presets.begin(), options.presets.end());
    CheckReport report = CheckConversion(CheckedBank{source.workspace.get(), source.path}, checked, check);
    if (options.render && !AddRendersToReport(report, options, source, outputs))
        return kExitCannotWrite;
    if (options.json)
        std::cout << ReportJson(report) << '\n';
    else if (options.summaryOnly)
        std::cout << "Check: " << ReportSummaryText(report);
    else
        std::cout << ReportText(report);
    std::cout.flush();
    return report.HasDifferences() ? kExitDifferences : kExitOk;
}

} // namespace quorvane::cli
