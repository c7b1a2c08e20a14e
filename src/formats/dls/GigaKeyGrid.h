// The key grid a GigaSampler instrument is built from: for every MIDI key, up to 32 slots of items, each
// item a velocity range played by one zone of one layer. Zones that overlap in velocity go to separate
// slots (which become layer splits); within a slot the items become velocity splits. Runs of keys with the
// same slots form the regions.
#pragma once

#include <array>
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
    void Place(int key, const GridItem& item);
    void FillGapsAndOrder();

    std::vector<GridRow> rows_ = std::vector<GridRow>(kGridRows);
    // Slots fill from the first on, so the filled ones of a row are its first used_[key].
    std::array<uint8_t, kGridRows> used_{};
};

} // namespace quorvane
