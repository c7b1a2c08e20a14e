#include "convert/Conversion.h"

#include <cctype>
#include <filesystem>

#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/FileNameCharMap.h"

namespace quorvane {

namespace {

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "./" : folder + "/";
}

// One output file. A write changes the model it writes, so the bank is read afresh first unless the model
// is still as read. namingFlag 1: the file holds one preset, which names the bank.
bool WriteOne(Workspace& workspace, bool& modelAsRead, uint32_t entry, OutputType type,
              const std::string& path, const std::vector<unsigned>& slots, int namingFlag,
              ProgressSpan progress, ConversionResult& result) {
    const bool reread = !modelAsRead;
    modelAsRead = false;
    if (reread && LoadBankSilently(workspace, entry) != LoadStatus::Loaded) {
        ++result.rereadFailures;
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
    workspace.writer.progress = progress;
    bool written = false;
    std::string writtenPath;
    if (type == OutputType::Giga) {
        const GigaWriteResult giga = WriteGigaFile(workspace, entry, path, namingFlag);
        written = giga.written;
        writtenPath = giga.path;
    } else {
        const SoundFontWriteResult soundFont = WriteSoundFont(workspace, entry, path, namingFlag, false);
        written = soundFont.written;
        writtenPath = soundFont.path;
    }
    if (written)
        result.written.push_back(writtenPath);
    return written;
}

} // namespace

OutputType OutputTypeOfPath(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".gig" ? OutputType::Giga : OutputType::SoundFont;
}

const char* OutputExtension(OutputType type) {
    return type == OutputType::Giga ? ".gig" : ".sf2";
}

bool ExceedsGigaInstrumentLimit(const ConversionRequest& request) {
    return request.type == OutputType::Giga && request.combine &&
           request.presets.size() > kMaxGigaInstruments;
}

ConversionResult RunConversion(Workspace& workspace, const ConversionRequest& request, bool modelAsRead) {
    ConversionResult result;
    const auto& presets = request.presets;
    if (presets.empty() || request.combine || presets.size() == 1) {
        // A whole bank, one preset or all chosen presets combined: one file at the path given.
        if (presets.size() == 1)
            workspace.selection.currentPreset = presets[0];
        const int namingFlag = presets.size() == 1 ? 1 : 0;
        result.allWritten = WriteOne(workspace, modelAsRead, request.entry, request.type, request.output,
                                     presets, namingFlag, {}, result);
    } else {
        // Several presets: each to its own file named after it, in the output's folder.
        const std::string folder = FolderOf(request.output);
        for (size_t u = 0; u < presets.size() && !workspace.host.CancelRequested(); ++u) {
            const unsigned slot = presets[u];
            if (!workspace.bank.IsValidSlot(slot)) {
                result.allWritten = false;
                continue;
            }
            workspace.selection.currentPreset = slot;
            const std::string path =
                folder + MapFileName(workspace.bank.PresetTable[slot].name) + OutputExtension(request.type);
            const int base = static_cast<int>(u * 1000 / presets.size());
            const int next = static_cast<int>((u * 1000 + 1000) / presets.size());
            result.allWritten = WriteOne(workspace, modelAsRead, request.entry, request.type, path, {slot}, 1,
                                         ProgressSpan{base, next - base}, result) &&
                                result.allWritten;
        }
    }
    result.cancelled = workspace.host.CancelRequested();
    return result;
}

} // namespace quorvane
