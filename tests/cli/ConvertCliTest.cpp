// quorvane-cli convert with several banks, folders, edit options and edits files: the files a run leaves,
// and how it ends when an input, an option, an edits file or the output folder is wrong.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "convert/BankLoader.h"
#include "support/DlsBuilder.h"
#include "support/PresetBanks.h"
#include "support/RecordingHost.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

namespace fs = std::filesystem;

class ConvertCli : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.Path() / "in" / "more");
        fs::create_directories(dir.Path() / "out");
        dir.Write("in/Two.sf2", ManyPresetsBank(2).Build());
        dir.Write("in/more/Three.sf2", ManyPresetsBank(3).Build());
        dir.Write("in/more/notes.sf2", {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '.', '.', '.', '!'});
    }
    std::string P(const std::string& name) const { return (dir.Path() / name).string(); }
    std::vector<std::string> Out() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path() / "out"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    ProcessResult Convert(std::vector<std::string> args) const {
        args.insert(args.begin(), "convert");
        return RunProcess(QUORVANE_CLI_PATH, args);
    }
    // The presets of a written SoundFont, as the loader reads them.
    std::vector<PresetRecord> Presets(const std::string& path) const {
        RecordingHost host;
        Workspace workspace(host);
        SetFileListOfPaths(workspace, {path});
        EXPECT_EQ(LoadBankSilentlyOfItsType(workspace, 0), LoadStatus::Loaded) << path;
        return {workspace.bank.PresetTable.begin() + 1, workspace.bank.PresetTable.end()};
    }

    TempDir dir;
};

TEST_F(ConvertCli, SfzFoldersOutAndInstrumentsBackIn) {
    // One bank into the folder named, made when missing; its presets each an .sfz over FLAC samples.
    const ProcessResult one =
        Convert({"--json", "--to", "sfz", "--sample-format", "flac", "-o", P("out/two"), P("in/Two.sf2")});
    ASSERT_EQ(one.exitStatus, 0) << one.err;
    EXPECT_TRUE(fs::exists(P("out/two/P000.sfz")) && fs::exists(P("out/two/P001.sfz")));
    EXPECT_TRUE(fs::exists(P("out/two/samples/Low.flac")) && fs::exists(P("out/two/samples/High.flac")));
    EXPECT_FALSE(fs::exists(P("out/two/samples/Low.wav")));
    // The folder's size is what its files hold.
    uintmax_t folderBytes = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(P("out/two")))
        folderBytes += entry.is_regular_file() ? entry.file_size() : 0;
    EXPECT_EQ(nlohmann::json::parse(one.out)["files"][0]["bytes"], folderBytes) << one.out;
    // Several banks: a folder each inside the folder named.
    const ProcessResult many =
        Convert({"--to", "sfz", "-o", P("out"), P("in/Two.sf2"), P("in/more/Three.sf2")});
    ASSERT_EQ(many.exitStatus, 0) << many.err;
    EXPECT_TRUE(fs::exists(P("out/Two/P001.sfz")) && fs::exists(P("out/Three/P002.sfz")));
    EXPECT_TRUE(fs::exists(P("out/Three/samples/High.wav")));
    // An instrument written is a bank to read: one preset of the instrument's two zones.
    const ProcessResult back = Convert({"-o", P("out/back.sf2"), P("out/two/P001.sfz")});
    ASSERT_EQ(back.exitStatus, 0) << back.err;
    const std::vector<PresetRecord> presets = Presets(P("out/back.sf2"));
    ASSERT_EQ(presets.size(), 1u);
    EXPECT_EQ(presets[0].name, "P001");
}

TEST_F(ConvertCli, BanksAndFoldersInOneRunAFailedBankReportedAndTheRestWritten) {
    const ProcessResult run = Convert({"--to", "gig", "-o", P("out"), P("in/Two.sf2"), P("in/more")});
    EXPECT_EQ(run.exitStatus, 4) << run.err;
    EXPECT_EQ(Out(), (std::vector<std::string>{"Three.gig", "Two.gig"}));
    EXPECT_NE(run.err.find("ERROR! " + P("in/more/notes.sf2") + " is not a bank"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("2 file(s) written, 1 item(s) failed"), std::string::npos) << run.err;

    const ProcessResult clean = Convert({"-o", P("out"), P("in/Two.sf2"), P("in/more/Three.sf2")});
    EXPECT_EQ(clean.exitStatus, 0) << clean.err;
    EXPECT_EQ(Out(), (std::vector<std::string>{"Three.gig", "Three.sf2", "Two.gig", "Two.sf2"}));
}

TEST_F(ConvertCli, MissingOrUnwritableOutputFolderWritesNothing) {
    std::vector<std::vector<std::string>> cases = {
        {"-o", P("absent"), P("in/Two.sf2"), P("in/more/Three.sf2")},
        {"-o", P("absent/x.sf2"), P("in/Two.sf2")},
        {"-o", P("out/Two.sf2/"), P("in/more")},
    };
    if (::geteuid() != 0) { // the superuser writes into any folder
        fs::create_directory(P("locked"));
        fs::permissions(P("locked"), fs::perms::owner_read | fs::perms::owner_exec);
        cases.push_back({"-o", P("locked"), P("in/Two.sf2"), P("in/more/Three.sf2")});
    }
    for (const auto& args : cases) {
        SCOPED_TRACE(args[1]);
        const ProcessResult run = Convert(args);
        EXPECT_EQ(run.exitStatus, 4) << run.err;
        EXPECT_NE(run.err.find("output folder"), std::string::npos) << run.err;
        EXPECT_TRUE(Out().empty());
    }
}

TEST_F(ConvertCli, BadEditOptionsAreRefusedBeforeAnythingIsWritten) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--program", "1=128"}, "--program 1=128: the value must be 0 to 127"},
        {{"--program", "0=3"}, "--program 0=3: expected SLOT=VALUE"},
        {{"--program", "x"}, "expected SLOT=VALUE"},
        {{"--bank", "2=-1"}, "--bank 2=-1: the value must be 0 to 127"},
        {{"--drum", "1=maybe"}, "--drum 1=maybe: the value"},
        {{"--move-zones", "1=+7"}, "must be +12 or -12"},
        {{"--reverb", "101"}, "--reverb 101: expected a percentage from 0 to 100"},
        {{"--chorus", "lots"}, "--chorus lots"},
        {{"--cutoff", "19"}, "--cutoff 19: expected a cutoff from 20 to 20000 Hz, or off"},
    };
    for (const auto& [options, says] : cases) {
        SCOPED_TRACE(says);
        std::vector<std::string> args = options;
        args.insert(args.end(), {"--save-edits", P("out/kept.edits"), "-o", P("out"), P("in/Two.sf2")});
        const ProcessResult run = Convert(args);
        EXPECT_EQ(run.exitStatus, 1) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
        EXPECT_TRUE(Out().empty());
    }
    // A slot the bank does not have: that bank is not written.
    const ProcessResult run = Convert({"--program", "7=1", "-o", P("out"), P("in/Two.sf2")});
    EXPECT_EQ(run.exitStatus, 4) << run.err;
    EXPECT_NE(run.err.find("The edits name preset 7, the bank has 2 presets"), std::string::npos) << run.err;
    EXPECT_TRUE(Out().empty());
}

TEST_F(ConvertCli, EditsAreKeptInAFileAndReplayedOntoEveryBankOfARun) {
    const std::string edits = P("fixes.edits");
    const ProcessResult save = Convert(
        {"--program", "1=42", "--bank", "1=5", "--drum", "2=on", "--reverb", "12.5", "--save-edits", edits});
    ASSERT_EQ(save.exitStatus, 0) << save.err;
    std::ifstream in(edits);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "quorvane edits 1\nPRES 0001 PROG 002a\nPRES 0001 BANK 0005\nPRES 0002 DRUM 0001\n"
                    "BANK **** REVB 007d\n");

    const ProcessResult run =
        Convert({"-v", "--edits", edits, "-o", P("out"), P("in/Two.sf2"), P("in/more/Three.sf2")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.err.find("      Reverb = 12.5%"), std::string::npos) << run.err;
    for (const char* name : {"out/Two.sf2", "out/Three.sf2"}) {
        SCOPED_TRACE(name);
        const auto presets = Presets(P(name));
        ASSERT_GE(presets.size(), 2u);
        EXPECT_EQ(presets[0].program, 42);
        EXPECT_EQ(presets[0].bank, 5);
        EXPECT_EQ(presets[1].isDrum, 1);
    }
}

TEST_F(ConvertCli, DamagedOrForeignEditsFileIsRefusedWithItsLineAndNothingIsWritten) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"quorvane edits 1\nPRES 0001 PROG 0001\n\nPRES 0002 PROG 9999\n",
         "bad.edits:4: PROG 9999: the value must be 0 to 127"},
        {"LastDir=/home\n", "bad.edits:1: not a Quorvane edits file"},
        {std::string("quorvane edits 1\0\1\2", 19), "bad.edits:1: not a Quorvane edits file"},
    };
    for (const auto& [content, says] : cases) {
        SCOPED_TRACE(says);
        dir.Write("bad.edits", Bytes(content.begin(), content.end()));
        const ProcessResult run = Convert(
            {"--edits", P("bad.edits"), "--save-edits", P("out/kept.edits"), "-o", P("out"), P("in/more")});
        EXPECT_EQ(run.exitStatus, 1) << run.err;
        EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
        EXPECT_TRUE(Out().empty());
    }
    const ProcessResult absent = Convert({"--edits", P("absent.edits"), "-o", P("out"), P("in/Two.sf2")});
    EXPECT_EQ(absent.exitStatus, 1) << absent.err;
    EXPECT_TRUE(Out().empty());
}

TEST_F(ConvertCli, OneBankOrPresetTakesTheOutputNameWithItsExtensionReplaced) {
    EXPECT_EQ(Convert({"--to", "sf2", "-o", P("out/Mine.gig"), P("in/Two.sf2")}).exitStatus, 0);
    EXPECT_EQ(Convert({"--preset", "2", "-o", P("out/Second.bank"), P("in/Two.sf2")}).exitStatus, 0);
    EXPECT_EQ(
        Convert({"--preset", "1", "--preset", "2", "-o", P("out/ignored.sf2"), P("in/Two.sf2")}).exitStatus,
        0);
    EXPECT_EQ(Out(), (std::vector<std::string>{"Mine.sf2", "P000.sf2", "P001.sf2", "Second.sf2"}));
    EXPECT_EQ(Presets(P("out/Second.sf2")).at(0).name, "P001");
}

// A GigaSampler bank with a compressed sample: the conversion says so on stderr, once for the bank, and
// `info` says it as a warning; both still do their work.
TEST_F(ConvertCli, WhatABankHoldsBeyondTheModelIsSaidOnStderr) {
    DlsBuilder gig;
    DlsRegion region;
    region.dimensionRegions = {{.poolIndex = 0}, {.poolIndex = 1}};
    region.dimensions = {{dim::kVelocity, 1}};
    gig.instruments = {{.name = "Packed", .regions = {region}}, {.name = "Second", .regions = {region}}};
    gig.waves = {MonoWave("Packed", 100), MonoWave("Plain", 100)};
    gig.waves[0].extraChunks = {{"ewav", Bytes(16, 0)}};
    dir.Write("in/Packed.gig", gig.Build());

    const ProcessResult converted =
        Convert({"--preset", "1", "--preset", "2", "-o", P("out"), P("in/Packed.gig")});
    EXPECT_EQ(converted.exitStatus, 0) << converted.err;
    const std::string said = "compressed sample(s), the first 'Packed'";
    const size_t first = converted.err.find(said);
    EXPECT_NE(first, std::string::npos) << converted.err;
    EXPECT_EQ(converted.err.find(said, first + 1), std::string::npos) << "said once: " << converted.err;
    EXPECT_EQ(Out().size(), 2u);

    const ProcessResult bank = Convert({"-o", P("out"), P("in/Packed.gig")});
    EXPECT_NE(bank.err.find("; 1 warning: Packed.gig: 1 " + said), std::string::npos) << bank.err;

    const ProcessResult info = RunProcess(QUORVANE_CLI_PATH, {"info", P("in/Packed.gig")});
    EXPECT_EQ(info.exitStatus, 0) << info.err;
    EXPECT_NE(info.err.find("warning: Packed.gig holds what this program cannot convert:"), std::string::npos)
        << info.err;
}

} // namespace
} // namespace quorvane::test
