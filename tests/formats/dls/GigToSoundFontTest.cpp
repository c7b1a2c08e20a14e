// GigaSampler banks authored through libgig (make_gig_fixtures), converted to SoundFont by quorvane-cli and
// played in FluidSynth. A looped 440 Hz sine of 0.1 s with root key 69 must sound at the sample's pitch,
// still after the sample's length: the loop came through. A GigaStudio 3 velocity split must play each
// split's own sine.
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

struct Note {
    int key = 69;
    int velocity = 100;
    int bank = 0, program = 0;
};

// One second of the note held, mono (the left output).
std::vector<float> RenderNote(const std::string& bank, const Note& note, FluidErrors& errors, bool& loaded) {
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
        fluid_synth_program_select(synth, 0, 1, note.bank, note.program);
        fluid_synth_noteon(synth, 0, note.key, note.velocity);
        fluid_synth_write_float(synth, kRate, left.data(), 0, 1, right.data(), 0, 1);
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return left;
}

class GigToSoundFontTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        authored_ = test::RunProcess(QUORVANE_GIG_FIXTURES_PATH, {dir_->Path().string()});
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(authored_.exitStatus, 0) << authored_.err; }

    // The fixture converted to SoundFont; empty when the conversion failed.
    static std::string Converted(const std::string& name) {
        const std::string sf2 = dir_->Folder() + name + ".sf2";
        const test::ProcessResult converted =
            test::RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", sf2, dir_->Folder() + name + ".gig"});
        EXPECT_EQ(converted.exitStatus, 0) << converted.err;
        return converted.exitStatus == 0 ? sf2 : std::string();
    }

    static inline test::TempDir* dir_ = nullptr;
    static inline test::ProcessResult authored_;
};

TEST_F(GigToSoundFontTest, LoopedSineSoundsAtItsPitchPastItsLength) {
    const std::string sf2 = Converted("sine");
    ASSERT_FALSE(sf2.empty());
    FluidErrors errors;
    bool loaded = false;
    const std::vector<float> audio = RenderNote(sf2, {}, errors, loaded);
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

// The GigaStudio 3 instrument "Velocity Sines" on MIDI bank MSB 1, program 5, answers bank select 1 and
// program 5. It is a velocity split with upper limits 30, 70, 100 and 127 over sines of 44000/200,
// 44000/160, 44000/100 and 44000/80 Hz at root key 69: each velocity plays its own split's sine, on both
// sides of every limit.
TEST_F(GigToSoundFontTest, GigaStudio3VelocitySplitsPlayTheirOwnSines) {
    const std::string sf2 = Converted("gs3");
    ASSERT_FALSE(sf2.empty());
    struct Case {
        int velocity;
        double hertz;
    };
    const Case cases[] = {{15, 220}, {30, 220},  {31, 275},  {70, 275},
                          {71, 440}, {100, 440}, {101, 550}, {127, 550}};
    for (const Case& c : cases) {
        SCOPED_TRACE("velocity " + std::to_string(c.velocity));
        FluidErrors errors;
        bool loaded = false;
        const std::vector<float> audio =
            RenderNote(sf2, {.velocity = c.velocity, .bank = 1, .program = 5}, errors, loaded);
        ASSERT_TRUE(loaded);
        double frequency = 0, rms = 0;
        test::MeasureTone(audio, 0.05, 0.5, frequency, rms);
        EXPECT_NEAR(frequency, c.hertz, c.hertz * 0.01);
        EXPECT_GT(rms, 1e-4);
    }
}

} // namespace
} // namespace quorvane
