#include "convert/ViewSelection.h"

#include "convert/BankViews.h"

namespace quorvane {

void SelectNothing(Selection& selection) {
    selection.currentPreset = 0;
    selection.currentLayer = selection.currentZone = -1;
    selection.selectedSample = kNoSample;
    selection.DisplayMode = PanelContent::Nothing;
}

void ForgetShownBank(Workspace& workspace) {
    BankModel& bank = workspace.bank;
    bank.PresetCount = bank.LayerCount = bank.ZoneCount = bank.SampleCount = 0;
    workspace.loader.loadedFlag = false;
    SelectNothing(workspace.selection);
}

void SelectPresetNode(Selection& selection, uint32_t slot, int layer, int zone) {
    selection.currentPreset = slot;
    selection.currentLayer = layer;
    selection.currentZone = layer < 0 ? -1 : zone;
    if (layer < 0)
        selection.selectedSample = kNoSample;
    selection.DisplayMode = PanelContent::Preset;
}

std::vector<uint32_t> StartSampleFilter(BankModel& bank, Selection& selection) {
    const uint32_t sample = selection.selectedSample;
    if (bank.IsValidSample(sample) && bank.SourceFormat != SourceFormat::Akai) {
        std::vector<uint32_t> presets = PresetsUsingSample(bank, sample);
        if (presets.empty())
            return presets;
        selection.filterMode = true;
        // The first preset's zones give the listed samples their root keys; the last preset's zones give
        // theirs again over them.
        ListPresetSamples(bank, presets.front());
        selection.currentPreset = presets.back();
        selection.currentLayer = selection.currentZone = -1;
        selection.lastSampleNode = -1;
        selection.DisplayMode = PanelContent::Preset;
        ListPresetSamples(bank, selection.currentPreset);
        return presets;
    }
    selection.filterMode = true;
    if (bank.IsValidSlot(selection.currentPreset))
        ListPresetSamples(bank, selection.currentPreset, selection.currentLayer);
    return {};
}

void StopSampleFilter(BankModel& bank, Selection& selection) {
    selection.filterMode = false;
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        bank.SampleTable[s].listed = 1;
}

} // namespace quorvane
