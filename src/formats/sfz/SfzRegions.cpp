#include "formats/sfz/SfzRegions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace quorvane {

double TimecentsToSeconds(int timecents) {
    return std::exp2(timecents / 1200.0);
}
int SecondsToTimecents(double seconds) {
    return seconds <= 0.001 ? -12000 : static_cast<int>(std::lround(1200.0 * std::log2(seconds)));
}
double AbsoluteCentsToHertz(int cents) {
    return 8.176 * std::exp2(cents / 1200.0);
}
int HertzToAbsoluteCents(double hertz) {
    return hertz <= 0 ? -16000 : static_cast<int>(std::lround(1200.0 * std::log2(hertz / 8.176)));
}

namespace {

struct Range {
    int low = 0, high = 127;
};
Range RangeOf(uint16_t amount) {
    return {amount & 0xFF, amount >> 8};
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// A zone's opcodes as SFZ writes them.
class RegionBuilder {
  public:
    RegionBuilder(SfzOpcodes& opcodes, SfzLosses& losses) : opcodes_(opcodes), losses_(losses) {}

    void Put(const std::string& name, const std::string& value) { opcodes_.push_back({name, value}); }
    void Put(const std::string& name, double value) { Put(name, Number(value)); }
    void Lose(const char* what) { ++losses_[what]; }

  private:
    SfzOpcodes& opcodes_;
    SfzLosses& losses_;
};

// The generators a player sounds the zone with, and the opcodes that say so.
void PutGenerators(RegionBuilder& out, const std::array<int, gen::count>& g, const SampleRecord& sample,
                   const ZoneRecord& zone, Range keys, Range velocities) {
    auto is = [&](int number) { return g[number] != GeneratorDefault(number); };
    if (keys.low != 0 || keys.high != 127) {
        out.Put("lokey", keys.low);
        out.Put("hikey", keys.high);
    }
    if (velocities.low > 1 || velocities.high != 127) {
        out.Put("lovel", velocities.low);
        out.Put("hivel", velocities.high);
    }
    const int root = g[gen::overridingRootKey] >= 0 ? g[gen::overridingRootKey] : sample.rootKey;
    out.Put("pitch_keycenter", std::clamp(root, 0, 127));
    if (is(gen::keynum))
        out.Lose("a fixed key number (keynum)");
    if (is(gen::velocity))
        out.Lose("a fixed velocity");
    const int cents = g[gen::coarseTune] * 100 + g[gen::fineTune] + sample.pitchCorrection;
    if (cents / 100 != 0)
        out.Put("transpose", cents / 100);
    if (cents % 100 != 0)
        out.Put("tune", cents % 100);
    if (is(gen::scaleTuning))
        out.Put("pitch_keytrack", g[gen::scaleTuning]);
    const int attenuation = std::clamp(g[gen::initialAttenuation], 0, 1440);
    if (attenuation != 0)
        out.Put("volume", attenuation * kDecibelsPerAttenuationUnit);
    if (is(gen::pan))
        out.Put("pan", std::clamp(g[gen::pan], -500, 500) / 5.0);
    if (is(gen::reverbEffectsSend))
        out.Put("effect1", std::clamp(g[gen::reverbEffectsSend], 0, 1000) / 10.0);
    if (is(gen::chorusEffectsSend))
        out.Put("effect2", std::clamp(g[gen::chorusEffectsSend], 0, 1000) / 10.0);
    if (is(gen::exclusiveClass)) {
        out.Put("group", g[gen::exclusiveClass]);
        out.Put("off_by", g[gen::exclusiveClass]);
    }

    // Sample addresses: the start offset, the end counted from the sample's last frame, and the loop.
    const int64_t startOffset = g[gen::startAddrsOffset] + int64_t{32768} * g[gen::startAddrsCoarseOffset];
    const int64_t endOffset = g[gen::endAddrsOffset] + int64_t{32768} * g[gen::endAddrsCoarseOffset];
    const int64_t frames = sample.dataLength / std::max<uint16_t>(sample.blockAlign, 1);
    if (startOffset > 0)
        out.Put("offset", static_cast<double>(startOffset));
    if (endOffset < 0 && frames + endOffset > 0)
        out.Put("end", static_cast<double>(frames + endOffset - 1));
    const int mode = g[gen::sampleModes];
    if ((mode == 1 || mode == 3) && zone.loopEnd > zone.loopStart) {
        out.Put("loop_mode", mode == 3 ? "loop_sustain" : "loop_continuous");
        out.Put("loop_start", zone.loopStart);
        out.Put("loop_end", zone.loopEnd - 1); // SFZ names the loop's last frame
    } else {
        out.Put("loop_mode", "no_loop");
    }

    // The volume envelope.
    auto time = [&](const std::string& name, int number) {
        if (is(number))
            out.Put(name, TimecentsToSeconds(std::clamp(g[number], -12000, 8000)));
    };
    time("ampeg_delay", gen::delayVolEnv);
    time("ampeg_attack", gen::attackVolEnv);
    time("ampeg_hold", gen::holdVolEnv);
    time("ampeg_decay", gen::decayVolEnv);
    if (is(gen::sustainVolEnv))
        out.Put("ampeg_sustain", 100.0 * std::pow(10.0, -std::clamp(g[gen::sustainVolEnv], 0, 1440) / 200.0));
    time("ampeg_release", gen::releaseVolEnv);

    // The modulation envelope drives the filter and the pitch; SFZ gives each its own envelope.
    const bool filterEnvelope = is(gen::modEnvToFilterFc), pitchEnvelope = is(gen::modEnvToPitch);
    for (const char* prefix : {"fileg_", "pitcheg_"}) {
        const bool filter = prefix[0] == 'f';
        if (!(filter ? filterEnvelope : pitchEnvelope))
            continue;
        auto name = [&](const char* stage) { return std::string(prefix) + stage; };
        out.Put(name("depth"), filter ? g[gen::modEnvToFilterFc] : g[gen::modEnvToPitch]);
        time(name("delay"), gen::delayModEnv);
        time(name("attack"), gen::attackModEnv);
        time(name("hold"), gen::holdModEnv);
        time(name("decay"), gen::decayModEnv);
        if (is(gen::sustainModEnv))
            out.Put(name("sustain"), 100.0 - std::clamp(g[gen::sustainModEnv], 0, 1000) / 10.0);
        time(name("release"), gen::releaseModEnv);
    }

    // The filter: a two-pole low pass, present when it is below its open default or moved by anything.
    const bool filter = g[gen::initialFilterFc] < 13500 || is(gen::initialFilterQ) || filterEnvelope ||
                        is(gen::modLfoToFilterFc);
    if (filter) {
        out.Put("fil_type", "lpf_2p");
        out.Put("cutoff", AbsoluteCentsToHertz(std::clamp(g[gen::initialFilterFc], 1500, 13500)));
        if (is(gen::initialFilterQ))
            out.Put("resonance", std::clamp(g[gen::initialFilterQ], 0, 960) / 10.0);
    }

    // The vibrato LFO moves the pitch; the modulation LFO the filter and the volume, and the pitch where the
    // vibrato LFO does not.
    auto lfo = [&](const char* delay, const char* freq, const char* depth, int delayNumber, int freqNumber,
                   double amount) {
        out.Put(depth, amount);
        if (is(delayNumber))
            out.Put(delay, TimecentsToSeconds(std::clamp(g[delayNumber], -12000, 5000)));
        out.Put(freq, AbsoluteCentsToHertz(std::clamp(g[freqNumber], -16000, 4500)));
    };
    const bool vibrato = is(gen::vibLfoToPitch);
    if (vibrato)
        lfo("pitchlfo_delay", "pitchlfo_freq", "pitchlfo_depth", gen::delayVibLFO, gen::freqVibLFO,
            g[gen::vibLfoToPitch]);
    if (is(gen::modLfoToPitch)) {
        if (vibrato)
            out.Lose("the modulation LFO on the pitch beside the vibrato LFO");
        else
            lfo("pitchlfo_delay", "pitchlfo_freq", "pitchlfo_depth", gen::delayModLFO, gen::freqModLFO,
                g[gen::modLfoToPitch]);
    }
    if (is(gen::modLfoToFilterFc))
        lfo("fillfo_delay", "fillfo_freq", "fillfo_depth", gen::delayModLFO, gen::freqModLFO,
            g[gen::modLfoToFilterFc]);
    if (is(gen::modLfoToVolume)) // centibels of attenuation at the LFO's peak: a negative gain in dB
        lfo("amplfo_delay", "amplfo_freq", "amplfo_depth", gen::delayModLFO, gen::freqModLFO,
            -g[gen::modLfoToVolume] / 10.0);
}

} // namespace

std::vector<SfzRegion> PresetRegions(const BankModel& bank, uint32_t slot,
                                     const std::vector<std::string>& samplePaths, SfzLosses& losses) {
    std::vector<SfzRegion> regions;
    if (!bank.IsValidSlot(slot))
        return regions;
    const PresetRecord& preset = bank.PresetTable[slot];
    const LayerRecord* presetGlobal = nullptr;
    for (uint16_t l : preset.layerList)
        if (bank.IsValidLayer(l) && bank.LayerTable[l].isGlobal && !bank.LayerTable[l].IsSet(gen::instrument))
            presetGlobal = presetGlobal ? presetGlobal : &bank.LayerTable[l];
    for (uint16_t l : preset.layerList) {
        if (!bank.IsValidLayer(l) || &bank.LayerTable[l] == presetGlobal)
            continue;
        const LayerRecord& layer = bank.LayerTable[l];
        const ZoneRecord* instrumentGlobal = nullptr;
        for (uint16_t z : layer.zoneList)
            if (bank.IsValidZone(z) && bank.ZoneTable[z].isGlobal && !instrumentGlobal)
                instrumentGlobal = &bank.ZoneTable[z];
        const Range presetKeys =
            RangeOf(static_cast<uint16_t>(LevelValue(layer, presetGlobal, gen::keyRange, kFullRange)));
        const Range presetVelocities =
            RangeOf(static_cast<uint16_t>(LevelValue(layer, presetGlobal, gen::velRange, kFullRange)));
        const bool presetModulators =
            !layer.modulators.empty() || (presetGlobal && !presetGlobal->modulators.empty());
        for (uint16_t z : layer.zoneList) {
            if (!bank.IsValidZone(z))
                continue;
            const ZoneRecord& zone = bank.ZoneTable[z];
            if (zone.isGlobal || !bank.IsValidSample(zone.sampleIndex) ||
                zone.sampleIndex >= samplePaths.size() || samplePaths[zone.sampleIndex].empty())
                continue;
            const Range zoneKeys =
                RangeOf(static_cast<uint16_t>(LevelValue(zone, instrumentGlobal, gen::keyRange, kFullRange)));
            const Range zoneVelocities =
                RangeOf(static_cast<uint16_t>(LevelValue(zone, instrumentGlobal, gen::velRange, kFullRange)));
            const Range keys{std::max(zoneKeys.low, presetKeys.low),
                             std::min(zoneKeys.high, presetKeys.high)};
            const Range velocities{std::max(zoneVelocities.low, presetVelocities.low),
                                   std::min(zoneVelocities.high, presetVelocities.high)};
            if (keys.low > keys.high || velocities.low > velocities.high)
                continue; // no note reaches it
            const GeneratorLevels levels{&zone, instrumentGlobal, &layer, presetGlobal};
            std::array<int, gen::count> g{};
            for (int number = 0; number < gen::count; ++number)
                g[number] = EffectiveGenerator(levels, number);
            // SFZ envelopes do not follow the key: a zone whose hold or decay does becomes one region per
            // key, each with the times that key plays with.
            const bool keyed = g[gen::keynumToVolEnvHold] != 0 || g[gen::keynumToVolEnvDecay] != 0 ||
                               g[gen::keynumToModEnvHold] != 0 || g[gen::keynumToModEnvDecay] != 0;
            for (int key = keys.low; key <= keys.high; key = keyed ? key + 1 : keys.high + 1) {
                std::array<int, gen::count> played = g;
                if (keyed) {
                    const int below = 60 - key;
                    played[gen::holdVolEnv] += g[gen::keynumToVolEnvHold] * below;
                    played[gen::decayVolEnv] += g[gen::keynumToVolEnvDecay] * below;
                    played[gen::holdModEnv] += g[gen::keynumToModEnvHold] * below;
                    played[gen::decayModEnv] += g[gen::keynumToModEnvDecay] * below;
                    for (int number : {gen::keynumToVolEnvHold, gen::keynumToVolEnvDecay,
                                       gen::keynumToModEnvHold, gen::keynumToModEnvDecay})
                        played[number] = 0;
                }
                SfzRegion region;
                region.layer = l;
                region.sampleIndex = zone.sampleIndex;
                RegionBuilder out(region.opcodes, losses);
                PutGenerators(out, played, bank.SampleTable[zone.sampleIndex], zone,
                              keyed ? Range{key, key} : keys, velocities);
                if (presetModulators || !zone.modulators.empty() ||
                    (instrumentGlobal && !instrumentGlobal->modulators.empty()))
                    out.Lose("SoundFont modulators");
                out.Put("sample", samplePaths[zone.sampleIndex]);
                regions.push_back(std::move(region));
            }
        }
    }
    return regions;
}

} // namespace quorvane
