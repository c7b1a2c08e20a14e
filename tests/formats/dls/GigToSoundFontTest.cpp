// A GigaSampler bank authored through libgig (make_gig_fixtures): one looped 440 Hz sine of 0.1 s with
// root key 69, converted to SoundFont by quorvane-cli. FluidSynth must load the result, and the root key
// must sound at the sample's pitch, still after the sample's length: the loop came through.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <fluidsynth.h>

#include "support/RunProcess.h"
#include "support/TempDir.h"
#include "support/ToneMeasure.h"

namespace quorvane {
namespace {

constexpr int kRate = test::kRenderRate;

struct FluidErrors {
    std::vector<std::string> lines;
    static void Record(int, const char* message, void* data) {
        static_cast<FluidErrors*>(data)->lines.push_back(message);
    }
};

// One second of the key held at velocity 100 on program 0 of bank 0, mono (the left output).
std::vector<float> RenderKey(const std::string& bank, int key, FluidErrors& errors, bool& loaded) {
    for (int level : {FLUID_PANIC, FLUID_ERR})
        fluid_set_log_function(level, FluidErrors::Record, &errors);
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG})
        fluid_set_log_function(level, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    std::vector<float> left(kRate), right(kRate);
    loaded = fluid_synth_sfload(synth, bank.c_str(), 1) != FLUID_FAILED;
    if (loaded) {
        fluid_synth_program_select(synth, 0, 1, 0, 0);
        fluid_synth_noteon(synth, 0, key, 100);
        fluid_synth_write_float(synth, kRate, left.data(), 0, 1, right.data(), 0, 1);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return left;
}

TEST(GigToSoundFontTest, LoopedSineSoundsAtItsPitchPastItsLength) {
    test::TempDir dir;
    const test::ProcessResult authored = test::RunProcess(QUORVANE_GIG_FIXTURES_PATH, {dir.Path().string()});
    ASSERT_EQ(authored.exitStatus, 0) << authored.err;
    const std::string gig = dir.Folder() + "sine.gig";
    const std::string sf2 = dir.Folder() + "sine.sf2";
    const test::ProcessResult converted = test::RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", sf2, gig});
    ASSERT_EQ(converted.exitStatus, 0) << converted.err;

    FluidErrors errors;
    bool loaded = false;
    const std::vector<float> audio = RenderKey(sf2, 69, errors, loaded);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(errors.lines.empty()) << errors.lines.front();

    double earlyFrequency = 0, earlyRms = 0, lateFrequency = 0, lateRms = 0;
    test::MeasureTone(audio, 0.02, 0.09, earlyFrequency, earlyRms);
    test::MeasureTone(audio, 0.3, 0.9, lateFrequency, lateRms); // the sample itself lasts 0.1 s
    EXPECT_NEAR(earlyFrequency, 440.0, 2.0);
    EXPECT_NEAR(lateFrequency, 440.0, 2.0);
    EXPECT_GT(earlyRms, 0.01);
    EXPECT_GT(lateRms, 0.5 * earlyRms) << "the note died away when the sample ended: no loop";
}

} // namespace
} // namespace quorvane
