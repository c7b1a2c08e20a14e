#include "ConvertCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "AkaiInput.h"
#include "BankInput.h"
#include "CheckCommand.h"
#include "Interrupts.h"
#include "OutputText.h"
#include "convert/BankLoader.h"
#include "convert/BatchSave.h"
#include "convert/ConversionParameters.h"
#include "convert/FolderFiles.h"
#include "convert/PresetEdits.h"
#include "convert/SaveDialog.h"
#include "formats/common/OutputFile.h"
#include "formats/common/ProtectedInputs.h"

namespace quorvane::cli {

namespace fs = std::filesystem;

namespace {

// The banks of the run: files as named, and every bank file of a named folder in name order.
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs, bool& anyFolder) {
    std::vector<std::string> banks;
    anyFolder = false;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (!fs::is_directory(input, error)) {
            banks.push_back(input);
            continue;
        }
        anyFolder = true;
        const std::vector<std::string> found = BankFilesOfFolder(input);
        banks.insert(banks.end(), found.begin(), found.end());
    }
    return banks;
}

// A folder the run writes into: it must exist and take new files.
bool CheckOutputFolder(const std::string& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "error: output folder '%s' does not exist\n", folder.c_str());
        return false;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        std::fprintf(stderr, "error: output folder '%s' is not writable\n", folder.c_str());
        return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

std::string WithSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

ExitCode Finish(TerminalHost& host, const BatchResult& result) {
    std::string summary = std::to_string(result.written.size()) + " file(s) written";
    if (result.failed != 0)
        summary += ", " + std::to_string(result.failed) + " item(s) failed";
    host.Summary(summary + (result.cancelled ? ", cancelled" : ""));
    // The files hold those samples without their data: a script must be able to tell, at every verbosity.
    if (result.unreadableSamples != 0)
        std::fprintf(stderr, "%zu sample(s) could not be read\n", result.unreadableSamples);
    if (result.cancelled)
        return kExitCancelled;
    if (result.refused)
        return kExitUsage;
    return result.failed == 0 && result.unreadableSamples == 0 ? kExitOk : kExitCannotWrite;
}

// --check: the files just written against the bank (or Akai volume) they came from; the summary is printed
// and differences end the run with status 5.
ExitCode CheckWritten(const ConvertOptions& options, const std::string& source, const std::string& volume,
                      const std::vector<std::string>& written, ExitCode finished) {
    if (!options.check || finished != kExitOk || written.empty())
        return finished;
    CheckCommandOptions check;
    check.source = source;
    check.volume = volume;
    check.outputs = written;
    check.presets = options.presets;
    check.summaryOnly = true;
    return RunCheck(check);
}

ExitCode SaveEditsIfAsked(const ConvertOptions& options, const EditSet& edits) {
    if (options.saveEditsFile.empty())
        return kExitOk;
    WritingStarts();
    std::string error;
    if (!WriteEditsFile(options.saveEditsFile, edits, error)) {
        std::fprintf(stderr, "error: cannot write '%s': %s\n", options.saveEditsFile.c_str(), error.c_str());
        return kExitCannotWrite;
    }
    return kExitOk;
}

// What the writers take from the options: the Vorbis quality of SoundFont 3 outputs and the sample files of
// SFZ outputs.
void ApplyWriterOptions(Workspace& workspace, const ConvertOptions& options) {
    workspace.writer.vorbisQuality = options.quality;
    workspace.writer.sfzSampleFormat =
        options.sampleFormat == "flac" ? SoundFileContainer::Flac : SoundFileContainer::Wave;
}

// Chosen presets of one bank: the edits are applied to the bank as loaded, as the preset tree applies them,
// and the bank-wide parameters go to the chosen presets.
ExitCode ConvertPresets(const ConvertOptions& options, OutputType type, const EditSet& edits,
                        TerminalHost& host) {
    Workspace workspace(host);
    ApplyWriterOptions(workspace, options);
    const ExitCode loaded = LoadBankFromPath(workspace, options.inputs[0]);
    if (loaded != kExitOk)
        return loaded;
    BankModel& bank = workspace.bank;
    for (unsigned slot : options.presets) {
        if (!bank.IsValidSlot(slot)) {
            std::fprintf(stderr, "error: preset %u does not exist (the bank has presets 1..%u)\n", slot,
                         bank.PresetCount);
            return kExitUsage;
        }
    }
    const uint32_t highest = HighestEditedSlot(edits.presetLines);
    if (highest > bank.PresetCount) {
        std::fprintf(stderr, "error: the edits name preset %u; the bank has presets 1..%u\n", highest,
                     bank.PresetCount);
        return kExitUsage;
    }
    workspace.attributes.EditAttributes = edits.presetLines;
    ApplyEdits(bank, workspace.attributes.EditAttributes, ApplyMode::Views);
    std::vector<uint32_t> slots(options.presets.begin(), options.presets.end());
    if (slots.empty())
        for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
            slots.push_back(slot);
    ApplyPresetParameters(bank, workspace.attributes, slots, edits.bankValues);

    PresetSaveRequest request;
    request.type = type;
    request.presets = slots;
    request.combine = options.combine;
    const bool singleFile = options.combine || slots.size() == 1;
    const std::string proposed =
        ProposedFileName(bank.SourceFormat, SaveItems::Presets, slots.size(),
                         workspace.loader.fileList[0].text, bank.PresetTable[slots[0]].name);
    std::error_code error;
    // An SFZ output is the folder OUTPUT itself, made when missing.
    const bool sfz = type == OutputType::Sfz;
    const bool intoFolder = !sfz && fs::is_directory(options.output, error);
    const DialogAnswer answer = ResolveDialogPath(intoFolder ? WithSlash(options.output) : options.output,
                                                  type, singleFile, proposed);
    if (!CheckOutputFolder(intoFolder ? options.output : FolderOf(options.output)))
        return kExitCannotWrite;
    request.folder = answer.folder;
    request.file = sfz ? options.output : answer.file;
    if (const ExitCode saved = SaveEditsIfAsked(options, edits); saved != kExitOk)
        return saved;
    // The SoundFont chain reads a bank the same way for a conversion as for inspection, so the first write
    // can use the model just loaded; other sources are read again the way conversions read them.
    request.modelAsRead = bank.SourceFormat == SourceFormat::SoundFont;
    WritingStarts();
    host.SetBatch(true);
    const BatchResult result = SavePresets(workspace, request);
    return CheckWritten(options, options.inputs[0], "", result.written, Finish(host, result));
}

ExitCode ConvertBanks(const ConvertOptions& options, OutputType type, const EditSet& edits,
                      TerminalHost& host) {
    bool anyFolder = false;
    const std::vector<std::string> banks = ExpandInputs(options.inputs, anyFolder);
    if (banks.empty()) {
        std::fprintf(stderr, "error: no bank to convert\n");
        return kExitUsage;
    }
    std::error_code error;
    // SFZ: one bank goes into the folder OUTPUT itself (made when missing), several each into a folder
    // of its own name inside OUTPUT.
    const bool sfz = type == OutputType::Sfz;
    const bool intoFolder =
        anyFolder || banks.size() > 1 || (!sfz && fs::is_directory(options.output, error));
    if (!CheckOutputFolder(intoFolder ? options.output : FolderOf(options.output)))
        return kExitCannotWrite;
    // One bank named alone keeps the statuses of a bank that cannot be read or is no bank.
    if (banks.size() == 1 && !anyFolder) {
        const ExitCode status = ProbeBankPath(banks[0]);
        if (status != kExitOk)
            return status;
    }
    if (const ExitCode saved = SaveEditsIfAsked(options, edits); saved != kExitOk)
        return saved;

    Workspace workspace(host);
    ApplyWriterOptions(workspace, options);
    SetFileListOfPaths(workspace, banks);
    std::vector<uint32_t> entries(banks.size());
    for (uint32_t i = 0; i < entries.size(); ++i)
        entries[i] = i;
    RecordBankParameters(workspace.attributes, entries, edits.bankValues);
    workspace.attributes.EditAttributes = edits.presetLines;

    BankSaveRequest request;
    request.type = type;
    request.entriesOfAnyType = true;
    request.replayPresetEdits = !edits.presetLines.empty();
    if (intoFolder) {
        request.folder = WithSlash(options.output);
    } else if (sfz) {
        request.folder = WithSlash(FolderOf(options.output));
        request.file = options.output;
    } else {
        const std::string proposed = ProposedFileName(SourceFormat::SoundFont, SaveItems::Banks, 1,
                                                      workspace.loader.fileList[0].text, "");
        const DialogAnswer answer = ResolveDialogPath(options.output, type, true, proposed);
        request.folder = answer.folder;
        request.file = answer.file;
    }
    WritingStarts();
    host.SetBatch(true);
    const BatchResult result = SaveBanks(workspace, request);
    const ExitCode finished = Finish(host, result);
    // A damaged bank named alone could not be read, as a file that cannot be opened.
    if (banks.size() == 1 && !anyFolder && result.damaged == 1)
        return kExitCannotRead;
    if (options.check && banks.size() != 1) {
        std::fprintf(stderr,
                     "note: --check compares one bank with its output; a run of several is not checked\n");
        return finished;
    }
    return CheckWritten(options, banks[0], "", result.written, finished);
}

// An Akai disc: the volume named by --volume to OUTPUT (or its chosen presets), or with several volumes
// ("all") one file per volume in the folder OUTPUT, named after the volume. Each volume is saved by the
// bank save of its partition, as the Save button saves it.
ExitCode ConvertAkaiVolumes(const ConvertOptions& options, OutputType type, const EditSet& edits,
                            TerminalHost& host) {
    Workspace workspace(host);
    ApplyWriterOptions(workspace, options);
    const std::string& input = options.inputs[0];
    const ExitCode opened = OpenAkaiDiscFromPath(workspace, input);
    if (opened != kExitOk)
        return opened;
    if (options.volume.empty()) {
        std::fprintf(stderr,
                     "error: '%s' is an Akai disc: choose a volume with --volume (quorvane-cli info %s "
                     "lists them)\n",
                     input.c_str(), input.c_str());
        return kExitUsage;
    }
    std::vector<VolumeAddress> volumes;
    bool many = false;
    const ExitCode resolved = ResolveVolumes(workspace, options.volume, volumes, &many);
    if (resolved != kExitOk)
        return resolved;
    const bool presetSave = !options.presets.empty() || options.combine;
    if (many && presetSave) {
        std::fprintf(stderr, "error: --preset needs a single volume\n");
        return kExitUsage;
    }
    std::error_code error;
    if (many && (fs::create_directories(options.output, error), !fs::is_directory(options.output, error))) {
        std::fprintf(stderr, "error: cannot make the folder '%s'\n", options.output.c_str());
        return kExitCannotWrite;
    }
    if (!CheckOutputFolder(many ? options.output : FolderOf(options.output)))
        return kExitCannotWrite;
    if (const ExitCode saved = SaveEditsIfAsked(options, edits); saved != kExitOk)
        return saved;
    const OutputType outputType = many && options.to.empty() ? OutputType::SoundFont : type;

    std::set<std::string> taken;
    BatchResult total;
    ExitCode end = kExitOk;
    WritingStarts();
    host.SetBatch(true);
    for (const VolumeAddress& volume : volumes) {
        const ExitCode loaded = LoadAkaiVolume(workspace, volume);
        if (loaded != kExitOk) {
            end = loaded;
            continue;
        }
        BatchResult result;
        if (presetSave) {
            for (unsigned slot : options.presets) {
                if (!workspace.bank.IsValidSlot(slot)) {
                    std::fprintf(stderr, "error: preset %u does not exist (the volume has programs 1..%u)\n",
                                 slot, workspace.bank.PresetCount);
                    return kExitUsage;
                }
            }
            PresetSaveRequest request;
            request.type = outputType;
            request.presets.assign(options.presets.begin(), options.presets.end());
            request.combine = options.combine;
            request.folder = WithSlash(FolderOf(options.output));
            request.file = options.output;
            request.modelAsRead = true;
            result = SavePresets(workspace, request);
        } else {
            // Volumes of the same name in different partitions each get their own file.
            std::string name = VolumeFileName(volume);
            for (int n = 2; !taken.insert(name).second; ++n)
                name = VolumeFileName(volume) + " (" + std::to_string(n) + ")";
            BankSaveRequest request;
            request.type = outputType;
            request.entries = {volume.position};
            request.folder = WithSlash(many ? options.output : FolderOf(options.output));
            request.file = many ? request.folder + name + OutputExtension(outputType) : options.output;
            result = SaveBanks(workspace, request);
        }
        total.items += result.items;
        total.failed += result.failed;
        total.unreadableSamples += result.unreadableSamples;
        total.refused = total.refused || result.refused;
        total.written.insert(total.written.end(), result.written.begin(), result.written.end());
        if (result.cancelled) {
            total.cancelled = true;
            break;
        }
    }
    const ExitCode finished = Finish(host, total);
    if (finished != kExitOk || end != kExitOk)
        return finished != kExitOk ? finished : end;
    if (options.check && volumes.size() != 1) {
        std::fprintf(stderr,
                     "note: --check compares one volume with its output; a run of several is not checked\n");
        return finished;
    }
    return CheckWritten(options, input, VolumeAddressText(volumes[0]), total.written, finished);
}

} // namespace

ExitCode RunConvert(const ConvertOptions& options, TerminalHost& host) {
    // Nothing the run writes replaces a file it reads: a bank, a disc image or the edits file named as input
    // (banks found in folders are guarded as the run reaches them). An edits file to keep that names one of
    // them is refused before anything is written.
    std::vector<std::string> inputFiles = options.inputs;
    inputFiles.push_back(options.editsFile);
    const InputGuard inputs(inputFiles);
    // The outputs named on the command line may be links to be written through; names the run makes are not.
    const NamedOutput named({options.output, options.saveEditsFile});
    if (options.to != "sf2" && options.to != "sf3" && options.to != "gig" && options.to != "sfz" &&
        !options.to.empty()) {
        std::fprintf(stderr, "error: unknown output format '%s' (supported: sf2, sf3, gig, sfz)\n",
                     options.to.c_str());
        return kExitUsage;
    }
    EditSet edits;
    if (!options.editsFile.empty()) {
        EditsFileError error;
        if (!ReadEditsFile(options.editsFile, edits, error)) {
            std::fprintf(stderr, "error: %s:%zu: %s\n", options.editsFile.c_str(), error.line,
                         TerminalText(error.message).c_str());
            return kExitUsage;
        }
    }
    std::string error;
    if (!CollectEdits(options.edits, edits, error)) {
        std::fprintf(stderr, "error: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options.inputs.empty()) {
        if (options.saveEditsFile.empty()) {
            std::fprintf(stderr, "error: no bank given\nRun with --help for usage.\n");
            return kExitUsage;
        }
        return SaveEditsIfAsked(options, edits);
    }
    if (options.output.empty()) {
        std::fprintf(stderr, "error: -o OUTPUT is required\nRun with --help for usage.\n");
        return kExitUsage;
    }
    const OutputType type = options.to == "gig"   ? OutputType::Giga
                            : options.to == "sf2" ? OutputType::SoundFont
                            : options.to == "sf3" ? OutputType::SoundFont3
                            : options.to == "sfz" ? OutputType::Sfz
                                                  : OutputTypeOfPath(options.output);
    if (!options.volume.empty() || (options.inputs.size() == 1 && IsAkaiDiscPath(options.inputs[0])))
        return ConvertAkaiVolumes(options, type, edits, host);
    const bool presetSave = !options.presets.empty() || options.combine;
    if (presetSave) {
        std::error_code ignored;
        if (options.inputs.size() != 1 || fs::is_directory(options.inputs[0], ignored)) {
            std::fprintf(stderr, "error: --preset and --combine take exactly one bank file\n");
            return kExitUsage;
        }
        return ConvertPresets(options, type, edits, host);
    }
    return ConvertBanks(options, type, edits, host);
}

} // namespace quorvane::cli
