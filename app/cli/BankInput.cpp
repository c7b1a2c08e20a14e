#include "BankInput.h"

#include <cstdio>
#include <filesystem>

#include "OutputText.h"
#include "convert/BankLoader.h"

namespace quorvane::cli {

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
