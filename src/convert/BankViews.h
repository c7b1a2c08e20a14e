// What the two bank views show, without widgets: the preset tree's nodes in their order, the children of
// a preset or layer node, the statistics of the preset on show, and the sample list's nodes with the
// preset filter. The windows turn these into tree items.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/BankModel.h"

namespace quorvane {

// Pictures of the views' image list.
namespace picture {
constexpr uint8_t kSampleMono = 0, kSampleMonoSelected = 4;
constexpr uint8_t kSampleStereo = 1, kSampleStereoSelected = 5;
constexpr uint8_t kGroup = 2, kGroupSelected = 3;
constexpr uint8_t kPreset = 6, kPresetSelected = 7;
constexpr uint8_t kLayer = 8, kZone = 9, kGlobalLayer = 10;
constexpr uint8_t kDrumPreset = 11, kDrumPresetSelected = 12;
constexpr uint8_t kCount = 13;
} // namespace picture

struct ViewNode {
    std::string text;
    int data = -1; // preset slot, position in a layer or zone list, sample index; -1 for a group node
    uint8_t image = 0;
    uint8_t selectedImage = 0;
};

// Drum presets after all others, then by bank, then by the program's low eight bits.
uint32_t PresetSortKey(const PresetRecord& preset);

// Preset slots 1..PresetCount in sort-key order, ordered as the tree has always ordered them: each position
// takes, one after another, every later entry with a smaller key.
std::vector<uint32_t> PresetTreeOrder(const BankModel& bank);

ViewNode PresetNode(const BankModel& bank, uint32_t slot);
// One node per item of the preset's layer list, the layer's name shown.
std::vector<ViewNode> LayerNodes(const BankModel& bank, uint32_t slot);
// One node per item of the layer's zone list: its sample's full name, "Not Mapped" without a sample,
// "Global Zone" for a global zone.
std::vector<ViewNode> ZoneNodes(const BankModel& bank, uint32_t slot, int layerPosition);

// The layer and zone records behind list positions; nullptr when a position or index is out of range.
const LayerRecord* LayerAt(const BankModel& bank, uint32_t slot, int layerPosition);
const ZoneRecord* ZoneAt(const BankModel& bank, uint32_t slot, int layerPosition, int zonePosition);

struct PresetStatistics {
    uint32_t zoneCount = 0;
    uint64_t sampleBytes = 0;
    int lowKey = 128, highKey = 0;
    int lowVelocity = 128, highVelocity = 0;
};

// The statistics of the preset in `slot` over all its layers, or the one at layerPosition (>= 0).
PresetStatistics ComputePresetStatistics(const BankModel& bank, uint32_t slot, int layerPosition = -1);
// What the sample list's preset filter shows, for the same preset and layers: the samples their zones play
// (and the stereo partners of those) are marked `listed`, every other sample not, and each listed sample
// takes the root key of the first zone that plays it.
void ListPresetSamples(BankModel& bank, uint32_t slot, int layerPosition = -1);

struct SampleListNode {
    ViewNode node;
    int parent = -1; // position of the group node it sits under, or -1
};

// The sample list: audio files one node each in table order; for banks every sample but right halves of
// stereo pairs (only the listed ones with the filter on), under group nodes when the bank names groups.
std::vector<SampleListNode> SampleListNodes(const BankModel& bank, const std::vector<std::string>& groupNames,
                                            bool filterMode);

// The presets whose zones play the sample, directly or as the right half linked to it, each once, in
// slot order.
std::vector<uint32_t> PresetsUsingSample(const BankModel& bank, uint32_t sample);

} // namespace quorvane
