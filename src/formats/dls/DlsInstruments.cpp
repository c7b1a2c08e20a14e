#include "formats/dls/DlsInstruments.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "formats/common/Bytes.h"
#include "formats/dls/DlsArticulation.h"
#include "formats/dls/GigaArticulation.h"

namespace quorvane {

namespace {

constexpr uint16_t kEmptyVelocityRange = 0x7F7F;

// End (file position) of the instrument list.
uint64_t InstrumentListEnd(const BankModel& bank, const DlsState& dls) {
    const auto list =
        ChunkImage(bank.BankImage.data(), bank.BankImageSize).HeaderAt(dls.InstrumentListOffset);
    return list ? dls.InstrumentListOffset + 8 + static_cast<uint64_t>(list->size) : 0;
}

template <typename Visit> void Walk(const BankModel& bank, uint64_t start, uint64_t end, Visit visit) {
    DlsWalker walker(bank, start);
    while (walker.FilePosition() < end && walker.ImagePosition() < bank.BankImageSize) {
        const std::optional<ChunkHeader> chunk = walker.Current();
        if (!chunk)
            return;
        visit(walker.Image(), *chunk, walker.FilePosition());
        walker.Advance(*chunk);
    }
}

int ReadDimensions(const ChunkPayload& p, const LinkLayout& link, DimensionDefinition* definitions) {
    const bool zonesGiven = link.definitions == kGigaStudio3Link.definitions;
    int count = 0;
    for (; count < link.definitions; ++count) {
        const uint8_t type = p.U8(4 + 8 * count);
        const uint8_t bits = p.U8(5 + 8 * count);
        if (type == 0 && bits == 0)
            break;
        definitions[count] = {type, bits, zonesGiven ? p.U8(8 + 8 * count) : uint8_t{0}};
    }
    return count;
}

int DimensionBits(const DimensionDefinition* definitions, int count) {
    int bits = 0;
    for (int i = 0; i < count; ++i)
        bits += definitions[i].bits;
    return bits;
}

bool ListHas(const HexIndexList& list, uint16_t index) {
    return std::find(list.begin(), list.end(), index) != list.end();
}

void WaveSampleFrom(const ChunkPayload& p, WaveSampleValues& wsmp) {
    wsmp.unityNote = p.U16(4) & 127;
    wsmp.fineTune = static_cast<int16_t>(p.U16(6));
    wsmp.attenuation = static_cast<uint16_t>(p.U32(8) >> 16);
    wsmp.gain = static_cast<int32_t>(p.U32(8));
    wsmp.loopFlag = p.U32(16) & 1;
    wsmp.loopStart = p.U32(28);
    wsmp.loopLength = p.U32(32);
}

// The "wsmp" of each wave of the pool, by wave number; nothing for a wave without one.
std::vector<std::optional<WaveSampleValues>> WaveSampleValuesOfWaves(const BankModel& bank,
                                                                     const DlsState& dls) {
    std::vector<std::optional<WaveSampleValues>> values;
    if (dls.WavePoolOffset == 0)
        return values;
    const auto pool = ChunkImage(bank.BankImage.data(), bank.BankImageSize).HeaderAt(dls.WavePoolOffset);
    if (!pool)
        return values;
    const uint64_t end = dls.WavePoolOffset + 8 + static_cast<uint64_t>(pool->size);
    Walk(bank, dls.WavePoolOffset + 12, end,
         [&](const ChunkImage& image, const ChunkHeader& chunk, uint64_t) {
             if (chunk.IsList("wave")) {
                 values.emplace_back();
             } else if (chunk.Is("wsmp") && !values.empty()) {
                 WaveSampleValues wsmp;
                 WaveSampleFrom(ChunkPayload(image, chunk), wsmp);
                 values.back() = wsmp;
             }
         });
    return values;
}

// A DLS fine tune in cents as the generators hold it: whole semitones in coarseTune, the rest in fineTune.
void SetTuning(ZoneRecord& zone, int fineTune) {
    const int coarse = fineTune / 100;
    if (coarse != 0)
        zone.Set(gen::coarseTune, static_cast<int16_t>(coarse));
    zone.Set(gen::fineTune, static_cast<int16_t>(fineTune - 100 * coarse));
}

// A DLS region's sample values on its zone: root key, tuning, the gain as attenuation (a gain above unity
// cannot be carried and stays at none) and the loop. The values replace the wave's own, while a zone's
// tuning adds to its sample's pitch correction (the wave's fine tune): the zone carries the difference.
void ApplyWaveSample(const WaveSampleValues& wsmp, const SampleRecord* sample, ZoneRecord& zone) {
    zone.Set(gen::overridingRootKey, static_cast<int16_t>(wsmp.unityNote));
    SetTuning(zone, wsmp.fineTune - (sample != nullptr ? sample->pitchCorrection : 0));
    const int64_t attenuation = (-int64_t{wsmp.gain} + 32768) / 65536;
    if (attenuation > 0)
        zone.Set(gen::initialAttenuation, static_cast<int16_t>(std::min<int64_t>(attenuation, 1440)));
    zone.loopStart = wsmp.loopStart;
    zone.loopEnd = wsmp.loopLength;
    if (wsmp.loopFlag) {
        zone.Set(gen::sampleModes, 1);
        zone.loopEnd = wsmp.loopLength == 0 ? wsmp.loopStart : wsmp.loopStart + wsmp.loopLength;
    }
}

// ulBank: the MIDI bank select MSB (CC0) in bits 8..14, the LSB (CC32) in bits 0..6, drum in bit 31.
void ReadInstrumentHeader(const ChunkPayload& p, PresetRecord& preset) {
    preset.bank = (p.U16(4) >> 8) & 0x7F;
    preset.bankLsb = p.U16(4) & 0x7F;
    preset.program = p.U16(8);
    preset.isDrum = (p.U16(6) & 0x8000) != 0;
}

} // namespace

LinkLayout LinkLayoutOf(uint32_t chunkSize) {
    return chunkSize >= kGigaStudio3LinkSize ? kGigaStudio3Link : kGigaSampler2Link;
}

RegionLayout LayoutOf(const DimensionDefinition* definitions, int count) {
    RegionLayout layout;
    count = std::min(count, kMostDimensions);
    int position[kMostDimensions] = {};
    for (int i = 1; i < count; ++i)
        position[i] = position[i - 1] + definitions[i - 1].bits;

    // Layer-forming dimensions: the layer dimension first, then the others in definition order.
    std::vector<int> layerForming, split;
    for (int i = 0; i < count; ++i)
        if (definitions[i].type == dimension::kLayer)
            layerForming.push_back(i);
    for (int i = 0; i < count; ++i) {
        const uint8_t type = definitions[i].type;
        layout.stereo = layout.stereo || type == dimension::kSampleChannel;
        layout.velocity = layout.velocity || type == dimension::kVelocity;
        if (type != dimension::kSampleChannel && type != dimension::kLayer && type != dimension::kVelocity) {
            layout.otherDimension = true;
            layerForming.push_back(i);
        }
    }
    for (int i = 0; i < count; ++i)
        if (definitions[i].type == dimension::kSampleChannel)
            split.push_back(i);
    int velocityBits = 0, velocityIndex = -1;
    for (int i = 0; i < count; ++i)
        if (definitions[i].type == dimension::kVelocity) {
            split.push_back(i);
            if (velocityIndex < 0) {
                velocityIndex = i;
                velocityBits = definitions[i].bits;
            }
        }
    layout.velocityDimension = velocityIndex;
    // Zones in use per dimension: all 2^bits unless the definition names fewer.
    auto zonesOf = [&](int i) -> unsigned {
        const unsigned all = definitions[i].bits >= 8 ? 256u : 1u << definitions[i].bits;
        return definitions[i].zones != 0 ? std::min<unsigned>(definitions[i].zones, all) : all;
    };

    // Bit counts come from the file: a field that starts past bit 31 of the region number is empty, and
    // nothing is packed past bit 31.
    auto fieldOf = [&](unsigned r, int i) {
        const unsigned bits = definitions[i].bits;
        const unsigned at = static_cast<unsigned>(position[i]);
        return at >= 32 ? 0 : bits >= 32 ? r >> at : (r >> at) & ((1u << bits) - 1);
    };
    auto pack = [&](unsigned r, const std::vector<int>& dimensions) {
        unsigned packed = 0, shift = 0;
        for (int i : dimensions) {
            if (shift < 32)
                packed |= fieldOf(r, i) << shift;
            shift += definitions[i].bits;
        }
        return packed;
    };
    // Bits of a region number above the dimensions' bits select nothing: the first 2^bits numbers are worked
    // out, the rest repeat them.
    unsigned totalBits = 0;
    for (int i = 0; i < count; ++i)
        totalBits += definitions[i].bits;
    const unsigned worked = totalBits >= 8 ? kMostDimensionRegions : 1u << totalBits;
    for (unsigned r = 0; r < worked; ++r) {
        layout.LayerNumber[r] = static_cast<uint8_t>(pack(r, layerForming));
        layout.SplitNumber[r] = static_cast<uint8_t>(pack(r, split));
        if (velocityIndex < 0 || velocityBits > 7) {
            layout.VelocityTopTable[r] = 127;
        } else {
            const unsigned zone = fieldOf(r, velocityIndex);
            layout.VelocityTopTable[r] = static_cast<uint8_t>((zone + 1) * 128u / zonesOf(velocityIndex) - 1);
        }
        layout.Reachable[r] = true;
        for (int i = 0; i < count; ++i)
            layout.Reachable[r] = layout.Reachable[r] && fieldOf(r, i) < zonesOf(i);
    }
    for (unsigned r = worked; r < kMostDimensionRegions; ++r) {
        layout.LayerNumber[r] = layout.LayerNumber[r % worked];
        layout.SplitNumber[r] = layout.SplitNumber[r % worked];
        layout.VelocityTopTable[r] = layout.VelocityTopTable[r % worked];
        layout.Reachable[r] = layout.Reachable[r % worked];
    }
    return layout;
}

void ReadDlsInstruments(BankModel& bank, const DlsState& dls, bool readUnmappedRegions,
                        ReadNotes& unsupported) {
    if (dls.InstrumentListOffset == 0)
        return;
    const uint64_t listEnd = InstrumentListEnd(bank, dls);

    // Counting walk: INFO texts, and how many presets, layers and zones the instrument list makes.
    for (std::string& text : bank.BankInfo)
        text.clear();
    bank.DlsFlavour = DlsFlavour::Dls;
    uint32_t presets = 0, layerTotal = 0, zoneTotal = 0, articulations = 0, instrumentLayers = 0;
    uint32_t oversizedRegions = 0; // regions with more dimension bits than their layout holds
    // Regions with a wave link but no 3ewa play as DLS regions do: one zone each.
    uint32_t plainRegions = 0;
    bool regionOpen = false, regionArticulated = false, regionLinked = false;
    auto countRegion = [&] {
        if (regionOpen && !regionArticulated && regionLinked) {
            ++plainRegions;
            instrumentLayers = std::max(instrumentLayers, 1u);
        }
        regionOpen = regionArticulated = regionLinked = false;
    };
    Walk(bank, 12, listEnd, [&](const ChunkImage& image, const ChunkHeader& chunk, uint64_t position) {
        if (position < dls.InstrumentListOffset) {
            const int slot = BankInfoSlotOf(chunk.id);
            if (slot > 0 && slot < kSoundEngineSlot)
                bank.BankInfo[slot] = PayloadText(image, chunk, kMaxInfoTextLength);
        }
        if (chunk.IsList("ins ") || chunk.IsList("rgn ") || chunk.IsList("rgn2"))
            countRegion();
        if (chunk.IsList("rgn ") || chunk.IsList("rgn2")) {
            regionOpen = true;
        } else if (chunk.Is("wlnk")) {
            regionLinked = true;
        }
        if (chunk.IsList("ins ")) {
            ++presets;
            layerTotal += instrumentLayers;
            instrumentLayers = 0;
        } else if (chunk.Is("3ewa")) {
            bank.DlsFlavour = DlsFlavour::GigaSampler;
            ++articulations;
            regionArticulated = true;
        } else if (chunk.Is("3lnk")) {
            bank.DlsFlavour = DlsFlavour::GigaSampler;
            const ChunkPayload p(image, chunk);
            const LinkLayout link = LinkLayoutOf(chunk.size);
            // Only the dimension regions the layout holds are read, so no more are counted.
            const uint32_t regions = std::min<uint32_t>(p.U16(0), link.dimensionRegions);
            zoneTotal += regions;
            DimensionDefinition definitions[kMostDimensions];
            const int count = ReadDimensions(p, link, definitions);
            const int bits = DimensionBits(definitions, count);
            if (p.U16(0) > link.dimensionRegions || (bits < 32 && (1u << bits) > link.dimensionRegions))
                ++oversizedRegions;
            int splitBits = 0;
            for (int i = 0; i < count; ++i)
                if (definitions[i].type == dimension::kSampleChannel ||
                    definitions[i].type == dimension::kVelocity)
                    splitBits += definitions[i].bits;
            instrumentLayers = std::max(instrumentLayers, splitBits >= 32 ? 0u : regions >> splitBits);
        }
    });
    countRegion();
    layerTotal += instrumentLayers;
    zoneTotal = std::max(zoneTotal, articulations) + plainRegions;
    if (bank.DlsFlavour == DlsFlavour::Dls) {
        ReadDlsLevel1Instruments(bank, dls);
        return;
    }

    if (oversizedRegions > 0)
        unsupported.Add(std::to_string(oversizedRegions) +
                        " region(s) use more dimension bits than their layout holds; only the dimension "
                        "regions it holds are read");
    if (zoneTotal > 0xFFFF || layerTotal > 0xFFFF)
        unsupported.Add("the bank has " + std::to_string(zoneTotal) + " dimension regions in " +
                        std::to_string(layerTotal) +
                        " layers; only the first 65535 of each are read, the instruments past them are "
                        "incomplete");
    presets = std::min<uint32_t>(presets, 0xFFFF);
    layerTotal = std::min<uint32_t>(layerTotal, 0xFFFF);
    zoneTotal = std::min<uint32_t>(zoneTotal, 0xFFFF);
    bank.PresetTable.assign(presets + 1, PresetRecord{});
    LayerRecord blankLayer;
    blankLayer.Reset();
    blankLayer.isGlobal = 0;
    bank.LayerTable.assign(layerTotal, blankLayer);
    ZoneRecord blankZone;
    blankZone.isGlobal = 0;
    bank.ZoneTable.assign(zoneTotal, blankZone);
    bank.PresetCount = static_cast<uint16_t>(presets);
    bank.LayerCount = static_cast<uint16_t>(layerTotal);
    bank.ZoneCount = static_cast<uint16_t>(zoneTotal);

    // Filling walk over the instrument list.
    uint32_t slot = 0, layerBase = 0, layerCount = 0, zoneBase = 0, k = 0;
    uint32_t capacity = kGigaSampler2Link.dimensionRegions; // of the current region's 3lnk
    uint16_t keyRange = 0;
    RegionLayout layout;
    uint32_t waves[kMostDimensionRegions];
    std::fill(std::begin(waves), std::end(waves), 0xFFFFFFFFu);
    uint32_t lastTop[kMostDimensionRegions] = {};
    WaveSampleValues wsmp;
    // The region being walked, for one without 3ewa: it plays its wave by its own "wsmp" (or the wave's)
    // and its own DLS articulation, as a DLS region does.
    struct PlainRegion {
        bool open = false, ownWsmp = false;
        uint64_t end = 0;
        uint16_t velocityRange = kFullRange;
        std::optional<uint16_t> wave;
        std::vector<DlsConnection> connections;
    } region;
    const std::vector<std::optional<WaveSampleValues>> waveWsmp = WaveSampleValuesOfWaves(bank, dls);
    auto closeRegion = [&](PresetRecord* preset) {
        const bool plain = region.open && k == 0 && region.wave.has_value();
        region.open = false;
        const uint32_t L = layerBase, Z = zoneBase;
        if (!plain || preset == nullptr || L >= bank.LayerCount || Z >= bank.ZoneCount)
            return;
        k = 1;
        layerCount = std::max<uint32_t>(layerCount, 1);
        const uint16_t wave = *region.wave;
        ZoneRecord& zone = bank.ZoneTable[Z];
        zone.isGlobal = 0;
        zone.sampleIndex = wave;
        zone.Set(gen::sampleID, static_cast<int16_t>(wave));
        zone.Set(gen::keyRange, static_cast<int16_t>(keyRange));
        if (region.velocityRange != kFullRange)
            zone.Set(gen::velRange, static_cast<int16_t>(region.velocityRange));
        const std::optional<WaveSampleValues> values = region.ownWsmp ? std::optional<WaveSampleValues>(wsmp)
                                                       : wave < waveWsmp.size() ? waveWsmp[wave]
                                                                                : std::nullopt;
        if (values)
            ApplyWaveSample(*values, bank.IsValidSample(wave) ? &bank.SampleTable[wave] : nullptr, zone);
        for (const DlsConnection& connection : region.connections)
            ApplyDlsConnection(connection, zone);
        LayerRecord& layer = bank.LayerTable[L];
        layer.Set(gen::instrument, static_cast<int16_t>(L));
        layer.isGlobal = 0;
        if (!ListHas(preset->layerList, static_cast<uint16_t>(L))) {
            preset->layerList.Append(static_cast<uint16_t>(L));
            layer.name = "layer 1";
        }
        if ((bank.IsValidSample(wave) || readUnmappedRegions) &&
            !ListHas(layer.zoneList, static_cast<uint16_t>(Z)))
            layer.zoneList.Append(static_cast<uint16_t>(Z));
    };
    Walk(bank, dls.InstrumentListOffset + 12, listEnd,
         [&](const ChunkImage& image, const ChunkHeader& chunk, uint64_t position) {
             const ChunkPayload p(image, chunk);
             PresetRecord* preset = slot >= 1 && slot <= presets ? &bank.PresetTable[slot] : nullptr;
             if (chunk.IsList("ins ") || chunk.IsList("rgn ") || chunk.IsList("rgn2") ||
                 (region.open && position >= region.end))
                 closeRegion(preset);
             if (chunk.IsList("ins ")) {
                 ++slot;
                 if (slot <= presets)
                     bank.PresetTable[slot].layerList.Clear();
                 layerBase += layerCount;
                 layerCount = 0;
             } else if (chunk.Is("insh")) {
                 if (preset)
                     ReadInstrumentHeader(p, *preset);
                 layout.otherDimension = false;
             } else if (chunk.Is("INAM")) {
                 if (preset)
                     preset->name = PayloadText(image, chunk, kMaxNameLength);
             } else if (chunk.IsList("rgn ") || chunk.IsList("rgn2")) {
                 zoneBase += std::min(k, capacity);
                 k = 0;
                 layout.stereo = false;
                 region = PlainRegion{};
                 region.open = true;
                 region.end = position + 8 + chunk.size;
             } else if (chunk.Is("wsmp")) {
                 WaveSampleFrom(p, wsmp);
                 region.ownWsmp = region.ownWsmp || (region.open && k == 0);
             } else if (chunk.Is("wlnk")) {
                 if (region.open)
                     region.wave = static_cast<uint16_t>(p.U32(8));
             } else if ((chunk.Is("art1") || chunk.Is("art2")) && region.open && position < region.end) {
                 // The header's own size comes first, then the number of 12-byte blocks.
                 const uint32_t headerSize = p.U32(0);
                 for (uint64_t i = 0; i < p.U32(4) && p.Has(headerSize + 12 * i, 12); ++i) {
                     const uint64_t at = headerSize + 12 * i;
                     region.connections.push_back({p.U16(at), p.U16(at + 2), p.U16(at + 4), p.U16(at + 6),
                                                   static_cast<int32_t>(p.U32(at + 8))});
                 }
             } else if (chunk.Is("3ewg")) {
                 if (preset) {
                     for (int i = 0; i < 12; ++i)
                         preset->instrumentGlobals[i] = p.U8(i);
                     for (uint32_t l = layerBase; l < layerBase + layerCount && l < bank.LayerCount; ++l)
                         bank.LayerTable[l].Set(gen::fineTune, static_cast<int16_t>(p.U16(6)));
                 }
             } else if (chunk.Is("rgnh")) {
                 keyRange = static_cast<uint16_t>(p.U16(2) * 256 + p.U16(0));
                 region.velocityRange = static_cast<uint16_t>((p.U16(6) & 127) * 256 + (p.U16(4) & 127));
                 std::fill(std::begin(lastTop), std::end(lastTop), 0);
             } else if (chunk.Is("3lnk")) {
                 const LinkLayout link = LinkLayoutOf(chunk.size);
                 capacity = link.dimensionRegions;
                 const uint32_t regions = std::min<uint32_t>(p.U16(0), capacity);
                 for (uint32_t i = 0; i < regions; ++i)
                     waves[i] = p.U32(link.poolIndexOffset + 4 * i) & 0xFFFF;
                 DimensionDefinition definitions[kMostDimensions];
                 layout = LayoutOf(definitions, ReadDimensions(p, link, definitions));
             } else if (chunk.Is("3ewa")) {
                 const uint32_t r = k++;
                 const uint32_t L = layerBase + layout.LayerNumber[r % kMostDimensionRegions];
                 const uint32_t Z = zoneBase + r;
                 if (r >= capacity || preset == nullptr || L >= bank.LayerCount || Z >= bank.ZoneCount)
                     return;
                 layerCount = std::max<uint32_t>(layerCount, layout.LayerNumber[r] + 1u);
                 LayerRecord& layer = bank.LayerTable[L];
                 layer.Set(gen::instrument, static_cast<int16_t>(L));
                 layer.isGlobal = 0;

                 ZoneRecord& zone = bank.ZoneTable[Z];
                 std::array<uint8_t, kEwaKeptBytes> ewa{};
                 std::memcpy(ewa.data(), p.data, std::min<uint64_t>(p.length, kEwaKeptBytes));
                 for (size_t w = 0; w < kEwaKeptBytes / 2; ++w)
                     zone.rawArticulation[w] = ReadU16LE(ewa.data() + 2 * w);
                 const uint16_t wave = static_cast<uint16_t>(waves[r]);
                 zone.sampleIndex = wave;
                 zone.Set(gen::sampleID, static_cast<int16_t>(wave));
                 zone.Set(gen::keyRange, static_cast<int16_t>(keyRange));
                 zone.isGlobal = 0;
                 zone.loopStart = wsmp.loopStart;
                 zone.loopEnd = wsmp.loopLength == 0 ? wsmp.loopStart : wsmp.loopStart + wsmp.loopLength;
                 const SampleRecord* sample = bank.IsValidSample(wave) ? &bank.SampleTable[wave] : nullptr;
                 if (wsmp.loopFlag == 0 && sample != nullptr && sample->dataLength / 2 < wsmp.loopLength)
                     zone.loopStart = zone.loopEnd = 0;
                 if (wsmp.loopFlag == 1)
                     zone.Set(gen::sampleModes, 1);
                 ConvertArticulation(ewa, wsmp, sample, zone);

                 // Velocity range from the region's velocity split and the 3ewa upper limits: GigaStudio 3
                 // files give them in the velocity dimension's upper limit, older ones at byte 124.
                 uint16_t velocityRange = kFullRange;
                 if (layout.velocity) {
                     const uint64_t limitAt = kDimensionUpperLimitsOffset + layout.velocityDimension;
                     const uint32_t limit = p.Has(limitAt, 1) && p.U8(limitAt) != 0
                                                ? p.U8(limitAt)
                                                : ReadU16LE(ewa.data() + 124);
                     const uint32_t split = layout.SplitNumber[r];
                     uint32_t& last = lastTop[layout.LayerNumber[r]];
                     uint32_t top = 0, low = 0;
                     if (limit == 0) {
                         top = layout.VelocityTopTable[r];
                         low = last == 0 ? 0 : last + 1;
                         last = top;
                     } else {
                         top = limit;
                         low = split == 0 || (layout.stereo && split < 2) ? 0 : last + 1;
                         if (!layout.stereo || split % 2 == 1)
                             last = top;
                     }
                     velocityRange = limit != 0 && top <= low
                                         ? kEmptyVelocityRange
                                         : static_cast<uint16_t>((top & 0xFF) * 256 + (low & 0xFF));
                 }
                 // A dimension region past the zones a dimension uses is never played.
                 const bool reachable = layout.Reachable[r];
                 if (!reachable)
                     velocityRange = kEmptyVelocityRange;
                 zone.generators[gen::velRange] = static_cast<int16_t>(velocityRange);
                 zone.generatorSet[gen::velRange] = velocityRange != kFullRange;

                 const uint16_t layerIndex = static_cast<uint16_t>(L);
                 if (reachable && !ListHas(preset->layerList, layerIndex)) {
                     preset->layerList.Append(layerIndex);
                     layer.name = (layout.otherDimension ? "dimension " : "layer ") +
                                  std::to_string(layout.LayerNumber[r] + 1);
                 }
                 const bool playable = bank.IsValidSample(wave) || readUnmappedRegions;
                 const bool leftOrMono = !layout.stereo || layout.SplitNumber[r] % 2 == 0;
                 if (velocityRange != kEmptyVelocityRange && playable && leftOrMono &&
                     !ListHas(layer.zoneList, static_cast<uint16_t>(Z)))
                     layer.zoneList.Append(static_cast<uint16_t>(Z));
             }
         });
    closeRegion(slot >= 1 && slot <= presets ? &bank.PresetTable[slot] : nullptr);

    if (!readUnmappedRegions) {
        for (uint32_t s = 1; s <= bank.PresetCount; ++s) {
            HexIndexList kept;
            for (uint16_t l : bank.PresetTable[s].layerList)
                if (bank.IsValidLayer(l) && !bank.LayerTable[l].zoneList.Empty())
                    kept.Append(l);
            bank.PresetTable[s].layerList = kept;
        }
    }
}

void ReadDlsLevel1Instruments(BankModel& bank, const DlsState& dls) {
    if (dls.InstrumentListOffset == 0)
        return;
    const uint64_t start = dls.InstrumentListOffset + 12;
    const uint64_t end = InstrumentListEnd(bank, dls);
    uint32_t instruments = 0, regions = 0;
    Walk(bank, start, end, [&](const ChunkImage&, const ChunkHeader& chunk, uint64_t) {
        instruments += chunk.IsList("ins ");
        regions += chunk.IsList("rgn ") || chunk.IsList("rgn2");
    });
    instruments = std::min<uint32_t>(instruments, 0xFFFF);
    regions = std::min<uint32_t>(regions, 0xFFFF);
    bank.PresetTable.assign(instruments + 1, PresetRecord{});
    LayerRecord blankLayer;
    blankLayer.Reset();
    bank.LayerTable.assign(instruments, blankLayer);
    bank.ZoneTable.assign(regions, ZoneRecord{});
    bank.PresetCount = bank.LayerCount = static_cast<uint16_t>(instruments);
    bank.ZoneCount = static_cast<uint16_t>(regions);

    std::vector<std::optional<WaveSampleValues>> regionWsmp(regions);
    std::vector<uint32_t> zoneLayer(regions, UINT32_MAX); // the layer (instrument) each region belongs to
    uint32_t slot = 0, zoneNumber = 0, firstZoneOfInstrument = 0;
    Walk(bank, start, end, [&](const ChunkImage& image, const ChunkHeader& chunk, uint64_t) {
        const ChunkPayload p(image, chunk);
        PresetRecord* preset = slot >= 1 && slot <= instruments ? &bank.PresetTable[slot] : nullptr;
        LayerRecord* layer = preset ? &bank.LayerTable[slot - 1] : nullptr;
        ZoneRecord* zone = zoneNumber > firstZoneOfInstrument && zoneNumber <= regions
                               ? &bank.ZoneTable[zoneNumber - 1]
                               : nullptr;
        if (chunk.IsList("ins ")) {
            if (++slot > instruments)
                return;
            PresetRecord& next = bank.PresetTable[slot];
            LayerRecord& nextLayer = bank.LayerTable[slot - 1];
            next.layerList.Clear();
            nextLayer.zoneList.Clear();
            nextLayer.isGlobal = 0;
            nextLayer.name = "layer";
            next.layerList.Append(static_cast<uint16_t>(slot - 1));
            firstZoneOfInstrument = zoneNumber;
        } else if (chunk.Is("insh")) {
            if (preset)
                ReadInstrumentHeader(p, *preset);
        } else if (chunk.Is("INAM")) {
            if (preset)
                preset->name = PayloadText(image, chunk, kMaxNameLength);
        } else if (chunk.IsList("rgn ") || chunk.IsList("rgn2")) {
            ++zoneNumber;
            if (zoneNumber <= regions) {
                ZoneRecord& next = bank.ZoneTable[zoneNumber - 1];
                next.isGlobal = 0;
                next.sampleIndex = kNoSample;
            }
        } else if (chunk.Is("rgnh") && zone) {
            zone->Set(gen::keyRange, static_cast<int16_t>((p.U16(2) & 127) * 256 + (p.U16(0) & 127)));
            zone->Set(gen::velRange, static_cast<int16_t>((p.U16(6) & 127) * 256 + (p.U16(4) & 127)));
            zone->Set(gen::pan, 0);
        } else if (chunk.Is("wsmp") && zone && layer) {
            WaveSampleValues wsmp;
            WaveSampleFrom(p, wsmp);
            regionWsmp[zoneNumber - 1] = wsmp;
            zoneLayer[zoneNumber - 1] = slot - 1;
        } else if (chunk.Is("wlnk") && zone) {
            zone->sampleIndex = static_cast<uint16_t>(p.U32(8));
            zone->Set(gen::sampleID, static_cast<int16_t>(zone->sampleIndex));
            if (layer)
                zoneLayer[zoneNumber - 1] = slot - 1;
        }
    });
    // A region takes its own "wsmp", or else its wave's; one with neither has no pitch or loop to play by
    // and is not listed.
    const std::vector<std::optional<WaveSampleValues>> waveWsmp = WaveSampleValuesOfWaves(bank, dls);
    for (uint32_t z = 0; z < regions; ++z) {
        ZoneRecord& zone = bank.ZoneTable[z];
        std::optional<WaveSampleValues> wsmp = regionWsmp[z];
        if (!wsmp && zone.sampleIndex < waveWsmp.size())
            wsmp = waveWsmp[zone.sampleIndex];
        if (!wsmp || zoneLayer[z] >= instruments)
            continue;
        ApplyWaveSample(*wsmp,
                        bank.IsValidSample(zone.sampleIndex) ? &bank.SampleTable[zone.sampleIndex] : nullptr,
                        zone);
        LayerRecord& layer = bank.LayerTable[zoneLayer[z]];
        if (!ListHas(layer.zoneList, static_cast<uint16_t>(z)))
            layer.zoneList.Append(static_cast<uint16_t>(z));
        layer.Set(gen::instrument, static_cast<int16_t>(zoneLayer[z]));
    }
    ReadDlsArticulations(bank, start, end);
}

} // namespace quorvane
