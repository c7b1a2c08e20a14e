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
    if (workspace.bank.SourceFormat != kAkaiSource)
        return 0;
    return workspace.akai.VolumeType(workspace.akai.VolumeEntryOf(entry));
}

// The source of the open bank, bound to it (the Akai source too, which the write preparation reads
// headers through).
SampleSource& SourceOrNone(Workspace& workspace) {
    static NoSamples none;
    SampleSource* source = SampleSourceFor(workspace);
    return source != nullptr ? *source : none;
}

} // namespace

SoundFontWriteResult WriteSoundFont(Workspace& workspace, uint32_t entry, const std::string& outputPath,
                                    int namingFlag, bool temporary, SoundFontSampleStorage storage) {
    SampleSource& source = SourceOrNone(workspace);
    PrepareForSoundFont(workspace.bank, workspace.sources.akai);
    SoundFontWriteOptions options;
    options.bankName = EntryText(workspace, entry);
    options.namingFlag = namingFlag;
    options.namingPreset = workspace.selection.currentPreset;
    options.temporary = temporary;
    options.sourcePath = workspace.loader.currentFileName;
    options.progress = workspace.writer.progress;
    options.akaiVolumeType = AkaiVolumeTypeOf(workspace, entry);
    options.storage = storage;
    options.keepCutShort = workspace.writer.keepCutShort;
    options.vorbisQuality = workspace.writer.vorbisQuality;
    SoundFontWriteResult result =
        WriteSoundFontBank(workspace.bank, source, workspace.host, outputPath, options);
    if (result.written)
        workspace.writer.LastWrittenSize = result.size;
    return result;
}

GigaWriteResult WriteGigaFile(Workspace& workspace, uint32_t entry, const std::string& outputPath, int mode) {
    SampleSource& source = SourceOrNone(workspace);
    PrepareForGigaSampler(workspace.bank, workspace.attributes, workspace.host, workspace.sources.akai);
    GigaWriteOptions options;
    options.bankName = EntryText(workspace, entry);
    options.mode = mode;
    options.namingPreset = workspace.selection.currentPreset;
    options.sourcePath = workspace.loader.currentFileName;
    options.progress = workspace.writer.progress;
    options.middleCOffset = workspace.settings.MiddleCOffset;
    options.sampleGroupNames = workspace.dls.SampleGroupNames;
    options.akaiVolumeType = AkaiVolumeTypeOf(workspace, entry);
    options.keepCutShort = workspace.writer.keepCutShort;
    GigaWriteResult result =
        WriteGigaBank(workspace.bank, source, workspace.host, workspace.writer.giga, outputPath, options);
    if (result.written)
        workspace.writer.LastWrittenSize = static_cast<uint32_t>(std::min<uint64_t>(result.size, UINT32_MAX));
    return result;
}

SampleFileResult WriteSampleFile(Workspace& workspace, const std::string& path, uint32_t index, int type) {
    SampleFileOptions options;
    options.type = type;
    options.zoneRootKey = workspace.selection.filterMode;
    return WriteSampleAudioFile(workspace.bank, SourceOrNone(workspace), workspace.host, path, index,
                                options);
}

} // namespace quorvane
