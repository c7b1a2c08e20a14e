// The batch save: which files a run writes under which names, the progress and status it reports, the
// GigaSampler split, and how it ends when a bank fails or the user cancels.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "convert/BankLoader.h"
#include "convert/BatchSave.h"
#include "convert/ConversionParameters.h"
#include "support/PresetBanks.h"
#include "support/RecordingHost.h"
#include "support/SmallModels.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The presets of a written file, read back through the loader.
std::vector<PresetRecord> PresetsOf(const std::string& path) {
    test::RecordingHost host;
    Workspace workspace(host);
    SetFileListOfPaths(workspace, {path});
    EXPECT_EQ(LoadBankSilentlyOfItsType(workspace, 0), LoadStatus::Loaded) << path;
    return {workspace.bank.PresetTable.begin() + 1, workspace.bank.PresetTable.end()};
}

class BatchSaveTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directory(out.Path() / "out"); }
    std::string Out() const { return (out.Path() / "out").string() + "/"; }

    test::TempDir in, out;
    test::RecordingHost host;
    Workspace workspace{host};
};

TEST_F(BatchSaveTest, ThreeBanksNoneSelectedGiveThreeFilesWithTheirShares) {
    const test::Bytes bank = test::ManyPresetsBank(2).Build();
    std::vector<FileListEntry> entries;
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        in.Write(std::string(name) + ".sf2", bank);
        entries.push_back({name, "sf2"});
    }
    SetFileList(workspace, in.Folder(), entries);
    ParameterValues reverb;
    reverb.reverb = 250;
    reverb.reverbChanged = true;
    RecordBankParameters(workspace.attributes, {1}, reverb);

    const BatchResult result =
        SaveBanks(workspace, {.type = OutputType::SoundFont, .entries = {}, .folder = Out(), .file = {}});
    EXPECT_EQ(FilesIn(Out()), (std::vector<std::string>{"Alpha.sf2", "Beta.sf2", "Gamma.sf2"}));
    EXPECT_EQ(result.written.size(), 3u);
    EXPECT_EQ(result.failed, 0u);
    EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"Saving Bank(s) ... | Bank:"});
    EXPECT_EQ(host.progressItemNames, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));

    // Bar 1 starts each bank at its share, 0, 333 and 666, moves only forward and ends full.
    for (int start : {0, 333, 666})
        EXPECT_NE(std::find(host.overallProgress.begin(), host.overallProgress.end(), start),
                  host.overallProgress.end());
    EXPECT_TRUE(std::is_sorted(host.overallProgress.begin(), host.overallProgress.end()));
    EXPECT_EQ(host.overallProgress.back(), 1000);
    EXPECT_EQ(BarShare(2, 3).base + BarShare(2, 3).span, 1000);

    // Only the bank with a reverb line is updated, right after it is loaded.
    const auto& lines = host.statusLines;
    const auto beta = std::find(lines.begin(), lines.end(), "Loading  'Beta'  bank.");
    ASSERT_NE(beta, lines.end());
    EXPECT_EQ(*(beta + 1), "Updating Conversion Parameters in bank:");
    EXPECT_EQ(*(beta + 2), "      Reverb = 25.0%");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Updating Conversion Parameters in bank:"), 1);
    EXPECT_EQ(host.calls.back(), "FinishProgressWindow");
    EXPECT_EQ(workspace.bank.PresetCount, 0)
        << "the views are left empty, not with a bank changed for writing";
}

TEST_F(BatchSaveTest, GigaSamplerBankOfThreeHundredPresetsIsSplitInSortedParts) {
    in.Write("Big.sf2", test::ManyPresetsBank(300).Build());
    SetFileList(workspace, in.Folder(), {{"Big", "sf2"}});
    const BatchResult result = SaveBanks(
        workspace, {.type = OutputType::Giga, .entries = {}, .folder = Out(), .file = Out() + "Chosen.gig"});
    // The parts are named after the file asked for.
    EXPECT_EQ(FilesIn(Out()),
              (std::vector<std::string>{"Chosen part1.gig", "Chosen part2.gig", "Chosen part3.gig"}));
    EXPECT_EQ(result.written.size(), 3u);

    // Each part holds the next presets by drum flag, bank and program (in the file, in slot order).
    std::vector<uint32_t> keys;
    std::vector<std::string> names;
    const std::vector<size_t> sizes = {128, 128, 44};
    for (int part = 1; part <= 3; ++part) {
        const auto presets = PresetsOf(Out() + "Chosen part" + std::to_string(part) + ".gig");
        EXPECT_EQ(presets.size(), sizes[part - 1]);
        std::vector<uint32_t> partKeys;
        for (const PresetRecord& preset : presets) {
            partKeys.push_back(GigaSortKey(preset));
            names.push_back(preset.name);
        }
        std::sort(partKeys.begin(), partKeys.end());
        keys.insert(keys.end(), partKeys.begin(), partKeys.end());
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "drum kits last, then by bank and program";
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(names.size(), 300u);
}

// The preset edits on screen belong to the loaded entry: kept when it is saved alone, left out (and said so)
// when saved with other banks, not concerned when it is not saved.
TEST(BatchSave, EditsOnScreenGoWithTheBankShownWhenItIsSavedAlone) {
    test::RecordingHost host;
    Workspace workspace(host);
    SetFileListOfPaths(workspace, {"/a.sf2", "/b.sf2", "/c.sf2"});
    workspace.loader.loadedEntry = 1;
    struct Case {
        const char* what;
        std::string edits;
        std::vector<uint32_t> entries;
        ShownEdits expected;
    };
    const std::string edits = EditLine("PRES", 1, "PROG", 22);
    const std::vector<Case> cases = {
        {"no edits", "", {1}, ShownEdits::None},
        {"the shown bank alone", edits, {1}, ShownEdits::Kept},
        {"the shown bank among others", edits, {0, 1}, ShownEdits::LeftOut},
        {"every entry, none chosen", edits, {}, ShownEdits::LeftOut},
        {"other banks only", edits, {0, 2}, ShownEdits::None},
    };
    for (const Case& c : cases) {
        workspace.attributes.EditAttributes = c.edits;
        EXPECT_EQ(ShownEditsInBankSave(workspace, c.entries), c.expected) << c.what;
    }
    SetFileListOfPaths(workspace, {"/a.sf2"});
    workspace.loader.loadedEntry = 0;
    workspace.attributes.EditAttributes = edits;
    EXPECT_EQ(ShownEditsInBankSave(workspace, {}), ShownEdits::Kept) << "the only entry of the list";
}

TEST(GigaSplit, APartKeepsItsSamplesUnderTheLimitButAlwaysHoldsOnePreset) {
    // Presets 1 and 3 play 80 MiB each, preset 2 plays 1 MiB; sorted by program they come 1, 2, 3.
    BankModel bank = test::SmallModel({{.sampleIndex = 0}, {.sampleIndex = 1}, {.sampleIndex = 2}});
    bank.SampleTable.resize(3);
    bank.SampleCount = 3;
    bank.SampleTable[0].dataLength = bank.SampleTable[2].dataLength = 80u << 20;
    bank.SampleTable[1].dataLength = 1u << 20;
    for (uint16_t slot = 1; slot <= 3; ++slot)
        bank.PresetTable[slot].program = slot;
    EXPECT_EQ(PlanGigaParts(bank, {1, 2, 3}), (std::vector<std::vector<uint32_t>>{{1}, {2}, {3}}));
    bank.SampleTable[2].dataLength = 2u << 20;
    EXPECT_EQ(PlanGigaParts(bank, {1, 2, 3}), (std::vector<std::vector<uint32_t>>{{1}, {2, 3}}));
}

TEST_F(BatchSaveTest, PresetsSeparateOrCombined) {
    test::SoundFontBuilder sf = test::ManyPresetsBank(3);
    sf.presets[0].name = "Pno";
    sf.presets[1].name = "Str";
    sf.presets[2].name = "Pno"; // the same name: the second file is numbered, not written over the first
    in.Write("GM.sf2", sf.Build());
    SetFileList(workspace, in.Folder(), {{"GM", "sf2"}});
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);

    BatchResult result =
        SavePresets(workspace, {.presets = {1, 2, 3}, .folder = Out(), .file = Out() + "x.sf2"});
    EXPECT_EQ(FilesIn(Out()), (std::vector<std::string>{"Pno-2.sf2", "Pno.sf2", "Str.sf2"}));
    EXPECT_EQ(result.written.size(), 3u);
    EXPECT_EQ(PresetsOf(Out() + "Pno-2.sf2")[0].program, sf.presets[2].program);
    EXPECT_EQ(workspace.bank.PresetCount, 3) << "the bank is read again for the views";

    fs::remove_all(Out());
    fs::create_directory(Out());
    result = SavePresets(
        workspace, {.presets = {1, 2, 3}, .combine = true, .folder = Out(), .file = Out() + "Chosen.sf2"});
    EXPECT_EQ(FilesIn(Out()), std::vector<std::string>{"Chosen.sf2"});
    EXPECT_EQ(PresetsOf(Out() + "Chosen.sf2").size(), 3u);
}

TEST_F(BatchSaveTest, TooManyPresetsCombinedIntoOneGigaSamplerFileAreRefused) {
    in.Write("Big.sf2", test::ManyPresetsBank(129).Build());
    SetFileList(workspace, in.Folder(), {{"Big", "sf2"}});
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    const BatchResult result = SavePresets(
        workspace,
        {.type = OutputType::Giga, .presets = {}, .combine = true, .folder = Out(), .file = Out() + "a.gig"});
    EXPECT_TRUE(result.refused);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text,
              "There are 129 selected presets.\r\n\r\nGigaSampler can read only 128 instruments.");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(FilesIn(Out()).empty());
}

TEST_F(BatchSaveTest, AFailedBankIsReportedAndTheRunGoesOnWithoutOverwriting) {
    fs::create_directories(in.Path() / "a");
    fs::create_directories(in.Path() / "b");
    const std::string first = in.Write("a/Kit.sf2", test::ManyPresetsBank(1).Build());
    const std::string text =
        in.Write("notes.sf2", {'h', 'e', 'l', 'l', 'o', ' ', 't', 'h', 'e', 'r', 'e', '!'});
    const std::string second = in.Write("b/Kit.sf2", test::ManyPresetsBank(2).Build());
    SetFileListOfPaths(workspace, {first, text, (in.Path() / "missing.sf2").string(), second});
    const BatchResult result = SaveBanks(workspace, {.type = OutputType::SoundFont,
                                                     .entries = {},
                                                     .folder = Out(),
                                                     .file = {},
                                                     .entriesOfAnyType = true});
    EXPECT_EQ(result.items, 4u);
    EXPECT_EQ(result.failed, 2u);
    EXPECT_EQ(FilesIn(Out()), (std::vector<std::string>{"Kit-2.sf2", "Kit.sf2"}));
    EXPECT_EQ(PresetsOf(Out() + "Kit.sf2").size(), 1u);
    EXPECT_EQ(PresetsOf(Out() + "Kit-2.sf2").size(), 2u);
    EXPECT_NE(std::find(host.statusLines.begin(), host.statusLines.end(),
                        "ERROR! " + text + " is not a bank of a supported type"),
              host.statusLines.end());
}

// Cancels once the second bank has begun writing its samples, as a user who presses Cancel then.
class CancelInSecondBank : public test::RecordingHost {
  public:
    bool CancelRequested() override {
        const auto loads = std::count_if(statusLines.begin(), statusLines.end(), [](const std::string& line) {
            return line.rfind("Loading", 0) == 0;
        });
        pressed = pressed || (loads >= 2 && statusLines.back().rfind("Copying sample", 0) == 0);
        return pressed;
    }
    bool pressed = false;
};

TEST(BatchSaveCancel, TheFileBeingWrittenIsNotLeftHalfWrittenAndEarlierFilesStay) {
    test::TempDir in, out;
    CancelInSecondBank host;
    Workspace workspace(host);
    const test::Bytes bank = test::ManyPresetsBank(2).Build();
    in.Write("A.sf2", bank);
    in.Write("B.sf2", bank);
    in.Write("C.sf2", bank);
    SetFileList(workspace, in.Folder(), {{"A", "sf2"}, {"B", "sf2"}, {"C", "sf2"}});
    const BatchResult result = SaveBanks(
        workspace, {.type = OutputType::SoundFont, .entries = {}, .folder = out.Folder(), .file = {}});
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.written, std::vector<std::string>{out.Folder() + "A.sf2"});
    EXPECT_EQ(FilesIn(out.Path()), std::vector<std::string>{"A.sf2"}) << "no partial B, no temporary file";
    EXPECT_EQ(PresetsOf(out.Folder() + "A.sf2").size(), 2u);
}

} // namespace
} // namespace quorvane
