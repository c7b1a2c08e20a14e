// A SoundFont bank of many small presets, each playing one instrument of two short samples: enough to
// split, name and order presets without large files.
#pragma once

#include <string>

#include "model/Generators.h"
#include "support/SoundFontBuilder.h"

namespace quorvane::test {

// Preset i (from 0) is named "P%03d", has program (i * 7) % 128 and bank i / 128 % 3; every fifth is a
// drum kit (SoundFont bank 128).
inline SoundFontBuilder ManyPresetsBank(int count) {
    SoundFontBuilder sf;
    sf.AddSample("Low", 64);
    sf.AddSample("High", 64);
    sf.instruments = {{.name = "Tone",
                       .bags = {Gens({{gen::keyRange, Range(0, 63)}, {gen::sampleID, 0}}),
                                Gens({{gen::keyRange, Range(64, 127)}, {gen::sampleID, 1}})}}};
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%03d", i);
        const uint16_t bank = i % 5 == 4 ? 128 : static_cast<uint16_t>(i / 128 % 3);
        sf.presets.push_back({.name = name,
                              .program = static_cast<uint16_t>(i * 7 % 128),
                              .bank = bank,
                              .bags = {Gens({{gen::instrument, 0}})}});
    }
    return sf;
}

} // namespace quorvane::test
