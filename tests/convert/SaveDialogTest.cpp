// The save dialog's title and proposed name for what is being saved, and the output its answer stands for.
#include <gtest/gtest.h>

#include "convert/SaveDialog.h"

namespace quorvane {
namespace {

TEST(SaveDialog, TitleBySourceAndCount) {
    struct Row {
        SourceFormat source;
        SaveItems items;
        const char* several; // 2 of 3
        const char* all;     // 3 of 3
        const char* one;     // 1 of 1 and 1 of 3
    };
    const std::vector<Row> rows = {
        {SourceFormat::SoundFont, SaveItems::Banks, "Save Bank(s) As ...", "Save ALL Banks As ...",
         "Save Bank As ..."},
        {SourceFormat::Dls, SaveItems::Banks, "Save Gigafile(s) As ...", "Save ALL Gigafiles As ...",
         "Save Gigafile As ..."},
        {SourceFormat::Akai, SaveItems::Banks, "Save Volume(s) As ...", "Save ALL Volumes As ...",
         "Save Bank As ..."},
        {SourceFormat::SoundFont, SaveItems::Presets, "Save Preset(s) As ...", "Save ALL Presets As ...",
         "Save Preset As ..."},
        {SourceFormat::Dls, SaveItems::Presets, "Save Instrument(s) As ...", "Save ALL Instruments As ...",
         "Save Instrument As ..."},
        {SourceFormat::Akai, SaveItems::Presets, "Save Program(s) As ...", "Save ALL Programs As ...",
         "Save Program As ..."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.one);
        EXPECT_EQ(SaveDialogTitle(row.source, row.items, 2, 3), row.several);
        EXPECT_EQ(SaveDialogTitle(row.source, row.items, 3, 3), row.all);
        EXPECT_EQ(SaveDialogTitle(row.source, row.items, 1, 3), row.one);
        EXPECT_EQ(SaveDialogTitle(row.source, row.items, 1, 1), row.one); // "one" wins over "ALL"
    }
}

TEST(SaveDialog, ProposedNameAndTheAnswer) {
    EXPECT_EQ(ProposedFileName(SourceFormat::SoundFont, SaveItems::Banks, 1, "Piano: Grand", "x"),
              "Piano; Grand.xyz");
    EXPECT_EQ(ProposedFileName(SourceFormat::SoundFont, SaveItems::Banks, 3, "Piano", "x"), ".xyz");
    EXPECT_EQ(ProposedFileName(SourceFormat::SoundFont, SaveItems::Presets, 1, "GM", "Bass/Lead"),
              "Bass_Lead.xyz");
    EXPECT_EQ(ProposedFileName(SourceFormat::SoundFont, SaveItems::Presets, 4, "GM", "Bass"), "GM.xyz");
    // Akai names are padded with blanks to twelve characters.
    EXPECT_EQ(ProposedFileName(SourceFormat::Akai, SaveItems::Banks, 1, "STRINGS     ", ""), "STRINGS.xyz");
    EXPECT_EQ(OutputFileName(SourceFormat::Akai, "A PAD  "), "A PAD");
    EXPECT_EQ(OutputFileName(SourceFormat::SoundFont, "A PAD  "), "A PAD  ");

    struct AnswerCase {
        const char* returned;
        OutputType type;
        bool single;
        const char* folder;
        const char* file;
    };
    const std::vector<AnswerCase> cases = {
        {"/music/out/My.bank.xyz", OutputType::Giga, true, "/music/out/", "/music/out/My.bank.gig"},
        {"/music/out/Mine.GIG", OutputType::SoundFont, true, "/music/out/", "/music/out/Mine.sf2"},
        {"/music/out/Mine", OutputType::Giga, true, "/music/out/", "/music/out/Mine.gig"},
        {"/music/out/", OutputType::SoundFont, true, "/music/out/", "/music/out/Proposed.sf2"},
        {"/music/out/.xyz", OutputType::SoundFont, true, "/music/out/", "/music/out/Proposed.sf2"},
        {"/music.d/out", OutputType::SoundFont, true, "/music.d/", "/music.d/out.sf2"},
        {"Mine.sf2", OutputType::Giga, true, "./", "Mine.gig"},
        {"/music/out/whatever.sf2", OutputType::Giga, false, "/music/out/", ""},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(c.returned);
        const DialogAnswer answer = ResolveDialogPath(c.returned, c.type, c.single, "Proposed.xyz");
        EXPECT_EQ(answer.folder, c.folder);
        EXPECT_EQ(answer.file, c.file);
    }
}

} // namespace
} // namespace quorvane
