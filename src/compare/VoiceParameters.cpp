#include "compare/VoiceParameters.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "core/StringPrintf.h"
#include "formats/dls/GigaArticulation.h"
#include "model/Generators.h"

namespace quorvane {

namespace {

using P = VoiceParameter;
using U = ValueUnit;

// Tolerances: a cent of pitch, 0.2 dB of level, 1 % of pan and send, 10 timecents (0.6 %) of a time (times
// of 1 ms and under are all the same), 10 cents of a frequency; positions in the sample, keys and classes
// must match exactly.
constexpr std::array<ParameterInfo, kParameterCount> kParameters = {{
    {P::SampleFrames, "sample frames", "sampleFrames", U::Frames, 0, -1, 0, true},
    {P::RootKey, "root key", "rootKey", U::Keys, 0, gen::overridingRootKey, -1, true},
    {P::Tuning, "tuning", "tuning", U::Cents, 1, -1, 0, true},
    {P::ScaleTuning, "scale tuning", "scaleTuning", U::CentsPerKey, 0, gen::scaleTuning, 100, true},
    {P::FixedKey, "fixed key", "fixedKey", U::Keys, 0, gen::keynum, -1, false},
    {P::FixedVelocity, "fixed velocity", "fixedVelocity", U::Velocity, 0, gen::velocity, -1, false},
    {P::LoopMode, "loop mode", "loopMode", U::LoopMode, 0, gen::sampleModes, 0, true},
    {P::LoopStart, "loop start", "loopStart", U::Frames, 0, -1, 0, true},
    {P::LoopEnd, "loop end", "loopEnd", U::Frames, 0, -1, 0, true},
    {P::SampleStart, "sample start offset", "sampleStart", U::Frames, 0, -1, 0, false},
    {P::SampleEnd, "sample end offset", "sampleEnd", U::Frames, 0, -1, 0, false},
    {P::Attenuation, "attenuation", "attenuation", U::Centibels, 2, gen::initialAttenuation, 0, true},
    {P::Pan, "pan", "pan", U::PerMille, 10, gen::pan, 0, true},
    {P::FilterCutoff, "filter cutoff", "filterCutoff", U::AbsoluteCents, 10, gen::initialFilterFc, 13500,
     true},
    {P::FilterResonance, "filter resonance", "filterResonance", U::Centibels, 10, gen::initialFilterQ, 0,
     true},
    {P::VolEnvDelay, "volume envelope delay", "volEnvDelay", U::Timecents, 10, gen::delayVolEnv, -12000,
     false},
    {P::VolEnvAttack, "volume envelope attack", "volEnvAttack", U::Timecents, 10, gen::attackVolEnv, -12000,
     true},
    {P::VolEnvHold, "volume envelope hold", "volEnvHold", U::Timecents, 10, gen::holdVolEnv, -12000, false},
    {P::VolEnvDecay, "volume envelope decay", "volEnvDecay", U::Timecents, 10, gen::decayVolEnv, -12000,
     true},
    {P::VolEnvSustain, "volume envelope sustain", "volEnvSustain", U::Centibels, 10, gen::sustainVolEnv, 0,
     true},
    {P::VolEnvRelease, "volume envelope release", "volEnvRelease", U::Timecents, 10, gen::releaseVolEnv,
     -12000, true},
    {P::KeyToVolEnvHold, "key to volume envelope hold", "keyToVolEnvHold", U::TimecentsPerKey, 1,
     gen::keynumToVolEnvHold, 0, false},
    {P::KeyToVolEnvDecay, "key to volume envelope decay", "keyToVolEnvDecay", U::TimecentsPerKey, 1,
     gen::keynumToVolEnvDecay, 0, false},
    {P::ModEnvDelay, "modulation envelope delay", "modEnvDelay", U::Timecents, 10, gen::delayModEnv, -12000,
     false},
    {P::ModEnvAttack, "modulation envelope attack", "modEnvAttack", U::Timecents, 10, gen::attackModEnv,
     -12000, true},
    {P::ModEnvHold, "modulation envelope hold", "modEnvHold", U::Timecents, 10, gen::holdModEnv, -12000,
     false},
    {P::ModEnvDecay, "modulation envelope decay", "modEnvDecay", U::Timecents, 10, gen::decayModEnv, -12000,
     false},
    {P::ModEnvSustain, "modulation envelope sustain", "modEnvSustain", U::PerMille, 10, gen::sustainModEnv, 0,
     false},
    {P::ModEnvRelease, "modulation envelope release", "modEnvRelease", U::Timecents, 10, gen::releaseModEnv,
     -12000, false},
    {P::KeyToModEnvHold, "key to modulation envelope hold", "keyToModEnvHold", U::TimecentsPerKey, 1,
     gen::keynumToModEnvHold, 0, false},
    {P::KeyToModEnvDecay, "key to modulation envelope decay", "keyToModEnvDecay", U::TimecentsPerKey, 1,
     gen::keynumToModEnvDecay, 0, false},
    {P::ModEnvToPitch, "modulation envelope to pitch", "modEnvToPitch", U::Cents, 1, gen::modEnvToPitch, 0,
     true},
    {P::ModEnvToFilterFc, "modulation envelope to filter cutoff", "modEnvToFilterFc", U::Cents, 10,
     gen::modEnvToFilterFc, 0, false},
    {P::ModLfoDelay, "modulation LFO delay", "modLfoDelay", U::Timecents, 10, gen::delayModLFO, -12000,
     false},
    {P::ModLfoFrequency, "modulation LFO frequency", "modLfoFrequency", U::AbsoluteCents, 10, gen::freqModLFO,
     0, true},
    {P::ModLfoToPitch, "modulation LFO to pitch", "modLfoToPitch", U::Cents, 1, gen::modLfoToPitch, 0, false},
    {P::ModLfoToFilterFc, "modulation LFO to filter cutoff", "modLfoToFilterFc", U::Cents, 10,
     gen::modLfoToFilterFc, 0, true},
    {P::ModLfoToVolume, "modulation LFO to volume", "modLfoToVolume", U::Centibels, 1, gen::modLfoToVolume, 0,
     true},
    {P::VibLfoDelay, "vibrato LFO delay", "vibLfoDelay", U::Timecents, 10, gen::delayVibLFO, -12000, false},
    {P::VibLfoFrequency, "vibrato LFO frequency", "vibLfoFrequency", U::AbsoluteCents, 10, gen::freqVibLFO, 0,
     true},
    {P::VibLfoToPitch, "vibrato LFO to pitch", "vibLfoToPitch", U::Cents, 1, gen::vibLfoToPitch, 0, true},
    {P::ReverbSend, "reverb send", "reverbSend", U::PerMille, 10, gen::reverbEffectsSend, 0, false},
    {P::ChorusSend, "chorus send", "chorusSend", U::PerMille, 10, gen::chorusEffectsSend, 0, false},
    {P::ExclusiveClass, "exclusive class", "exclusiveClass", U::Number, 0, gen::exclusiveClass, 0, false},
    {P::Modulators, "modulators", "modulators", U::Number, 0, -1, 0, false},
    {P::KeyRange, "key range", "keyRange", U::Keys, 0, gen::keyRange, 0, true},
    {P::VelocityRange, "velocity range", "velocityRange", U::Velocity, 0, gen::velRange, 0, true},
    {P::Voices, "voices", "voices", U::Number, 0, -1, 0, true},
    {P::RenderedLevel, "rendered level", "renderedLevel", U::Centibels, 10, -1, 0, true},
    {P::RenderedPitch, "rendered pitch", "renderedPitch", U::AbsoluteCents, 10, -1, 0, true},
    {P::RenderedLength, "rendered length", "renderedLength", U::Timecents, 100, -1, 0, true},
    {P::Bank, "bank", "bank", U::Number, 0, -1, 0, true},
    {P::Program, "program", "program", U::Number, 0, -1, 0, true},
    {P::Name, "name", "name", U::Text, 0, -1, 0, true},
}};

constexpr bool TableInOrder() {
    for (int i = 0; i < kParameterCount; ++i)
        if (static_cast<int>(kParameters[i].parameter) != i)
            return false;
    return true;
}
static_assert(TableInOrder(), "the parameter table lists every parameter in the order of the enum");

double Seconds(int64_t timecents) {
    return std::pow(2.0, static_cast<double>(timecents) / 1200.0);
}
double Hertz(int64_t absoluteCents) {
    return 8.176 * std::pow(2.0, static_cast<double>(absoluteCents) / 1200.0);
}
std::string Plural(int64_t count, const char* one, const char* many) {
    return StringPrintf("%lld %s", static_cast<long long>(count), std::llabs(count) == 1 ? one : many);
}
std::string Signed(int64_t value, const char* one, const char* many) {
    return (value > 0 ? "+" : "") + Plural(value, one, many);
}

} // namespace

const char* BankKindName(BankKind kind) {
    switch (kind) {
    case BankKind::SoundFont2:
        return "SoundFont 2";
    case BankKind::SoundFont3:
        return "SoundFont 3";
    case BankKind::GigaSampler:
        return "GigaSampler";
    case BankKind::Dls:
        return "DLS";
    case BankKind::Akai:
        return "Akai";
    case BankKind::AudioFiles:
        return "audio files";
    case BankKind::Sfz:
        return "SFZ";
    }
    return "?";
}

const ParameterInfo& InfoOf(VoiceParameter parameter) {
    return kParameters[static_cast<size_t>(parameter)];
}

bool Holds(BankKind kind, VoiceParameter parameter) {
    switch (kind) {
    case BankKind::SoundFont2:
        return true;
    case BankKind::SoundFont3:
        // Ogg Vorbis coding keeps the sound but not the exact frames.
        return parameter != VoiceParameter::SampleFrames;
    case BankKind::GigaSampler:
    case BankKind::Dls:
    case BankKind::Akai:
    case BankKind::AudioFiles:
        return InfoOf(parameter).gigaSampler;
    case BankKind::Sfz:
        // An SFZ instrument has no bank or program number, no fixed key or velocity and no modulators.
        return parameter != VoiceParameter::FixedKey && parameter != VoiceParameter::FixedVelocity &&
               parameter != VoiceParameter::Modulators && parameter != VoiceParameter::Bank &&
               parameter != VoiceParameter::Program;
    }
    return true;
}

bool HoldsValue(BankKind kind, VoiceParameter parameter, int64_t value) {
    if (kind != BankKind::GigaSampler)
        return true;
    if (parameter == VoiceParameter::ScaleTuning)
        return value == 0 || value == 100;
    // The filter is off, or on at a cutoff of the 3ewa's scale; a SoundFont cutoff of 13500 cents and above
    // is no filter.
    if (parameter == VoiceParameter::FilterCutoff)
        return value <= GigaCutoffCents(kGigaTopCutoffCode) || value >= 13500;
    return true;
}

const char* WhyNotHeld(BankKind kind, VoiceParameter parameter) {
    if (kind == BankKind::GigaSampler && parameter == VoiceParameter::ScaleTuning)
        return "pitch tracking is on or off only";
    if (kind == BankKind::GigaSampler && parameter == VoiceParameter::FilterCutoff)
        return "the highest cutoff of a filter that is on is 6170 Hz";
    return "";
}

std::string ShowValue(VoiceParameter parameter, int64_t value) {
    switch (InfoOf(parameter).unit) {
    case U::Frames:
        return Plural(value, "frame", "frames");
    case U::Keys:
        return value < 0 ? "none" : StringPrintf("%lld", static_cast<long long>(value));
    case U::Velocity:
        return value < 0 ? "none" : StringPrintf("%lld", static_cast<long long>(value));
    case U::Cents:
        return Signed(value, "cent", "cents");
    case U::CentsPerKey:
        return StringPrintf("%lld cents/key", static_cast<long long>(value));
    case U::AbsoluteCents:
        return StringPrintf("%.1f Hz", Hertz(value));
    case U::Timecents:
        return value <= -12000 ? "0 s" : StringPrintf("%.3f s", Seconds(value));
    case U::TimecentsPerKey:
        return StringPrintf("%lld timecents/key", static_cast<long long>(value));
    case U::Centibels:
        return StringPrintf("%.1f dB", static_cast<double>(value) / 10.0);
    case U::PerMille:
        return StringPrintf("%.1f %%", static_cast<double>(value) / 10.0);
    case U::LoopMode:
        return value == 1 ? "looped" : value == 3 ? "looped until release" : "not looped";
    case U::Number:
    case U::Text:
        return StringPrintf("%lld", static_cast<long long>(value));
    }
    return {};
}

std::string ShowDifference(VoiceParameter parameter, int64_t from, int64_t to) {
    const int64_t d = to - from;
    switch (InfoOf(parameter).unit) {
    case U::Frames:
        return Signed(d, "frame", "frames");
    case U::Keys:
        return Signed(d, "key", "keys");
    case U::Velocity:
        return Signed(d, "step", "steps");
    case U::Cents:
    case U::AbsoluteCents:
        return Signed(d, "cent", "cents");
    case U::CentsPerKey:
        return Signed(d, "cent/key", "cents/key");
    case U::Timecents:
        return StringPrintf("%+.3f s (x%.2f)", Seconds(to) - Seconds(from), Seconds(d));
    case U::TimecentsPerKey:
        return Signed(d, "timecent/key", "timecents/key");
    case U::Centibels:
        return StringPrintf("%+.1f dB", static_cast<double>(d) / 10.0);
    case U::PerMille:
        return StringPrintf("%+.1f %%", static_cast<double>(d) / 10.0);
    case U::LoopMode:
    case U::Number:
    case U::Text:
        return "changed";
    }
    return {};
}

std::string ShowTolerance(VoiceParameter parameter) {
    const int t = InfoOf(parameter).tolerance;
    switch (InfoOf(parameter).unit) {
    case U::Cents:
    case U::AbsoluteCents:
        return Plural(t, "cent", "cents");
    case U::Timecents:
        return Plural(t, "timecent", "timecents") + ", times up to 1 ms the same";
    case U::Centibels:
        return StringPrintf("%.1f dB", t / 10.0);
    case U::PerMille:
        return StringPrintf("%.1f %%", t / 10.0);
    case U::TimecentsPerKey:
        return Plural(t, "timecent/key", "timecents/key");
    default:
        return "exact";
    }
}

} // namespace quorvane
