#include "convert/BankWriters.h"

#include <algorithm>

#include "convert/SampleFetch.h"
#include "convert/WritePreparation.h"

namespace quorvane {

namespace {

std::string EntryText(const Workspace& workspace, uint32_t entry) {
    const auto& list = workspace.loader.fileList;
    return entry < list.size() ? list[entry].text : std::string();
}

// Formats without a sample source write their samples without data.
class NoSamples : public SampleSource {
  public:
    FetchReport Fetch(uint32_t, FramePair, bool) override { return {}; }
};

// The type byte of the Akai volume listed at `entry`; 0 for other sources.
uint8_t AkaiVolumeTypeOf(const Workspace& workspace, uint32_t entry) {
    if (workspace.bank.SourceFormat != SourceFormat::Akai)
        return 0;
    return workspace.akai.VolumeType(workspace.akai.VolumeEntryOf(entry));
}

// The source of the open bank's samples, bound to `records` (the Akai source too, which the write
// preparation reads headers through and which completes the records it reads).
SampleSource& SourceOrNone(Workspace& workspace, BankModel& records) {
    static NoSamples none;
    SampleSource* source = SampleSourceFor(workspace, records);
    return source != nullptr ? *source : none;
}

// The records the write reads: the prepared copy once there is one, else the open bank.
BankModel& RecordsOf(Workspace& workspace, PreparedBank& prepared) {
    return prepared.Owned() ? prepared.Own() : workspace.bank;
}

} // namespace

SoundFontWriteResult WriteSoundFont(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                                    const std::string& outputPath, BankNaming naming, bool temporary,
                                    SoundFontSampleStorage storage) {
    PreparedBank prepared(workspace.bank, selection);
    if (SoundFontNeedsCopy(workspace.bank, selection))
        prepared.Own();
    SampleSourceFor(workspace, RecordsOf(workspace, prepared));
    PrepareForSoundFont(prepared, workspace.sources.akai, workspace.settings.LinkMonoSamples);
    // The split of stereo waves appends records: the source is bound to the records as prepared.
    SampleSource& source = SourceOrNone(workspace, RecordsOf(workspace, prepared));
    SoundFontWriteOptions options;
    options.bankName = EntryText(workspace, entry);
    options.naming = naming;
    options.namingPreset = workspace.selection.currentPreset;
    options.temporary = temporary;
    options.sourcePath = workspace.loader.currentFileName;
    options.progress = workspace.writer.progress;
    options.akaiVolumeType = AkaiVolumeTypeOf(workspace, entry);
    options.storage = storage;
    options.keepCutShort = workspace.writer.keepCutShort;
    options.vorbisQuality = workspace.writer.vorbisQuality;
    SoundFontWriteResult result = WriteSoundFontBank(prepared.Records(), prepared.Selection(), source,
                                                     workspace.host, outputPath, options);
    if (result.written)
        workspace.writer.LastWrittenSize = result.size;
    SampleSourceFor(workspace); // the copy dies here: the source goes back to the open bank
    return result;
}

GigaWriteResult WriteGigaFile(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                              const std::string& outputPath, BankNaming naming) {
    PreparedBank prepared(workspace.bank, selection);
    if (GigaSamplerNeedsCopy(workspace.bank))
        prepared.Own();
    SampleSource& source = SourceOrNone(workspace, RecordsOf(workspace, prepared));
    PrepareForGigaSampler(prepared, workspace.attributes, workspace.host, workspace.sources.akai);
    GigaWriteOptions options;
    options.bankName = EntryText(workspace, entry);
    options.naming = naming;
    options.namingPreset = workspace.selection.currentPreset;
    options.sourcePath = workspace.loader.currentFileName;
    options.progress = workspace.writer.progress;
    options.middleCOffset = workspace.settings.MiddleCOffset;
    options.sampleGroupNames = workspace.dls.SampleGroupNames;
    options.akaiVolumeType = AkaiVolumeTypeOf(workspace, entry);
    options.keepCutShort = workspace.writer.keepCutShort;
    GigaWriteResult result = WriteGigaBank(prepared.Records(), prepared.Selection(), source, workspace.host,
                                           workspace.writer.giga, outputPath, options);
    if (result.written)
        workspace.writer.LastWrittenSize = static_cast<uint32_t>(std::min<uint64_t>(result.size, UINT32_MAX));
    SampleSourceFor(workspace); // the copy dies here: the source goes back to the open bank
    return result;
}

SampleFileResult WriteSampleFile(Workspace& workspace, const std::string& path, uint32_t index,
                                 SampleFileType type) {
    SampleFileOptions options;
    options.type = type;
    options.zoneRootKey = workspace.selection.filterMode;
    return WriteSampleAudioFile(workspace.bank, SourceOrNone(workspace, workspace.bank), workspace.host, path,
                                index, options);
}

} // namespace quorvane
