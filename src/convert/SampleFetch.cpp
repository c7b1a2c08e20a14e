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

void LoadSampleForPlay(Workspace& workspace, uint32_t index) {
    SampleBuffers& buffers = workspace.samples;
    buffers.PlayLeft.Free();
    buffers.PlayRight.Free();
    SampleSource* source = SampleSourceFor(workspace);
    if (source == nullptr || !workspace.bank.IsValidSample(index))
        return;
    const FetchReport report = source->Fetch(index, buffers.Play(), true);
    buffers.ScsiReadErrors += report.readErrors;
    if (!report.opened)
        workspace.host.SetTitle(kUnableToOpenForPlay);
}

void LoadSampleForExport(Workspace& workspace, uint32_t index, bool skipPartner) {
    SampleBuffers& buffers = workspace.samples;
    // The export buffers belong to the writer once filled: a fetch starts with fresh ones.
    buffers.ExportLeft = FrameBuffer{};
    buffers.ExportRight = FrameBuffer{};
    buffers.ExportAllocatedLeft = buffers.ExportAllocatedRight = 0;
    SampleSource* source = SampleSourceFor(workspace);
    if (source == nullptr || !workspace.bank.IsValidSample(index))
        return;
    buffers.ScsiReadErrors += source->Fetch(index, buffers.Export(), !skipPartner).readErrors;
    buffers.ExportAllocatedLeft = buffers.ExportLeft.length != 0;
    buffers.ExportAllocatedRight = buffers.ExportRight.length != 0;
}

std::optional<StoredFrames> StoredExportFrames(Workspace& workspace, uint32_t index) {
    SampleSource* source = SampleSourceFor(workspace);
    if (source == nullptr)
        return std::nullopt;
    std::optional<StoredFrames> stored = source->Stored(index);
    if (stored)
        workspace.samples.ScsiReadErrors += stored->readErrors;
    return stored;
}

} // namespace quorvane
