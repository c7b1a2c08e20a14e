// Which records of a bank a write takes: presets by slot, and the layers, zones and samples they reach.
// Kept apart from the bank so that choosing what to write never changes the bank the views show.
#pragma once

#include <cstdint>
#include <vector>

#include "model/BankModel.h"

namespace quorvane {

// What a written bank is named after: the bank it came from, or the preset saved alone in it.
enum class BankNaming { SourceBank, Preset };

class WriteSelection {
  public:
    WriteSelection() = default;
    // Nothing chosen yet, sized to the bank's tables.
    explicit WriteSelection(const BankModel& bank);
    // Every preset, layer, zone and sample of the bank (a whole-bank write).
    static WriteSelection All(const BankModel& bank);
    // The presets in `slots` (invalid slots left out) with what they reach.
    static WriteSelection Presets(const BankModel& bank, const std::vector<uint32_t>& slots);

    // Chooses the preset, its layers, their zones, the samples those zones play and the stereo partners
    // of those samples.
    void AddPreset(const BankModel& bank, uint32_t slot);
    // Chooses the preset and only its layer at `position` in its layer list, with that layer's zones,
    // samples and partners (one layer auditioned alone).
    void AddPresetLayer(const BankModel& bank, uint32_t slot, int position);

    bool HasPreset(uint32_t slot) const { return slot < presets_.size() && presets_[slot] != 0; }
    bool HasLayer(uint32_t index) const { return index < layers_.size() && layers_[index] != 0; }
    bool HasZone(uint32_t index) const { return index < zones_.size() && zones_[index] != 0; }
    bool HasSample(uint32_t index) const { return index < samples_.size() && samples_[index] != 0; }

    // The same choice over the bank after its stereo waves were split into halves (new records appended):
    // the chosen layers take their new zones and samples, a chosen half its new partner.
    WriteSelection AfterStereoSplit(const BankModel& split) const;

    // The chosen presets, in slot order.
    std::vector<uint32_t> PresetSlots() const;
    uint32_t SampleCount() const;
    bool Empty() const { return PresetSlots().empty(); }

  private:
    void AddLayer(const BankModel& bank, uint16_t layerIndex);
    void AddSample(const BankModel& bank, uint16_t sampleIndex);

    std::vector<uint8_t> presets_, layers_, zones_, samples_;
};

} // namespace quorvane
