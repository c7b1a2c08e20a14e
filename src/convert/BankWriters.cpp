#include "convert/BankWriters.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "convert/FileNameCharMap.h"
#include "convert/SampleFetch.h"
#include "convert/SaveDialog.h"
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

// Names unique within one folder, whatever the case of their letters: a second "Piano" becomes "Piano-2".
class FolderNames {
  public:
    std::string Claim(const std::string& wanted) {
        std::string name = wanted;
        for (int n = 2; !taken_.insert(Key(name)).second; ++n)
            name = wanted + "-" + std::to_string(n);
        return name;
    }

  private:
    static std::string Key(std::string name) {
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
    std::set<std::string> taken_;
};

// A name from the bank as an SFZ file name: mapped as every output name, with '=' (which would start an
// opcode in the text naming the file) replaced, and never empty.
std::string SfzFileName(SourceFormat sourceFormat, const std::string& name, const std::string& fallback) {
    std::string mapped = OutputFileName(sourceFormat, name);
    std::replace(mapped.begin(), mapped.end(), '=', '_');
    mapped.erase(0, mapped.find_first_not_of(' '));
    mapped.erase(mapped.find_last_not_of(' ') + 1);
    return mapped.empty() ? fallback : mapped;
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

SfzWriteResult WriteSfz(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                        const std::string& folder) {
    PreparedBank prepared(workspace.bank, selection);
    if (SoundFontNeedsCopy(workspace.bank, selection))
        prepared.Own();
    SampleSourceFor(workspace, RecordsOf(workspace, prepared));
    PrepareForSoundFont(prepared, workspace.sources.akai, workspace.settings.LinkMonoSamples);
    SampleSource& source = SourceOrNone(workspace, RecordsOf(workspace, prepared));
    const BankModel& bank = prepared.Records();
    const WriteSelection& chosen = prepared.Selection();
    SfzWriteOptions options;
    options.bankName = EntryText(workspace, entry);
    options.container = workspace.writer.sfzSampleFormat;
    options.progress = workspace.writer.progress;
    FolderNames presetNames, sampleNames;
    options.presetFiles.resize(bank.PresetCount + 1u);
    for (uint32_t slot : chosen.PresetSlots())
        if (bank.IsValidSlot(slot))
            options.presetFiles[slot] = presetNames.Claim(SfzFileName(
                bank.SourceFormat, bank.PresetTable[slot].name, "Preset " + std::to_string(slot)));
    options.sampleFiles.resize(bank.SampleCount);
    for (uint32_t s = 0; s < bank.SampleCount; ++s) {
        const SampleRecord& sample = bank.SampleTable[s];
        if (chosen.HasSample(s))
            options.sampleFiles[s] = sampleNames.Claim(
                SfzFileName(bank.SourceFormat,
                            bank.SourceFormat == SourceFormat::AudioFile ? sample.fullName : sample.name,
                            "Sample " + std::to_string(s + 1)));
    }
    SfzWriteResult result = WriteSfzFolder(bank, chosen, source, workspace.host, folder, options);
    SampleSourceFor(workspace); // the copy dies here: the source goes back to the open bank
    return result;
}

SampleFileResult WriteSampleFile(Workspace& workspace, const std::string& path, uint32_t index,
                                 SampleFileType type, int bits) {
    SampleFileOptions options;
    options.type = type;
    options.bits = bits;
    options.zoneRootKey = workspace.selection.filterMode;
    return WriteSampleAudioFile(workspace.bank, SourceOrNone(workspace, workspace.bank), workspace.host, path,
                                index, options);
}

} // namespace quorvane
