// The instrument list of a DLS or GigaSampler bank as presets, layers and zones. Every GigaSampler
// dimension region becomes a zone; velocity and sample-channel splits stay inside a layer, every other
// dimension (layer, key switch, round robin, controllers ...) forms layers of its own.
#pragma once

#include "formats/common/ReadNotes.h"
#include "formats/dls/DlsImage.h"

namespace quorvane {

// Needs the sample table of the wave pool. Replaces presets, layers and zones and sets DlsFlavour
// (GigaSampler when the bank has GigaSampler chunks; otherwise the DLS Level 1 reading runs). Does nothing
// without an instrument list. With readUnmappedRegions off, regions whose wave is not in the pool are left
// out. What the bank holds beyond what the model can (dimension regions past the layout's or the model's
// capacity) is left out and said in `unsupported`, one line for each kind.
void ReadDlsInstruments(BankModel& bank, const DlsState& dls, bool readUnmappedRegions,
                        ReadNotes& unsupported);
void ReadDlsLevel1Instruments(BankModel& bank, const DlsState& dls);

// GigaSampler dimension type codes the reader tells apart; every other code forms layers.
namespace dimension {
constexpr uint8_t kSampleChannel = 0x80;
constexpr uint8_t kLayer = 0x81;
constexpr uint8_t kVelocity = 0x82;
} // namespace dimension

// The two layouts of a region's "3lnk", told apart by its size: GigaSampler 2 (172 bytes) holds 5
// dimension definitions and 32 wave pool indices, GigaStudio 3 and later (1092 bytes) 8 and 256.
struct LinkLayout {
    int definitions;
    uint32_t dimensionRegions;
    uint32_t poolIndexOffset;
};
constexpr LinkLayout kGigaSampler2Link{5, 32, 44};
constexpr LinkLayout kGigaStudio3Link{8, 256, 68};
constexpr uint32_t kGigaStudio3LinkSize = 1092;
LinkLayout LinkLayoutOf(uint32_t chunkSize);

// GigaStudio 3 "3ewa" chunks (148 bytes) end in one upper limit per dimension definition; the velocity
// splits of such files are set there.
constexpr size_t kDimensionUpperLimitsOffset = 140;

constexpr int kMostDimensions = 8;
constexpr uint32_t kMostDimensionRegions = 256;

struct DimensionDefinition {
    uint8_t type = 0;
    uint8_t bits = 0;
    uint8_t zones = 0; // GigaStudio 3: zones in use, which may be fewer than 2^bits; 0 = all
};

// How the dimension region numbers 0..255 of one region map onto layers and splits.
struct RegionLayout {
    bool stereo = false;
    bool otherDimension = false; // a dimension other than channel, layer and velocity
    bool velocity = false;
    int velocityDimension = -1; // index of the (first) velocity definition
    uint8_t LayerNumber[kMostDimensionRegions] = {};
    uint8_t SplitNumber[kMostDimensionRegions] = {};
    uint8_t VelocityTopTable[kMostDimensionRegions] = {};
    // False for a dimension region whose zone in some dimension is past the zones that dimension uses.
    bool Reachable[kMostDimensionRegions] = {};
};

RegionLayout LayoutOf(const DimensionDefinition* definitions, int count);

} // namespace quorvane
