#include "formats/akai/AkaiKeygroupValues.h"

#include <cmath>

namespace quorvane {

namespace {
// Timecents of a time in milliseconds, truncated toward zero.
int16_t Timecents(double milliseconds) {
    return static_cast<int16_t>(1200.0 * std::log2(0.001 * milliseconds));
}
} // namespace

int16_t AkaiAttackTime(uint8_t attack) {
    return attack == 0 ? kNoEnvelopeTime : Timecents(1.41 * std::exp(0.09 * attack));
}

int16_t AkaiDecayTime(uint8_t time) {
    return time == 0 ? kNoEnvelopeTime : Timecents(0.95 * std::exp(0.11 * time));
}

int AkaiSustainValue(uint8_t sustain) {
    if (sustain == 99)
        return 1000;
    if (sustain == 0)
        return 0;
    return 6 * sustain + 400;
}

int16_t AkaiCutoffCents(int cutoff) {
    const double hertz = cutoff < 99 ? 20.0 * std::exp(0.071 * cutoff) : 20000.0;
    return static_cast<int16_t>(std::ceil(1731.13 * std::log(hertz) - 3636.81));
}

int AkaiTuneCents(int8_t semitones, uint8_t fine) {
    return semitones * 100 + fine * 100 / 255;
}

} // namespace quorvane
