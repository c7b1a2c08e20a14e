// Offline renders of a bank in FluidSynth, for comparing how two banks sound: a phrase of notes and
// controller moves played at 44.1 kHz with reverb and chorus off, on one thread. Nothing in a render is
// random, so one bank always renders the same samples.
#pragma once

#include <string>
#include <vector>

namespace quorvane::test {

// FluidSynth's log messages during one render, by level.
struct FluidLog {
    std::vector<std::string> errors, warnings;
};

struct PhraseEvent {
    enum Kind { NoteOn, NoteOff, Program, Controller, PitchBend, ChannelPressure };
    int frame = 0; // when, in frames from the start
    Kind kind = NoteOn;
    int channel = 0;
    int a = 0; // key, program, controller number or bend value
    int b = 0; // velocity or controller value
};

struct Phrase {
    std::vector<PhraseEvent> events; // in time order
    int frames = 0;                  // the length of the render
};

// The short phrase of a few programs and the drum channel that the round-trip tests play.
Phrase ShortGmPhrase();
// Thirty seconds over every melodic channel and the drum channel: programs change every six seconds, and
// the velocities, mod wheel, expression, pan, pitch bend and channel pressure move, so that modulators
// driven by any of them change the sound.
Phrase LongGmPhrase();

// Interleaved stereo frames; empty when FluidSynth cannot load the bank.
std::vector<float> RenderPhrase(const std::string& bank, const Phrase& phrase, FluidLog& log);

} // namespace quorvane::test
