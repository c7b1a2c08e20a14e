#include "formats/dls/GigaArticulation.h"

#include <cmath>

#include "formats/common/Bytes.h"

namespace quorvane {

namespace {

// Envelope stage: SoundFont timecents of a time in seconds.
int16_t Timecents(double seconds) { return static_cast<int16_t>(RoundCents(1200.0 * std::log2(seconds))); }

// Attack, decay or release of an envelope. Not given: -12000, left unflagged.
void EnvelopeTime(ZoneRecord& zone, int number, uint32_t raw, double seconds) {
    if (raw == kGigaNotGiven) {
        zone.generators[number] = -12000;
        return;
    }
    zone.Set(number, Timecents(seconds));
}

// Decay time scaled by the sustain level, as the sampler's decay runs to its sustain level.
double DecayTime(uint32_t raw, uint16_t sustain) {
    double t = GigaTime(static_cast<int32_t>(raw));
    if (sustain < 1000) {
        const double p = sustain == 0 ? 0.001 : 0.1 * sustain;
        const double divisor = 0.23 - 0.0025 * p;
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

bool LfoControllerMapped(unsigned controller) { return controller == 0 || controller == 3 || controller == 4; }

} // namespace

int RoundCents(double value) {
    double whole = 0;
    const double fraction = std::modf(value, &whole);
    if (fraction > 0.5)
        whole += 1;
    return static_cast<int>(whole);
}

double GigaTime(int32_t value) { return std::pow(2.0, value / 65536.0 / 1200.0); }

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

    const unsigned cutoff = e[132];
    if (cutoff >= 128 && cutoff <= 254) {
        const unsigned c = cutoff - 128;
        double f = c == 0 ? 20.0 : (c - 3.6) * 50.0;
        if (f <= 0)
            f = 20.0;
        zone.Set(gen::initialFilterFc, static_cast<int16_t>(RoundCents(1200.0 * std::log2(f) - 3638.0)));
    }
    const unsigned resonance = e[136];
    if (resonance > 128)
        zone.Set(9, static_cast<int16_t>(2 * resonance - 256));

    if (wsmp.attenuation > 0)
        zone.Set(48, static_cast<int16_t>(RoundCents((wsmp.attenuation + 0.6) * 2.6315789473684212)));

    if (e[131] & 0x80) {
        zone.Set(35, -12000);
        if (sample != nullptr && sample->looped && sample->sampleRate != 0) {
            const int64_t attackMs =
                eg1Attack == kGigaNotGiven ? 0 : static_cast<int64_t>(attackSeconds) * 1000;
            const int64_t ms = int64_t{sample->loopStart} * 1000 / sample->sampleRate - attackMs;
            if (ms > 0)
                zone.Set(35, Timecents(ms * 0.001));
        }
    }

    const uint16_t eg3Depth = ReadU16LE(e + 116);
    if (eg3Depth != 0) {
        zone.Set(7, static_cast<int16_t>(-eg3Depth));
        const uint32_t eg3Attack = u32(8);
        if (eg3Attack != kGigaNotGiven)
            zone.Set(26, Timecents(GigaTime(static_cast<int32_t>(eg3Attack))));
    }

    const uint16_t lfoControllers = ReadU16LE(e + 114);
    const uint32_t lfo1Frequency = u32(48);
    const int16_t lfo1Depth = s16(14);
    if (lfo1Frequency != kGigaNotGiven && lfo1Depth != 0 && LfoControllerMapped((lfoControllers >> 8) & 15)) {
        zone.Set(22, static_cast<int16_t>(LfoCents(lfo1Frequency)));
        zone.Set(13, lfo1Depth);
    }
    const uint32_t lfo2Frequency = u32(72);
    const int16_t lfo2Depth = s16(78);
    if (lfo2Frequency != kGigaNotGiven && lfo2Depth != 0 && LfoControllerMapped(lfoControllers & 15)) {
        zone.Set(22, static_cast<int16_t>(LfoCents(lfo2Frequency)));
        zone.Set(10, lfo2Depth);
    }
    zone.Set(24, static_cast<int16_t>(LfoCents(u32(4))));
    const int16_t lfo3Depth = s16(18);
    if (lfo3Depth != 0 && LfoControllerMapped(ReadU16LE(e + 112) & 15))
        zone.Set(6, lfo3Depth);

    if (e[108] & 1)
        zone.Set(56, 0);

    if (wsmp.fineTune != 0) {
        if (wsmp.fineTune >= -99 && wsmp.fineTune <= 99) {
            zone.Set(52, wsmp.fineTune);
        } else {
            const int coarse = wsmp.fineTune / 100;
            zone.Set(51, static_cast<int16_t>(coarse));
            zone.Set(52, static_cast<int16_t>(wsmp.fineTune - 100 * coarse));
        }
    }
    zone.Set(gen::overridingRootKey, static_cast<int16_t>(wsmp.unityNote));

    const int p = e[109] & 127;
    const int pan = p < 64 ? RoundCents(p / 63.0 * 500.0) : RoundCents((63 - p) * 500.0 / 64.0);
    zone.generators[gen::pan] = static_cast<int16_t>(pan);
    zone.generatorSet[gen::pan] = pan != 0;
}

} // namespace quorvane
