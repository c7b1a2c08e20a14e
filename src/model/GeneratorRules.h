// How a SoundFont player arrives at the value a voice sounds with: the instrument zone's generator (or its
// instrument's global zone's, or the default), plus the preset zone's (or the preset's global zone's)
// where the preset level may add one, the sum held in the generator's range. The SFZ writer and the
// conversion check both hear a bank this way.
#pragma once

#include <cstdint>
#include <utility>

#include "model/BankModel.h"

namespace quorvane {

// The delays and the envelopes' stage times (timecents, 1 ms where not set): players scale them rather
// than add to them.
bool IsStageTime(int number);

// The value every generator has where neither zone sets it.
int16_t GeneratorDefault(int number);

// False for what belongs to the instrument level alone (sample addresses and modes, fixed key and
// velocity, root key, exclusive class) and for the ranges and links, which do not add: a preset zone's
// value for them is ignored.
bool PresetLevelAdds(int number);

// The range a summed generator is held in; the widest int range for generators without one.
std::pair<int, int> GeneratorRange(int number);

// A generator from `own`, else from `global` (may be null), else `fallback`.
int LevelValue(const GeneratorSet& own, const GeneratorSet* global, int number, int fallback);

// The four levels one voice's generators come from.
struct GeneratorLevels {
    const GeneratorSet* zone;
    const GeneratorSet* globalZone; // may be null
    const GeneratorSet* layer;
    const GeneratorSet* globalLayer; // may be null
};

// The value the voice sounds with; `fallback` stands for the default where the caller keeps its own.
int EffectiveGenerator(const GeneratorLevels& levels, int number, int fallback);
inline int EffectiveGenerator(const GeneratorLevels& levels, int number) {
    return EffectiveGenerator(levels, number, GeneratorDefault(number));
}

} // namespace quorvane
