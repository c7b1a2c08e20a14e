// The looped-sine disc converted to SoundFont by quorvane-cli and played by FluidSynth: each keygroup
// sounds at its pitch, keeps sounding past the sample's length (the loop came through), and the velocity
// zones switch at their boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <fluidsynth.h>

#include "support/AkaiSineDisc.h"
#include "support/RunProcess.h"
#include "support/ToneMeasure.h"

namespace quorvane::test {
namespace {

constexpr int kRate = kRenderRate;

// One second of a note held on the bank's program 5, mono.
std::vector<float> Render(fluid_synth_t* synth, int key, int velocity) {
    std::vector<float> left(kRate), right(kRate);
    fluid_synth_program_select(synth, 0, 1, 0, 5);
    fluid_synth_noteon(synth, 0, key, velocity);
    fluid_synth_write_float(synth, kRate, left.data(), 0, 1, right.data(), 0, 1);
    fluid_synth_all_sounds_off(synth, 0);
    std::vector<float> silence(4096);
    fluid_synth_write_float(synth, 4096, silence.data(), 0, 1, silence.data(), 0, 1);
    return left;
}

TEST(AkaiToSoundFontTest, KeygroupsPlayTheirPitchLoopedAndSwitchByVelocity) {
    TempDir dir;
    const std::string image = (dir.Path() / "sines.iso").string();
    SineDisc().WriteSparse(image);
    const std::string sf2 = dir.Folder() + "sines.sf2";
    const ProcessResult converted =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "--volume", "A/1", "-o", sf2, image});
    ASSERT_EQ(converted.exitStatus, 0) << converted.err;

    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    ASSERT_NE(fluid_synth_sfload(synth, sf2.c_str(), 1), FLUID_FAILED);

    struct Case {
        const char* what;
        int key, velocity;
        double frequency;
    };
    const Case cases[] = {
        {"low keygroup, soft zone at its root", 69, 63, 441.0},
        {"low keygroup, loud zone from velocity 64", 69, 64, 630.0},
        {"low keygroup an octave down", 57, 40, 220.5},
        {"high keygroup at its root", 81, 100, 882.0},
        {"high keygroup from its lowest key", 71, 127, 882.0 * std::pow(2.0, -10 / 12.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<float> audio = Render(synth, c.key, c.velocity);
        double early = 0, earlyRms = 0, late = 0, lateRms = 0;
        MeasureTone(audio, 0.05, 0.25, early, earlyRms);
        MeasureTone(audio, 0.5, 0.9, late, lateRms); // the samples last 0.32 s
        EXPECT_NEAR(early, c.frequency, c.frequency * 0.005);
        EXPECT_NEAR(late, c.frequency, c.frequency * 0.005);
        EXPECT_GT(earlyRms, 0.001) << "silent";
        EXPECT_GT(lateRms, 0.5 * earlyRms) << "the note died away when the sample ended: no loop";
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

} // namespace
} // namespace quorvane::test
