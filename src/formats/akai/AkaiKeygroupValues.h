// Akai keygroup parameters turned into SoundFont generator values by fixed formulas: envelope times in
// timecents, sustain as attenuation, filter cutoff in absolute cents, tunes in cents.
#pragma once

#include <cstdint>

namespace quorvane {

// Time given as "none": the generator keeps this value but is not set.
constexpr int16_t kNoEnvelopeTime = -12000;

// Attack 0..99 (1.41 * e^(0.09 a) ms); 0 gives kNoEnvelopeTime.
int16_t AkaiAttackTime(uint8_t attack);
// Decay or release 0..99 (0.95 * e^(0.11 x) ms); 0 gives kNoEnvelopeTime.
int16_t AkaiDecayTime(uint8_t time);
// The sustain level 0..99 as the sampler's own value: 99 gives 1000, 0 gives 0, s gives 6 s + 400. The
// generator holds 1000 minus it, the attenuation in centibels.
int AkaiSustainValue(uint8_t sustain);
// initialFilterFc of cutoff plus filter offset c: 20 * e^(0.071 c) Hz below 99, else 20 kHz.
int16_t AkaiCutoffCents(int cutoff);
// semitones * 100 + fine * 100 / 255 (fine in 255ths of a semitone).
int AkaiTuneCents(int8_t semitones, uint8_t fine);

} // namespace quorvane
