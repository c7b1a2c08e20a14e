#include "BankInput.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "OutputText.h"
#include "convert/BankLoader.h"
#include "convert/FolderFiles.h"

namespace quorvane::cli {

namespace fs = std::filesystem;

ExitCode ProbeBankPath(const std::string& path) {
    InputFile probe;
    if (!probe.Open(path)) {
        std::fprintf(stderr, "error: cannot open '%s': %s\n", TerminalText(path).c_str(),
                     probe.Error().c_str());
        return kExitCannotRead;
    }
    const std::optional<SourceFormat> format = SourceFormatOfFile(probe, path);
    if (probe.ReadFailed()) {
        std::fprintf(stderr, "error: cannot read '%s': %s\n", TerminalText(path).c_str(),
                     probe.Error().c_str());
        return kExitCannotRead;
    }
    if (!format) {
        std::fprintf(stderr, "error: '%s' is not a bank of a supported type\n", TerminalText(path).c_str());
        return kExitNotABank;
    }
    return kExitOk;
}

std::vector<std::string> BankFilesOfFolder(const std::string& folder) {
    static const std::vector<std::string> extensions = BankFileExtensions();
    std::vector<std::string> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) &&
            std::any_of(extensions.begin(), extensions.end(),
                        [&](const std::string& extension) { return HasExtension(name, extension); }))
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    if (found.empty()) {
        std::string listed;
        for (const std::string& extension : extensions)
            listed += (listed.empty() ? "" : ", ") + extension;
        std::fprintf(stderr, "warning: no bank files (%s) in '%s'\n", listed.c_str(),
                     TerminalText(folder).c_str());
    }
    return found;
}

ExitCode LoadBankFromPath(Workspace& workspace, const std::string& path, LoadMode mode) {
    if (const ExitCode probed = ProbeBankPath(path); probed != kExitOk)
        return probed;
    const LoadResult loaded = LoadBank(workspace, path, {mode});
    const ReadNotes& notes = loaded.notes;
    const LoadStatus status = loaded.status;
    for (const std::string& line : notes.lines)
        std::fprintf(stderr, "warning: %s: %s\n", TerminalText(path).c_str(), TerminalText(line).c_str());
    switch (status) {
    case LoadStatus::Loaded:
    case LoadStatus::AlreadyLoaded:
        return kExitOk;
    case LoadStatus::CannotOpen:
        std::fprintf(stderr, "error: cannot open '%s'\n", TerminalText(path).c_str());
        return kExitCannotRead;
    case LoadStatus::Damaged:
        std::fprintf(stderr, "error: '%s' is a damaged bank (%s)\n", TerminalText(path).c_str(),
                     TerminalText(notes.damage).c_str());
        return kExitCannotRead;
    case LoadStatus::NotABank:
    case LoadStatus::WrongFormat:
        break;
    }
    std::fprintf(stderr, "error: '%s' is not a bank of a supported type\n", TerminalText(path).c_str());
    return kExitNotABank;
}

} // namespace quorvane::cli
