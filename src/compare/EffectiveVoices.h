// The voices a preset plays, with the values a player uses: each preset layer over each zone of its
// instrument, the instrument level's value (the zone's own, else the instrument's global zone's, else the
// default) combined with the preset level's (the layer's own, else the global layer's) the way SoundFont
// players combine them: most values add, key and velocity ranges intersect, and the sample's own values
// (root key, loop, offsets, modes, exclusive class) come from the instrument level alone.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "compare/VoiceParameters.h"
#include "model/BankModel.h"

namespace quorvane {

// A value that does not apply to a voice (the loop points of one that does not loop).
constexpr int32_t kNotApplicable = INT32_MIN;

struct Voice {
    uint16_t layer = 0;
    uint16_t zone = 0;
    uint16_t sample = kNoSample;
    uint8_t keyLow = 0, keyHigh = 127;
    uint8_t velocityLow = 0, velocityHigh = 127;
    std::array<int32_t, kVoiceValueCount> values{};
    // The modulators the two levels give, sorted, the preset level's after the instrument level's.
    std::vector<ModulatorRecord> instrumentModulators;
    std::vector<ModulatorRecord> presetModulators;

    int32_t Value(VoiceParameter parameter) const { return values[static_cast<size_t>(parameter)]; }
    bool Sounds(int key, int velocity) const {
        return key >= keyLow && key <= keyHigh && velocity >= velocityLow && velocity <= velocityHigh;
    }
};

// Every voice of preset `slot` that has a sample and a key and velocity range left after the two levels'
// ranges meet.
std::vector<Voice> VoicesOfPreset(const BankModel& bank, uint32_t slot);

} // namespace quorvane
