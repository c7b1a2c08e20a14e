#include "compare/EffectiveVoices.h"

#include <algorithm>
#include <tuple>

#include "model/GeneratorRules.h"

namespace quorvane {

namespace {

using P = VoiceParameter;

using Levels = GeneratorLevels;

int InstrumentValue(const Levels& l, int number, int fallback) {
    return LevelValue(*l.zone, l.globalZone, number, fallback);
}

// A range from the nearest level that gives one; levels without one cover everything.
std::pair<int, int> RangeAt(const GeneratorSet* own, const GeneratorSet* global, int number) {
    const GeneratorSet* from = own->IsSet(number)                           ? own
                               : global != nullptr && global->IsSet(number) ? global
                                                                            : nullptr;
    if (from == nullptr)
        return {0, 127};
    const uint16_t range = from->Unsigned(number);
    return {range & 0xFF, range >> 8};
}

// Modulators of one level: the local ones, and the global ones that no local one replaces (same source,
// destination and amount source).
std::vector<ModulatorRecord> LevelModulators(const std::vector<ModulatorRecord>& local,
                                             const std::vector<ModulatorRecord>* global) {
    std::vector<ModulatorRecord> list = local;
    if (global != nullptr)
        for (const ModulatorRecord& g : *global)
            if (std::none_of(local.begin(), local.end(), [&](const ModulatorRecord& m) {
                    return m.source == g.source && m.destination == g.destination &&
                           m.amountSource == g.amountSource;
                }))
                list.push_back(g);
    std::sort(list.begin(), list.end(), [](const ModulatorRecord& a, const ModulatorRecord& b) {
        return std::tie(a.source, a.destination, a.amountSource, a.transform, a.amount) <
               std::tie(b.source, b.destination, b.amountSource, b.transform, b.amount);
    });
    return list;
}

// Values that cannot change what a voice sounds like are left out of the comparison: the settings of an
// envelope or LFO that drives nothing, a decay to a sustain level of full level, the resonance of a filter
// that is off. Attenuations of 96 dB and more are all silence.
void LeaveOutWhatIsNotHeard(Voice& voice) {
    auto value = [&](P parameter) { return voice.values[static_cast<size_t>(parameter)]; };
    auto leaveOut = [&](std::initializer_list<P> parameters) {
        for (P parameter : parameters)
            voice.values[static_cast<size_t>(parameter)] = kNotApplicable;
    };
    if (value(P::ModEnvToPitch) == 0 && value(P::ModEnvToFilterFc) == 0)
        leaveOut({P::ModEnvDelay, P::ModEnvAttack, P::ModEnvHold, P::ModEnvDecay, P::ModEnvSustain,
                  P::ModEnvRelease, P::KeyToModEnvHold, P::KeyToModEnvDecay});
    else if (value(P::ModEnvSustain) == 0)
        leaveOut({P::ModEnvDecay, P::KeyToModEnvDecay});
    if (value(P::ModLfoToPitch) == 0 && value(P::ModLfoToFilterFc) == 0 && value(P::ModLfoToVolume) == 0)
        leaveOut({P::ModLfoDelay, P::ModLfoFrequency});
    if (value(P::VibLfoToPitch) == 0)
        leaveOut({P::VibLfoDelay, P::VibLfoFrequency});
    if (value(P::VolEnvSustain) == 0)
        leaveOut({P::VolEnvDecay, P::KeyToVolEnvDecay});
    else
        voice.values[static_cast<size_t>(P::VolEnvSustain)] = std::min(value(P::VolEnvSustain), 960);
    if (value(P::FilterCutoff) >= 13500)
        leaveOut({P::FilterResonance});
}

void FillValues(const BankModel& bank, const Levels& l, const ZoneRecord& zone, Voice& voice) {
    const SampleRecord& sample = bank.SampleTable[zone.sampleIndex];
    auto set = [&](P parameter, int32_t value) { voice.values[static_cast<size_t>(parameter)] = value; };
    for (int i = 0; i < kVoiceValueCount; ++i) {
        const ParameterInfo& info = InfoOf(static_cast<P>(i));
        if (info.generator >= 0)
            set(info.parameter, EffectiveGenerator(l, info.generator, info.defaultValue));
    }
    set(P::SampleFrames, 0);
    // An Akai keygroup plays its sample's own root key and loop, as every conversion writes them.
    const bool akai = bank.SourceFormat == SourceFormat::Akai;
    const int root = akai ? -1 : InstrumentValue(l, gen::overridingRootKey, -1);
    set(P::RootKey, root >= 0 && root <= 127 ? root : sample.rootKey);
    // The readers leave every format's tuning as SoundFont plays it: the sample's correction adds to the
    // zone's (a DLS or GigaSampler zone carries its region's tuning less its wave's).
    set(P::Tuning, 100 * EffectiveGenerator(l, gen::coarseTune, 0) + EffectiveGenerator(l, gen::fineTune, 0) +
                       sample.pitchCorrection);
    set(P::FixedKey, std::max(InstrumentValue(l, gen::keynum, -1), -1));
    set(P::FixedVelocity, std::max(InstrumentValue(l, gen::velocity, -1), -1));
    // Mode 2 is undefined and plays as no loop.
    const int mode = akai ? (sample.looped ? 1 : 0) : InstrumentValue(l, gen::sampleModes, 0) & 3;
    set(P::LoopMode, mode == 2 ? 0 : mode);
    const bool looped = mode == 1 || mode == 3;
    const uint32_t loopStart = akai ? sample.loopStart : zone.loopStart;
    const uint32_t loopEnd = akai ? sample.loopEnd : zone.loopEnd;
    set(P::LoopStart, looped ? static_cast<int32_t>(loopStart) : kNotApplicable);
    set(P::LoopEnd, looped ? static_cast<int32_t>(loopEnd) : kNotApplicable);
    set(P::SampleStart, InstrumentValue(l, gen::startAddrsOffset, 0) +
                            32768 * InstrumentValue(l, gen::startAddrsCoarseOffset, 0));
    set(P::SampleEnd, InstrumentValue(l, gen::endAddrsOffset, 0) +
                          32768 * InstrumentValue(l, gen::endAddrsCoarseOffset, 0));
    set(P::ExclusiveClass, InstrumentValue(l, gen::exclusiveClass, 0));
    set(P::Modulators, 0);
    LeaveOutWhatIsNotHeard(voice);
}

template <typename Record>
const Record* GlobalOf(const std::vector<Record>& table, const HexIndexList& list) {
    for (uint16_t index : list)
        if (index < table.size() && table[index].isGlobal)
            return &table[index];
    return nullptr;
}

} // namespace

std::vector<Voice> VoicesOfPreset(const BankModel& bank, uint32_t slot) {
    std::vector<Voice> voices;
    if (!bank.IsValidSlot(slot))
        return voices;
    const HexIndexList& layers = bank.PresetTable[slot].layerList;
    const LayerRecord* globalLayer = GlobalOf(bank.LayerTable, layers);
    for (uint16_t j : layers) {
        if (!bank.IsValidLayer(j) || bank.LayerTable[j].isGlobal)
            continue;
        const LayerRecord& layer = bank.LayerTable[j];
        const ZoneRecord* globalZone = GlobalOf(bank.ZoneTable, layer.zoneList);
        const auto layerKeys = RangeAt(&layer, globalLayer, gen::keyRange);
        const auto layerVelocities = RangeAt(&layer, globalLayer, gen::velRange);
        for (uint16_t k : layer.zoneList) {
            if (!bank.IsValidZone(k))
                continue;
            const ZoneRecord& zone = bank.ZoneTable[k];
            if (zone.isGlobal || !bank.IsValidSample(zone.sampleIndex))
                continue;
            const auto zoneKeys = RangeAt(&zone, globalZone, gen::keyRange);
            const auto zoneVelocities = RangeAt(&zone, globalZone, gen::velRange);
            const int keyLow = std::max(layerKeys.first, zoneKeys.first);
            const int keyHigh = std::min({layerKeys.second, zoneKeys.second, 127});
            const int velocityLow = std::max({layerVelocities.first, zoneVelocities.first, 1});
            const int velocityHigh = std::min({layerVelocities.second, zoneVelocities.second, 127});
            if (keyLow > keyHigh || velocityLow > velocityHigh)
                continue;
            Voice voice;
            voice.layer = j;
            voice.zone = k;
            voice.sample = zone.sampleIndex;
            voice.keyLow = static_cast<uint8_t>(keyLow);
            voice.keyHigh = static_cast<uint8_t>(keyHigh);
            voice.velocityLow = static_cast<uint8_t>(velocityLow);
            voice.velocityHigh = static_cast<uint8_t>(velocityHigh);
            const Levels levels{&zone, globalZone, &layer, globalLayer};
            FillValues(bank, levels, zone, voice);
            voice.instrumentModulators =
                LevelModulators(zone.modulators, globalZone ? &globalZone->modulators : nullptr);
            voice.presetModulators =
                LevelModulators(layer.modulators, globalLayer ? &globalLayer->modulators : nullptr);
            voices.push_back(std::move(voice));
        }
    }
    return voices;
}

} // namespace quorvane
