// The sound services of the machine that playback, auditioning and MIDI input go through: a sound server
// (PulseAudio, or PipeWire answering as one), an ALSA sound card, the ALSA sequencer and a JACK server.
// They are asked once at start-up, quietly: the sound libraries print many lines of their own when a
// service is missing, and the program says what is missing in one line per service and in its window.
//
// Threads: call from the user-interface thread at start-up, before any sound library is used.
#pragma once

#include <string>
#include <vector>

namespace quorvane::audio {

struct SoundServices {
    bool soundServer = false;   // PulseAudio or PipeWire's PulseAudio service
    bool alsaCard = false;      // at least one ALSA sound card
    bool alsaSequencer = false; // the ALSA sequencer, where MIDI keyboards appear
    bool jackServer = false;    // a running JACK server (never started by asking)

    // Sound can be played through one of them.
    bool CanPlay() const { return soundServer || alsaCard || jackServer; }
    // MIDI inputs can be listed through one of them.
    bool CanListMidiInputs() const { return alsaSequencer || jackServer; }
};

// Asks the machine which services answer. The error output of ALSA and JACK is kept off the terminal from
// now on (the program reports what it could not do itself); no JACK server is started.
SoundServices ProbeSoundServices();

// One line per missing service that leaves playback, auditioning or MIDI input without a way to go: a
// sound server missing is worth a line on its own; ALSA cards and the JACK server only when nothing else
// plays; the sequencer only when the JACK server cannot list MIDI inputs either.
std::vector<std::string> MissingServiceLines(const SoundServices& services);

// Why no sound can be played, for the window ("no sound server ... was found"); empty when it can.
std::string NoSoundReason(const SoundServices& services);

} // namespace quorvane::audio
