// quorvane-cli export-samples and info of a folder, run as a user would: which files appear under which
// names, what is reported, and the exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "support/AudioFileBuilder.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

class ExportSamplesCli : public ::testing::Test {
  protected:
    void SetUp() override {
        // Two mono samples of one name, and a stereo pair whose halves show as "Pad".
        SoundFontBuilder sf;
        sf.AddSample("Mono", 100);
        sf.AddSample("Mono", 50);
        const uint16_t left = sf.AddSample("Pad-L", 80);
        const uint16_t right = sf.AddSample("Pad-R", 80);
        sf.samples[left].type = 4;
        sf.samples[left].link = right;
        sf.samples[right].type = 2;
        sf.samples[right].link = left;
        bank = in.Write("bank.sf2", sf.Build());

        std::filesystem::create_directory(in.Path() / "audio");
        in.Write("audio/Kick.WAV", WaveForm({{"fmt ", FmtBody(1, 2, 44100, 24)}, {"data", Bytes(60, 0x40)}}));
        in.Write("audio/Snare: tight.aiff",
                 AiffForm({{"COMM", CommBody(1, 10, 16, 22050)}, {"SSND", SsndBody(Bytes(20, 0x10))}}));
        in.Write("audio/broken.wav", {});
    }

    std::string Out(const std::string& name = "") const { return (out.Path() / name).string(); }

    TempDir in, out;
    std::string bank;
};

TEST_F(ExportSamplesCli, EverySampleOfABankOnceUnderItsOwnName) {
    const ProcessResult result =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "-o", Out("samples"), bank});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "3 files saved in '" + Out("samples") + "'.\n");
    EXPECT_EQ(FilesIn(Out("samples")), (std::set<std::string>{"Mono.wav", "Mono (2).wav", "Pad.wav"}));
    const Bytes pad = ReadAll(Out("samples/Pad.wav"));
    ASSERT_GT(pad.size(), 24u);
    EXPECT_EQ(pad[22], 2) << "a stereo pair is saved as one two-channel file";
    EXPECT_EQ(pad.size(), 88u + 80 * 4);
}

TEST_F(ExportSamplesCli, EveryListedFileOfAFolderAsAiff) {
    // A damaged header that names 0 bits per sample gives no frames: skipped, never an empty file.
    in.Write("audio/zero bits.wav", WaveForm({{"fmt ", FmtBody(1, 2, 44100, 0)}, {"data", Bytes(60, 0x40)}}));
    const std::string folder = (in.Path() / "audio").string();
    const ProcessResult result =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "--to", "aiff", "-o", Out(), folder});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "2 files saved in '" + Out() + "', 2 skipped (no data in a format that can be read).\n");
    EXPECT_EQ(FilesIn(Out()), (std::set<std::string>{"Kick.aif", "Snare; tight.aif"}));
    EXPECT_EQ(ReadAll(Out("Kick.aif")).size(), 108u + 10 * 6) << "24-bit stereo as the source holds it";

    const ProcessResult cut =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "--bits", "16", "-o", Out("16"), folder});
    ASSERT_EQ(cut.exitStatus, 0) << cut.err;
    EXPECT_EQ(ReadAll(Out("16/Kick.wav")).size(), 88u + 10 * 4);
}

TEST_F(ExportSamplesCli, AFileThatCannotBeWrittenIsReportedAndTheOthersAreSaved) {
    std::filesystem::create_directory(Out("Pad.wav"));
    const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"export-samples", "-o", Out(), bank});
    EXPECT_EQ(result.exitStatus, 4);
    EXPECT_NE(result.err.find("ERROR! Can't write to File " + Out("Pad.wav")), std::string::npos)
        << result.err;
    EXPECT_EQ(FilesIn(Out()), (std::set<std::string>{"Mono.wav", "Mono (2).wav", "Pad.wav"}));

    const std::string notAFolder = in.Write("file", {1});
    const ProcessResult blocked = RunProcess(QUORVANE_CLI_PATH, {"export-samples", "-o", notAFolder, bank});
    EXPECT_EQ(blocked.exitStatus, 4);
    EXPECT_EQ(blocked.out, "");
    const ProcessResult usage =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "--to", "mp3", "-o", Out(), bank});
    EXPECT_EQ(usage.exitStatus, 1);
}

TEST_F(ExportSamplesCli, InfoOfAFolderListsItsAudioFiles) {
    const std::string folder = (in.Path() / "audio").string();
    const ProcessResult text = RunProcess(QUORVANE_CLI_PATH, {"info", folder});
    ASSERT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_NE(text.out.find("WAVE PCM                   2    24    44100         10"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("AIFF                       1    16    22050         10"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("broken.wav (NOT WAVE FILE) (Unknown WaveFormat)"), std::string::npos)
        << text.out;

    const ProcessResult json = RunProcess(QUORVANE_CLI_PATH, {"info", "--json", folder});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const nlohmann::json dump = nlohmann::json::parse(json.out);
    EXPECT_EQ(dump["format"], "Audio files");
    ASSERT_EQ(dump["samples"].size(), 3u);
    EXPECT_EQ(dump["samples"][0]["name"], "broken.wav (NOT WAVE FILE)");
    EXPECT_EQ(dump["samples"][1]["fullName"], "Kick");
    EXPECT_EQ(dump["samples"][1]["formatTag"], 1);
    EXPECT_EQ(dump["samples"][2]["fileKind"], 1);
    EXPECT_EQ(dump["samples"][2]["channels"], 1);
}

} // namespace
} // namespace quorvane::test
