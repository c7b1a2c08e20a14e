#include "convert/BankViews.h"

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

bool IsRightHalf(const SampleRecord& sample) {
    return sample.sampleType == 2;
}

bool IsPairHalf(const SampleRecord& sample) {
    return sample.sampleType == 2 || sample.sampleType == 4;
}

} // namespace

uint32_t PresetSortKey(const PresetRecord& preset) {
    return (preset.isDrum ? 0x8000000u : 0u) + MidiBankNumber(preset) * 256u + (preset.program & 255u);
}

std::vector<uint32_t> PresetTreeOrder(const BankModel& bank) {
    std::vector<std::pair<uint32_t, uint32_t>> entries; // key, slot
    entries.reserve(bank.PresetCount);
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot)
        entries.emplace_back(PresetSortKey(bank.PresetTable[slot]), slot);
    for (size_t i = 0; i < entries.size(); ++i)
        for (size_t j = i + 1; j < entries.size(); ++j)
            if (entries[j].first < entries[i].first)
                std::swap(entries[i], entries[j]);
    std::vector<uint32_t> slots;
    slots.reserve(entries.size());
    for (const auto& entry : entries)
        slots.push_back(entry.second);
    return slots;
}

ViewNode PresetNode(const BankModel& bank, uint32_t slot) {
    ViewNode node;
    node.data = static_cast<int>(slot);
    if (!bank.IsValidSlot(slot))
        return node;
    const PresetRecord& preset = bank.PresetTable[slot];
    node.text = preset.name;
    node.image = preset.isDrum ? picture::kDrumPreset : picture::kPreset;
    node.selectedImage = preset.isDrum ? picture::kDrumPresetSelected : picture::kPresetSelected;
    return node;
}

const LayerRecord* LayerAt(const BankModel& bank, uint32_t slot, int layerPosition) {
    if (!bank.IsValidSlot(slot) || layerPosition < 0)
        return nullptr;
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    if (static_cast<size_t>(layerPosition) >= layers.Count())
        return nullptr;
    const uint16_t index = layers[static_cast<size_t>(layerPosition)];
    return bank.IsValidLayer(index) ? &bank.LayerTable[index] : nullptr;
}

const ZoneRecord* ZoneAt(const BankModel& bank, uint32_t slot, int layerPosition, int zonePosition) {
    const LayerRecord* layer = LayerAt(bank, slot, layerPosition);
    if (layer == nullptr || zonePosition < 0 || static_cast<size_t>(zonePosition) >= layer->zoneList.Count())
        return nullptr;
    const uint16_t index = layer->zoneList[static_cast<size_t>(zonePosition)];
    return bank.IsValidZone(index) ? &bank.ZoneTable[index] : nullptr;
}

std::vector<ViewNode> LayerNodes(const BankModel& bank, uint32_t slot) {
    std::vector<ViewNode> nodes;
    if (!bank.IsValidSlot(slot))
        return nodes;
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    for (size_t position = 0; position < layers.Count(); ++position) {
        ViewNode node;
        node.data = static_cast<int>(position);
        node.image = node.selectedImage = picture::kLayer;
        if (const LayerRecord* layer = LayerAt(bank, slot, static_cast<int>(position))) {
            node.text = layer->name;
            if (layer->isGlobal)
                node.image = node.selectedImage = picture::kGlobalLayer;
        }
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<ViewNode> ZoneNodes(const BankModel& bank, uint32_t slot, int layerPosition) {
    std::vector<ViewNode> nodes;
    const LayerRecord* layer = LayerAt(bank, slot, layerPosition);
    if (layer == nullptr)
        return nodes;
    for (size_t position = 0; position < layer->zoneList.Count(); ++position) {
        ViewNode node;
        node.data = static_cast<int>(position);
        node.image = node.selectedImage = picture::kZone;
        const uint16_t index = layer->zoneList[position];
        if (bank.IsValidZone(index)) {
            const ZoneRecord& zone = bank.ZoneTable[index];
            if (zone.isGlobal)
                node.text = "Global Zone";
            else if (bank.IsValidSample(zone.sampleIndex))
                node.text = bank.SampleTable[zone.sampleIndex].fullName;
            else
                node.text = "Not Mapped";
        } else {
            node.text = "Not Mapped";
        }
        nodes.push_back(std::move(node));
    }
    return nodes;
}

namespace {

// Visits the zones of the preset's layers (of its layer at layerPosition alone when >= 0), and for each the
// sample it plays and that sample's stereo partner, each sample the first time it is met, with the root key
// of the zone that met it.
template <typename Zone, typename Sample>
void WalkPreset(const BankModel& bank, uint32_t slot, int layerPosition, Zone zoneVisit, Sample sampleVisit) {
    std::vector<uint8_t> met(bank.SampleCount, 0);
    auto meet = [&](uint32_t index, uint16_t rootKey) {
        if (met[index])
            return false;
        met[index] = 1;
        sampleVisit(index, rootKey);
        return true;
    };
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    for (size_t position = 0; position < layers.Count(); ++position) {
        if (layerPosition >= 0 && static_cast<size_t>(layerPosition) != position)
            continue;
        const LayerRecord* layer = LayerAt(bank, slot, static_cast<int>(position));
        if (layer == nullptr)
            continue;
        for (uint16_t z : layer->zoneList) {
            if (!bank.IsValidZone(z))
                continue;
            const ZoneRecord& zone = bank.ZoneTable[z];
            if (bank.IsValidSample(zone.sampleIndex)) {
                const uint16_t rootKey = zone.Unsigned(gen::overridingRootKey);
                if (meet(zone.sampleIndex, rootKey)) {
                    const SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
                    const uint32_t partner = sample.linkIndex - 1u;
                    if (IsPairHalf(sample) && bank.IsValidSample(partner))
                        meet(partner, rootKey);
                }
            }
            zoneVisit(zone);
        }
    }
}

} // namespace

PresetStatistics ComputePresetStatistics(const BankModel& bank, uint32_t slot, int layerPosition) {
    PresetStatistics stats;
    if (!bank.IsValidSlot(slot))
        return stats;
    WalkPreset(
        bank, slot, layerPosition,
        [&](const ZoneRecord& zone) {
            ++stats.zoneCount;
            if (zone.isGlobal)
                return;
            const uint16_t keys = zone.Unsigned(gen::keyRange);
            const uint16_t velocities = zone.Unsigned(gen::velRange);
            stats.lowKey = std::min(stats.lowKey, keys & 0x7F);
            stats.highKey = std::max(stats.highKey, keys >> 8);
            stats.lowVelocity = std::min(stats.lowVelocity, velocities & 0x7F);
            stats.highVelocity = std::max(stats.highVelocity, velocities >> 8);
        },
        [&](uint32_t index, uint16_t) { stats.sampleBytes += bank.SampleTable[index].dataLength; });
    return stats;
}

void ListPresetSamples(BankModel& bank, uint32_t slot, int layerPosition) {
    if (!bank.IsValidSlot(slot))
        return;
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        bank.SampleTable[s].listed = 0;
    WalkPreset(
        bank, slot, layerPosition, [](const ZoneRecord&) {},
        [&](uint32_t index, uint16_t rootKey) {
            SampleRecord& sample = bank.SampleTable[index];
            sample.listed = 1;
            sample.zoneRootKey = rootKey;
        });
}

std::vector<SampleListNode> SampleListNodes(const BankModel& bank, const std::vector<std::string>& groupNames,
                                            bool filterMode) {
    std::vector<SampleListNode> nodes;
    if (bank.SourceFormat == SourceFormat::AudioFile) {
        for (uint32_t s = 0; s < bank.SampleCount; ++s) {
            const SampleRecord& sample = bank.SampleTable[s];
            ViewNode node;
            node.text = sample.name;
            node.data = static_cast<int>(s);
            node.image = sample.listImage < 51 ? sample.listImage : 0;
            node.selectedImage = sample.listSelectedImage < 51 ? sample.listSelectedImage : 1;
            nodes.push_back({std::move(node), -1});
        }
        return nodes;
    }
    const bool groups = bank.SourceFormat == SourceFormat::Dls && !groupNames.empty();
    if (groups) {
        for (const std::string& name : groupNames)
            nodes.push_back({{name, -1, picture::kGroup, picture::kGroupSelected}, -1});
    }
    for (uint32_t s = 0; s < bank.SampleCount; ++s) {
        const SampleRecord& sample = bank.SampleTable[s];
        if (IsRightHalf(sample) || (filterMode && !sample.listed))
            continue;
        const bool stereo = sample.channels == 2;
        ViewNode node{sample.name, static_cast<int>(s),
                      stereo ? picture::kSampleStereo : picture::kSampleMono,
                      stereo ? picture::kSampleStereoSelected : picture::kSampleMonoSelected};
        const int parent =
            groups ? static_cast<int>(std::min<size_t>(sample.sampleGroup, groupNames.size() - 1)) : -1;
        nodes.push_back({std::move(node), parent});
    }
    return nodes;
}

std::vector<uint32_t> PresetsUsingSample(const BankModel& bank, uint32_t sample) {
    std::vector<uint32_t> presets;
    if (!bank.IsValidSample(sample))
        return presets;
    auto plays = [&](const ZoneRecord& zone) {
        if (!bank.IsValidSample(zone.sampleIndex))
            return false;
        if (zone.sampleIndex == sample)
            return true;
        const SampleRecord& other = bank.SampleTable[zone.sampleIndex];
        return IsRightHalf(other) && other.linkIndex - 1u == sample;
    };
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        bool found = false;
        for (uint16_t l : bank.PresetTable[slot].layerList) {
            if (!bank.IsValidLayer(l))
                continue;
            for (uint16_t z : bank.LayerTable[l].zoneList)
                found = found || (bank.IsValidZone(z) && plays(bank.ZoneTable[z]));
        }
        if (found)
            presets.push_back(slot);
    }
    return presets;
}

} // namespace quorvane
