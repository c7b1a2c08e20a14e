#include "ExportSamplesCommand.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "AkaiInput.h"
#include "BankInput.h"
#include "Interrupts.h"
#include "convert/AudioFolder.h"
#include "convert/SampleExport.h"
#include "formats/audio/SampleFileWriter.h"
#include "formats/common/ProtectedInputs.h"

namespace quorvane::cli {

namespace {
std::string FolderWithSlash(const std::string& path) {
    return !path.empty() && path.back() == '/' ? path : path + "/";
}
// A folder named after a volume is never a link: a link planted under that name would send the volume's
// samples outside the output folder.
ExitCode MakeFolder(const std::string& folder, bool namedByProgram = false) {
    std::error_code error;
    if (namedByProgram && std::filesystem::is_symlink(std::filesystem::path(folder).parent_path(), error)) {
        std::fprintf(stderr, "error: '%s' is a symbolic link; the volume is not exported into it\n",
                     folder.c_str());
        return kExitCannotWrite;
    }
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        std::fprintf(stderr, "error: cannot make the folder '%s'%s%s\n", folder.c_str(), error ? ": " : "",
                     error ? error.message().c_str() : "");
        return kExitCannotWrite;
    }
    return kExitOk;
}

// The summary goes to stdout, unless stdout carries the JSON result; --quiet leaves it out.
ExitCode Report(TerminalHost& host, const SampleSaveSummary& summary, const std::string& folder) {
    if (summary.cancelled) {
        std::fprintf(stderr, "cancelled after %u files\n", summary.written);
        return kExitCancelled;
    }
    std::string text = std::to_string(summary.written) + " files saved in '" + folder + "'";
    if (summary.skipped != 0)
        text += ", " + std::to_string(summary.skipped) + " skipped (no data in a format that can be read)";
    if (summary.failed != 0)
        text += ", " + std::to_string(summary.failed) + " could not be written";
    if (summary.unreadable != 0)
        text += ", " + std::to_string(summary.unreadable) + " sample(s) could not be read";
    text += ".";
    if (host.Report().json)
        host.Summary(text);
    else if (host.Report().verbosity != Verbosity::Quiet)
        std::printf("%s\n", text.c_str());
    return summary.failed != 0 || summary.unreadable != 0 ? kExitCannotWrite : kExitOk;
}

// The samples of the volume named by --volume into the output folder; with several volumes ("all") each
// volume's samples into a folder of its own, named after the volume.
ExitCode ExportAkaiVolumes(Workspace& workspace, TerminalHost& host, const ExportSamplesOptions& options,
                           SampleFileType type) {
    const ExitCode opened = OpenAkaiDiscFromPath(workspace, options.input);
    if (opened != kExitOk)
        return opened;
    std::vector<VolumeAddress> volumes;
    bool many = false;
    const ExitCode resolved =
        ResolveVolumes(workspace, options.volume.empty() ? "all" : options.volume, volumes, &many);
    if (resolved != kExitOk)
        return resolved;
    std::set<std::string> taken;
    ExitCode end = kExitOk;
    for (const VolumeAddress& volume : volumes) {
        std::string folder = FolderWithSlash(options.output);
        if (many) {
            std::string name = VolumeFileName(volume);
            for (int n = 2; !taken.insert(name).second; ++n)
                name = VolumeFileName(volume) + " (" + std::to_string(n) + ")";
            folder += name + "/";
        }
        ExitCode step = LoadAkaiVolume(workspace, volume);
        if (step == kExitOk)
            step = MakeFolder(folder, many);
        if (step == kExitOk) {
            WritingStarts();
            host.SetBatch(true);
            step = Report(host, SaveAllSamples(workspace, folder, type, options.bits), folder);
            host.SetBatch(false);
        }
        if (step == kExitCancelled)
            return step;
        if (step != kExitOk)
            end = step;
    }
    return end;
}

} // namespace

ExitCode RunExportSamples(const ExportSamplesOptions& options, TerminalHost& host) {
    if (options.to != "wav" && options.to != "aiff") {
        std::fprintf(stderr, "error: unknown output format '%s' (supported: wav, aiff)\n",
                     options.to.c_str());
        return kExitUsage;
    }
    // No output replaces the file or disc image the samples come from.
    const InputGuard inputs({options.input});
    Workspace workspace(host);
    const SampleFileType type = options.to == "aiff" ? SampleFileType::Aiff : SampleFileType::Wave;
    std::error_code error;
    if (!options.volume.empty() ||
        (!std::filesystem::is_directory(options.input, error) && IsAkaiDiscPath(options.input)))
        return ExportAkaiVolumes(workspace, host, options, type);
    if (std::filesystem::is_directory(options.input, error)) {
        ListAudioFolder(workspace, FolderWithSlash(options.input));
    } else {
        const ExitCode loaded = LoadBankFromPath(workspace, options.input);
        if (loaded != kExitOk)
            return loaded;
    }

    const ExitCode made = MakeFolder(options.output);
    if (made != kExitOk)
        return made;
    WritingStarts();
    host.SetBatch(true);
    const SampleSaveSummary summary =
        SaveAllSamples(workspace, FolderWithSlash(options.output), type, options.bits);
    host.SetBatch(false);
    return Report(host, summary, options.output);
}

} // namespace quorvane::cli
