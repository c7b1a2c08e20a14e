// The key grid of a preset whose layers fill every slot of some keys: later layers still land on the keys
// that have room, and a layer within full keys adds nothing. A preset of a thousand layers over one
// thousand-zone instrument is built in time proportional to what the grid holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "formats/dls/GigaKeyGrid.h"

namespace quorvane {
namespace {

uint16_t Range(int low, int high) {
    return static_cast<uint16_t>(low | high << 8);
}

struct LayerShape {
    uint16_t keys;
    int zones;
    uint16_t zoneVelocities = kFullRange;
};

// One preset; layer i plays zones of its own, each over the layer's keys and the given velocities, all on
// sample 0.
BankModel LayeredModel(const std::vector<LayerShape>& layers) {
    BankModel bank;
    bank.SampleTable.resize(1);
    bank.SampleCount = 1;
    bank.PresetTable.resize(2);
    for (const LayerShape& shape : layers) {
        LayerRecord layer;
        layer.Reset();
        layer.isGlobal = 0;
        layer.Set(gen::keyRange, static_cast<int16_t>(shape.keys));
        for (int z = 0; z < shape.zones; ++z) {
            ZoneRecord zone;
            zone.Reset();
            zone.isGlobal = 0;
            zone.Set(gen::velRange, static_cast<int16_t>(shape.zoneVelocities));
            zone.sampleIndex = 0;
            layer.zoneList.Append(static_cast<uint16_t>(bank.ZoneTable.size()));
            bank.ZoneTable.push_back(zone);
        }
        bank.PresetTable[1].layerList.Append(static_cast<uint16_t>(bank.LayerTable.size()));
        bank.LayerTable.push_back(layer);
    }
    bank.PresetCount = 1;
    bank.LayerCount = static_cast<uint16_t>(bank.LayerTable.size());
    bank.ZoneCount = static_cast<uint16_t>(bank.ZoneTable.size());
    return bank;
}

size_t UsedSlots(const GridRow& row) {
    return static_cast<size_t>(
        std::count_if(row.begin(), row.end(), [](const GridSlot& slot) { return !slot.empty(); }));
}

TEST(GigaKeyGrid, FullKeysTakeNothingMoreAndOtherKeysStillFill) {
    // Layer 0 fills all 32 slots of keys 0..63; layer 1 lies within them; layer 2 spans every key and
    // lands only on 64..127, where layer 3 (velocity halves) then shares its slots.
    const BankModel bank = LayeredModel(
        {{Range(0, 63), 40}, {Range(10, 20), 5}, {kFullRange, 3}, {Range(64, 127), 2, Range(0, 63)}});
    const KeyGrid grid = KeyGrid::Build(bank, bank.PresetTable[1]);
    EXPECT_EQ(UsedSlots(grid.Row(15)), 32u);
    for (const GridSlot& slot : grid.Row(15))
        EXPECT_EQ(slot, (GridSlot{{0, 127, 0, slot[0].zone}}));
    EXPECT_EQ(grid.Row(15)[31][0].zone, 31);
    // Keys 64..127: layer 2's three zones in slots 0..2, layer 3's two low-velocity zones in slots 3 and 4
    // (each clashes with the slots before it); the velocities above them stay silent.
    const GridRow& high = grid.Row(100);
    ASSERT_EQ(UsedSlots(high), 5u);
    EXPECT_EQ(high[0], (GridSlot{{0, 127, 2, 45}}));
    EXPECT_EQ(high[3], (GridSlot{{0, 63, 3, 48}}));
    EXPECT_EQ(high[4], (GridSlot{{0, 63, 3, 49}}));
    const std::vector<KeyRegion> regions = grid.Regions();
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0].high, 63);
    EXPECT_EQ(regions[1].low, 64);
}

TEST(GigaKeyGrid, AThousandLayersOverAThousandZonesBuildQuickly) {
    BankModel bank = LayeredModel({{kFullRange, 1000}});
    for (int layer = 1; layer < 1000; ++layer) {
        bank.LayerTable.push_back(bank.LayerTable[0]);
        bank.PresetTable[1].layerList.Append(static_cast<uint16_t>(layer));
    }
    bank.LayerCount = 1000;
    const auto start = std::chrono::steady_clock::now();
    const KeyGrid grid = KeyGrid::Build(bank, bank.PresetTable[1]);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(UsedSlots(grid.Row(60)), 32u);
    // A million pairs on 128 keys took minutes in the sanitizer build when each was placed on each key.
    EXPECT_LT(seconds, 5.0);
}

} // namespace
} // namespace quorvane
