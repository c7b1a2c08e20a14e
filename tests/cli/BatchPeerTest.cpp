// What independent readers make of the batch conversions: libgig's gigdump reads every part of a split
// GigaSampler bank with the instruments expected, and FluidSynth plays what the edits and conversion
// parameters changed: the program and bank it selects, and the sound of the filter and effect sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include <fluidsynth.h>

#include "support/Peers.h"
#include "support/PresetBanks.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

namespace fs = std::filesystem;

// Instrument names as gigdump lists them: `Instrument K) "NAME",  MIDIBank=B, MIDIProgram=P`.
std::vector<std::string> GigdumpInstruments(const std::string& text) {
    static const std::regex instrument(
        R"re(^    Instrument \d+\) "(.*)",  MIDIBank=\d+, MIDIProgram=\d+$)re");
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line))
        if (std::regex_match(line, m, instrument))
            names.push_back(m[1]);
    return names;
}

TEST(BatchPeers, EveryPartOfASplitGigaSamplerBankParsesInGigdump) {
    const std::string gigdump = FindOnPath("gigdump");
    REQUIRE_PEER(!gigdump.empty(), "gigdump is not on PATH: install the Debian package gigtools");
    TempDir dir;
    fs::create_directory(dir.Path() / "out");
    const std::string bank = dir.Write("Big.sf2", ManyPresetsBank(300).Build());
    const ProcessResult run =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "--to", "gig", "-o", dir.Folder() + "out", bank});
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    std::vector<std::string> all;
    const std::vector<size_t> sizes = {128, 128, 44};
    for (int part = 1; part <= 3; ++part) {
        const std::string path = dir.Folder() + "out/Big part" + std::to_string(part) + ".gig";
        SCOPED_TRACE(path);
        const ProcessResult dump = RunProcess(gigdump, {path});
        ASSERT_EQ(dump.exitStatus, 0) << dump.err;
        const std::vector<std::string> names = GigdumpInstruments(dump.out);
        EXPECT_EQ(names.size(), sizes[part - 1]);
        all.insert(all.end(), names.begin(), names.end());
    }
    EXPECT_FALSE(fs::exists(dir.Folder() + "out/Big part4.gig"));
    // Each preset in exactly one part, the first part starting with bank 0, program 0.
    EXPECT_EQ(all.front(), "P000");
    std::vector<std::string> sorted = all;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(sorted.size(), 300u);
}

// A FluidSynth without audio output, silent in the log.
class Synth {
  public:
    Synth() {
        for (int level = 0; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", 44100.0);
        synth_ = new_fluid_synth(settings_);
    }
    ~Synth() {
        delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
    }
    fluid_synth_t* get() const { return synth_; }

  private:
    fluid_settings_t* settings_;
    fluid_synth_t* synth_;
};

// Half a second of middle C on the bank's first preset, left channel.
std::vector<float> Render(const std::string& bank) {
    Synth synth;
    const int id = fluid_synth_sfload(synth.get(), bank.c_str(), 1);
    EXPECT_NE(id, FLUID_FAILED) << bank;
    fluid_synth_noteon(synth.get(), 0, 60, 110);
    std::vector<float> left(22050), right(22050);
    fluid_synth_write_float(synth.get(), static_cast<int>(left.size()), left.data(), 0, 1, right.data(), 0,
                            1);
    return left;
}

// The share of the signal's energy in its first difference: high frequencies weigh more.
double Brightness(const std::vector<float>& signal) {
    double energy = 0, difference = 0;
    for (size_t i = 1; i < signal.size(); ++i) {
        energy += signal[i] * signal[i];
        difference += (signal[i] - signal[i - 1]) * (signal[i] - signal[i - 1]);
    }
    return energy > 0 ? difference / energy : 0;
}

TEST(BatchPeers, FluidSynthHearsTheCutoffAndSendsAndSelectsTheEditedNumbers) {
    TempDir dir;
    SoundFontBuilder sf = ManyPresetsBank(2);
    for (Bag& bag : sf.instruments[0].bags)
        bag.generators.insert(bag.generators.begin() + 1,
                              Generator{gen::sampleModes, 1}); // loop the sawtooth
    const std::string bank = dir.Write("Saw.sf2", sf.Build());
    auto convert = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "convert");
        args.push_back(bank);
        const ProcessResult run = RunProcess(QUORVANE_CLI_PATH, args);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
    };
    convert({"-o", dir.Folder() + "plain.sf2"});
    convert({"--cutoff", "500", "--reverb", "60", "--chorus", "60", "-o", dir.Folder() + "dark.sf2"});
    convert({"--program", "1=42", "--bank", "1=5", "-o", dir.Folder() + "edited.sf2"});

    const std::vector<float> plain = Render(dir.Folder() + "plain.sf2");
    const std::vector<float> dark = Render(dir.Folder() + "dark.sf2");
    ASSERT_GT(Brightness(plain), 0);
    EXPECT_NE(plain, dark);
    EXPECT_LT(Brightness(dark), Brightness(plain) / 4)
        << "a 500 Hz low-pass takes most of a sawtooth's highs";

    Synth synth;
    const int id = fluid_synth_sfload(synth.get(), (dir.Folder() + "edited.sf2").c_str(), 0);
    ASSERT_NE(id, FLUID_FAILED);
    EXPECT_EQ(fluid_synth_program_select(synth.get(), 0, id, 5, 42), FLUID_OK);
    fluid_preset_t* preset = fluid_synth_get_channel_preset(synth.get(), 0);
    ASSERT_NE(preset, nullptr);
    EXPECT_STREQ(fluid_preset_get_name(preset), "P000");
}

} // namespace
} // namespace quorvane::test
