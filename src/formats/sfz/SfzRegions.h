// A preset as SFZ regions: for every zone a player would sound, the generators it sounds with (combined
// across the preset and instrument levels as SoundFont players combine them), turned into SFZ opcodes. What
// SFZ has no opcode for is counted.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/BankModel.h"
#include "model/GeneratorRules.h"

namespace quorvane {

struct SfzOpcode {
    std::string name;
    std::string value;
    bool operator==(const SfzOpcode&) const = default;
};
using SfzOpcodes = std::vector<SfzOpcode>;

struct SfzRegion {
    uint16_t layer = 0;       // the preset zone it comes from
    uint16_t sampleIndex = 0; // the sample it plays
    SfzOpcodes opcodes;       // `sample` last
};

// What the regions of a write hold that SFZ cannot express, by description, with how many regions.
using SfzLosses = std::map<std::string, uint32_t>;

// The regions of preset `slot`, in layer and zone order. samplePaths gives the `sample` value of each
// sample index; a zone whose sample has no path is left out.
std::vector<SfzRegion> PresetRegions(const BankModel& bank, uint32_t slot,
                                     const std::vector<std::string>& samplePaths, SfzLosses& losses);

// Unit conversions shared by the SFZ writer and reader.
double TimecentsToSeconds(int timecents);
int SecondsToTimecents(double seconds);
double AbsoluteCentsToHertz(int cents);
int HertzToAbsoluteCents(double hertz);
// FluidSynth, as the E-mu hardware it follows, applies 0.4 of a zone's initial attenuation: a bank's
// levels are heard that way, so an SFZ volume in dB is −0.04 × the attenuation in centibels.
constexpr double kDecibelsPerAttenuationUnit = -0.04;

} // namespace quorvane
