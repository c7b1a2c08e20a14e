// The small bank the checks of a conversion damage copies of.
#pragma once

#include "model/Generators.h"
#include "support/SoundFontBuilder.h"

namespace quorvane::test {

// Two presets: "Piano" with two velocity layers of looped samples, the lower one with a release of 1 s, and
// "Strings" with one sample whose root key the zone gives.
inline SoundFontBuilder SmallCheckBank() {
    SoundFontBuilder sf;
    const uint16_t soft = sf.AddSample("Soft", 2000);
    const uint16_t loud = sf.AddSample("Loud", 2400);
    const uint16_t pad = sf.AddSample("Pad", 3000);
    sf.instruments = {
        {.name = "Piano",
         .bags = {Gens({{gen::velRange, Range(1, 63)},
                        {gen::releaseVolEnv, 0},
                        {gen::sampleModes, 1},
                        {gen::sampleID, soft}}),
                  Gens({{gen::velRange, Range(64, 127)}, {gen::sampleModes, 1}, {gen::sampleID, loud}})}},
        {.name = "Strings",
         .bags = {Gens({{gen::overridingRootKey, 60}, {gen::sampleModes, 1}, {gen::sampleID, pad}})}},
    };
    sf.presets = {{.name = "Piano", .program = 0, .bags = {Gens({{gen::instrument, 0}})}},
                  {.name = "Strings", .program = 1, .bags = {Gens({{gen::instrument, 1}})}}};
    return sf;
}

} // namespace quorvane::test
