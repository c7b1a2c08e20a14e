#include "convert/SampleExport.h"

#include <chrono>
#include <set>

#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/FileNameCharMap.h"
#include "core/StringPrintf.h"
#include "formats/common/ProtectedInputs.h"

namespace quorvane {

std::string SampleFileBaseName(const Workspace& workspace, uint32_t index) {
    const BankModel& bank = workspace.bank;
    if (!bank.IsValidSample(index))
        return {};
    const SampleRecord& sample = bank.SampleTable[index];
    return MapFileName(bank.SourceFormat == SourceFormat::AudioFile ? sample.fullName : sample.name);
}

std::vector<uint32_t> SampleListIndices(const Workspace& workspace) {
    const BankModel& bank = workspace.bank;
    std::vector<uint32_t> indices;
    for (uint32_t index = 0; index < bank.SampleCount; ++index) {
        const SampleRecord& sample = bank.SampleTable[index];
        // A right half whose link is broken has no left half to come with: it is saved on its own.
        const bool pairedRight = bank.SourceFormat != SourceFormat::AudioFile && sample.sampleType == 2 &&
                                 bank.IsValidSample(sample.linkIndex - 1u);
        if (!pairedRight)
            indices.push_back(index);
    }
    return indices;
}

SampleSaveSummary SaveAllSamples(Workspace& workspace, const std::string& folder, SampleFileType type,
                                 int bits) {
    SampleSaveSummary summary;
    Host& host = workspace.host;
    const std::vector<uint32_t> indices = SampleListIndices(workspace);
    const size_t count = indices.size();
    const char* extension = type == SampleFileType::Aiff ? ".aif" : ".wav";
    std::set<std::string> taken;
    // No sample file replaces a file the samples come from (a folder of audio files exported into itself).
    InputGuard inputs;
    if (workspace.bank.SourceFormat == SourceFormat::AudioFile) {
        for (uint32_t index : indices)
            inputs.Add(EntryFolder(workspace.attributes, index, workspace.loader.currentFolder, true));
    } else if (workspace.loader.currentBank >= 0) {
        inputs.Add(EntryPath(workspace, static_cast<uint32_t>(workspace.loader.currentBank)));
    }
    host.SetProgressSampleName("");
    host.PumpEvents();
    for (size_t position = 0; position < count; ++position) {
        const uint32_t index = indices[position];
        if (host.CancelRequested()) {
            summary.cancelled = true;
            break;
        }
        const std::string base = SampleFileBaseName(workspace, index);
        std::string name = base + extension;
        for (int k = 2; !taken.insert(name).second; ++k)
            name = StringPrintf("%s (%d)%s", base.c_str(), k, extension);
        const std::string path = folder + name;
        host.SetFileProgress(static_cast<int>((position * 1000 + 1000) / count));
        host.SetProgressSampleName(workspace.bank.SampleTable[index].name);
        host.SetProgressFileName(path);
        host.PumpEvents();
        const auto started = std::chrono::steady_clock::now();
        const SampleFileResult result = WriteSampleFile(workspace, path, index, type, bits);
        switch (result.status) {
        case SampleFileStatus::Written:
            ++summary.written;
            host.FileWritten(
                {.path = path,
                 .bytes = result.size,
                 .presets = 0,
                 .samples = 1,
                 .seconds =
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()});
            break;
        case SampleFileStatus::Skipped:
            ++summary.skipped;
            break;
        case SampleFileStatus::CannotWrite:
            ++summary.failed;
            break;
        case SampleFileStatus::Unreadable:
            ++summary.unreadable;
            break;
        case SampleFileStatus::Interrupted:
            summary.cancelled = true;
            break;
        }
        if (summary.cancelled)
            break;
    }
    return summary;
}

} // namespace quorvane
