#include "ExportSamplesCommand.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "BankInput.h"
#include "convert/AudioFolder.h"
#include "convert/SampleExport.h"
#include "formats/audio/SampleFileWriter.h"

namespace quorvane::cli {

namespace {
std::string FolderWithSlash(const std::string& path) {
    return !path.empty() && path.back() == '/' ? path : path + "/";
}
} // namespace

ExitCode RunExportSamples(const ExportSamplesOptions& options) {
    if (options.to != "wav" && options.to != "aiff") {
        std::fprintf(stderr, "error: unknown output format '%s' (supported: wav, aiff)\n",
                     options.to.c_str());
        return kExitUsage;
    }
    TerminalHost host;
    Workspace workspace(host);
    std::error_code error;
    if (std::filesystem::is_directory(options.input, error)) {
        ListAudioFolder(workspace, FolderWithSlash(options.input));
    } else {
        const ExitCode loaded = LoadBankFromPath(workspace, options.input);
        if (loaded != kExitOk)
            return loaded;
    }

    std::filesystem::create_directories(options.output, error);
    if (!std::filesystem::is_directory(options.output, error)) {
        std::fprintf(stderr, "error: cannot make the folder '%s'%s%s\n", options.output.c_str(),
                     error ? ": " : "", error ? error.message().c_str() : "");
        return kExitCannotWrite;
    }

    host.SetBatch(true);
    const int type = options.to == "aiff" ? kSampleFileAiff : kSampleFileWave;
    const SampleSaveSummary summary = SaveAllSamples(workspace, FolderWithSlash(options.output), type);
    host.SetBatch(false);
    if (summary.cancelled) {
        std::fprintf(stderr, "cancelled after %u files\n", summary.written);
        return kExitCancelled;
    }
    std::printf("%u files saved in '%s'", summary.written, options.output.c_str());
    if (summary.skipped != 0)
        std::printf(", %u skipped (no data in a format that can be read)", summary.skipped);
    if (summary.failed != 0)
        std::printf(", %u could not be written", summary.failed);
    std::printf(".\n");
    return summary.failed != 0 ? kExitCannotWrite : kExitOk;
}

} // namespace quorvane::cli
