// GigaSampler output read back by our own reader: a real SoundFont bank keeps its sample frames and what
// every zone plays where, and a GigaSampler bank written again keeps its articulation, instrument globals and
// sample groups byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/SampleFetch.h"
#include "support/DlsBuilder.h"
#include "support/GigWriteSession.h"
#include "support/Peers.h"
#include "support/SoundFontBuilder.h"

namespace quorvane {
namespace {

using test::Bytes;
using test::GigFileParts;
using test::GigWriteSession;

constexpr const char* kTimGM6mb = test::kTimGM6mbPath;

struct Range {
    int low = 0;
    int high = 127;
    bool Empty() const { return low > high; }
    bool operator==(const Range&) const = default;
};

Range Narrow(Range inner, Range outer) {
    return {std::max(inner.low, outer.low), std::min(inner.high, outer.high)};
}

Range RangeOf(const GeneratorSet& set, int number) {
    if (!set.IsSet(number))
        return {};
    const uint16_t value = set.Unsigned(number);
    return {value & 0xFF, value >> 8};
}

// A generator of a layer or zone as it plays: its own value, else its list's global layer or zone's.
const GeneratorSet* Giver(const GeneratorSet& own, const GeneratorSet* global, int number) {
    if (own.IsSet(number) || global == nullptr || !global->IsSet(number))
        return &own;
    return global;
}

// The tuning a zone plays with, in cents: coarse and fine tune of the zone and its layer (each its own or its
// global one's) and the sample's pitch correction, which SoundFont adds to them.
int Tuning(const BankModel& bank, const LayerRecord& layer, const LayerRecord* globalLayer,
           const ZoneRecord& zone, const ZoneRecord* globalZone) {
    auto value = [](const GeneratorSet& own, const GeneratorSet* global, int number) {
        const GeneratorSet* from = Giver(own, global, number);
        return from->IsSet(number) ? from->generators[number] : 0;
    };
    int cents = bank.SampleTable[zone.sampleIndex].pitchCorrection;
    for (int number : {gen::coarseTune, gen::fineTune}) {
        const int scale = number == gen::coarseTune ? 100 : 1;
        cents += scale * (value(zone, globalZone, number) + value(layer, globalLayer, number));
    }
    return cents;
}

std::vector<int16_t> Frames(Workspace& workspace, uint32_t sample) {
    const FrameBuffer buffer = FetchSample(workspace, sample, true).left;
    return std::vector<int16_t>(buffer.frames.begin(), buffer.frames.begin() + buffer.FrameCount());
}

// What one source zone plays, worked out from the SoundFont model before the write.
struct Played {
    uint32_t preset = 0;
    std::string where; // for messages
    uint16_t sample = 0;
    Range keys, velocities;
    int rootKey = 0;
    int tuning = 0; // cents
    bool looped = false;
    uint32_t loopStart = 0, loopEnd = 0;
};

std::vector<Played> PlayedZones(const BankModel& bank) {
    std::vector<Played> played;
    for (uint32_t slot = 1; slot <= bank.PresetCount; ++slot) {
        const PresetRecord& preset = bank.PresetTable[slot];
        const LayerRecord* globalLayer = nullptr;
        for (uint16_t l : preset.layerList)
            if (bank.IsValidLayer(l) && bank.LayerTable[l].isGlobal)
                globalLayer = &bank.LayerTable[l];
        for (uint16_t l : preset.layerList) {
            if (!bank.IsValidLayer(l) || bank.LayerTable[l].isGlobal)
                continue;
            const LayerRecord& layer = bank.LayerTable[l];
            const ZoneRecord* globalZone = nullptr;
            for (uint16_t z : layer.zoneList)
                if (bank.IsValidZone(z) && bank.ZoneTable[z].isGlobal)
                    globalZone = &bank.ZoneTable[z];
            const Range layerKeys = RangeOf(*Giver(layer, globalLayer, gen::keyRange), gen::keyRange);
            const Range layerVelocities = RangeOf(*Giver(layer, globalLayer, gen::velRange), gen::velRange);
            for (uint16_t z : layer.zoneList) {
                if (!bank.IsValidZone(z) || bank.ZoneTable[z].isGlobal ||
                    !bank.IsValidSample(bank.ZoneTable[z].sampleIndex))
                    continue;
                const ZoneRecord& zone = bank.ZoneTable[z];
                Played p;
                p.preset = slot;
                p.where = preset.name + " / layer " + std::to_string(l) + " / zone " + std::to_string(z);
                p.sample = zone.sampleIndex;
                p.keys = Narrow(RangeOf(*Giver(zone, globalZone, gen::keyRange), gen::keyRange), layerKeys);
                p.velocities =
                    Narrow(RangeOf(*Giver(zone, globalZone, gen::velRange), gen::velRange), layerVelocities);
                const GeneratorSet* root = Giver(zone, globalZone, gen::overridingRootKey);
                p.rootKey = root->IsSet(gen::overridingRootKey) ? root->generators[gen::overridingRootKey]
                                                                : bank.SampleTable[zone.sampleIndex].rootKey;
                p.tuning = Tuning(bank, layer, globalLayer, zone, globalZone);
                const int modes = zone.IsSet(gen::sampleModes) ? zone.generators[gen::sampleModes] : 0;
                p.looped = modes == 1 || modes == 3;
                p.loopStart = zone.loopStart;
                p.loopEnd = zone.loopEnd;
                if (!p.keys.Empty() && !p.velocities.Empty())
                    played.push_back(p);
            }
        }
    }
    return played;
}

// Writes the loaded bank as GigaSampler and reads it back with our reader. Every wave must hold the frames
// of its sample bit for bit. Mapping rule for the zones: a source zone is played at key k by a read-back
// zone of the same preset whose key range holds k, which plays the same wave (every sample is selected, so
// the pool index is the sample's index) and has the source zone's velocity range (narrowed to its layer's),
// root key (its own or its global zone's overriding root key, else the sample's), tuning and loop.
void ExpectWrittenBankPlaysAlike(GigWriteSession& source, const std::string& outputName, size_t leastChecks) {
    const std::vector<Played> played = PlayedZones(source.workspace.bank);
    const uint16_t samples = source.workspace.bank.SampleCount;
    std::vector<std::vector<int16_t>> sourceFrames;
    std::vector<std::string> sourceNames;
    for (uint32_t s = 0; s < samples; ++s) {
        sourceFrames.push_back(Frames(source.workspace, s));
        sourceNames.push_back(source.workspace.bank.SampleTable[s].fullName);
    }
    const uint16_t presets = source.workspace.bank.PresetCount;
    const GigaWriteResult written = source.Write(outputName);
    ASSERT_TRUE(written.written);

    GigWriteSession back;
    back.Load(test::ReadFileBytes(written.path), outputName, SourceFormat::Dls);
    const BankModel& read = back.workspace.bank;
    EXPECT_EQ(read.DlsFlavour, DlsFlavour::GigaSampler);
    ASSERT_EQ(read.PresetCount, presets);
    ASSERT_GE(read.SampleCount, samples);
    for (uint32_t s = 0; s < samples; ++s) {
        SCOPED_TRACE(sourceNames[s]);
        EXPECT_EQ(read.SampleTable[s].fullName, sourceNames[s]);
        EXPECT_EQ(Frames(back.workspace, s), sourceFrames[s]);
    }

    size_t checked = 0;
    for (const Played& p : played) {
        const PresetRecord& preset = read.PresetTable[p.preset];
        std::vector<std::pair<const LayerRecord*, const ZoneRecord*>> candidates;
        for (uint16_t l : preset.layerList)
            for (uint16_t z : read.LayerTable.at(l).zoneList)
                if (read.ZoneTable.at(z).sampleIndex == p.sample)
                    candidates.emplace_back(&read.LayerTable[l], &read.ZoneTable[z]);
        for (int key = p.keys.low; key <= p.keys.high; ++key) {
            const bool found = std::any_of(candidates.begin(), candidates.end(), [&](const auto& candidate) {
                const auto [layer, r] = candidate;
                const Range keys = RangeOf(*r, gen::keyRange);
                const bool looped = r->IsSet(gen::sampleModes) && r->generators[gen::sampleModes] == 1;
                return keys.low <= key && key <= keys.high && RangeOf(*r, gen::velRange) == p.velocities &&
                       r->generators[gen::overridingRootKey] == p.rootKey && looped == p.looped &&
                       Tuning(read, *layer, nullptr, *r, nullptr) == p.tuning &&
                       (!p.looped || (r->loopStart == p.loopStart && r->loopEnd == p.loopEnd));
            });
            ++checked;
            if (!found) {
                ADD_FAILURE() << p.where << " (sample " << sourceNames[p.sample] << ") is not played at key "
                              << key << " with velocities " << p.velocities.low << ".." << p.velocities.high
                              << ", root key " << p.rootKey << ", tuning " << p.tuning << ", loop "
                              << p.looped << " " << p.loopStart << ".." << p.loopEnd;
                break;
            }
        }
    }
    EXPECT_GE(checked, leastChecks);
}

// Velocity splits, a velocity gap, a layer over a split, global layers and zones that the zones take their
// key range, root key and loop from, and a sample's pitch correction beside a zone's fine tune.
TEST(GigaWriterRoundTripTest, SplitsGapsLayersAndGlobalsPlayAlike) {
    test::SoundFontBuilder sf;
    for (const char* name : {"Soft", "Loud", "Pad"})
        sf.AddSample(name, 300);
    sf.samples[2].originalKey = 48;
    sf.samples[1].correction = -23;
    using test::Gens;
    using test::Range;
    sf.instruments = {
        {.name = "Split",
         .bags = {Gens({{gen::overridingRootKey, 65}, {gen::sampleModes, 1}}),
                  Gens({{gen::keyRange, Range(0, 59)}, {gen::velRange, Range(0, 40)}, {gen::sampleID, 0}}),
                  Gens({{gen::keyRange, Range(0, 59)},
                        {gen::velRange, Range(80, 127)},
                        {gen::fineTune, 30},
                        {gen::sampleID, 1}}),
                  Gens({{gen::keyRange, Range(60, 127)}, {gen::velRange, Range(0, 63)}, {gen::sampleID, 0}}),
                  Gens({{gen::keyRange, Range(60, 127)},
                        {gen::velRange, Range(64, 127)},
                        {gen::overridingRootKey, 70},
                        {gen::sampleID, 1}})}},
        {.name = "Pad", .bags = {Gens({{gen::sampleID, 2}})}},
    };
    sf.presets = {{.name = "Layered",
                   .bags = {Gens({{gen::keyRange, Range(10, 100)}}), Gens({{gen::instrument, 0}}),
                            Gens({{gen::keyRange, Range(50, 127)}, {gen::instrument, 1}})}},
                  {.name = "Plain", .program = 1, .bags = {Gens({{gen::instrument, 0}})}}};
    GigWriteSession source;
    source.Load(sf.Build());
    ExpectWrittenBankPlaysAlike(source, "Out.gig", 300);
}

// TimGM6mb, a real General MIDI bank with melodic presets and drum kits.
TEST(GigaWriterRoundTripTest, TimGM6mbKeepsFramesAndWhatEveryZonePlays) {
    REQUIRE_PEER(std::filesystem::exists(kTimGM6mb),
                 kTimGM6mb << " is missing: install the Debian package timgm6mb-soundfont");
    GigWriteSession source;
    source.Load(test::ReadFileBytes(kTimGM6mb), "TimGM6mb.sf2");
    ExpectWrittenBankPlaysAlike(source, "TimGM6mb.gig", 10000);
}

// Patterned 3ewa bytes for dimension region r, with the velocity upper limit the reader needs.
test::GigArticulation Patterned(int r, uint8_t velocityLimit) {
    test::GigArticulation a;
    for (size_t i = 0; i < a.bytes.size(); ++i)
        a.bytes[i] = static_cast<uint8_t>(i * 7 + r * 31 + 3);
    a.U16(test::ewa::velocityUpperLimit, velocityLimit);
    return a;
}

// A GigaSampler bank read and written again: each dimension region keeps its 3ewa bytes, but for the
// velocity upper limit the writer sets from the velocity split it made; the instrument keeps its 3ewg and
// the waves their sample groups.
TEST(GigaWriterRoundTripTest, GigaSamplerBankKeepsArticulationGlobalsAndGroups) {
    test::DlsBuilder dls;
    test::DlsRegion region;
    region.keyLow = 36;
    region.keyHigh = 72;
    region.dimensions = {{test::dim::kLayer, 1}, {test::dim::kVelocity, 1}};
    // d = velocity zone x 2 + layer: limits 63 for the soft half, 127 for the loud one.
    for (int r = 0; r < 4; ++r)
        region.dimensionRegions.push_back(
            {.poolIndex = static_cast<uint32_t>(r), .articulation = Patterned(r, r < 2 ? 63 : 127)});
    const std::array<uint8_t, 12> globals = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                                             0,    0,    0x99, 0xAA, 0xBB, 0xCC};
    dls.instruments = {{.name = "Giga", .program = 5, .regions = {region}, .globals = globals}};
    dls.groupNames = {"Strings", "Winds"};
    for (int w = 0; w < 4; ++w) {
        dls.waves.push_back(test::MonoWave("W" + std::to_string(w), 100));
        dls.waves.back().group = static_cast<uint16_t>(w % 2);
    }
    GigWriteSession session;
    session.Load(dls.Build(), "Bank.gig", SourceFormat::Dls);
    ASSERT_EQ(session.workspace.bank.DlsFlavour, DlsFlavour::GigaSampler);
    const GigFileParts gig = session.WriteAndRead();

    ASSERT_EQ(gig.instruments.size(), 1u);
    EXPECT_EQ(gig.instruments[0].ewg, Bytes(globals.begin(), globals.end()));
    ASSERT_EQ(gig.instruments[0].regions.size(), 1u);
    const test::GigRegionParts& written = gig.instruments[0].regions[0];
    ASSERT_EQ(written.dimensionRegions.size(), 4u);
    const std::vector<uint32_t> pool = written.PoolIndices();
    for (size_t d = 0; d < 4; ++d) {
        SCOPED_TRACE(d);
        const uint32_t wave = pool[d];
        ASSERT_LT(wave, 4u);
        Bytes expected(region.dimensionRegions[wave].articulation.bytes.begin(),
                       region.dimensionRegions[wave].articulation.bytes.end());
        expected[124] = wave < 2 ? 63 : 127;
        EXPECT_EQ(written.dimensionRegions[d].ewa, expected);
    }
    EXPECT_EQ(gig.groupNames, (std::vector<std::string>{"Strings", "Winds"}));
    ASSERT_EQ(gig.waves.size(), 4u);
    for (size_t w = 0; w < 4; ++w)
        EXPECT_EQ(test::U16At(gig.waves[w].gix, 0), w % 2) << w;
}

} // namespace
} // namespace quorvane
