#include "formats/dls/GigaKeyGrid.h"

#include <algorithm>
#include <array>
#include <bit>

namespace quorvane {

namespace {
struct Range {
    int low;
    int high;
};

// Low limit in the low byte, high limit in the high byte; 0..127 when the generator is not given.
Range RangeOf(const GeneratorSet& set, int number) {
    if (!set.IsSet(number))
        return {0, 127};
    const uint16_t value = set.Unsigned(number);
    return {value & 0xFF, value >> 8};
}

Range Narrow(Range inner, Range outer) {
    return {std::max(inner.low, outer.low), std::min(inner.high, outer.high)};
}

constexpr uint32_t kEverySlot = 0xFFFFFFFFu;
static_assert(kGridSlots == 32, "one bit per slot in a 32-bit mask");
} // namespace

KeyGrid KeyGrid::Build(const BankModel& bank, const PresetRecord& preset) {
    KeyGrid grid;
    grid.Rebuild(bank, preset);
    return grid;
}

void KeyGrid::Clear() {
    for (int key = 0; key < kGridRows; ++key) {
        if (used_[key] == 0)
            continue;
        for (int s = 0; s < used_[key]; ++s)
            rows_[key][s].clear();
        used_[key] = 0;
        cover_[key].fill(0);
        full_[key].reset();
    }
}

bool KeyGrid::Saturated(int lowKey, int highKey, int lowVelocity, int highVelocity) const {
    if (lowVelocity > highVelocity)
        return true;
    VelocitySet within;
    for (int v = lowVelocity; v <= highVelocity; ++v)
        within.set(static_cast<size_t>(v));
    for (int key = std::max(lowKey, 0); key <= std::min(highKey, 127); ++key)
        if ((full_[key] & within) != within)
            return false;
    return true;
}

void KeyGrid::Rebuild(const BankModel& bank, const PresetRecord& preset) {
    Clear();
    // Every zone of a layer lies within the layer's keys and velocities: once all slots there are taken, the
    // layer's zones are not looked at one by one (a preset of many layers over one large instrument would
    // otherwise cost layers x zones x keys).
    for (uint16_t layerIndex : preset.layerList) {
        if (!bank.IsValidLayer(layerIndex))
            continue;
        const LayerRecord& layer = bank.LayerTable[layerIndex];
        const Range layerKeys = RangeOf(layer, gen::keyRange);
        const Range layerVelocities = RangeOf(layer, gen::velRange);
        if (Saturated(layerKeys.low, layerKeys.high, layerVelocities.low, layerVelocities.high))
            continue;
        for (uint16_t zoneIndex : layer.zoneList) {
            if (!bank.IsValidZone(zoneIndex) || !bank.IsValidSample(bank.ZoneTable[zoneIndex].sampleIndex))
                continue;
            const ZoneRecord& zone = bank.ZoneTable[zoneIndex];
            const Range keys = Narrow(RangeOf(zone, gen::keyRange), layerKeys);
            const Range velocities = Narrow(RangeOf(zone, gen::velRange), layerVelocities);
            if (velocities.low > velocities.high)
                continue;
            const GridItem item{static_cast<uint8_t>(velocities.low), static_cast<uint8_t>(velocities.high),
                                layerIndex, zoneIndex};
            for (int key = std::max(keys.low, 0); key <= std::min(keys.high, 127); ++key)
                Place(key, item);
        }
    }
    FillGapsAndOrder();
}

void KeyGrid::Place(int key, const GridItem& item) {
    // The first slot that is empty or where neither end of the new range falls inside an item already
    // there; none of the 32: the item is left out.
    VelocityMasks& cover = cover_[key];
    const uint32_t clashing = cover[item.velocityLow] | cover[item.velocityHigh];
    if (clashing == kEverySlot)
        return;
    const int s = std::countr_one(clashing);
    rows_[key][s].push_back(item);
    used_[key] = std::max<uint8_t>(used_[key], static_cast<uint8_t>(s + 1));
    const uint32_t bit = 1u << s;
    for (int v = item.velocityLow; v <= item.velocityHigh; ++v) {
        cover[v] |= bit;
        if (cover[v] == kEverySlot)
            full_[key].set(static_cast<size_t>(v));
    }
}

namespace {
// A run of velocities no item covers, followed by a covered one, is played by the null sample; a run that
// reaches 127 stays silent. Then the items are ordered by the midpoints of their velocity ranges; of two
// items with the same midpoint the later one stays.
void FillGapsAndOrder(GridSlot& slot) {
    // The ranges in order of their low limits, kept on the stack: a slot holds few items.
    constexpr size_t kOnStack = 64;
    std::array<std::pair<uint8_t, uint8_t>, kOnStack> local;
    std::vector<std::pair<uint8_t, uint8_t>> spill;
    std::pair<uint8_t, uint8_t>* ranges = local.data();
    if (slot.size() > kOnStack) {
        spill.resize(slot.size());
        ranges = spill.data();
    }
    const size_t count = slot.size();
    for (size_t i = 0; i < count; ++i)
        ranges[i] = {slot[i].velocityLow, slot[i].velocityHigh};
    std::sort(ranges, ranges + count);
    int next = 0; // the lowest velocity not yet covered or given to a gap
    for (size_t i = 0; i < count; ++i) {
        const auto [low, high] = ranges[i];
        if (low > next)
            slot.push_back({static_cast<uint8_t>(next), static_cast<uint8_t>(low - 1), kNullItem, kNullItem});
        next = std::max(next, high + 1);
    }
    if (slot.size() < 2)
        return;
    auto midpoint = [](const GridItem& item) { return (item.velocityLow + item.velocityHigh) / 2; };
    // A stable insertion sort: a slot holds few items, and this needs no buffer.
    for (size_t i = 1; i < slot.size(); ++i) {
        const GridItem item = slot[i];
        size_t j = i;
        for (; j > 0 && midpoint(slot[j - 1]) > midpoint(item); --j)
            slot[j] = slot[j - 1];
        slot[j] = item;
    }
    size_t kept = 0;
    for (size_t i = 0; i < slot.size(); ++i)
        if (i + 1 == slot.size() || midpoint(slot[i + 1]) != midpoint(slot[i]))
            slot[kept++] = slot[i];
    slot.resize(kept);
}
} // namespace

void KeyGrid::FillGapsAndOrder() {
    // Neighbouring keys mostly hold the same items: a slot equal to the same slot of the key before, as
    // placed, takes that slot's result.
    std::array<GridSlot, kGridSlots> placedBefore;
    int usedBefore = 0;
    for (int key = 0; key < kGridRows; ++key) {
        for (int s = 0; s < used_[key]; ++s) {
            GridSlot& slot = rows_[key][s];
            if (s < usedBefore && slot == placedBefore[s]) {
                slot = rows_[key - 1][s];
            } else {
                placedBefore[s] = slot;
                quorvane::FillGapsAndOrder(slot);
            }
        }
        usedBefore = used_[key];
    }
}

std::vector<KeyRegion> KeyGrid::Regions() const {
    auto same = [&](int a, int b) {
        return used_[a] == used_[b] &&
               std::equal(rows_[a].begin(), rows_[a].begin() + used_[a], rows_[b].begin());
    };
    std::vector<KeyRegion> regions;
    int start = -1;
    for (int key = 0; key < kGridRows; ++key) {
        if (start >= 0 && !same(key, start)) {
            regions.push_back({static_cast<uint8_t>(start), static_cast<uint8_t>(key - 1)});
            start = -1;
        }
        if (start < 0 && used_[key] > 0)
            start = key;
    }
    return regions;
}

} // namespace quorvane
