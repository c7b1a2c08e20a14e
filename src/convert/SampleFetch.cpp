#include "convert/SampleFetch.h"

#include "convert/BankLoader.h"

namespace quorvane {

SampleSource* SampleSourceFor(Workspace& workspace) {
    return SampleSourceFor(workspace, workspace.bank);
}

SampleSource* SampleSourceFor(Workspace& workspace, BankModel& records) {
    SampleSources& sources = workspace.sources;
    switch (records.SourceFormat) {
    case SourceFormat::SoundFont:
    case SourceFormat::Dls: {
        const int entry = workspace.loader.currentBank;
        sources.bankFile.Bind(records, EntryPath(workspace, entry < 0 ? 0u : static_cast<uint32_t>(entry)));
        return &sources.bankFile;
    }
    case SourceFormat::AudioFile:
        sources.audioFiles.Bind(records, workspace.attributes, workspace.loader.currentFolder);
        return &sources.audioFiles;
    case SourceFormat::Akai:
        sources.akai.Bind(records, workspace.scsi, workspace.akai);
        return &sources.akai;
    case SourceFormat::Sfz:
        sources.sfz.Bind(records, workspace.sfzSamples);
        return &sources.sfz;
    default:
        return nullptr;
    }
}

FetchReport LoadSampleForPlay(Workspace& workspace, uint32_t index) {
    SampleBuffers& buffers = workspace.samples;
    buffers.PlayLeft.Free();
    buffers.PlayRight.Free();
    SampleSource* source = SampleSourceFor(workspace);
    if (source == nullptr || !workspace.bank.IsValidSample(index))
        return {};
    const FetchReport report = source->Fetch(index, buffers.Play(), true);
    if (!report.opened)
        workspace.host.SetTitle(kUnableToOpenForPlay);
    return report;
}

FetchedSample FetchSample(Workspace& workspace, uint32_t index, bool skipPartner) {
    FetchedSample fetched;
    SampleSource* source = SampleSourceFor(workspace);
    if (source != nullptr && workspace.bank.IsValidSample(index))
        fetched.readErrors = source->Fetch(index, {fetched.left, fetched.right}, !skipPartner).readErrors;
    return fetched;
}

std::optional<StoredFrames> StoredExportFrames(Workspace& workspace, uint32_t index) {
    SampleSource* source = SampleSourceFor(workspace);
    if (source == nullptr)
        return std::nullopt;
    return source->Stored(index);
}

} // namespace quorvane
