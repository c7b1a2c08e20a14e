#include "ConvertCommand.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "BankInput.h"
#include "convert/BankLoader.h"
#include "convert/FileNameCharMap.h"
#include "formats/dls/GigaWriter.h"
#include "formats/soundfont/SoundFontWriter.h"

namespace quorvane::cli {

namespace {

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "./" : folder + "/";
}

enum class Target { SoundFont, Giga };

bool EndsWithGig(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".gig";
}

// One output file. A write changes the model it writes, so the bank is read afresh first unless the model
// is still as read. namingFlag 1: the file holds one preset, which names the bank.
bool WriteOne(Workspace& workspace, bool& modelAsRead, Target target, const std::string& path,
              const std::vector<unsigned>& slots, int namingFlag, int progressBase, int progressSpan) {
    const bool reread = !modelAsRead;
    modelAsRead = false;
    if (reread && LoadBankSilently(workspace, 0) != LoadStatus::Loaded) {
        std::fprintf(stderr, "error: cannot read '%s' again\n", workspace.loader.currentFileName.c_str());
        return false;
    }
    BankModel& bank = workspace.bank;
    if (slots.empty()) {
        bank.SelectAll(1);
    } else {
        bank.SelectAll(0);
        for (unsigned slot : slots)
            bank.SelectPreset(slot, 1);
    }
    workspace.writer.progressBase = progressBase;
    workspace.writer.progressSpan = progressSpan;
    if (target == Target::Giga)
        return WriteGigaFile(workspace, 0, path, namingFlag).written;
    return WriteSoundFont(workspace, 0, path, namingFlag, false).written;
}

} // namespace

ExitCode RunConvert(const ConvertOptions& options) {
    if (options.to != "sf2" && options.to != "gig" && !options.to.empty()) {
        std::fprintf(stderr, "error: unknown output format '%s' (supported: sf2, gig)\n", options.to.c_str());
        return kExitUsage;
    }
    const Target target = options.to == "gig" || (options.to.empty() && EndsWithGig(options.output))
                              ? Target::Giga
                              : Target::SoundFont;
    const char* extension = target == Target::Giga ? ".gig" : ".sf2";
    if (target == Target::Giga && options.combine && options.presets.size() > 128) {
        std::fprintf(stderr,
                     "warning: There are %zu selected presets. GigaSampler can read only 128 instruments.\n",
                     options.presets.size());
        return kExitUsage;
    }
    TerminalHost host;
    Workspace workspace(host);
    const ExitCode loaded = LoadBankFromPath(workspace, options.input);
    if (loaded != kExitOk)
        return loaded;
    const BankModel& bank = workspace.bank;
    for (unsigned slot : options.presets) {
        if (!bank.IsValidSlot(slot)) {
            std::fprintf(stderr, "error: preset %u does not exist (the bank has presets 1..%u)\n", slot,
                         bank.PresetCount);
            return kExitUsage;
        }
    }

    // The SoundFont chain reads a bank the same way for a conversion as for inspection, so the first write
    // can use the model just loaded; other sources are read again the way conversions read them.
    bool modelAsRead = workspace.bank.SourceFormat == kSoundFontSource;
    host.SetBatch(true);
    bool allWritten = true;
    const auto& presets = options.presets;
    if (presets.empty() || options.combine || presets.size() == 1) {
        // A whole bank, one preset or all chosen presets combined: one file at the path given.
        if (presets.size() == 1)
            workspace.selection.currentPreset = presets[0];
        const int namingFlag = presets.size() == 1 ? 1 : 0;
        allWritten = WriteOne(workspace, modelAsRead, target, options.output, presets, namingFlag, 0, 1000);
    } else {
        // Several presets: each to its own file named after it, in the output's folder.
        const std::string folder = FolderOf(options.output);
        for (size_t u = 0; u < presets.size() && !host.CancelRequested(); ++u) {
            const unsigned slot = presets[u];
            workspace.selection.currentPreset = slot;
            const std::string path = folder + MapFileName(workspace.bank.PresetTable[slot].name) + extension;
            const int base = static_cast<int>(u * 1000 / presets.size());
            const int next = static_cast<int>((u * 1000 + 1000) / presets.size());
            allWritten =
                WriteOne(workspace, modelAsRead, target, path, {slot}, 1, base, next - base) && allWritten;
        }
    }
    if (host.CancelRequested()) {
        std::fprintf(stderr, "cancelled\n");
        return kExitCancelled;
    }
    return allWritten ? kExitOk : kExitCannotWrite;
}

} // namespace quorvane::cli
