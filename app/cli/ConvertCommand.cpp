#include "ConvertCommand.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "AkaiInput.h"
#include "BankInput.h"
#include "convert/Conversion.h"

namespace quorvane::cli {

namespace {

ExitCode CheckPresets(const BankModel& bank, const std::vector<unsigned>& presets) {
    for (unsigned slot : presets) {
        if (!bank.IsValidSlot(slot)) {
            std::fprintf(stderr, "error: preset %u does not exist (the bank has presets 1..%u)\n", slot,
                         bank.PresetCount);
            return kExitUsage;
        }
    }
    return kExitOk;
}

ExitCode EndOf(const ConversionResult& result) {
    if (result.cancelled) {
        std::fprintf(stderr, "cancelled\n");
        return kExitCancelled;
    }
    return result.allWritten ? kExitOk : kExitCannotWrite;
}

// An Akai disc: the volume named by --volume to the output file, or with several volumes ("all") one file
// per volume in the output folder, named after the volume.
ExitCode ConvertAkaiVolumes(Workspace& workspace, TerminalHost& host, const ConvertOptions& options,
                            ConversionRequest request) {
    const ExitCode opened = OpenAkaiDiscFromPath(workspace, options.input);
    if (opened != kExitOk)
        return opened;
    if (options.volume.empty()) {
        std::fprintf(stderr,
                     "error: '%s' is an Akai disc: choose a volume with --volume (quorvane-cli info %s "
                     "lists them)\n",
                     options.input.c_str(), options.input.c_str());
        return kExitUsage;
    }
    std::vector<VolumeAddress> volumes;
    bool many = false;
    const ExitCode resolved = ResolveVolumes(workspace, options.volume, volumes, &many);
    if (resolved != kExitOk)
        return resolved;
    if (many && !options.presets.empty()) {
        std::fprintf(stderr, "error: --preset needs a single volume\n");
        return kExitUsage;
    }
    std::error_code error;
    if (many && (std::filesystem::create_directories(options.output, error),
                 !std::filesystem::is_directory(options.output, error))) {
        std::fprintf(stderr, "error: cannot make the folder '%s'\n", options.output.c_str());
        return kExitCannotWrite;
    }
    if (many && options.to.empty())
        request.type = OutputType::SoundFont;

    std::set<std::string> taken;
    ExitCode end = kExitOk;
    host.SetBatch(true);
    for (const VolumeAddress& volume : volumes) {
        const ExitCode loaded = LoadAkaiVolume(workspace, volume);
        if (loaded != kExitOk) {
            end = loaded;
            continue;
        }
        const ExitCode checked = CheckPresets(workspace.bank, request.presets);
        if (checked != kExitOk)
            return checked;
        request.entry = volume.position;
        if (many) {
            // Volumes of the same name in different partitions each get their own file.
            std::string name = VolumeFileName(volume);
            for (int n = 2; !taken.insert(name).second; ++n)
                name = VolumeFileName(volume) + " (" + std::to_string(n) + ")";
            request.output =
                (std::filesystem::path(options.output) / (name + OutputExtension(request.type))).string();
        }
        const ExitCode written = EndOf(RunConversion(workspace, request, true));
        if (written == kExitCancelled)
            return written;
        if (written != kExitOk)
            end = written;
    }
    return end;
}

} // namespace

ExitCode RunConvert(const ConvertOptions& options) {
    if (options.to != "sf2" && options.to != "gig" && !options.to.empty()) {
        std::fprintf(stderr, "error: unknown output format '%s' (supported: sf2, gig)\n", options.to.c_str());
        return kExitUsage;
    }
    ConversionRequest request;
    request.type = options.to == "gig"   ? OutputType::Giga
                   : options.to == "sf2" ? OutputType::SoundFont
                                         : OutputTypeOfPath(options.output);
    request.presets = options.presets;
    request.combine = options.combine;
    request.output = options.output;
    if (ExceedsGigaInstrumentLimit(request)) {
        std::fprintf(stderr,
                     "warning: There are %zu selected presets. GigaSampler can read only 128 instruments.\n",
                     options.presets.size());
        return kExitUsage;
    }
    TerminalHost host;
    Workspace workspace(host);
    if (!options.volume.empty() || IsAkaiDiscPath(options.input))
        return ConvertAkaiVolumes(workspace, host, options, request);
    const ExitCode loaded = LoadBankFromPath(workspace, options.input);
    if (loaded != kExitOk)
        return loaded;
    const ExitCode checked = CheckPresets(workspace.bank, options.presets);
    if (checked != kExitOk)
        return checked;

    // The SoundFont chain reads a bank the same way for a conversion as for inspection, so the first write
    // can use the model just loaded; other sources are read again the way conversions read them.
    const bool modelAsRead = workspace.bank.SourceFormat == kSoundFontSource;
    host.SetBatch(true);
    const ConversionResult result = RunConversion(workspace, request, modelAsRead);
    for (uint32_t i = 0; i < result.rereadFailures; ++i)
        std::fprintf(stderr, "error: cannot read '%s' again\n", workspace.loader.currentFileName.c_str());
    return EndOf(result);
}

} // namespace quorvane::cli
