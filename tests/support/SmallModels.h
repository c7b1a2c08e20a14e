// Bank models built directly in memory, for tests of edits that need no file: presets of one layer each,
// every layer with one zone.
#pragma once

#include <cstdint>
#include <vector>

#include "model/BankModel.h"

namespace quorvane::test {

struct SmallPreset {
    uint16_t layerRange = kFullRange;
    uint16_t zoneRange = kFullRange;
    int16_t rootKey = 60;
    uint16_t sampleIndex = kNoSample;
};

inline BankModel SmallModel(const std::vector<SmallPreset>& presets) {
    BankModel bank;
    bank.PresetTable.resize(presets.size() + 1);
    for (size_t i = 0; i < presets.size(); ++i) {
        const uint16_t index = static_cast<uint16_t>(i);
        bank.PresetTable[i + 1].name = "Preset " + std::to_string(i + 1);
        bank.PresetTable[i + 1].layerList = {index};
        LayerRecord layer;
        layer.Reset();
        layer.isGlobal = 0;
        layer.Set(gen::keyRange, static_cast<int16_t>(presets[i].layerRange));
        layer.zoneList = {index};
        ZoneRecord zone;
        zone.Reset();
        zone.isGlobal = 0;
        zone.Set(gen::keyRange, static_cast<int16_t>(presets[i].zoneRange));
        zone.Set(gen::overridingRootKey, presets[i].rootKey);
        zone.sampleIndex = presets[i].sampleIndex;
        bank.LayerTable.push_back(layer);
        bank.ZoneTable.push_back(zone);
    }
    bank.PresetCount = static_cast<uint16_t>(presets.size());
    bank.LayerCount = bank.ZoneCount = static_cast<uint16_t>(presets.size());
    return bank;
}

} // namespace quorvane::test
