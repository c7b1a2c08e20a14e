// Hearing a conversion: a preset of a SoundFont bank played offline through FluidSynth, note by note (held,
// then released), each note measured as level, pitch and length, and the two banks' notes compared.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "compare/CheckReport.h"
#include "compare/EffectiveVoices.h"

namespace quorvane {

// A preset of a SoundFont bank file as FluidSynth selects it: bank 128 for drum kits.
struct RenderTarget {
    std::string soundFont;
    int bank = 0;
    int program = 0;
};

struct NoteMeasure {
    int key = 0;
    int velocity = 0;
    double level = -120;  // RMS of the held part, dB full scale
    double frequency = 0; // from the zero crossings of the held part; 0 when there are too few
    double seconds = 0;   // until the sound stays 60 dB below its peak
};

// The notes that show a preset: up to five keys over the range its voices cover (middle C among them
// when it lies there; for drum kits up to eight of the keys that sound), each at velocities 40, 80 and 127.
std::vector<std::pair<int, int>> PhraseNotes(const std::vector<Voice>& voices, bool drumKit);

// Plays every note alone and measures it. Empty, with `error` said, when FluidSynth cannot load the bank.
std::vector<NoteMeasure> RenderNotes(const RenderTarget& target,
                                     const std::vector<std::pair<int, int>>& notes, std::string& error);

// The differences of two renders of the same notes as rendered level, pitch and length; a note that sounds
// in the source and is silent in the output is always one.
std::vector<Difference> CompareRenders(const std::vector<NoteMeasure>& source,
                                       const std::vector<NoteMeasure>& output, bool comparePitch);

// Renders every checked preset that has a counterpart in both banks and adds what differs to its
// differences. sourceSoundFont: the source, or its SoundFont conversion; outputSoundFonts: per output bank
// (as in report.outputPaths), the bank or its conversion. `sourceBank` and `outputBanks` are the models the
// check compared. Returns the notes rendered; errors of FluidSynth go to `errors`.
struct RenderSide {
    const BankModel* bank = nullptr;
    std::string soundFont;
};
uint32_t AddRenders(CheckReport& report, const RenderSide& source, const std::vector<RenderSide>& outputs,
                    std::vector<std::string>& errors);

} // namespace quorvane
