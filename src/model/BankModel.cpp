#include "model/BankModel.h"

#include <algorithm>
#include <cstring>

namespace quorvane {

namespace {
const char* const kInfoTags[kBankInfoSlots] = {"",     "IART", "ICMS", "ICMT", "ICOP", "ICRD",
                                               "IENG", "IGNR", "IKEY", "IMED", "INAM", "IPRD",
                                               "ISBJ", "ISFT", "ISRC", "ISRF", "ITCH", "isng"};
} // namespace

uint16_t MidiBankNumber(const PresetRecord& preset) {
    if (preset.bank > 127)
        return static_cast<uint16_t>(std::min<uint32_t>(preset.bank, 0x3FFF));
    return static_cast<uint16_t>(preset.bank * 128 + (preset.bankLsb & 127));
}

uint16_t SoundFontBankOf(const PresetRecord& preset) {
    if (preset.isDrum)
        return 128;
    return preset.bank != 0 ? preset.bank : preset.bankLsb;
}

std::string BankText(const PresetRecord& preset) {
    std::string text = std::to_string(preset.bank);
    // Appended piece by piece: "/" + to_string(...) makes GCC 12 warn of overlapping copies (-Wrestrict)
    // that cannot happen.
    if (preset.bankLsb != 0) {
        text += '/';
        text += std::to_string(preset.bankLsb);
    }
    return text;
}

void SetBank(PresetRecord& preset, uint16_t msb) {
    preset.bank = msb;
    preset.bankLsb = 0;
}

std::string FixedName(const char* bytes, size_t maxLength) {
    size_t length = 0;
    while (length < maxLength && bytes[length] != '\0')
        ++length;
    return std::string(bytes, length);
}

const char* BankInfoTag(int slot) {
    return slot > 0 && slot < kBankInfoSlots ? kInfoTags[slot] : "";
}

int BankInfoSlotOf(const char* tag4) {
    for (int slot = 1; slot < kBankInfoSlots; ++slot)
        if (std::memcmp(kInfoTags[slot], tag4, 4) == 0)
            return slot;
    return 0;
}

void GeneratorSet::Reset() {
    generators.fill(0);
    generatorSet.fill(0);
    generators[gen::keyRange] = static_cast<int16_t>(kFullRange);
    generators[gen::velRange] = static_cast<int16_t>(kFullRange);
}

void BankModel::MarkPreset(uint32_t slot, uint8_t flag) {
    if (!IsValidSlot(slot))
        return;
    for (uint16_t layerIndex : PresetTable[slot].layerList) {
        if (!IsValidLayer(layerIndex))
            continue;
        LayerRecord& layer = LayerTable[layerIndex];
        layer.marked = flag;
        for (uint16_t zoneIndex : layer.zoneList)
            if (IsValidZone(zoneIndex))
                ZoneTable[zoneIndex].marked = flag;
    }
}

void BankModel::TakeSampleLoops(bool flagUnlooped) {
    for (uint32_t z = 0; z < ZoneCount; ++z) {
        ZoneRecord& zone = ZoneTable[z];
        if (!IsValidSample(zone.sampleIndex))
            continue;
        const SampleRecord& sample = SampleTable[zone.sampleIndex];
        zone.loopStart = sample.loopStart;
        zone.loopEnd = sample.loopEnd;
        if (sample.looped)
            zone.Set(gen::sampleModes, 1);
        else if (flagUnlooped)
            zone.Set(gen::sampleModes, 0);
        else
            zone.Clear(gen::sampleModes);
        zone.Set(gen::overridingRootKey, static_cast<int16_t>(sample.rootKey));
    }
}

void BankModel::ClearMarks() {
    for (uint32_t i = 0; i < LayerCount; ++i)
        LayerTable[i].marked = 0;
    for (uint32_t i = 0; i < ZoneCount; ++i)
        ZoneTable[i].marked = 0;
}

} // namespace quorvane
