// The pitch a RIFF sampler chunk (`smpl`, in WAVE files and GigaSampler waves) gives: the unity note and a
// fraction of a semitone above it at which the sample sounds. A sample record instead holds a root key and
// a pitch correction applied on playback, so the two run opposite ways; both directions live here.
#pragma once

#include <algorithm>
#include <cstdint>

namespace quorvane {

// One cent of the fraction, which counts 2^32 parts of a semitone.
constexpr uint32_t kFractionPerCent = 42949672;

struct SamplerPitch {
    uint32_t unityNote;
    uint32_t fraction;
};

struct SampleTuning {
    int rootKey;
    int pitchCorrection; // cents, applied on playback
};

// The sample sounds `correction` cents below its root key.
inline SamplerPitch SamplerPitchOf(int rootKey, int correction) {
    const int pitch = std::clamp(rootKey * 100 - correction, 0, 12799);
    return {static_cast<uint32_t>(pitch / 100), static_cast<uint32_t>(pitch % 100) * kFractionPerCent};
}

// A root key and correction for a unity note and the whole cents of its fraction (0..99), taken from the
// nearer note, so the correction stays within half a semitone.
inline SampleTuning SampleTuningOf(uint32_t unityNote, uint32_t fractionCents) {
    int root = static_cast<int>(unityNote & 127);
    const int cents = static_cast<int>(fractionCents % 100);
    if (cents > 50 && root < 127)
        return {root + 1, 100 - cents};
    return {root, -cents};
}

} // namespace quorvane
