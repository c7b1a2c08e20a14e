#include "model/WriteSelection.h"

#include <algorithm>

namespace quorvane {

WriteSelection::WriteSelection(const BankModel& bank)
    : presets_(bank.PresetCount + 1u, 0), layers_(bank.LayerCount, 0), zones_(bank.ZoneCount, 0),
      samples_(bank.SampleCount, 0) {}

WriteSelection WriteSelection::All(const BankModel& bank) {
    WriteSelection all(bank);
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        all.presets_[slot] = 1;
    all.layers_.assign(all.layers_.size(), 1);
    all.zones_.assign(all.zones_.size(), 1);
    all.samples_.assign(all.samples_.size(), 1);
    return all;
}

WriteSelection WriteSelection::Presets(const BankModel& bank, const std::vector<uint32_t>& slots) {
    WriteSelection chosen(bank);
    for (uint32_t slot : slots)
        chosen.AddPreset(bank, slot);
    return chosen;
}

void WriteSelection::AddPreset(const BankModel& bank, uint32_t slot) {
    if (!bank.IsValidSlot(slot) || slot >= presets_.size())
        return;
    presets_[slot] = 1;
    for (uint16_t layerIndex : bank.PresetTable[slot].layerList)
        AddLayer(bank, layerIndex);
}

void WriteSelection::AddPresetLayer(const BankModel& bank, uint32_t slot, int position) {
    if (!bank.IsValidSlot(slot) || slot >= presets_.size())
        return;
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    if (position < 0 || static_cast<size_t>(position) >= layers.Count())
        return;
    const uint16_t layerIndex = layers[static_cast<size_t>(position)];
    if (!bank.IsValidLayer(layerIndex))
        return;
    presets_[slot] = 1;
    AddLayer(bank, layerIndex);
}

void WriteSelection::AddLayer(const BankModel& bank, uint16_t layerIndex) {
    if (!bank.IsValidLayer(layerIndex) || layerIndex >= layers_.size())
        return;
    layers_[layerIndex] = 1;
    for (uint16_t zoneIndex : bank.LayerTable[layerIndex].zoneList) {
        if (!bank.IsValidZone(zoneIndex) || zoneIndex >= zones_.size())
            continue;
        zones_[zoneIndex] = 1;
        AddSample(bank, bank.ZoneTable[zoneIndex].sampleIndex);
    }
}

void WriteSelection::AddSample(const BankModel& bank, uint16_t sampleIndex) {
    if (!bank.IsValidSample(sampleIndex) || sampleIndex >= samples_.size())
        return;
    samples_[sampleIndex] = 1;
    const SampleRecord& sample = bank.SampleTable[sampleIndex];
    const uint32_t partner = sample.linkIndex - 1u;
    if ((sample.sampleType == 2 || sample.sampleType == 4) && bank.IsValidSample(partner) &&
        partner < samples_.size())
        samples_[partner] = 1;
}

WriteSelection WriteSelection::AfterStereoSplit(const BankModel& split) const {
    WriteSelection grown(split);
    std::copy(presets_.begin(), presets_.begin() + std::min(presets_.size(), grown.presets_.size()),
              grown.presets_.begin());
    std::copy(zones_.begin(), zones_.begin() + std::min(zones_.size(), grown.zones_.size()),
              grown.zones_.begin());
    std::copy(samples_.begin(), samples_.begin() + std::min(samples_.size(), grown.samples_.size()),
              grown.samples_.begin());
    for (uint32_t l = 0; l < layers_.size(); ++l)
        if (layers_[l] != 0)
            grown.AddLayer(split, static_cast<uint16_t>(l));
    for (uint32_t s = 0; s < samples_.size() && s < split.SampleCount; ++s) {
        const SampleRecord& sample = split.SampleTable[s];
        const uint32_t partner = sample.linkIndex - 1u;
        if (samples_[s] != 0 && sample.stereoHalf != 0 && split.IsValidSample(partner))
            grown.samples_[partner] = 1;
    }
    return grown;
}

std::vector<uint32_t> WriteSelection::PresetSlots() const {
    std::vector<uint32_t> slots;
    for (uint32_t slot = 1; slot < presets_.size(); ++slot)
        if (presets_[slot] != 0)
            slots.push_back(slot);
    return slots;
}

uint32_t WriteSelection::SampleCount() const {
    uint32_t count = 0;
    for (uint8_t chosen : samples_)
        count += chosen;
    return count;
}

} // namespace quorvane
