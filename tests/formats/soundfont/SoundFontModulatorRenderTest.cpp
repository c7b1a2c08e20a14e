// Real General MIDI banks written whole as SoundFont sound exactly as their originals in FluidSynth over a
// thirty-second phrase that moves velocity and the controllers the banks' modulators listen to: the
// copies keep every preset and instrument zone's modulators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "support/FluidRender.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

struct RealBank {
    const char* path;
    const char* package;
    bool peer; // installed wherever the tests run; the others run where they happen to be installed
};

void PrintTo(const RealBank& bank, std::ostream* out) {
    *out << bank.path;
}

class SoundFontModulatorRender : public ::testing::TestWithParam<RealBank> {};

TEST_P(SoundFontModulatorRender, CopyRendersBitIdentically) {
    const RealBank& real = GetParam();
    if (!real.peer && !std::filesystem::exists(real.path))
        GTEST_SKIP() << real.path << " is not installed (Debian package " << real.package << ")";
    REQUIRE_PEER(std::filesystem::exists(real.path),
                 real.path << " is missing: install the Debian package " << real.package);
    test::TempDir folder;
    const std::string copyPath = folder.Folder() + "copy.sf2";
    size_t modulators = 0;
    {
        test::RecordingHost host;
        Workspace workspace{host};
        ASSERT_EQ(test::LoadBankFile(workspace, real.path), LoadStatus::Loaded);
        const BankModel& bank = workspace.bank;
        for (uint32_t j = 0; j < bank.LayerCount; ++j)
            modulators += bank.LayerTable[j].modulators.size();
        for (uint32_t k = 0; k < bank.ZoneCount; ++k)
            modulators += bank.ZoneTable[k].modulators.size();
        ASSERT_TRUE(WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0, copyPath,
                                   BankNaming::SourceBank, false)
                        .written);
    }

    const test::Phrase phrase = test::LongGmPhrase();
    test::FluidLog originalLog, copyLog;
    const std::vector<float> original = test::RenderPhrase(real.path, phrase, originalLog);
    const std::vector<float> copy = test::RenderPhrase(copyPath, phrase, copyLog);
    ASSERT_FALSE(copy.empty()) << "FluidSynth did not load the copy";
    ASSERT_EQ(original.size(), copy.size());
    EXPECT_EQ(copyLog.errors, std::vector<std::string>{});
    EXPECT_EQ(copyLog.warnings, originalLog.warnings);

    double energy = 0, difference = 0;
    size_t differing = 0;
    for (size_t i = 0; i < original.size(); ++i) {
        energy += double(original[i]) * original[i];
        difference += double(original[i] - copy[i]) * (original[i] - copy[i]);
        differing += original[i] != copy[i];
    }
    EXPECT_GT(std::sqrt(energy / original.size()), 1e-3) << "the phrase should be audible";
    EXPECT_EQ(differing, 0u) << "difference at " << 10 * std::log10(difference / energy)
                             << " dB; the bank has " << modulators << " modulators";
}

INSTANTIATE_TEST_SUITE_P(
    GeneralMidiBanks, SoundFontModulatorRender,
    ::testing::Values(RealBank{test::kTimGM6mbPath, "timgm6mb-soundfont", true},
                      RealBank{"/usr/share/sounds/sf2/FluidR3_GM.sf2", "fluid-soundfont-gm", true},
                      // 490 MB: bench/modulator_render.sh installs it and runs this case.
                      RealBank{"/usr/share/sounds/sf2/MuseScore_General_Full.sf2",
                               "musescore-general-soundfont-lossless", false}),
    [](const auto& info) { return std::filesystem::path(info.param.path).stem().string(); });

} // namespace
} // namespace quorvane
