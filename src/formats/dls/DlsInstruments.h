// The instrument list of a DLS or GigaSampler bank as presets, layers and zones. Every GigaSampler
// dimension region becomes a zone; velocity and sample-channel splits stay inside a layer, every other
// dimension (layer, key switch, round robin, controllers ...) forms layers of its own.
#pragma once

#include "formats/dls/DlsImage.h"

namespace quorvane {

// Needs the sample table of the wave pool. Replaces presets, layers and zones and sets DlsFlavour (2 when
// the bank has GigaSampler chunks; otherwise the DLS Level 1 reading runs). Does nothing without an
// instrument list. With readUnmappedRegions off, regions whose wave is not in the pool are left out.
void ReadDlsInstruments(BankModel& bank, const DlsState& dls, bool readUnmappedRegions);
void ReadDlsLevel1Instruments(BankModel& bank, const DlsState& dls);

// GigaSampler dimension type codes the reader tells apart; every other code forms layers.
namespace dimension {
constexpr uint8_t kSampleChannel = 0x80;
constexpr uint8_t kLayer = 0x81;
constexpr uint8_t kVelocity = 0x82;
} // namespace dimension

struct DimensionDefinition {
    uint8_t type = 0;
    uint8_t bits = 0;
};

// How the dimension region numbers 0..31 of one region map onto layers and splits.
struct RegionLayout {
    bool stereo = false;
    bool otherDimension = false; // a dimension other than channel, layer and velocity
    bool velocity = false;
    uint8_t LayerNumber[32] = {};
    uint8_t SplitNumber[32] = {};
    uint8_t VelocityTopTable[32] = {};
};

RegionLayout LayoutOf(const DimensionDefinition* definitions, int count);

} // namespace quorvane
