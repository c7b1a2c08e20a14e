// The edits file: what a run records comes back the same, and a damaged or foreign file is refused at the
// line that is wrong, leaving the edits as they were.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "convert/EditsFile.h"
#include "convert/PresetEdits.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

TEST(EditsFile, WrittenEditsReadBackTheSame) {
    EditSet edits;
    AddPresetEdit(edits, 3, "PROG", 10);
    AddPresetEdit(edits, 3, "MOVZ", -12);
    AddPresetEdit(edits, 3, "PROG", 11);
    AddPresetEdit(edits, 0x120, "FILT", -1);
    edits.bankValues.reverb = 200;
    edits.bankValues.reverbChanged = true;
    edits.bankValues.filterOn = false;
    edits.bankValues.filterChanged = true;
    const std::string text = EditsFileText(edits);
    EXPECT_EQ(text, "quorvane edits 1\nPRES 0003 PROG 000b\nPRES 0003 MOVZ fff4\nPRES 0120 FILT ffff\n"
                    "BANK **** REVB 00c8\nBANK **** FILT ffff\n");
    EditSet read;
    EditsFileError error;
    ASSERT_TRUE(ParseEditsText(text, read, error)) << error.line << ": " << error.message;
    EXPECT_EQ(read.presetLines, edits.presetLines);
    EXPECT_EQ(EditsFileText(read), text);
    EXPECT_TRUE(
        ParseEditsText("quorvane edits 1\r\n\r\n# comment\r\nPRES 0001 DRUM 0001  \r\n", read, error));
}

TEST(EditsFile, DamagedOrForeignFilesAreRefusedAtTheirLine) {
    const std::string header = "quorvane edits 1\n";
    struct Case {
        std::string text;
        size_t line;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"", 1, "empty"},
        {"[Settings]\nLastDir=/music\n", 1, "not a Quorvane edits file"},
        {"quorvane edits 2\nPRES 0001 PROG 0001\n", 1, "not a Quorvane edits file"},
        {header + "PRES 0001 PROG 0001\nPRES 0002 PROG 0080\n", 3, "0 to 127"},
        {header + "\n# ok\nPRES 0001 MOVZ 0007\n", 4, "+12 or -12"},
        {header + "PRES 0000 PROG 0001\n", 2, "not a preset slot"},
        {header + "PRES 0001 PROG 01\n", 2, "expected"},
        {header + "PRES 0001 PROG 00x1\n", 2, "hexadecimal"},
        {header + "PRES 0001 LOUD 0001\n", 2, "is not an edit"},
        {header + "BANK **** PROG 0001\n", 2, "bank lines hold"},
        {header + "BANK 0003 REVB 0001\n", 2, "expected"},
        {header + "BANK **** REVB 03e9\n", 2, "0 to 1000"},
        {header + "BANK **** FILT 0013\n", 2, "20 to 20000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EditSet edits;
        AddPresetEdit(edits, 1, "PROG", 5);
        const EditSet before = edits;
        EditsFileError error;
        EXPECT_FALSE(ParseEditsText(c.text, edits, error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        EXPECT_EQ(edits.presetLines, before.presetLines);
        EXPECT_FALSE(edits.bankValues.AnyChanged());
    }
}

// A long file reads as the edits recorded one by one would be: a later program, bank or drum line of a
// preset replaces the earlier one in its place, moves of zones add up.
TEST(EditsFile, ManyLinesReadAsRecordedOneByOne) {
    std::string text = "quorvane edits 1\n";
    std::string recorded;
    const char* verbs[] = {"PROG", "BANK", "DRUM", "MOVZ"};
    for (uint32_t i = 0; i < 3000; ++i) {
        const uint32_t slot = 1 + (i * 7919) % 400;
        const char* verb = verbs[i % 4];
        const int value = verb == std::string("MOVZ") ? (i % 8 < 4 ? 12 : -12) : static_cast<int>(i % 2);
        const std::string line = EditLine("PRES", slot, verb, static_cast<uint16_t>(value));
        text += line.substr(0, 19) + "\n";
        RecordPresetLine(recorded, line);
    }
    EditSet read;
    EditsFileError error;
    ASSERT_TRUE(ParseEditsText(text, read, error)) << error.line << ": " << error.message;
    EXPECT_EQ(read.presetLines, recorded);
}

// Files that are not small text files of edits are refused without being read to their end, and a FIFO
// nobody writes to does not hold the run.
TEST(EditsFile, OversizedEndlessAndWaitingFilesAreRefused) {
    test::TempDir folder;
    const std::string large = folder.Folder() + "large.edits";
    {
        std::ofstream out(large, std::ios::binary);
        out << "quorvane edits 1\n";
        const std::string line = "PRES 0001 MOVZ 000c\n";
        for (size_t size = 0; size <= kMaxEditsFileBytes; size += line.size())
            out << line;
    }
    const std::string fifo = folder.Folder() + "waiting.edits";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        std::string path;
        const char* says;
    };
    for (const Case& c :
         {Case{large, "larger than 16 MiB"}, Case{"/dev/zero", "larger than 16 MiB"}, Case{fifo, "empty"},
          Case{folder.Folder(), "folder"}, Case{folder.Folder() + "missing", "cannot open"}}) {
        SCOPED_TRACE(c.path);
        EditSet edits;
        EditsFileError error;
        EXPECT_FALSE(ReadEditsFile(c.path, edits, error));
        EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        EXPECT_TRUE(edits.Empty());
    }
}

} // namespace
} // namespace quorvane
