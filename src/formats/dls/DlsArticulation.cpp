#include "formats/dls/DlsArticulation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/dls/DlsImage.h"

namespace quorvane {

namespace {

// Source, control and destination codes of the connection blocks.
namespace conn {
constexpr uint16_t kNone = 0x0000;
constexpr uint16_t kLfo = 0x0001;
constexpr uint16_t kEg2 = 0x0005;
constexpr uint16_t kVibrato = 0x0009;

constexpr uint16_t kGain = 0x0001; // "attenuation" in Level 1, gain in dB either way
constexpr uint16_t kPitch = 0x0003;
constexpr uint16_t kPan = 0x0004;
constexpr uint16_t kLfoFrequency = 0x0104;
constexpr uint16_t kLfoDelay = 0x0105;
constexpr uint16_t kVibratoFrequency = 0x0114;
constexpr uint16_t kVibratoDelay = 0x0115;
constexpr uint16_t kEg1Attack = 0x0206;
constexpr uint16_t kEg1Decay = 0x0207;
constexpr uint16_t kEg1Release = 0x0209;
constexpr uint16_t kEg1Sustain = 0x020A;
constexpr uint16_t kEg1Delay = 0x020B;
constexpr uint16_t kEg1Hold = 0x020C;
constexpr uint16_t kEg2Attack = 0x030A;
constexpr uint16_t kEg2Decay = 0x030B;
constexpr uint16_t kEg2Release = 0x030D;
constexpr uint16_t kEg2Sustain = 0x030E;
constexpr uint16_t kEg2Delay = 0x030F;
constexpr uint16_t kEg2Hold = 0x0310;
constexpr uint16_t kFilterCutoff = 0x0500;
constexpr uint16_t kFilterQ = 0x0501;
} // namespace conn

// A time scale of 0x80000000 means no time at all: the shortest time a SoundFont holds.
constexpr int32_t kZeroTime = INT32_MIN;
constexpr int kShortestTime = -12000;

struct Mapping {
    uint16_t source;
    uint16_t destination;
    int generator;
    int low, high; // the generator's range in a SoundFont
    bool time;
};

// Units match on both sides once the 16.16 scale is taken whole: time cents, absolute pitch cents,
// centibels, and pan in 0.1 % steps; sustain levels are turned around below.
constexpr Mapping kMappings[] = {
    {conn::kNone, conn::kPan, gen::pan, -500, 500, false},
    {conn::kNone, conn::kLfoFrequency, gen::freqModLFO, -16000, 4500, false},
    {conn::kNone, conn::kLfoDelay, gen::delayModLFO, -12000, 5000, true},
    {conn::kNone, conn::kVibratoFrequency, gen::freqVibLFO, -16000, 4500, false},
    {conn::kNone, conn::kVibratoDelay, gen::delayVibLFO, -12000, 5000, true},
    {conn::kNone, conn::kEg1Delay, gen::delayVolEnv, -12000, 5000, true},
    {conn::kNone, conn::kEg1Attack, gen::attackVolEnv, -12000, 8000, true},
    {conn::kNone, conn::kEg1Hold, gen::holdVolEnv, -12000, 5000, true},
    {conn::kNone, conn::kEg1Decay, gen::decayVolEnv, -12000, 8000, true},
    {conn::kNone, conn::kEg1Sustain, gen::sustainVolEnv, 0, 1440, false},
    {conn::kNone, conn::kEg1Release, gen::releaseVolEnv, -12000, 8000, true},
    {conn::kNone, conn::kEg2Delay, gen::delayModEnv, -12000, 5000, true},
    {conn::kNone, conn::kEg2Attack, gen::attackModEnv, -12000, 8000, true},
    {conn::kNone, conn::kEg2Hold, gen::holdModEnv, -12000, 5000, true},
    {conn::kNone, conn::kEg2Decay, gen::decayModEnv, -12000, 8000, true},
    {conn::kNone, conn::kEg2Sustain, gen::sustainModEnv, 0, 1000, false},
    {conn::kNone, conn::kEg2Release, gen::releaseModEnv, -12000, 8000, true},
    {conn::kNone, conn::kFilterCutoff, gen::initialFilterFc, 1500, 13500, false},
    {conn::kNone, conn::kFilterQ, gen::initialFilterQ, 0, 960, false},
    {conn::kLfo, conn::kPitch, gen::modLfoToPitch, -12000, 12000, false},
    {conn::kLfo, conn::kGain, gen::modLfoToVolume, -960, 960, false},
    {conn::kLfo, conn::kFilterCutoff, gen::modLfoToFilterFc, -12000, 12000, false},
    {conn::kVibrato, conn::kPitch, gen::vibLfoToPitch, -12000, 12000, false},
    {conn::kEg2, conn::kPitch, gen::modEnvToPitch, -12000, 12000, false},
    {conn::kEg2, conn::kFilterCutoff, gen::modEnvToFilterFc, -12000, 12000, false},
};

// The articulations of one instrument's walk: the instrument's own, and which zones have their own.
struct InstrumentArticulation {
    GeneratorSet generators;
    bool given = false;
    std::vector<uint32_t> zones;   // zones of the instrument's regions
    std::vector<uint8_t> ownGiven; // by entry of zones: the region had an articulation of its own
};

void ApplyInstrument(BankModel& bank, const InstrumentArticulation& instrument) {
    if (!instrument.given)
        return;
    for (size_t i = 0; i < instrument.zones.size(); ++i) {
        if (instrument.ownGiven[i] || !bank.IsValidZone(instrument.zones[i]))
            continue;
        ZoneRecord& zone = bank.ZoneTable[instrument.zones[i]];
        for (int number = 0; number < gen::count; ++number)
            if (instrument.generators.IsSet(number))
                zone.Set(number, instrument.generators.generators[number]);
    }
}

} // namespace

void ApplyDlsConnection(const DlsConnection& c, GeneratorSet& target) {
    if (c.control != conn::kNone)
        return;
    for (const Mapping& m : kMappings) {
        if (m.source != c.source || m.destination != c.destination)
            continue;
        double value = c.scale / 65536.0;
        if (m.time && c.scale == kZeroTime)
            value = kShortestTime;
        else if (m.generator == gen::sustainVolEnv)
            value = (1000.0 - value) * 0.96; // a level in 0.1 % of full scale, where full scale spans 96 dB
        else if (m.generator == gen::sustainModEnv)
            value = 1000.0 - value; // the decrease below full level, in 0.1 %
        else if (m.generator == gen::modLfoToVolume)
            value = -value; // a gain that rises with the LFO lowers the attenuation
        const long rounded = std::lround(value);
        target.Set(m.generator, static_cast<int16_t>(std::clamp<long>(rounded, m.low, m.high)));
        return;
    }
}

void ReadDlsArticulations(BankModel& bank, uint64_t listStart, uint64_t listEnd) {
    InstrumentArticulation instrument;
    uint64_t regionEnd = 0;
    uint32_t zoneNumber = 0; // regions met so far, as the Level 1 reader counts its zones
    bool inInstrument = false;
    DlsWalker walker(bank, listStart);
    while (walker.FilePosition() < listEnd && walker.ImagePosition() < bank.BankImageSize) {
        const std::optional<ChunkHeader> chunk = walker.Current();
        if (!chunk)
            break;
        const uint64_t position = walker.FilePosition();
        if (chunk->IsList("ins ")) {
            if (inInstrument)
                ApplyInstrument(bank, instrument);
            instrument = InstrumentArticulation{};
            inInstrument = true;
        } else if (chunk->IsList("rgn ") || chunk->IsList("rgn2")) {
            ++zoneNumber;
            regionEnd = position + 8 + chunk->size;
            instrument.zones.push_back(zoneNumber - 1);
            instrument.ownGiven.push_back(0);
        } else if ((chunk->Is("art1") || chunk->Is("art2")) && inInstrument) {
            const bool ofRegion = position < regionEnd && !instrument.zones.empty();
            ZoneRecord* zone = ofRegion && bank.IsValidZone(instrument.zones.back())
                                   ? &bank.ZoneTable[instrument.zones.back()]
                                   : nullptr;
            if (ofRegion)
                instrument.ownGiven.back() = 1;
            else
                instrument.given = true;
            GeneratorSet unused; // a region past the zone table
            GeneratorSet& target = zone != nullptr ? *zone : ofRegion ? unused : instrument.generators;
            const ChunkPayload p(walker.Image(), *chunk);
            // The header's own size comes first, then the number of 12-byte blocks.
            const uint32_t headerSize = p.U32(0);
            const uint64_t count = p.U32(4);
            for (uint64_t i = 0; i < count && p.Has(headerSize + 12 * i, 12); ++i) {
                const uint64_t at = headerSize + 12 * i;
                ApplyDlsConnection({p.U16(at), p.U16(at + 2), p.U16(at + 4), p.U16(at + 6),
                                    static_cast<int32_t>(p.U32(at + 8))},
                                   target);
            }
        }
        walker.Advance(*chunk);
    }
    if (inInstrument)
        ApplyInstrument(bank, instrument);
}

} // namespace quorvane
