#include "support/FluidRender.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdint>

namespace quorvane::test {

namespace {

constexpr int kRate = 44100;

void Record(int level, const char* message, void* data) {
    auto* log = static_cast<FluidLog*>(data);
    if (level == FLUID_PANIC || level == FLUID_ERR)
        log->errors.push_back(message);
    else if (level == FLUID_WARN)
        log->warnings.push_back(message);
}

void Play(fluid_synth_t* synth, const PhraseEvent& e) {
    switch (e.kind) {
    case PhraseEvent::NoteOn:
        fluid_synth_noteon(synth, e.channel, e.a, e.b);
        break;
    case PhraseEvent::NoteOff:
        fluid_synth_noteoff(synth, e.channel, e.a);
        break;
    case PhraseEvent::Program:
        fluid_synth_program_change(synth, e.channel, e.a);
        break;
    case PhraseEvent::Controller:
        fluid_synth_cc(synth, e.channel, e.a, e.b);
        break;
    case PhraseEvent::PitchBend:
        fluid_synth_pitch_bend(synth, e.channel, e.a);
        break;
    case PhraseEvent::ChannelPressure:
        fluid_synth_channel_pressure(synth, e.channel, e.a);
        break;
    }
}

} // namespace

Phrase ShortGmPhrase() {
    // Channel 10 (index 9) plays the drum kit in bank 128. The whistle's lower zone loops a part of its
    // sample that the upper zone does not: a zone's own loop must survive a copy.
    const int programs[][2] = {{0, 0}, {1, 40}, {2, 73}, {3, 33}, {4, 48}, {5, 78}};
    struct Note {
        int step, channel, key, velocity, length;
    };
    const Note notes[] = {
        {0, 0, 60, 100, 4}, {0, 3, 36, 110, 8}, {0, 9, 36, 120, 1}, {1, 9, 42, 90, 1},
        {1, 2, 72, 90, 3},  {2, 9, 38, 110, 1}, {2, 1, 67, 100, 6}, {2, 0, 64, 90, 4},
        {3, 9, 42, 80, 1},  {4, 9, 36, 120, 1}, {4, 4, 55, 100, 4}, {4, 0, 67, 100, 4},
        {5, 9, 46, 90, 2},  {6, 9, 38, 110, 1}, {6, 2, 79, 100, 2}, {0, 5, 72, 100, 8},
    };
    constexpr int kStep = kRate / 8;
    Phrase phrase;
    for (const auto& [channel, program] : programs)
        phrase.events.push_back({0, PhraseEvent::Program, channel, program, 0});
    for (int step = 0; step < 12; ++step) {
        for (const Note& note : notes)
            if (note.step + note.length == step)
                phrase.events.push_back({step * kStep, PhraseEvent::NoteOff, note.channel, note.key, 0});
        for (const Note& note : notes)
            if (note.step == step)
                phrase.events.push_back(
                    {step * kStep, PhraseEvent::NoteOn, note.channel, note.key, note.velocity});
    }
    phrase.frames = 12 * kStep; // the last notes end at step 8; four steps of release tail
    return phrase;
}

Phrase LongGmPhrase() {
    constexpr int kStep = kRate / 8;
    constexpr int kSteps = 30 * 8;
    constexpr int kBlock = 6 * 8; // programs change every six seconds
    uint32_t seed = 12345;
    auto next = [&](int below) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(below));
    };
    struct Sounding {
        int channel, key, endStep;
    };
    std::vector<Sounding> sounding;
    Phrase phrase;
    auto add = [&](int step, PhraseEvent::Kind kind, int channel, int a, int b) {
        phrase.events.push_back({step * kStep, kind, channel, a, b});
    };
    for (int step = 0; step < kSteps; ++step) {
        for (auto it = sounding.begin(); it != sounding.end();)
            if (it->endStep == step) {
                add(step, PhraseEvent::NoteOff, it->channel, it->key, 0);
                it = sounding.erase(it);
            } else {
                ++it;
            }
        if (step % kBlock == 0) {
            static const int kDrumKits[] = {0, 8, 16, 24, 40};
            const int block = step / kBlock;
            for (int channel = 0; channel < 16; ++channel) {
                // The drum channel walks through the kits; the others through the melodic programs.
                const int program =
                    channel == 9 ? kDrumKits[block % 5] : (channel * 8 + block * 37 + 5) % 128;
                add(step, PhraseEvent::Program, channel, program, 0);
                add(step, PhraseEvent::Controller, channel, 10, 16 + 6 * channel); // pan
            }
        }
        if (step > kSteps - 16) // a release tail at the end
            continue;
        for (int channel = 0; channel < 16; ++channel) {
            if (next(6) != 0)
                continue;
            const bool drum = channel == 9;
            const int key = drum ? 35 + next(47) : 36 + next(49);
            const bool busy = std::any_of(sounding.begin(), sounding.end(), [&](const Sounding& s) {
                return s.channel == channel && s.key == key;
            });
            if (busy)
                continue;
            add(step, PhraseEvent::NoteOn, channel, key, 10 + next(118));
            sounding.push_back({channel, key, step + 1 + next(drum ? 2 : 12)});
        }
        // Controllers that the default and the banks' own modulators listen to.
        const int channel = next(16);
        switch (next(5)) {
        case 0:
            add(step, PhraseEvent::Controller, channel, 1, next(128)); // mod wheel
            break;
        case 1:
            add(step, PhraseEvent::Controller, channel, 11, 40 + next(88)); // expression
            break;
        case 2:
            add(step, PhraseEvent::PitchBend, channel, next(16384), 0);
            break;
        case 3:
            add(step, PhraseEvent::ChannelPressure, channel, next(128), 0);
            break;
        default:
            add(step, PhraseEvent::Controller, channel, 7, 60 + next(68)); // volume
            break;
        }
    }
    for (const Sounding& s : sounding)
        add(kSteps - 16, PhraseEvent::NoteOff, s.channel, s.key, 0);
    std::stable_sort(phrase.events.begin(), phrase.events.end(),
                     [](const PhraseEvent& a, const PhraseEvent& b) { return a.frame < b.frame; });
    phrase.frames = kSteps * kStep;
    return phrase;
}

std::vector<float> RenderPhrase(const std::string& bank, const Phrase& phrase, FluidLog& log) {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN})
        fluid_set_log_function(level, Record, &log);
    for (int level : {FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_synth_t* synth = new_fluid_synth(settings);
    std::vector<float> out;
    if (fluid_synth_sfload(synth, bank.c_str(), 1) != FLUID_FAILED) {
        out.reserve(static_cast<size_t>(phrase.frames) * 2);
        std::vector<float> left, right;
        int done = 0;
        size_t e = 0;
        while (done < phrase.frames) {
            while (e < phrase.events.size() && phrase.events[e].frame <= done)
                Play(synth, phrase.events[e++]);
            const int until =
                e < phrase.events.size() ? std::min(phrase.events[e].frame, phrase.frames) : phrase.frames;
            const int length = until - done;
            left.resize(length);
            right.resize(length);
            fluid_synth_write_float(synth, length, left.data(), 0, 1, right.data(), 0, 1);
            for (int i = 0; i < length; ++i) {
                out.push_back(left[i]);
                out.push_back(right[i]);
            }
            done = until;
        }
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN})
        fluid_set_log_function(level, nullptr, nullptr);
    return out;
}

} // namespace quorvane::test
