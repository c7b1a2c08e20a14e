#include "compare/PresetRender.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "core/StringPrintf.h"

namespace quorvane {

namespace {

constexpr int kRate = 44100;
constexpr double kHeld = 0.5;    // seconds a note is held
constexpr double kRelease = 1.5; // seconds rendered after its release
constexpr int kBlock = 441;      // 10 ms: the step of the length measurement
constexpr double kSilent = -90;  // dB: a note quieter than this is not heard

void Quiet(int, const char*, void*) {}

// FluidSynth's log goes nowhere while renders run: a bank it cannot load is said through `error`.
struct QuietLog {
    QuietLog() {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, Quiet, nullptr);
    }
    ~QuietLog() {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, fluid_default_log_function, nullptr);
    }
};

double Decibels(double rms) {
    return rms > 0 ? std::max(20.0 * std::log10(rms), -120.0) : -120.0;
}

NoteMeasure Measure(const std::vector<float>& audio, int key, int velocity) {
    NoteMeasure m;
    m.key = key;
    m.velocity = velocity;
    const size_t from = static_cast<size_t>(0.05 * kRate), to = static_cast<size_t>(kHeld * kRate);
    double energy = 0;
    size_t crossings = 0, first = 0, last = 0;
    for (size_t i = from; i < to && i < audio.size(); ++i) {
        energy += double{audio[i]} * audio[i];
        if (audio[i - 1] < 0 && audio[i] >= 0) {
            if (crossings++ == 0)
                first = i;
            last = i;
        }
    }
    m.level = Decibels(std::sqrt(energy / static_cast<double>(to - from)));
    m.frequency = crossings > 4 ? (crossings - 1) * double{kRate} / static_cast<double>(last - first) : 0;
    // The length: the end of the last 10 ms block that is within 60 dB of the loudest one.
    double peak = -120;
    std::vector<double> blocks;
    for (size_t b = 0; b + kBlock <= audio.size(); b += kBlock) {
        double e = 0;
        for (size_t i = b; i < b + kBlock; ++i)
            e += double{audio[i]} * audio[i];
        blocks.push_back(Decibels(std::sqrt(e / kBlock)));
        peak = std::max(peak, blocks.back());
    }
    for (size_t b = blocks.size(); b-- > 0;)
        if (blocks[b] > peak - 60 && blocks[b] > kSilent) {
            m.seconds = static_cast<double>((b + 1) * kBlock) / kRate;
            break;
        }
    return m;
}

int Centibels(double decibels) {
    return static_cast<int>(std::lround(decibels * 10));
}
int AbsoluteCents(double hertz) {
    return static_cast<int>(std::lround(1200 * std::log2(hertz / 8.176)));
}
int Timecents(double seconds) {
    return static_cast<int>(std::lround(1200 * std::log2(std::max(seconds, 0.001))));
}

} // namespace

std::vector<std::pair<int, int>> PhraseNotes(const std::vector<Voice>& voices, bool drumKit) {
    std::set<int> keys;
    if (drumKit) {
        std::set<int> sounding;
        for (const Voice& v : voices)
            for (int k = v.keyLow; k <= v.keyHigh; ++k)
                sounding.insert(k);
        const std::vector<int> all(sounding.begin(), sounding.end());
        for (size_t i = 0; i < 8 && !all.empty(); ++i)
            keys.insert(all[i * all.size() / 8]);
    } else if (!voices.empty()) {
        int low = 127, high = 0;
        for (const Voice& v : voices) {
            low = std::min<int>(low, v.keyLow);
            high = std::max<int>(high, v.keyHigh);
        }
        for (int i = 0; i < 5; ++i)
            keys.insert(low + (high - low) * i / 4);
        if (low <= 60 && high >= 60)
            keys.insert(60);
    }
    std::vector<std::pair<int, int>> notes;
    for (int key : keys)
        for (int velocity : {40, 80, 127})
            notes.emplace_back(key, velocity);
    return notes;
}

std::vector<NoteMeasure> RenderNotes(const RenderTarget& target,
                                     const std::vector<std::pair<int, int>>& notes, std::string& error) {
    const QuietLog quiet;
    const std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> settings(new_fluid_settings(),
                                                                                  delete_fluid_settings);
    fluid_settings_setnum(settings.get(), "synth.sample-rate", kRate);
    fluid_settings_setint(settings.get(), "synth.reverb.active", 0);
    fluid_settings_setint(settings.get(), "synth.chorus.active", 0);
    fluid_settings_setnum(settings.get(), "synth.gain", 1.0);
    const std::unique_ptr<fluid_synth_t, void (*)(fluid_synth_t*)> synth(new_fluid_synth(settings.get()),
                                                                         delete_fluid_synth);
    const int font = synth ? fluid_synth_sfload(synth.get(), target.soundFont.c_str(), 0) : FLUID_FAILED;
    if (font == FLUID_FAILED) {
        error = "FluidSynth cannot load " + target.soundFont;
        return {};
    }
    if (fluid_synth_program_select(synth.get(), 0, font, target.bank, target.program) != FLUID_OK) {
        error = StringPrintf("FluidSynth finds no preset %d:%d in %s", target.bank, target.program,
                             target.soundFont.c_str());
        return {};
    }
    const int held = static_cast<int>(kHeld * kRate), released = static_cast<int>(kRelease * kRate);
    std::vector<float> left(held + released), right(held + released), mono(held + released);
    std::vector<NoteMeasure> measures;
    for (const auto& [key, velocity] : notes) {
        fluid_synth_noteon(synth.get(), 0, key, velocity);
        fluid_synth_write_float(synth.get(), held, left.data(), 0, 1, right.data(), 0, 1);
        fluid_synth_noteoff(synth.get(), 0, key);
        fluid_synth_write_float(synth.get(), released, left.data(), held, 1, right.data(), held, 1);
        for (size_t i = 0; i < mono.size(); ++i)
            mono[i] = 0.5f * (left[i] + right[i]);
        measures.push_back(Measure(mono, key, velocity));
        // Nothing of one note may sound into the next.
        fluid_synth_all_sounds_off(synth.get(), 0);
        fluid_synth_write_float(synth.get(), kBlock, left.data(), 0, 1, right.data(), 0, 1);
    }
    return measures;
}

std::vector<Difference> CompareRenders(const std::vector<NoteMeasure>& source,
                                       const std::vector<NoteMeasure>& output, bool comparePitch) {
    using P = VoiceParameter;
    std::vector<Difference> largest(3);
    std::vector<uint32_t> notes(3, 0);
    uint32_t silent = 0;
    std::string firstSilent;
    auto note = [&](size_t which, P parameter, int64_t from, int64_t to, const NoteMeasure& at) {
        if (std::llabs(to - from) <= InfoOf(parameter).tolerance)
            return;
        ++notes[which];
        if (notes[which] == 1 || std::llabs(to - from) > std::llabs(largest[which].Size())) {
            largest[which].parameter = parameter;
            largest[which].sourceValue = from;
            largest[which].outputValue = to;
            largest[which].key = at.key;
            largest[which].velocity = at.velocity;
        }
    };
    for (size_t i = 0; i < source.size() && i < output.size(); ++i) {
        const NoteMeasure& s = source[i];
        const NoteMeasure& o = output[i];
        if (s.level <= kSilent && o.level <= kSilent)
            continue;
        if (s.level > kSilent && o.level <= kSilent) {
            if (silent++ == 0)
                firstSilent = StringPrintf("key %d velocity %d", s.key, s.velocity);
        }
        note(0, P::RenderedLevel, Centibels(s.level), Centibels(o.level), s);
        if (comparePitch && s.frequency > 0 && o.frequency > 0)
            note(1, P::RenderedPitch, AbsoluteCents(s.frequency), AbsoluteCents(o.frequency), s);
        note(2, P::RenderedLength, Timecents(s.seconds), Timecents(o.seconds), s);
    }
    std::vector<Difference> differences;
    for (size_t which = 0; which < 3; ++which) {
        if (notes[which] == 0)
            continue;
        Difference d = largest[which];
        d.voices = notes[which];
        d.presets = 1;
        if (which == 0 && silent != 0)
            d.detail =
                StringPrintf("%u note(s) silent in the output (first: %s)", silent, firstSilent.c_str());
        differences.push_back(d);
    }
    return differences;
}

uint32_t AddRenders(CheckReport& report, const RenderSide& source, const std::vector<RenderSide>& outputs,
                    std::vector<std::string>& errors) {
    uint32_t rendered = 0;
    for (PresetCheck& check : report.presets) {
        if (check.outcome == PresetOutcome::Missing)
            continue;
        const auto out = std::find(report.outputPaths.begin(), report.outputPaths.end(), check.outputFile);
        if (out == report.outputPaths.end())
            continue;
        const RenderSide& output = outputs[static_cast<size_t>(out - report.outputPaths.begin())];
        const PresetRecord& s = source.bank->PresetTable[check.sourceSlot];
        const PresetRecord& o = output.bank->PresetTable[check.outputSlot];
        const bool drumKit = SoundFontBankOf(s) == 128;
        const std::vector<std::pair<int, int>> notes =
            PhraseNotes(VoicesOfPreset(*source.bank, check.sourceSlot), drumKit);
        std::string error;
        const std::vector<NoteMeasure> heardSource =
            RenderNotes({source.soundFont, SoundFontBankOf(s), s.program}, notes, error);
        const std::vector<NoteMeasure> heardOutput =
            error.empty() ? RenderNotes({output.soundFont, SoundFontBankOf(o), o.program}, notes, error)
                          : std::vector<NoteMeasure>{};
        if (!error.empty()) {
            errors.push_back(error);
            continue;
        }
        rendered += static_cast<uint32_t>(notes.size());
        const std::vector<Difference> heard = CompareRenders(heardSource, heardOutput, !drumKit);
        check.differences.insert(check.differences.end(), heard.begin(), heard.end());
        std::stable_sort(
            check.differences.begin(), check.differences.end(),
            [](const Difference& a, const Difference& b) { return a.representable > b.representable; });
        if (!heard.empty() && check.outcome == PresetOutcome::Identical)
            check.outcome = PresetOutcome::Changed;
    }
    return rendered;
}

} // namespace quorvane
