#include "model/GeneratorRules.h"

#include <algorithm>
#include <climits>

namespace quorvane {

bool IsStageTime(int number) {
    switch (number) {
    case gen::delayModLFO:
    case gen::delayVibLFO:
    case gen::delayModEnv:
    case gen::attackModEnv:
    case gen::holdModEnv:
    case gen::decayModEnv:
    case gen::releaseModEnv:
    case gen::delayVolEnv:
    case gen::attackVolEnv:
    case gen::holdVolEnv:
    case gen::decayVolEnv:
    case gen::releaseVolEnv:
        return true;
    default:
        return false;
    }
}

int16_t GeneratorDefault(int number) {
    if (IsStageTime(number))
        return -12000;
    switch (number) {
    case gen::initialFilterFc:
        return 13500;
    case gen::scaleTuning:
        return 100;
    case gen::keynum:
    case gen::velocity:
    case gen::overridingRootKey:
        return -1;
    case gen::keyRange:
    case gen::velRange:
        return static_cast<int16_t>(kFullRange);
    default:
        return 0;
    }
}

bool PresetLevelAdds(int number) {
    switch (number) {
    case gen::startAddrsOffset:
    case gen::endAddrsOffset:
    case gen::startloopAddrsOffset:
    case gen::endloopAddrsOffset:
    case gen::startAddrsCoarseOffset:
    case gen::endAddrsCoarseOffset:
    case gen::startloopAddrsCoarseOffset:
    case gen::endloopAddrsCoarseOffset:
    case gen::keynum:
    case gen::velocity:
    case gen::sampleModes:
    case gen::exclusiveClass:
    case gen::overridingRootKey:
    case gen::keyRange:
    case gen::velRange:
    case gen::instrument:
    case gen::sampleID:
        return false;
    default:
        return true;
    }
}

std::pair<int, int> GeneratorRange(int number) {
    switch (number) {
    case gen::initialFilterFc:
        return {1500, 13500};
    case gen::initialFilterQ:
        return {0, 960};
    case gen::chorusEffectsSend:
    case gen::reverbEffectsSend:
    case gen::sustainModEnv:
        return {0, 1000};
    case gen::pan:
        return {-500, 500};
    case gen::sustainVolEnv:
    case gen::initialAttenuation:
        return {0, 1440};
    case gen::modLfoToVolume:
        return {-960, 960};
    case gen::delayModLFO:
    case gen::delayVibLFO:
    case gen::delayModEnv:
    case gen::delayVolEnv:
    case gen::holdModEnv:
    case gen::holdVolEnv:
        return {-12000, 5000};
    case gen::attackModEnv:
    case gen::decayModEnv:
    case gen::releaseModEnv:
    case gen::attackVolEnv:
    case gen::decayVolEnv:
    case gen::releaseVolEnv:
        return {-12000, 8000};
    case gen::freqModLFO:
    case gen::freqVibLFO:
        return {-16000, 4500};
    default:
        return {INT_MIN, INT_MAX};
    }
}

int LevelValue(const GeneratorSet& own, const GeneratorSet* global, int number, int fallback) {
    if (own.IsSet(number))
        return own.generators[number];
    if (global != nullptr && global->IsSet(number))
        return global->generators[number];
    return fallback;
}

int EffectiveGenerator(const GeneratorLevels& levels, int number, int fallback) {
    const int instrument = LevelValue(*levels.zone, levels.globalZone, number, fallback);
    if (!PresetLevelAdds(number))
        return instrument;
    const auto [low, high] = GeneratorRange(number);
    const int64_t sum = int64_t{instrument} + LevelValue(*levels.layer, levels.globalLayer, number, 0);
    return static_cast<int>(std::clamp<int64_t>(sum, low, high));
}

} // namespace quorvane
