#include "formats/dls/GigaArticulation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "formats/common/Bytes.h"
#include "model/GeneratorRules.h"

namespace quorvane {

namespace {

// Envelope stage: SoundFont timecents of a time in seconds.
int16_t Timecents(double seconds) {
    return static_cast<int16_t>(RoundCents(1200.0 * std::log2(seconds)));
}

// Attack, decay or release of an envelope. Not given: -12000, left unflagged.
void EnvelopeTime(ZoneRecord& zone, int number, uint32_t raw, double seconds) {
    if (raw == kGigaNotGiven) {
        zone.generators[number] = -12000;
        return;
    }
    zone.Set(number, Timecents(seconds));
}

// The share of a SoundFont decay time that a GigaSampler decay to a sustain level of `percent` (of full
// level, below 100) takes: the sampler's decay ends at its sustain level, while a SoundFont decay time is
// that of a fall of 100 dB. The fitted line 0.23 - 0.0025 p holds for low and middle levels; near full
// level it reaches zero and goes below, so from where it drops under the share of the 100 dB fall that the
// step down to the sustain level takes (about 87 %), that share is used: a short decay to a sustain just
// below full level stays short rather than vanishing, and the scale maps both ways.
double DecayScale(double percent) {
    const double fitted = 0.23 - 0.0025 * percent;
    if (percent <= 50)
        return fitted;
    // The level as the sustain field holds it, in per mille, so that writing and reading take one scale.
    const double held = RoundCents(10.0 * percent) / 10.0;
    const double fall = -20.0 * std::log10(held / 100.0) / 100.0;
    return std::max(fitted, fall);
}

// Decay time scaled by the sustain level, as the sampler's decay runs to its sustain level.
double DecayTime(uint32_t raw, uint16_t sustain) {
    double t = GigaTime(static_cast<int32_t>(raw));
    if (sustain < 1000) {
        const double p = sustain == 0 ? 0.001 : 0.1 * sustain;
        const double divisor = DecayScale(p);
        t = divisor == 0 ? 0.001 : t / divisor;
        if (t < 0)
            t = 0.001;
    }
    return t;
}

void Sustain(ZoneRecord& zone, int number, uint16_t sustain) {
    if (sustain == 1000)
        return;
    const double p = 0.1 * sustain;
    zone.Set(number, static_cast<int16_t>(p <= 0 ? 1440 : RoundCents(400.0 - 200.0 * std::log10(p))));
}

bool LfoControllerMapped(unsigned controller) {
    return controller == 0 || controller == 3 || controller == 4;
}

} // namespace

int RoundCents(double value) {
    double whole = 0;
    const double fraction = std::modf(value, &whole);
    if (fraction > 0.5)
        whole += 1;
    return static_cast<int>(whole);
}

double GigaTime(int32_t value) {
    return std::pow(2.0, value / 65536.0 / 1200.0);
}

int GigaCutoffCents(unsigned code) {
    double f = code == 0 ? 20.0 : (code - 3.6) * 50.0;
    if (f <= 0)
        f = 20.0;
    return RoundCents(1200.0 * std::log2(f) - 3638.0);
}

int LfoCents(uint32_t raw) {
    double f = raw == kGigaNotGiven ? 8.176 : GigaTime(static_cast<int32_t>(raw));
    if (f <= 0)
        f = 0.01;
    return RoundCents(1200.0 * std::log2(f) - 3638.0);
}

void ConvertArticulation(const std::array<uint8_t, kEwaKeptBytes>& ewa, const WaveSampleValues& wsmp,
                         const SampleRecord* sample, ZoneRecord& zone) {
    const uint8_t* e = ewa.data();
    auto u32 = [&](size_t at) { return ReadU32LE(e + at); };
    auto s16 = [&](size_t at) { return static_cast<int16_t>(ReadU16LE(e + at)); };

    const uint32_t eg1Attack = u32(28), eg1Decay = u32(32), eg1Release = u32(40);
    const uint16_t eg1Sustain = ReadU16LE(e + 38);
    const uint32_t eg2Attack = u32(52), eg2Decay = u32(56), eg2Release = u32(64);
    const uint16_t eg2Sustain = ReadU16LE(e + 62);

    const double attackSeconds = GigaTime(static_cast<int32_t>(eg1Attack)) * (1 / 1.66);
    EnvelopeTime(zone, 34, eg1Attack, attackSeconds);
    EnvelopeTime(zone, 36, eg1Decay, DecayTime(eg1Decay, eg1Sustain));
    EnvelopeTime(zone, 38, eg1Release, GigaTime(static_cast<int32_t>(eg1Release)) * 2);
    EnvelopeTime(zone, 26, eg2Attack, GigaTime(static_cast<int32_t>(eg2Attack)) * (1 / 1.66));
    EnvelopeTime(zone, 28, eg2Decay, DecayTime(eg2Decay, eg2Sustain));
    EnvelopeTime(zone, 30, eg2Release, GigaTime(static_cast<int32_t>(eg2Release)) * 2);
    Sustain(zone, 37, eg1Sustain);
    Sustain(zone, 29, eg2Sustain);

    // The top bit turns the filter on, the low seven bits are its cutoff: 0xFF is the filter at its highest
    // cutoff, which the writer gives a SoundFont filter above that cutoff, not a filter off.
    const unsigned cutoff = e[132];
    if (cutoff >= 128)
        zone.Set(gen::initialFilterFc, static_cast<int16_t>(GigaCutoffCents(cutoff - 128)));
    const unsigned resonance = e[136];
    if (resonance > 128)
        zone.Set(gen::initialFilterQ, static_cast<int16_t>(2 * resonance - 256));

    if (wsmp.attenuation > 0)
        zone.Set(gen::initialAttenuation,
                 static_cast<int16_t>(RoundCents((wsmp.attenuation + 0.6) * 2.6315789473684212)));

    if (e[131] & 0x80) {
        zone.Set(gen::holdVolEnv, -12000);
        if (sample != nullptr && sample->looped && sample->sampleRate != 0) {
            const int64_t attackMs =
                eg1Attack == kGigaNotGiven ? 0 : static_cast<int64_t>(attackSeconds) * 1000;
            const int64_t ms = int64_t{sample->loopStart} * 1000 / sample->sampleRate - attackMs;
            if (ms > 0)
                zone.Set(gen::holdVolEnv, Timecents(ms * 0.001));
        }
    }

    const uint16_t eg3Depth = ReadU16LE(e + 116);
    if (eg3Depth != 0) {
        zone.Set(gen::modEnvToPitch, static_cast<int16_t>(-eg3Depth));
        const uint32_t eg3Attack = u32(8);
        if (eg3Attack != kGigaNotGiven)
            zone.Set(gen::attackModEnv, Timecents(GigaTime(static_cast<int32_t>(eg3Attack))));
    }

    // LFO1 and LFO2 depths run from 0 to 1200 for the full swing of the amplitude and of the cutoff; the
    // SoundFont side holds 120 cB and 12000 cents there. A flipped phase is a negative SoundFont depth.
    const uint16_t lfoControllers = ReadU16LE(e + 114);
    const uint32_t lfo1Frequency = u32(48);
    const int lfo1Depth = (e[115] & kLfoFlipPhase ? -1 : 1) * s16(14);
    if (lfo1Frequency != kGigaNotGiven && lfo1Depth != 0 && LfoControllerMapped((lfoControllers >> 8) & 15)) {
        zone.Set(gen::freqModLFO, static_cast<int16_t>(LfoCents(lfo1Frequency)));
        zone.Set(gen::modLfoToVolume, static_cast<int16_t>(std::clamp(lfo1Depth / 10, -960, 960)));
    }
    const uint32_t lfo2Frequency = u32(72);
    const int lfo2Depth = (e[114] & kLfoFlipPhase ? -1 : 1) * s16(78);
    if (lfo2Frequency != kGigaNotGiven && lfo2Depth != 0 && LfoControllerMapped(lfoControllers & 15)) {
        zone.Set(gen::freqModLFO, static_cast<int16_t>(LfoCents(lfo2Frequency)));
        zone.Set(gen::modLfoToFilterFc, static_cast<int16_t>(std::clamp(lfo2Depth * 10, -12000, 12000)));
    }
    zone.Set(gen::freqVibLFO, static_cast<int16_t>(LfoCents(u32(4))));
    const int16_t lfo3Depth = s16(18);
    if (lfo3Depth != 0 && LfoControllerMapped(ReadU16LE(e + 112) & 15))
        zone.Set(gen::vibLfoToPitch, lfo3Depth);

    if (e[108] & 1)
        zone.Set(gen::scaleTuning, 0);

    // Players tune a dimension region by its wsmp alone; the wave's own correction (its smpl chunk) is not
    // heard. The model adds a sample's correction to its zones' tuning, so the zone carries the difference.
    const int fineTune = wsmp.fineTune - (sample != nullptr ? sample->pitchCorrection : 0);
    if (fineTune != 0) {
        if (fineTune >= -99 && fineTune <= 99) {
            zone.Set(gen::fineTune, static_cast<int16_t>(fineTune));
        } else {
            const int coarse = fineTune / 100;
            zone.Set(gen::coarseTune, static_cast<int16_t>(coarse));
            zone.Set(gen::fineTune, static_cast<int16_t>(fineTune - 100 * coarse));
        }
    }
    zone.Set(gen::overridingRootKey, static_cast<int16_t>(wsmp.unityNote));

    const int p = e[109] & 127;
    const int pan = p < 64 ? RoundCents(p / 63.0 * 500.0) : RoundCents((63 - p) * 500.0 / 64.0);
    zone.generators[gen::pan] = static_cast<int16_t>(pan);
    zone.generatorSet[gen::pan] = pan != 0;
}

} // namespace quorvane

namespace quorvane {

namespace {

void PutU16(EwaBytes& e, size_t at, uint16_t value) {
    WriteU16LE(e.data() + at, value);
}
void PutU32(EwaBytes& e, size_t at, uint32_t value) {
    WriteU32LE(e.data() + at, value);
}

double Cents(int value) {
    return std::pow(2.0, value / 1200.0);
}
// A generator's absolute cents as hertz (SoundFont frequencies are cents above 8.176 Hz).
double AbsoluteHertz(int value) {
    return std::pow(2.0, (value + 3638) / 1200.0);
}

// The merged generators: the zone's 0..59 with every generator the layer gives added in the way that
// generator combines.
GeneratorSet MergeLayerIntoZone(const LayerRecord& layer, const ZoneRecord& zone) {
    GeneratorSet merged;
    for (int g = 0; g <= gen::lastWritten; ++g) {
        merged.generators[g] = zone.generators[g];
        merged.generatorSet[g] = zone.generatorSet[g];
    }
    for (int g = 0; g <= gen::lastWritten; ++g) {
        if (!layer.IsSet(g))
            continue;
        const int z = zone.IsSet(g) ? zone.generators[g] : 0;
        const int l = layer.generators[g];
        int result = zone.generators[g];
        if (IsStageTime(g)) {
            // Times multiply: the layer's scales the zone's.
            if (zone.IsSet(g)) {
                double t = Cents(z) * Cents(l);
                if (t < 0.0009)
                    t = 0.001;
                t = std::min(t, 100.0);
                result = RoundCents(1200.0 * std::log2(t));
            }
        } else {
            switch (g) {
            case gen::coarseTune:
            case gen::fineTune:
                result = z + l;
                break;
            case gen::scaleTuning:
                // A preset's scale tuning adds to the instrument's, whose default (a semitone a key) is not
                // the 0 an unset value holds: the sum is always given.
                merged.Set(g, static_cast<int16_t>(std::clamp((zone.IsSet(g) ? z : 100) + l, 0, 1200)));
                continue;
            case gen::initialFilterQ:
                result = std::clamp(z + l, 0, 960);
                break;
            case gen::initialFilterFc: {
                const double f =
                    std::clamp((zone.IsSet(g) ? AbsoluteHertz(z) : 20000.0) * Cents(l), 20.0, 20000.0);
                result = RoundCents(1200.0 * std::log2(f) - 3638.0);
                break;
            }
            case gen::chorusEffectsSend:
            case gen::reverbEffectsSend:
            case gen::sustainModEnv:
            case gen::sustainVolEnv:
                result = std::clamp(z + l, 0, 1000);
                break;
            case gen::pan:
                result = std::clamp(z + l, -500, 500);
                break;
            case gen::initialAttenuation:
                result = std::clamp(z + l, 0, 1440);
                break;
            case gen::keynumToModEnvHold:
            case gen::keynumToModEnvDecay:
            case gen::keynumToVolEnvHold:
            case gen::keynumToVolEnvDecay:
                result = RoundCents(1200.0 * std::log2(Cents(z) * Cents(l)));
                break;
            case gen::modLfoToPitch:
            case gen::vibLfoToPitch:
            case gen::modEnvToPitch:
            case gen::modLfoToFilterFc:
            case gen::modEnvToFilterFc:
                result = std::clamp(z + l, -12000, 12000);
                break;
            case gen::freqModLFO:
            case gen::freqVibLFO: {
                const double f = std::clamp(AbsoluteHertz(z) * Cents(l), 0.001, 100.0);
                result = RoundCents(1200.0 * std::log2(f) - 3638.0);
                break;
            }
            case gen::modLfoToVolume:
                result = std::clamp(z + l, -120, 120);
                break;
            default:
                break;
            }
        }
        if (result != merged.generators[g])
            merged.Set(g, static_cast<int16_t>(result));
    }
    return merged;
}

// The common start of both 3ewa forms.
EwaBytes CommonArticulation() {
    EwaBytes e{};
    PutU32(e, 0, 140);
    PutU32(e, 4, 0x0AE2504F); // LFO3 frequency, 5 Hz
    PutU32(e, 8, kGigaNotGiven);
    PutU32(e, 28, kGigaNotGiven);
    PutU16(e, 38, 1000);
    PutU32(e, 48, 0x076DF47A); // LFO1 frequency, 3 Hz
    PutU32(e, 52, kGigaNotGiven);
    PutU16(e, 62, 1000);
    PutU32(e, 72, 0x076DF47A);
    PutU32(e, 80, 0x7FFFFFFF);
    PutU32(e, 88, 0x7FFFFFFF);
    PutU16(e, 98, 20);
    PutU16(e, 100, 10);
    e[128] = 3;
    e[132] = 0x7F; // filter off
    e[133] = 1;
    e[136] = 0x80;
    e[137] = 60;
    e[138] = 3;
    return e;
}

double LfoHertz(const GeneratorSet& g, int number, double low, double high) {
    return std::clamp(AbsoluteHertz(g.IsSet(number) ? g.generators[number] : 0), low, high);
}

} // namespace

uint32_t GigaTimeValue(double seconds) {
    if (seconds == 0)
        return kGigaNotGiven;
    // The shortest time the field holds sits just above the "not given" marker; a SoundFont time near
    // -32768 timecents lies below it and would not fit an int at all.
    const double value = std::clamp(1200.0 * 65536.0 * std::log2(seconds),
                                    static_cast<double>(std::numeric_limits<int32_t>::min()) + 1,
                                    static_cast<double>(std::numeric_limits<int32_t>::max()));
    return static_cast<uint32_t>(RoundCents(value));
}

EwaBytes DefaultDimensionArticulation() {
    EwaBytes e = CommonArticulation();
    PutU32(e, 32, 0xDC2B5F61); // EG1 decay 0.005 s
    PutU32(e, 56, 0xDC2B5F61);
    PutU32(e, 40, 0xF7DBA42C); // EG1 release 0.3 s
    PutU32(e, 64, 0x04B00000); // EG2 release 2 s
    PutU16(e, 134, 20);
    return e;
}

EwaBytes BuildArticulation(const BankModel& bank, const LayerRecord& layer, const ZoneRecord& zone) {
    EwaBytes e = CommonArticulation();
    PutU16(e, 26, 100);
    PutU32(e, 32, kGigaNotGiven);
    PutU32(e, 40, kGigaNotGiven);
    PutU32(e, 56, kGigaNotGiven);
    PutU32(e, 64, kGigaNotGiven);
    PutU16(e, 112, 1);
    e[134] = 0x7F;

    const GeneratorSet g = MergeLayerIntoZone(layer, zone);
    if (!bank.IsValidSample(zone.sampleIndex) || zone.isGlobal)
        return e;
    auto value = [&](int number) { return static_cast<int>(g.generators[number]); };
    auto time = [&](int number) { return std::min(Cents(value(number)), 100.0); };

    for (int number = 0; number <= gen::lastWritten; ++number) {
        if (!g.IsSet(number))
            continue;
        const int v = value(number);
        switch (number) {
        case gen::scaleTuning:
            // Pitch tracking is on or off: a scale tuning nearer to none than to a semitone a key plays
            // without it.
            if (v < 50)
                e[108] |= 1;
            break;
        case gen::initialFilterQ:
            e[136] = static_cast<uint8_t>(std::min(v / 2, 127) + 128);
            break;
        case gen::pan:
            e[109] = static_cast<uint8_t>(v < 0 ? RoundCents(63 - v * 0.128) : RoundCents(v * 0.126));
            e[108] = 0;
            break;
        case gen::holdVolEnv:
        case gen::decayVolEnv: {
            double t = g.IsSet(gen::decayVolEnv) ? time(gen::decayVolEnv) : 0.0;
            const double s = g.IsSet(gen::sustainVolEnv)
                                 ? std::clamp((1000 - value(gen::sustainVolEnv)) * 0.1, 0.0, 100.0)
                                 : 100.0;
            if (s != 100) {
                t *= DecayScale(std::pow(10.0, (s - 60) * 0.05));
                if (t < 0)
                    t = 0.001;
                t = std::min(t, 100.0);
            }
            if (g.IsSet(gen::holdVolEnv))
                t += Cents(value(gen::holdVolEnv));
            PutU32(e, 32, GigaTimeValue(t));
            break;
        }
        case gen::attackVolEnv:
            PutU32(e, 28, GigaTimeValue(time(gen::attackVolEnv) * 1.66));
            break;
        case gen::releaseVolEnv:
            PutU32(e, 40, GigaTimeValue(time(gen::releaseVolEnv) * 0.5));
            break;
        case gen::sustainVolEnv: {
            const int sustain = std::clamp(v, 0, 1000);
            PutU16(e, 38,
                   static_cast<uint16_t>(
                       std::min(RoundCents(10 * std::pow(10.0, (400 - sustain) * 0.005)), 1000)));
            break;
        }
        case gen::modEnvToPitch: {
            const int depth = std::clamp(v, -1200, 1200);
            PutU16(e, 116, static_cast<uint16_t>(-depth));
            if (depth != 0 && g.IsSet(gen::attackModEnv))
                PutU32(e, 8, GigaTimeValue(Cents(value(gen::attackModEnv))));
            break;
        }
        case gen::modLfoToFilterFc: {
            // The field holds the size of the swing; a negative SoundFont depth is the LFO's phase flipped.
            const int depth = std::clamp(v, -12000, 12000);
            if (depth != 0) {
                PutU16(e, 78, static_cast<uint16_t>(std::abs(depth) / 10));
                if (depth < 0)
                    e[114] |= kLfoFlipPhase;
            }
            break;
        }
        case gen::modLfoToVolume: {
            const int depth = std::clamp(v, -120, 120);
            if (depth != 0) {
                PutU16(e, 14, static_cast<uint16_t>(std::abs(depth) * 10));
                if (depth < 0)
                    e[115] |= kLfoFlipPhase;
            }
            break;
        }
        case gen::modLfoToPitch: {
            const int depth = std::clamp(v, -1200, 1200);
            PutU16(e, 18, static_cast<uint16_t>(depth));
            PutU16(e, 26, 100);
            PutU16(e, 112, 3);
            if (depth != 0)
                PutU32(e, 4, GigaTimeValue(LfoHertz(g, 22, 0.01, 100.0)));
            break;
        }
        case gen::vibLfoToPitch: {
            // Vibrato runs at the vibrato LFO's own frequency.
            // A SoundFont vibrato always sounds: the LFO runs on its own depth, the mod wheel adding to it.
            const int depth = std::clamp(v, -1200, 1200);
            PutU16(e, 18, static_cast<uint16_t>(depth));
            if (depth != 0) {
                PutU16(e, 112, 3);
                PutU32(e, 4, GigaTimeValue(LfoHertz(g, 24, 0.01, 100.0)));
            }
            break;
        }
        default:
            break;
        }
    }

    if (!g.IsSet(gen::freqVibLFO) && !g.IsSet(gen::freqModLFO))
        PutU32(e, 4, GigaTimeValue(std::clamp(8.176, 0.1, 100.0)));
    const uint32_t modLfo = GigaTimeValue(LfoHertz(g, 22, 0.1, 100.0));
    PutU32(e, 48, modLfo);
    PutU32(e, 72, modLfo);

    double cutoff = g.IsSet(gen::initialFilterFc) ? AbsoluteHertz(value(gen::initialFilterFc)) : 20000.0;
    if (g.IsSet(gen::modEnvToFilterFc) && value(gen::modEnvToFilterFc) != 0) {
        const double envelope = value(gen::modEnvToFilterFc);
        cutoff = cutoff > 10000  ? envelope + 6500
                 : cutoff > 5000 ? envelope + 5500
                 : cutoff > 2000 ? envelope + 4500
                 : cutoff > 1000 ? envelope + 3500
                 : cutoff > 250  ? envelope + 2000
                 : cutoff > 200  ? envelope + 500
                                 : envelope;
    }
    cutoff = std::max(cutoff, 20.0);
    bool filterOn = false;
    if (cutoff < 8000) {
        e[132] = static_cast<uint8_t>(std::min(std::max(RoundCents(0.02 * cutoff + 3.6), 0), 127) + 128);
        PutU16(e, 134, 20);
        PutU16(e, 62, 1000);
        filterOn = true;
    }

    PutU32(e, 52, g.IsSet(gen::attackModEnv) ? GigaTimeValue(time(gen::attackModEnv)) : kGigaNotGiven);
    if (!filterOn)
        PutU16(e, 62,
               g.IsSet(gen::sustainModEnv)
                   ? static_cast<uint16_t>(std::min(
                         RoundCents(10 * std::pow(10.0, (400 - value(gen::sustainModEnv)) * 0.005)), 1000))
                   : 1000);
    // The decay runs to the sustain level as the volume envelope's does, scaled the same way, so that
    // reading gives the SoundFont decay back.
    double decay = g.IsSet(gen::decayModEnv) ? time(gen::decayModEnv) : 0.0;
    const uint16_t modSustain = ReadU16LE(e.data() + 62);
    if (decay != 0 && modSustain < 1000)
        decay *= DecayScale(modSustain == 0 ? 0.001 : 0.1 * modSustain);
    decay += g.IsSet(gen::holdModEnv) ? time(gen::holdModEnv) : 0.0;
    PutU32(e, 56, decay == 0 ? kGigaNotGiven : GigaTimeValue(std::min(decay, 100.0)));
    // The release is halved as the volume envelope's is: reading doubles both.
    PutU32(e, 64, GigaTimeValue(g.IsSet(gen::releaseModEnv) ? time(gen::releaseModEnv) * 0.5 : 2.0));
    PutU16(e, 94, 1000);
    return e;
}

} // namespace quorvane
