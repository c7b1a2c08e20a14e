// The SoundFont 2 generators by number: layers and zones carry them in 100 slots indexed by these numbers,
// and every reader, writer and view names them from here.
#pragma once

#include <string_view>

namespace quorvane {

namespace gen {
constexpr int startAddrsOffset = 0;
constexpr int endAddrsOffset = 1;
constexpr int startloopAddrsOffset = 2;
constexpr int endloopAddrsOffset = 3;
constexpr int startAddrsCoarseOffset = 4;
constexpr int modLfoToPitch = 5;
constexpr int vibLfoToPitch = 6;
constexpr int modEnvToPitch = 7;
constexpr int initialFilterFc = 8;
constexpr int initialFilterQ = 9;
constexpr int modLfoToFilterFc = 10;
constexpr int modEnvToFilterFc = 11;
constexpr int endAddrsCoarseOffset = 12;
constexpr int modLfoToVolume = 13;
constexpr int chorusEffectsSend = 15;
constexpr int reverbEffectsSend = 16;
constexpr int pan = 17;
constexpr int delayModLFO = 21;
constexpr int freqModLFO = 22;
constexpr int delayVibLFO = 23;
constexpr int freqVibLFO = 24;
constexpr int delayModEnv = 25;
constexpr int attackModEnv = 26;
constexpr int holdModEnv = 27;
constexpr int decayModEnv = 28;
constexpr int sustainModEnv = 29;
constexpr int releaseModEnv = 30;
constexpr int keynumToModEnvHold = 31;
constexpr int keynumToModEnvDecay = 32;
constexpr int delayVolEnv = 33;
constexpr int attackVolEnv = 34;
constexpr int holdVolEnv = 35;
constexpr int decayVolEnv = 36;
constexpr int sustainVolEnv = 37;
constexpr int releaseVolEnv = 38;
constexpr int keynumToVolEnvHold = 39;
constexpr int keynumToVolEnvDecay = 40;
constexpr int instrument = 41;
constexpr int keyRange = 43;
constexpr int velRange = 44;
constexpr int startloopAddrsCoarseOffset = 45;
constexpr int keynum = 46;
constexpr int velocity = 47;
constexpr int initialAttenuation = 48;
constexpr int endloopAddrsCoarseOffset = 50;
constexpr int coarseTune = 51;
constexpr int fineTune = 52;
constexpr int sampleID = 53;
constexpr int sampleModes = 54;
constexpr int scaleTuning = 56;
constexpr int exclusiveClass = 57;
constexpr int overridingRootKey = 58;
constexpr int lastDefined = 60; // endOper; numbers above are carried through unchanged
constexpr int lastWritten = 59; // the writers write generators 0 .. lastWritten
constexpr int count = 100;      // slots a layer or zone has
} // namespace gen

// The name of generator `number` as SoundFont 2.01 spells it; "unused" for the reserved numbers and
// everything past the last defined one.
std::string_view GeneratorName(int number);

} // namespace quorvane
