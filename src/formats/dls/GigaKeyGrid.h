// The key grid a GigaSampler instrument is built from: for every MIDI key, up to 32 slots of items, each
// item a velocity range played by one zone of one layer. Zones that overlap in velocity go to separate
// slots (which become layer splits); within a slot the items become velocity splits. Runs of keys with the
// same slots form the regions.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <vector>

#include "model/BankModel.h"

namespace quorvane {

constexpr int kGridSlots = 32;
constexpr int kGridRows = 129; // keys 0..127 and an always empty row that ends the last region
constexpr uint16_t kNullItem = 0xFFFF;

struct GridItem {
    uint8_t velocityLow = 0;
    uint8_t velocityHigh = 127;
    uint16_t layer = kNullItem; // kNullItem for a velocity gap
    uint16_t zone = kNullItem;

    bool IsNull() const { return layer == kNullItem && zone == kNullItem; }
    bool operator==(const GridItem&) const = default;
};

using GridSlot = std::vector<GridItem>;
using GridRow = std::array<GridSlot, kGridSlots>;

struct KeyRegion {
    uint8_t low;
    uint8_t high;
};

class KeyGrid {
  public:
    // Places every zone of the preset's layers whose sample is valid; fills velocity gaps with null items
    // and orders each slot by the midpoints of its velocity ranges.
    static KeyGrid Build(const BankModel& bank, const PresetRecord& preset);
    // The same into this grid, whose slots keep their memory from the preset before.
    void Rebuild(const BankModel& bank, const PresetRecord& preset);

    const GridRow& Row(int key) const { return rows_[key]; }
    // Maximal runs of keys whose rows are identical and not empty.
    std::vector<KeyRegion> Regions() const;

  private:
    // Velocities are bytes as the files give them; ranges past 127 are carried as they come.
    using VelocityMasks = std::array<uint32_t, 256>;
    using VelocitySet = std::bitset<256>;

    void Clear();
    void Place(int key, const GridItem& item);
    // True when no item within the velocities could be placed on any of the keys: every slot of each
    // key already holds an item over each of those velocities.
    bool Saturated(int lowKey, int highKey, int lowVelocity, int highVelocity) const;
    void FillGapsAndOrder();

    std::vector<GridRow> rows_ = std::vector<GridRow>(kGridRows);
    // Slots fill from the first on, so the filled ones of a row are its first used_[key].
    std::array<uint8_t, kGridRows> used_{};
    // Per key and velocity, the slots holding an item over that velocity (bit s for slot s): the first
    // slot an item fits in is the first bit clear at both of its ends, found without scanning the slots.
    std::vector<VelocityMasks> cover_ = std::vector<VelocityMasks>(kGridRows);
    // Per key, the velocities every slot covers: a layer within them adds nothing to those keys.
    std::vector<VelocitySet> full_ = std::vector<VelocitySet>(kGridRows);
};

} // namespace quorvane
