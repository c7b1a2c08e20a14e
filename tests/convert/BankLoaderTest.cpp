// Loading a file-list entry: type identification, the SoundFont chain, and what each kind of load tells the
// user through the Host.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/BankLoader.h"
#include "support/RecordingHost.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Gens;
using test::InfoText;
using test::SoundFontBuilder;

// One preset playing a mutual stereo pair named the usual way, and an unpaired left half.
SoundFontBuilder PianoBank() {
    SoundFontBuilder sf;
    sf.AddSample("PIANO-L", 100);
    sf.AddSample("PIANO-R", 100);
    sf.AddSample("ORGAN-L", 100);
    sf.samples[0].type = 4;
    sf.samples[0].link = 1;
    sf.samples[1].type = 2;
    sf.samples[1].link = 0;
    sf.samples[2].type = 4;
    sf.samples[2].link = 0; // links to PIANO-L, which does not link back
    sf.instruments = {
        {.name = "Piano",
         .bags = {Gens({{gen::sampleID, 0}}), Gens({{gen::sampleID, 1}}), Gens({{gen::sampleID, 2}})}}};
    sf.presets = {{.name = "Piano", .program = 0, .bags = {Gens({{gen::instrument, 0}})}}};
    return sf;
}

class BankLoaderTest : public ::testing::Test {
  protected:
    // Writes the files and makes them the file list, in this order.
    void List(const std::vector<std::pair<std::string, test::Bytes>>& files) {
        std::vector<FileListEntry> entries;
        for (const auto& [name, bytes] : files) {
            dir.Write(name, bytes);
            const auto dot = name.rfind('.');
            entries.push_back({name.substr(0, dot), dot == std::string::npos ? "" : name.substr(dot + 1)});
        }
        SetFileList(workspace, dir.Folder(), entries);
    }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace workspace{host};
};

TEST_F(BankLoaderTest, InteractiveLoadShowsTheVersionAndTidiesPairNames) {
    SoundFontBuilder sf = PianoBank();
    sf.version = std::pair<uint16_t, uint16_t>{2, 4};
    List({{"Piano.SF2", sf.Build()}});
    workspace.attributes.EditAttributes = "PRES 0001 PROG 0005 ";

    EXPECT_EQ(EntryPath(workspace, 0), dir.Folder() + "Piano.SF2");
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    EXPECT_EQ(host.formatLabels, (std::vector<std::string>{"SoundFont 2.4"}));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.bankChanges, 1);
    EXPECT_TRUE(workspace.attributes.EditAttributes.empty()) << "edits belong to the bank on screen";
    EXPECT_EQ(workspace.loader.loadedEntry, 0);
    EXPECT_TRUE(workspace.loader.loadedFlag);

    const BankModel& bank = workspace.bank;
    EXPECT_EQ(bank.BankVersion, 24);
    ASSERT_EQ(bank.PresetCount, 1);
    ASSERT_EQ(bank.SampleCount, 3);
    EXPECT_EQ(bank.SampleTable[0].name, "PIANO");
    EXPECT_EQ(bank.SampleTable[1].name, "PIANO");
    EXPECT_EQ(bank.SampleTable[0].fullName, "PIANO-L");
    EXPECT_EQ(bank.SampleTable[1].fullName, "PIANO-R");
    EXPECT_EQ(bank.SampleTable[2].name, "ORGAN-L") << "an unpaired half keeps its suffix";

    // Clicking the entry on screen again does nothing.
    host.Forget();
    EXPECT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::AlreadyLoaded);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BankLoaderTest, SilentLoadKeepsEditsAndSaysNothing) {
    SoundFontBuilder sf = PianoBank();
    sf.info = {{"ICMT", {'o', 'd', 'd'}}};
    List({{"Piano.sf2", sf.Build()}});
    workspace.attributes.EditAttributes = "PRES 0001 PROG 0005 ";
    ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
    EXPECT_EQ(workspace.bank.PresetCount, 1);
    EXPECT_EQ(workspace.attributes.EditAttributes, "PRES 0001 PROG 0005 ");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BankLoaderTest, OddChunkWarnsOnlyAnInteractiveLoadOutsideABatch) {
    SoundFontBuilder sf = PianoBank();
    sf.info = {{"ICMT", {'o', 'd', 'd'}}, InfoText("INAM", "Odd")};
    List({{"Odd.sf2", sf.Build()}});

    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, kOddChunkMessage);
    EXPECT_EQ(host.messages[0].caption, "Quorvane v1.1");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
    // Reading went on after the warning.
    EXPECT_EQ(workspace.bank.PresetCount, 1);
    EXPECT_EQ(workspace.bank.BankInfo[BankInfoSlotOf("INAM")], "Odd");
    ASSERT_EQ(workspace.bank.SampleCount, 3);
    EXPECT_EQ(workspace.bank.SampleTable[0].name, "PIANO");

    // During a batch run the progress window shows, and the same load stays quiet.
    workspace.loader.loadedFlag = false;
    host.Forget();
    host.progressWindowShowing = true;
    ASSERT_EQ(LoadBankInteractively(workspace, 0), LoadStatus::Loaded);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(BankLoaderTest, FileThatCannotBeOpened) {
    List({{"Piano.sf2", PianoBank().Build()}, {"Gone.sf2", {}}, {"Folder.sf2", {}}});
    std::filesystem::remove(dir.Path() / "Gone.sf2");
    std::filesystem::remove(dir.Path() / "Folder.sf2");
    std::filesystem::create_directory(dir.Path() / "Folder.sf2");

    for (uint32_t entry : {1u, 2u}) {
        SCOPED_TRACE(workspace.loader.fileList[entry].text);
        ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
        // A silent load leaves the model as it was.
        EXPECT_EQ(LoadBankSilently(workspace, entry), LoadStatus::CannotOpen);
        EXPECT_EQ(workspace.bank.PresetCount, 1);
        EXPECT_EQ(workspace.bank.SampleCount, 3);
        EXPECT_TRUE(host.titles.empty());

        // An interactive load empties the views and says why in the title.
        EXPECT_EQ(LoadBankInteractively(workspace, entry), LoadStatus::CannotOpen);
        EXPECT_EQ(workspace.bank.PresetCount, 0);
        EXPECT_EQ(workspace.bank.LayerCount, 0);
        EXPECT_EQ(workspace.bank.ZoneCount, 0);
        EXPECT_EQ(workspace.bank.SampleCount, 0);
        EXPECT_EQ(host.titles, (std::vector<std::string>{"UNABLE TO OPEN FILE!"}));
        host.Forget();
    }
}

// A file that is no SoundFont leaves the loaded bank in place, whichever load meets it.
TEST_F(BankLoaderTest, FileOfAnotherTypeIsNotRead) {
    const test::Bytes dls = test::Form("DLS ", {{"colh", {1, 0, 0, 0}}, {"vers", test::Bytes(8, 0)}});
    struct Case {
        const char* what;
        test::Bytes bytes;
        LoadStatus status;
    };
    const Case cases[] = {
        {"DLS bank named .sf2", dls, LoadStatus::WrongFormat},
        {"shorter than a type key", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b'}, LoadStatus::NotABank},
        {"unknown form", test::Form("WAVE", {{"fmt ", test::Bytes(16, 0)}}), LoadStatus::NotABank},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        List({{"Piano.sf2", PianoBank().Build()}, {"Other.sf2", c.bytes}});
        ASSERT_EQ(LoadBankSilently(workspace, 0), LoadStatus::Loaded);
        EXPECT_EQ(LoadBankSilently(workspace, 1), c.status);
        EXPECT_EQ(LoadBankInteractively(workspace, 1), c.status);
        EXPECT_EQ(workspace.bank.PresetCount, 1);
        EXPECT_EQ(workspace.bank.SampleCount, 3);
        EXPECT_EQ(workspace.bank.PresetTable[1].name, "Piano");
        EXPECT_TRUE(host.messages.empty());
    }
}

} // namespace
} // namespace quorvane
