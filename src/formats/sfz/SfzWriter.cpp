#include "formats/sfz/SfzWriter.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/StringPrintf.h"
#include "formats/common/OutputFile.h"
#include "formats/common/OutputNames.h"
#include "formats/sfz/SfzRegions.h"

namespace quorvane {

namespace {

// Opcodes every region of the list has with the same value, in the first region's order.
SfzOpcodes Shared(const std::vector<const SfzOpcodes*>& lists) {
    SfzOpcodes shared;
    if (lists.empty())
        return shared;
    for (const SfzOpcode& opcode : *lists.front()) {
        const bool everywhere = std::all_of(lists.begin() + 1, lists.end(), [&](const SfzOpcodes* list) {
            return std::find(list->begin(), list->end(), opcode) != list->end();
        });
        if (everywhere)
            shared.push_back(opcode);
    }
    return shared;
}

void RemoveAll(SfzOpcodes& from, const SfzOpcodes& shared) {
    std::erase_if(from, [&](const SfzOpcode& opcode) {
        return std::find(shared.begin(), shared.end(), opcode) != shared.end();
    });
}

std::string Line(const char* header, const SfzOpcodes& opcodes) {
    std::string line = header;
    for (const SfzOpcode& opcode : opcodes)
        line += " " + opcode.name + "=" + opcode.value;
    return line + "\n";
}

// A name as a comment line takes it: control characters would end the line or garble it.
std::string CommentText(const std::string& text) {
    std::string clean = text;
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    return clean;
}

std::string PresetText(const BankModel& bank, uint32_t slot, std::vector<SfzRegion> regions,
                       const std::string& bankName) {
    const PresetRecord& preset = bank.PresetTable[slot];
    std::string text = "// " + CommentText(preset.name) +
                       StringPrintf(" (bank %s, program %u)", BankText(preset).c_str(), preset.program) +
                       "\n// from " + CommentText(bankName) + ", written by Quorvane\n\n";
    std::vector<const SfzOpcodes*> all;
    for (const SfzRegion& region : regions)
        all.push_back(&region.opcodes);
    SfzOpcodes global = Shared(all);
    // The sample stays with its regions unless one sample plays everywhere.
    for (SfzRegion& region : regions)
        RemoveAll(region.opcodes, global);
    if (!global.empty())
        text += Line("<global>", global);
    // A layer's regions form a group where they share opcodes. A group header without opcodes is written
    // only to end the group before it, whose opcodes would otherwise reach the regions that follow.
    bool groupOpen = false;
    for (size_t first = 0; first < regions.size();) {
        size_t end = first;
        std::vector<const SfzOpcodes*> group;
        while (end < regions.size() && regions[end].layer == regions[first].layer)
            group.push_back(&regions[end++].opcodes);
        const SfzOpcodes shared = group.size() > 1 ? Shared(group) : SfzOpcodes{};
        if (!shared.empty() || groupOpen)
            text += Line("\n<group>", shared);
        else if (first == 0)
            text += "\n";
        groupOpen = !shared.empty();
        for (size_t r = first; r < end; ++r) {
            RemoveAll(regions[r].opcodes, shared);
            text += Line("<region>", regions[r].opcodes);
        }
        first = end;
    }
    return text;
}

// The samples the chosen presets' regions play.
std::vector<uint8_t> PlayedSamples(const BankModel& bank, const WriteSelection& selection,
                                   const std::vector<std::string>& paths) {
    std::vector<uint8_t> played(bank.SampleCount, 0);
    SfzLosses ignored;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        if (selection.HasPreset(slot))
            for (const SfzRegion& region : PresetRegions(bank, slot, paths, ignored))
                played[region.sampleIndex] = 1;
    return played;
}

} // namespace

SfzWriteResult WriteSfzFolder(const BankModel& bank, const WriteSelection& selection, SampleSource& samples,
                              Host& host, const std::string& folder, const SfzWriteOptions& options) {
    SfzWriteResult result;
    const std::string extension = ExtensionOf(options.container);
    std::error_code error;
    std::filesystem::create_directories(folder + kSfzSampleFolder, error);
    if (!std::filesystem::is_directory(folder + kSfzSampleFolder, error)) {
        ReportCannotWrite(host, folder + kSfzSampleFolder, true, false, "the folder cannot be made");
        return result;
    }

    std::vector<std::string> paths(bank.SampleCount);
    for (uint32_t s = 0; s < bank.SampleCount && s < options.sampleFiles.size(); ++s)
        if (!options.sampleFiles[s].empty())
            paths[s] = std::string(kSfzSampleFolder) + "/" + options.sampleFiles[s] + "." + extension;
    const std::vector<uint8_t> played = PlayedSamples(bank, selection, paths);
    const auto total = static_cast<uint32_t>(std::count(played.begin(), played.end(), 1));

    FrameBuffer left, right;
    std::vector<uint8_t> file;
    uint32_t done = 0;
    for (uint32_t s = 0; s < bank.SampleCount; ++s) {
        if (!played[s])
            continue;
        if (host.CancelRequested()) {
            result.cancelled = true;
            return result;
        }
        const SampleRecord& sample = bank.SampleTable[s];
        host.AddStatusLine(StringPrintf("Copying sample %u  '%s'", s + 1, sample.fullName.c_str()));
        left.Free();
        right.Free();
        const FetchReport fetched = samples.Fetch(s, {left, right}, false);
        if (fetched.readErrors != 0)
            host.ReplaceLastStatusLine(
                StringPrintf("ERROR! Reading sample %u  '%s'", s + 1, sample.fullName.c_str()));
        // A sample that gives no frames is written as a short silence, so that its regions still load.
        if (left.length == 0)
            left.Fill(FrameVector(2, 0));
        const int bits = SampleBits(sample) > 16 || left.Wide() ? 24 : 16;
        // A sample file the run reads (an SFZ instrument written into its own folder) is never replaced:
        // the sample goes under a free name beside it, and the regions name that.
        const std::string path = FreeOutputName(folder + paths[s], std::string(), extension.c_str());
        paths[s] = std::string(kSfzSampleFolder) + "/" + std::filesystem::path(path).filename().string();
        // A sample the container cannot take (a rate FLAC refuses) is left out with its regions; a file that
        // cannot be written stops the folder.
        if (!EncodeSoundFile(options.container, left, right.length != 0 ? &right : nullptr, sample.sampleRate,
                             bits, file)) {
            host.ReplaceLastStatusLine(
                StringPrintf("ERROR! Sample %u  '%s' cannot be written as %s: left out", s + 1,
                             sample.fullName.c_str(), extension.c_str()));
            paths[s].clear();
            continue;
        }
        OutputFile out;
        if (!out.Create(path) || !out.Write(file.data(), file.size()) || !out.Commit()) {
            out.Discard();
            ReportCannotWrite(host, path, false, false, out.Error());
            return result;
        }
        result.bytes += file.size();
        ++done;
        host.SetFileProgress(static_cast<int>(done * 1000ull / std::max<uint32_t>(total, 1)));
        host.SetOverallProgress(options.progress.At(done, total));
        host.PumpEvents();
    }

    SfzLosses losses;
    bool allWritten = true;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        if (!selection.HasPreset(slot) || slot >= options.presetFiles.size() ||
            options.presetFiles[slot].empty())
            continue;
        const std::string text =
            PresetText(bank, slot, PresetRegions(bank, slot, paths, losses), options.bankName);
        const std::string path =
            FreeOutputName(folder + options.presetFiles[slot] + ".sfz", std::string(), "sfz");
        OutputFile out;
        if (!out.Create(path) || !out.WriteText(text) || !out.Commit()) {
            out.Discard();
            ReportCannotWrite(host, path, false, false, out.Error());
            allWritten = false;
            continue;
        }
        ReportSaved(host, path, text.size());
        result.bytes += text.size();
        result.files.push_back(path);
    }
    for (const auto& [what, count] : losses) {
        result.losses.push_back(StringPrintf("%u region(s): %s", count, what.c_str()));
        host.AddStatusLine("SFZ cannot express " + result.losses.back());
    }
    result.written = allWritten;
    return result;
}

} // namespace quorvane
