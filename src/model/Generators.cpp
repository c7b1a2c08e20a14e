#include "model/Generators.h"

#include <array>

namespace quorvane {

std::string_view GeneratorName(int number) {
    static constexpr std::array<std::string_view, gen::lastDefined + 1> kNames = {
        "startAddrsOffset",
        "endAddrsOffset",
        "startloopAddrsOffset",
        "endloopAddrsOffset",
        "startAddrsCoarseOffset",
        "modLfoToPitch",
        "vibLfoToPitch",
        "modEnvToPitch",
        "initialFilterFc",
        "initialFilterQ",
        "modLfoToFilterFc",
        "modEnvToFilterFc",
        "endAddrsCoarseOffset",
        "modLfoToVolume",
        "unused",
        "chorusEffectsSend",
        "reverbEffectsSend",
        "pan",
        "unused",
        "unused",
        "unused",
        "delayModLFO",
        "freqModLFO",
        "delayVibLFO",
        "freqVibLFO",
        "delayModEnv",
        "attackModEnv",
        "holdModEnv",
        "decayModEnv",
        "sustainModEnv",
        "releaseModEnv",
        "keynumToModEnvHold",
        "keynumToModEnvDecay",
        "delayVolEnv",
        "attackVolEnv",
        "holdVolEnv",
        "decayVolEnv",
        "sustainVolEnv",
        "releaseVolEnv",
        "keynumToVolEnvHold",
        "keynumToVolEnvDecay",
        "instrument",
        "reserved1",
        "keyRange",
        "velRange",
        "startloopAddrsCoarseOffset",
        "keynum",
        "velocity",
        "initialAttenuation",
        "reserved2",
        "endloopAddrsCoarseOffset",
        "coarseTune",
        "fineTune",
        "sampleID",
        "sampleModes",
        "reserved3",
        "scaleTuning",
        "exclusiveClass",
        "overridingRootKey",
        "unused",
        "endOper",
    };
    if (number < 0 || number > gen::lastDefined)
        return "unused";
    return kNames[static_cast<size_t>(number)];
}

} // namespace quorvane
