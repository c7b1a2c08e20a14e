// quorvane-cli info --json on two small banks made by the test builders, compared with dumps committed in
// tests/golden/. A dump changes only when the model's reading of a bank changes on purpose; then review the
// difference and rewrite the dumps with
//     QUORVANE_UPDATE_GOLDEN=1 build/test/tests/quorvane_tests --gtest_filter='InfoJsonGolden*'
// and commit them with the change that explains them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "support/DlsBuilder.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Gens;
using test::Range;

// Two samples (one looped, one with its own rate, key and correction), an instrument with a global zone,
// and a melodic preset with a global layer beside a drum kit.
test::SoundFontBuilder SmallSoundFont() {
    test::SoundFontBuilder sf;
    sf.info = {test::InfoText("INAM", "Golden"), test::InfoText("ICMT", "Made by the tests")};
    sf.AddSample("Sine", 100);
    sf.AddSample("Saw", 60);
    sf.samples[1].sampleRate = 22050;
    sf.samples[1].originalKey = 48;
    sf.samples[1].correction = -12;
    sf.instruments = {{.name = "Lead",
                       .bags = {Gens({{gen::sampleModes, 1}}),
                                Gens({{gen::keyRange, Range(0, 60)}, {gen::pan, 100}, {gen::sampleID, 0}}),
                                Gens({{gen::keyRange, Range(61, 127)}, {gen::sampleID, 1}})}}};
    sf.presets = {
        {.name = "Lead",
         .program = 80,
         .bags = {Gens({{gen::reverbEffectsSend, 200}}), Gens({{gen::instrument, 0}})}},
        {.name = "Kit", .program = 25, .bank = 128, .bags = {Gens({{gen::instrument, 0}})}},
    };
    return sf;
}

// A GigaSampler instrument of two velocity halves with a looped wave, in two sample groups, and a second
// instrument on a mono wave.
test::DlsBuilder SmallGigaSampler() {
    test::DlsBuilder dls;
    dls.info = {{"INAM", "Golden"}};
    dls.groupNames = {"Default Group", "Keys"};
    test::DlsWave soft = test::MonoWave("Soft", 40);
    soft.smpl = test::DlsSamplerChunk{.unityNote = 62, .loopCount = 1, .loopStart = 4, .loopEnd = 29};
    soft.group = 1;
    dls.waves = {soft, test::MonoWave("Hard", 30, 22050)};
    test::DlsRegion halves;
    halves.keyLow = 36;
    halves.keyHigh = 84;
    halves.dimensions = {{test::dim::kVelocity, 1}};
    halves.dimensionRegions = {{.poolIndex = 0}, {.poolIndex = 1}};
    halves.dimensionRegions[0].articulation.U16(test::ewa::velocityUpperLimit, 63);
    dls.instruments = {{.name = "Piano", .bank = 1, .program = 2, .regions = {halves}},
                       {.name = "Bell", .program = 9, .regions = {{.dimensionRegions = {{.poolIndex = 1}}}}}};
    return dls;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(InfoJsonGolden, SmallBanksReadAsTheCommittedDumps) {
    struct Case {
        const char* file;
        test::Bytes bank;
        const char* golden;
    };
    const Case cases[] = {
        {"Golden.sf2", SmallSoundFont().Build(), "SmallSoundFont.json"},
        {"Golden.gig", SmallGigaSampler().Build(), "SmallGigaSampler.json"},
    };
    const bool update = std::getenv("QUORVANE_UPDATE_GOLDEN") != nullptr;
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const std::string bank = dir.Write(c.file, c.bank);
        const test::ProcessResult run = test::RunProcess(QUORVANE_CLI_PATH, {"info", "--json", bank});
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        const std::string golden = std::string(QUORVANE_GOLDEN_DIR) + "/" + c.golden;
        if (update) {
            std::ofstream(golden, std::ios::binary) << run.out;
            continue;
        }
        const std::string expected = ReadText(golden);
        ASSERT_FALSE(expected.empty()) << golden << " is missing: see the top of this file";
        EXPECT_EQ(run.out, expected);
    }
}

} // namespace
} // namespace quorvane
