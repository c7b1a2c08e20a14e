#include "convert/StereoPairs.h"

#include <algorithm>
#include <unordered_map>

namespace quorvane {

void SplitStereoSamples(BankModel& bank) {
    const uint32_t count = bank.SampleCount;
    for (uint32_t i = 0; i < count && bank.SampleTable.size() < 0xFFFF; ++i) {
        if (bank.SampleTable[i].stereoHalf == 0)
            continue;
        const auto right = static_cast<uint32_t>(bank.SampleTable.size());
        SampleRecord& left = bank.SampleTable[i];
        left.channels = 1;
        left.fullName = left.name;
        SampleRecord copy = left;
        left.sampleType = 0;
        left.linkIndex = static_cast<uint16_t>(right + 1);
        left.stereoHalf = 1;
        copy.sampleType = 0;
        copy.linkIndex = static_cast<uint16_t>(i + 1);
        copy.stereoHalf = 2;
        bank.SampleTable.push_back(std::move(copy));
    }
    // A zone whose sample index lies past the pool as read plays no sample; the right halves just appended
    // must not give that index a meaning.
    for (uint32_t z = 0; z < bank.ZoneCount; ++z) {
        ZoneRecord& zone = bank.ZoneTable[z];
        if (zone.sampleIndex >= count && zone.sampleIndex < bank.SampleTable.size()) {
            zone.sampleIndex = kNoSample;
            zone.generators[gen::sampleID] = static_cast<int16_t>(kNoSample);
        }
    }
    bank.SampleCount = static_cast<uint16_t>(bank.SampleTable.size());

    // The right half of a zone gets a record of its own, appended to the zone table, so that no other
    // zone is overwritten whatever the region's layout. A zone listed by several layers gets one right half.
    std::unordered_map<uint16_t, uint16_t> rightZoneOf;
    auto clampPan = [](int pan) { return static_cast<int16_t>(std::clamp(pan, -500, 500)); };
    for (uint32_t l = 0; l < bank.LayerCount; ++l) {
        HexIndexList rebuilt;
        for (uint16_t z : bank.LayerTable[l].zoneList) {
            rebuilt.Append(z);
            if (!bank.IsValidZone(z) || !bank.IsValidSample(bank.ZoneTable[z].sampleIndex))
                continue;
            const SampleRecord& sample = bank.SampleTable[bank.ZoneTable[z].sampleIndex];
            if (sample.stereoHalf == 0 || sample.linkIndex == 0)
                continue;
            auto found = rightZoneOf.find(z);
            if (found == rightZoneOf.end()) {
                if (bank.ZoneTable.size() >= 0xFFFF)
                    continue;
                const auto rightIndex = static_cast<uint16_t>(bank.ZoneTable.size());
                ZoneRecord right = bank.ZoneTable[z];
                ZoneRecord& left = bank.ZoneTable[z];
                const int pan = left.generators[gen::pan];
                right.sampleIndex = static_cast<uint16_t>(sample.linkIndex - 1);
                right.Set(gen::sampleID, static_cast<int16_t>(right.sampleIndex));
                right.Set(gen::pan, clampPan(pan + 500));
                left.Set(gen::pan, clampPan(pan - 500));
                bank.ZoneTable.push_back(right);
                bank.ZoneCount = static_cast<uint16_t>(bank.ZoneTable.size());
                found = rightZoneOf.emplace(z, rightIndex).first;
            }
            rebuilt.Append(found->second);
        }
        bank.LayerTable[l].zoneList = rebuilt;
    }
}

namespace {
// The other half of a split stereo wave, or UINT32_MAX for any other sample.
uint32_t SplitPartner(const BankModel& bank, uint32_t index) {
    const SampleRecord& sample = bank.SampleTable[index];
    return sample.stereoHalf != 0 && sample.linkIndex != 0 ? sample.linkIndex - 1u : UINT32_MAX;
}

bool EndsWithSideLetter(const std::string& name, size_t fromEnd, char lower) {
    const char c = name[name.size() - fromEnd];
    return c == lower || c == lower - 'a' + 'A';
}
} // namespace

void LinkMonoSamples(BankModel& bank) {
    const bool giga = bank.SourceFormat == SourceFormat::Dls;
    std::unordered_multimap<std::string, uint32_t> monoByName;
    for (uint32_t j = 0; j < bank.SampleCount; ++j)
        if (bank.SampleTable[j].channels == 1)
            monoByName.emplace(bank.SampleTable[j].name, j);

    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        // A sample already paired keeps its partner.
        if (bank.SampleTable[i].channels != 1)
            continue;
        const std::string s = bank.SampleTable[i].name;
        const size_t length = s.size();
        std::string candidates[3];
        if (length > 1) {
            if (EndsWithSideLetter(s, 1, 'l')) {
                const std::string stem = s.substr(0, length - 1);
                candidates[0] = stem + "r";
                candidates[1] = stem + "R";
                candidates[2] = stem;
            } else {
                candidates[0] = s + "r";
                candidates[1] = s + "R";
            }
        }
        if (giga && length > 3 && s.compare(length - 3, 1, "(") == 0 && EndsWithSideLetter(s, 2, 'l') &&
            s.back() == ')') {
            candidates[0] = s.substr(0, length - 2) + "r)";
            candidates[1] = s.substr(0, length - 2) + "R)";
        }
        // Candidates are compared against the names as they stand; the first mono match in table order
        // becomes the partner. The halves of a split stereo wave already name each other: they pair only
        // with each other, and no other sample pairs with them.
        uint32_t partner = UINT32_MAX;
        for (const std::string& name : {candidates[0], candidates[1], candidates[2], s}) {
            if (name.empty())
                continue;
            auto [first, last] = monoByName.equal_range(name);
            for (auto it = first; it != last; ++it) {
                const uint32_t j = it->second;
                const bool allowed = SplitPartner(bank, i) != UINT32_MAX
                                         ? j == SplitPartner(bank, i)
                                         : SplitPartner(bank, j) == UINT32_MAX;
                if (j != i && allowed && bank.SampleTable[j].channels == 1)
                    partner = std::min(partner, j);
            }
        }
        if (partner == UINT32_MAX)
            continue;
        SampleRecord& left = bank.SampleTable[i];
        SampleRecord& right = bank.SampleTable[partner];
        left.channels = right.channels = 2;
        left.sampleType = 4;
        right.sampleType = 2;
        left.linkIndex = static_cast<uint16_t>(partner + 1);
        right.linkIndex = static_cast<uint16_t>(i + 1);
    }
}

void UnlinkMonoSamples(BankModel& bank) {
    for (uint32_t i = 0; i < bank.SampleCount; ++i) {
        SampleRecord& sample = bank.SampleTable[i];
        sample.name = sample.fullName;
        while (!sample.name.empty() && sample.name.back() == ' ')
            sample.name.pop_back();
        if (sample.channels == 2 && sample.linkIndex != 0) {
            sample.channels = 1;
            sample.sampleType = 0;
            sample.linkIndex = 0;
        }
    }
}

} // namespace quorvane
