// What a check compares, described once: every parameter of a sounding voice (and the few of a preset), its
// unit, the tolerance within which two values count as the same, how its value is shown, and which output
// formats can hold it at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

enum class VoiceParameter : uint8_t {
    // Per voice, one value each.
    SampleFrames,
    RootKey,
    Tuning,
    ScaleTuning,
    FixedKey,
    FixedVelocity,
    LoopMode,
    LoopStart,
    LoopEnd,
    SampleStart,
    SampleEnd,
    Attenuation,
    Pan,
    FilterCutoff,
    FilterResonance,
    VolEnvDelay,
    VolEnvAttack,
    VolEnvHold,
    VolEnvDecay,
    VolEnvSustain,
    VolEnvRelease,
    KeyToVolEnvHold,
    KeyToVolEnvDecay,
    ModEnvDelay,
    ModEnvAttack,
    ModEnvHold,
    ModEnvDecay,
    ModEnvSustain,
    ModEnvRelease,
    KeyToModEnvHold,
    KeyToModEnvDecay,
    ModEnvToPitch,
    ModEnvToFilterFc,
    ModLfoDelay,
    ModLfoFrequency,
    ModLfoToPitch,
    ModLfoToFilterFc,
    ModLfoToVolume,
    VibLfoDelay,
    VibLfoFrequency,
    VibLfoToPitch,
    ReverbSend,
    ChorusSend,
    ExclusiveClass,
    Modulators,
    // Where voices sound: found by comparing every key and velocity band, not stored per voice.
    KeyRange,
    VelocityRange,
    Voices,
    // Heard through FluidSynth (check --render): per note played, not per voice.
    RenderedLevel,
    RenderedPitch,
    RenderedLength,
    // Per preset.
    Bank,
    Program,
    Name,
};
constexpr int kVoiceValueCount = static_cast<int>(VoiceParameter::Modulators) + 1;
constexpr int kParameterCount = static_cast<int>(VoiceParameter::Name) + 1;

// How values are held while they are compared, and so how they are shown.
enum class ValueUnit : uint8_t {
    Frames,
    Keys,
    Velocity,
    Cents,
    CentsPerKey,
    AbsoluteCents,   // frequency: cents above 8.176 Hz, shown in hertz
    Timecents,       // time: 1200 * log2(seconds), shown in seconds
    TimecentsPerKey, // envelope time scaling by key
    Centibels,       // shown in dB
    PerMille,        // tenths of a percent, shown in percent
    LoopMode,        // 0 none, 1 continuous, 3 until release
    Number,          // class numbers, bank and program numbers, counts
    Text,
};

// The output formats a check can meet, for what they can hold.
enum class BankKind : uint8_t { SoundFont2, SoundFont3, GigaSampler, Dls, Akai, AudioFiles, Sfz };
const char* BankKindName(BankKind kind);

struct ParameterInfo {
    VoiceParameter parameter;
    const char* name; // as the report shows it
    const char* key;  // as --json names it
    ValueUnit unit;
    int tolerance;    // in the unit's stored form; differences up to this count as the same
    int generator;    // the SoundFont generator it comes from, -1 for derived values
    int defaultValue; // the value a player uses when no level gives one
    bool gigaSampler; // a GigaSampler file can hold it
};

const ParameterInfo& InfoOf(VoiceParameter parameter);
// Whether an output of `kind` can hold the parameter; what it cannot is reported apart from changes.
bool Holds(BankKind kind, VoiceParameter parameter);
// Whether an output of `kind` that holds the parameter can hold this value of it: GigaSampler's pitch
// tracking is on or off, so of the scale tunings only 0 and 100 cents per key, and its filter's cutoff
// scale ends at 6170 Hz. WhyNotHeld says so for the report.
bool HoldsValue(BankKind kind, VoiceParameter parameter, int64_t value);
const char* WhyNotHeld(BankKind kind, VoiceParameter parameter);

// A stored value in its unit for a person ("0.250 s", "440.0 Hz", "-3.0 dB", "+12 cents").
std::string ShowValue(VoiceParameter parameter, int64_t value);
// How far apart two values are, for a person ("+0.125 s", "-1 key", "x2.00").
std::string ShowDifference(VoiceParameter parameter, int64_t from, int64_t to);
// The tolerance for a person ("1 cent", "0 frames", "10 timecents").
std::string ShowTolerance(VoiceParameter parameter);

} // namespace quorvane
