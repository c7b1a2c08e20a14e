#include "convert/AuditionBank.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/StereoNames.h"
#include "convert/StereoPairs.h"
#include "core/StringPrintf.h"

namespace quorvane {

namespace {

// Selects the preset, its layer at `position` in its layer list, that layer's zones, the samples they play
// and the stereo partners of those samples.
void SelectLayer(BankModel& bank, uint32_t slot, int position) {
    PresetRecord& preset = bank.PresetTable[slot];
    if (position < 0 || static_cast<size_t>(position) >= preset.layerList.Count())
        return;
    const uint16_t layerIndex = preset.layerList[static_cast<size_t>(position)];
    if (!bank.IsValidLayer(layerIndex))
        return;
    preset.selected = 1;
    LayerRecord& layer = bank.LayerTable[layerIndex];
    layer.selected = 1;
    for (uint16_t zoneIndex : layer.zoneList) {
        if (!bank.IsValidZone(zoneIndex))
            continue;
        ZoneRecord& zone = bank.ZoneTable[zoneIndex];
        zone.selected = 1;
        if (!bank.IsValidSample(zone.sampleIndex))
            continue;
        SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
        sample.selected = 1;
        if ((sample.sampleType == 2 || sample.sampleType == 4) && bank.IsValidSample(sample.linkIndex - 1u))
            bank.SampleTable[sample.linkIndex - 1u].selected = 1;
    }
}

bool AnySampleSelected(const BankModel& bank) {
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        if (bank.SampleTable[s].selected)
            return true;
    return false;
}

// A selected interleaved stereo wave of a DLS or GigaSampler bank, still one record as the views keep it:
// the SoundFont writer needs it split into linked mono halves.
bool NeedsStereoSplit(const BankModel& bank) {
    if (bank.SourceFormat != kDlsSource)
        return false;
    for (uint32_t s = 0; s < bank.SampleCount; ++s) {
        const SampleRecord& sample = bank.SampleTable[s];
        if (sample.selected && sample.stereoHalf != 0 && sample.linkIndex == 0)
            return true;
    }
    return false;
}

// The user's temporary folder: $TMPDIR when set, else /tmp.
std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Creates an empty file of a name no other file has (two running copies of the program never write the
// same one) and returns its path; empty with `error` set when the folder cannot take it.
std::string ReserveTemporaryFile(std::string& error) {
    const std::string folder = TemporaryFolder();
    std::string pattern = folder + "/quorvane-audition-XXXXXX.sf2";
    const int fd = ::mkstemps(pattern.data(), 4);
    if (fd < 0) {
        error = StringPrintf("Couldn't create a temporary file for auditioning in %s:\r\n%s", folder.c_str(),
                             std::strerror(errno));
        return {};
    }
    ::close(fd);
    return pattern;
}

} // namespace

AuditionBank WriteAuditionBank(Workspace& workspace, uint32_t slot, int layer) {
    AuditionBank result;
    BankModel& bank = workspace.bank;
    if (!bank.IsValidSlot(slot))
        return result;
    bank.SelectAll(0);
    if (layer >= 0)
        SelectLayer(bank, slot, layer);
    else
        bank.SelectPreset(slot, 1);
    if (!AnySampleSelected(bank))
        return result;

    std::string error;
    const std::string path = ReserveTemporaryFile(error);
    if (path.empty()) {
        workspace.host.ShowMessage(error, kMessageCaption, MessageIcon::Warning);
        result.status = AuditionBank::WriteFailed;
        result.message = error;
        return result;
    }

    const bool split = NeedsStereoSplit(bank);
    if (split) {
        SplitStereoSamples(bank);
        if (workspace.settings.LinkMonoSamples)
            LinkMonoSamples(bank);
        TidyStereoNames(bank);
    }
    const uint32_t entry =
        workspace.loader.currentBank < 0 ? 0 : static_cast<uint32_t>(workspace.loader.currentBank);
    // The writer tells the user itself when the file cannot be written.
    const SoundFontWriteResult written = WriteSoundFont(workspace, entry, path, 0, true);
    if (split && ReloadBankForDisplay(workspace) == LoadStatus::Loaded)
        ApplyEdits(bank, workspace.attributes.EditAttributes, kApplyForViews);

    if (!written.written) {
        ::unlink(path.c_str());
        result.status = AuditionBank::WriteFailed;
        result.message = StringPrintf("ERROR! Can't write to File %s", path.c_str());
        return result;
    }
    result.status = AuditionBank::Written;
    result.path = path;
    result.size = written.size;
    return result;
}

} // namespace quorvane
