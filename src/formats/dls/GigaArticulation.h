// GigaSampler articulation ("3ewa": envelopes, LFOs, filter, pan, tuning) as SoundFont generator values.
#pragma once

#include <array>
#include <cstdint>

#include "model/BankModel.h"

namespace quorvane {

constexpr size_t kEwaKeptBytes = 140;
constexpr uint32_t kGigaNotGiven = 0x80000000u; // a 3ewa time or frequency that is not given
// Bit 7 of 3ewa bytes 114 (LFO2) and 115 (LFO1): the LFO runs with its phase flipped.
constexpr uint8_t kLfoFlipPhase = 0x80;

// Rounds the way every conversion here does: the fractional part (with the value's sign) adds 1 when it
// exceeds 0.5, then the value is truncated toward zero. Positive values round to nearest with halves going
// down; negative values are truncated.
int RoundCents(double value);
// A 3ewa time or frequency (1/65536 timecent) in seconds or hertz.
double GigaTime(int32_t value);
// LFO frequency as SoundFont absolute cents; a frequency not given is 8.176 Hz.
int LfoCents(uint32_t raw);
// A filter's cutoff code (the low seven bits of 3ewa byte 132) as SoundFont absolute cents: 50 Hz a step,
// from 20 Hz up to 6170 Hz at code 127.
int GigaCutoffCents(unsigned code);
constexpr unsigned kGigaTopCutoffCode = 127;

// The latest "wsmp" values met before a dimension region.
struct WaveSampleValues {
    uint16_t unityNote = 60;
    int16_t fineTune = 0;
    uint32_t loopFlag = 0;
    uint32_t loopStart = 0;
    uint32_t loopLength = 1;
    uint16_t attenuation = 0; // high 16 bits of lAttenuation
    int32_t gain = 0;         // lAttenuation whole: a gain in 1/65536 centibel
};

// Writes the generators converted from a 3ewa payload (kEwaKeptBytes, zero-filled past the chunk) into
// zone. `sample` is the zone's sample when it has a valid one, for the hold time of looped samples and the
// part of the tuning the sample's pitch correction already gives.
void ConvertArticulation(const std::array<uint8_t, kEwaKeptBytes>& ewa, const WaveSampleValues& wsmp,
                         const SampleRecord* sample, ZoneRecord& zone);

using EwaBytes = std::array<uint8_t, kEwaKeptBytes>;

// A time in seconds, or a frequency in hertz, as a 3ewa value (1/65536 timecent); 0 is "not given".
uint32_t GigaTimeValue(double seconds);

// The 3ewa written for a dimension region that has no zone of its own.
EwaBytes DefaultDimensionArticulation();
// The 3ewa of a zone of a source that has none: the layer's generators merged into the zone's, converted
// back into GigaSampler articulation.
EwaBytes BuildArticulation(const BankModel& bank, const LayerRecord& layer, const ZoneRecord& zone);

} // namespace quorvane
