// How the bank writers stop part-way. Cancel (the progress window's button) keeps a valid bank of what was
// written so far; an interrupt of the program (Ctrl-C on the command line) abandons the file: nothing at the
// target, no temporary file, and no "Saved" line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "support/FileSystemLimits.h"
#include "support/GigWriteSession.h"
#include "support/PresetBanks.h"

namespace quorvane {
namespace {

// Presses Cancel (or interrupts) once `after` status lines starting with `prefix` have been shown.
class StoppingHost : public test::RecordingHost {
  public:
    std::string prefix;
    size_t after = 0;
    bool interrupt = false;

    bool CancelRequested() override {
        size_t seen = 0;
        for (const std::string& line : statusLines)
            seen += line.rfind(prefix, 0) == 0;
        return seen >= after;
    }
    bool InterruptRequested() override { return interrupt && CancelRequested(); }
};

struct Written {
    bool written = false;
    bool cutShort = false;
    std::string path;
};

// Three presets over two samples, written whole as `extension`.
Written WriteThreePresets(StoppingHost& host, const test::TempDir& dir, const std::string& extension) {
    Workspace workspace(host);
    const std::string source = dir.Write("Bank.sf2", test::ManyPresetsBank(3).Build());
    workspace.bank.SourceFormat = SourceFormat::SoundFont;
    EXPECT_EQ(test::LoadBankFile(workspace, source), LoadStatus::Loaded);
    const std::string target = dir.Folder() + "Out" + extension;
    if (extension == ".gig") {
        const GigaWriteResult result =
            WriteGigaFile(workspace, WriteSelection::All(workspace.bank), 0, target, BankNaming::SourceBank);
        return {result.written, result.cutShort, result.path};
    }
    const SoundFontWriteResult result = WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0,
                                                       target, BankNaming::SourceBank, false);
    return {result.written, result.cutShort, result.path};
}

bool AnySaved(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (line.rfind("Saved file", 0) == 0)
            return true;
    return false;
}

TEST(WriterStop, AnInterruptAbandonsTheFileAtAnyPoint) {
    struct Case {
        const char* extension;
        const char* prefix;
        size_t after;
    };
    const Case cases[] = {
        {".sf2", "Copying sample", 0},    {".sf2", "Copying sample", 1},    {".sf2", "Saving wavepool", 1},
        {".gig", "Saving instrument", 0}, {".gig", "Saving instrument", 2}, {".gig", "Copying sample", 1},
        {".gig", "Updating wavepool", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " after " + std::to_string(c.after) + " x " + c.prefix);
        test::TempDir dir;
        StoppingHost host;
        host.prefix = c.prefix;
        host.after = c.after;
        host.interrupt = true;
        const Written result = WriteThreePresets(host, dir, c.extension);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"Bank.sf2"});
        EXPECT_FALSE(AnySaved(host.statusLines));
        ASSERT_FALSE(host.statusLines.empty());
        EXPECT_EQ(host.statusLines.back(),
                  "Interrupted: '" + dir.Folder() + "Out" + c.extension + "' not written.");
    }
}

// A sample exported while the program is interrupted: its file is abandoned as a bank's would be.
TEST(WriterStop, AnInterruptedSampleFileIsNotKept) {
    test::TempDir dir;
    StoppingHost host;
    host.interrupt = true;
    Workspace workspace(host);
    const std::string source = dir.Write("Bank.sf2", test::ManyPresetsBank(1).Build());
    workspace.bank.SourceFormat = SourceFormat::SoundFont;
    ASSERT_EQ(test::LoadBankFile(workspace, source), LoadStatus::Loaded);
    EXPECT_EQ(WriteSampleFile(workspace, dir.Folder() + "Low.wav", 0, SampleFileType::Wave).status,
              SampleFileStatus::Interrupted);
    EXPECT_EQ(test::FilesIn(dir.Path()), std::vector<std::string>{"Bank.sf2"});
}

// The GigaSampler writer's Cancel: the instruments written before it stay (the collection count says how
// many), and every sample from it on is a short silent wave, so that each pool index the instruments name
// still has its wave.
TEST(WriterStop, GigaSamplerCancelKeepsAValidBankOfWhatWasWritten) {
    struct Case {
        const char* prefix;
        size_t after;
        uint32_t instruments;
        std::vector<std::string> waves;
    };
    const Case cases[] = {
        {"Saving instrument", 2, 2, {"null_sample", "null_sample"}},
        {"Copying sample", 1, 3, {"Low", "null_sample"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.prefix) + " " + std::to_string(c.after));
        test::TempDir dir;
        StoppingHost host;
        host.prefix = c.prefix;
        host.after = c.after;
        const Written result = WriteThreePresets(host, dir, ".gig");
        ASSERT_TRUE(result.written);
        EXPECT_TRUE(result.cutShort);
        const test::GigFileParts parts = test::ReadGigParts(test::ReadFileBytes(result.path));
        EXPECT_EQ(test::GetU32(parts.colh, 0), c.instruments);
        EXPECT_EQ(parts.instruments.size(), c.instruments);
        std::vector<std::string> names;
        for (const test::GigWaveParts& wave : parts.waves)
            names.push_back(wave.name);
        EXPECT_EQ(names, c.waves);
        EXPECT_EQ(parts.PoolTableCount(), c.waves.size());
        // The bank reads back as any other.
        test::GigWriteSession session;
        session.Load(test::ReadFileBytes(result.path), "Again.gig", SourceFormat::Dls);
        EXPECT_EQ(session.workspace.bank.PresetCount, c.instruments);
    }
}

} // namespace
} // namespace quorvane
