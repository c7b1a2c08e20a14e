#include "ConvertCommand.h"

#include <cstdio>

#include "BankInput.h"
#include "convert/Conversion.h"

namespace quorvane::cli {

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
    const bool modelAsRead = workspace.bank.SourceFormat == kSoundFontSource;
    host.SetBatch(true);
    const ConversionResult result = RunConversion(workspace, request, modelAsRead);
    for (uint32_t i = 0; i < result.rereadFailures; ++i)
        std::fprintf(stderr, "error: cannot read '%s' again\n", workspace.loader.currentFileName.c_str());
    if (result.cancelled) {
        std::fprintf(stderr, "cancelled\n");
        return kExitCancelled;
    }
    return result.allWritten ? kExitOk : kExitCannotWrite;
}

} // namespace quorvane::cli
