#include "convert/WritePreparation.h"

#include <optional>

#include "convert/StereoNames.h"
#include "convert/StereoPairs.h"

namespace quorvane {

namespace {

// GigaSampler has no global zones: what a global layer or zone gives goes into its siblings.
void FlattenGlobals(BankModel& bank) {
    auto spread = [](const GeneratorSet& global, GeneratorSet& other) {
        for (int g = 0; g <= gen::lastWritten; ++g)
            if (global.IsSet(g) && !other.IsSet(g))
                other.Set(g, global.generators[g]);
    };
    auto clear = [](GeneratorSet& global) {
        for (int g = 0; g <= gen::lastWritten; ++g)
            global.Clear(g);
    };
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const HexIndexList& layers = bank.PresetTable[slot].layerList;
        for (uint16_t g : layers) {
            if (!bank.IsValidLayer(g) || !bank.LayerTable[g].isGlobal)
                continue;
            for (uint16_t l : layers)
                if (bank.IsValidLayer(l) && !bank.LayerTable[l].isGlobal)
                    spread(bank.LayerTable[g], bank.LayerTable[l]);
            clear(bank.LayerTable[g]);
        }
    }
    for (uint32_t l = 0; l < bank.LayerCount; ++l) {
        const HexIndexList& zones = bank.LayerTable[l].zoneList;
        for (uint16_t g : zones) {
            if (!bank.IsValidZone(g) || !bank.ZoneTable[g].isGlobal)
                continue;
            for (uint16_t z : zones)
                if (bank.IsValidZone(z) && !bank.ZoneTable[z].isGlobal)
                    spread(bank.ZoneTable[g], bank.ZoneTable[z]);
            clear(bank.ZoneTable[g]);
        }
    }
}

// A fine tune that every layer of the preset shares is taken off the layers and returned, to become the
// instrument's; 0 when the layers differ.
int16_t MoveSharedFineTune(BankModel& bank, const PresetRecord& preset) {
    std::optional<int16_t> shared;
    bool same = true;
    for (uint16_t l : preset.layerList) {
        if (!bank.IsValidLayer(l))
            continue;
        const LayerRecord& layer = bank.LayerTable[l];
        const int16_t fine = layer.IsSet(gen::fineTune) ? layer.generators[gen::fineTune] : 0;
        same = same && (!shared || *shared == fine);
        shared = fine;
    }
    if (!same || !shared || *shared == 0)
        return 0;
    for (uint16_t l : preset.layerList)
        if (bank.IsValidLayer(l))
            bank.LayerTable[l].Clear(gen::fineTune);
    return *shared;
}

// An Akai sample's rate, loop, root key and tuning are in its header on the disc, not in the directory the
// volume was listed from: the header-only fetch completes the records the writers read.
void ReadAkaiSampleHeaders(const PreparedBank& prepared, AkaiSampleSource& akai) {
    for (uint32_t s = 0; s < prepared.Records().SampleCount; ++s)
        if (prepared.Selection().HasSample(s))
            akai.ReadHeader(s);
}

// A chosen interleaved stereo wave of a DLS or GigaSampler bank, still one record as the views keep it.
bool NeedsStereoSplit(const BankModel& bank, const WriteSelection& selection) {
    if (bank.SourceFormat != SourceFormat::Dls)
        return false;
    for (uint32_t s = 0; s < bank.SampleCount; ++s) {
        const SampleRecord& sample = bank.SampleTable[s];
        if (selection.HasSample(s) && sample.stereoHalf != 0 && sample.linkIndex == 0)
            return true;
    }
    return false;
}

// The tables, texts and facts of a bank without its chunk image.
BankModel CopyRecords(const BankModel& bank) {
    BankModel copy;
    copy.BankImageSize = 0;
    copy.SampleDataStart = bank.SampleDataStart;
    copy.BankVersion = bank.BankVersion;
    copy.DlsFlavour = bank.DlsFlavour;
    copy.SourceFormat = bank.SourceFormat;
    copy.BankInfo = bank.BankInfo;
    copy.PresetTable = bank.PresetTable;
    copy.LayerTable = bank.LayerTable;
    copy.ZoneTable = bank.ZoneTable;
    copy.SampleTable = bank.SampleTable;
    copy.PresetCount = bank.PresetCount;
    copy.LayerCount = bank.LayerCount;
    copy.ZoneCount = bank.ZoneCount;
    copy.SampleCount = bank.SampleCount;
    return copy;
}

} // namespace

BankModel& PreparedBank::Own() {
    if (!copy_)
        copy_ = CopyRecords(loaded_);
    return *copy_;
}

bool SoundFontNeedsCopy(const BankModel& loaded, const WriteSelection& selection) {
    return loaded.SourceFormat == SourceFormat::Akai || NeedsStereoSplit(loaded, selection);
}

bool GigaSamplerNeedsCopy(const BankModel&) {
    return true;
}

void PrepareForSoundFont(PreparedBank& prepared, AkaiSampleSource& akai, bool linkMono) {
    if (prepared.Records().SourceFormat == SourceFormat::Akai) {
        ReadAkaiSampleHeaders(prepared, akai);
        prepared.Own().TakeSampleLoops(false);
    }
    if (NeedsStereoSplit(prepared.Records(), prepared.Selection())) {
        BankModel& bank = prepared.Own();
        SplitStereoSamples(bank);
        if (linkMono)
            LinkMonoSamples(bank);
        TidyStereoNames(bank);
        prepared.Choose(prepared.Selection().AfterStereoSplit(bank));
    }
}

void PrepareForGigaSampler(PreparedBank& prepared, const AttributeList& attributes, Host& host,
                           AkaiSampleSource& akai) {
    BankModel& bank = prepared.Own();
    if (bank.SourceFormat == SourceFormat::Akai) {
        host.AddStatusLine("Reading sample information ...");
        ReadAkaiSampleHeaders(prepared, akai);
        bank.TakeSampleLoops(true);
        ApplyEdits(bank, attributes.EditAttributes, ApplyMode::GigaWriter);
    }
    if (bank.SourceFormat == SourceFormat::SoundFont)
        FlattenGlobals(bank);
    const bool giga = bank.SourceFormat == SourceFormat::Dls && bank.DlsFlavour == DlsFlavour::GigaSampler;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        PresetRecord& preset = bank.PresetTable[slot];
        if (!prepared.Selection().HasPreset(slot))
            continue;
        if (!giga) {
            preset.instrumentGlobals.fill(0);
            preset.instrumentGlobals[8] = 2; // pitch bend range
        }
        const int16_t fineTune = MoveSharedFineTune(bank, preset);
        preset.instrumentGlobals[6] = static_cast<uint8_t>(fineTune);
        preset.instrumentGlobals[7] = static_cast<uint8_t>(static_cast<uint16_t>(fineTune) >> 8);
    }
}

} // namespace quorvane
