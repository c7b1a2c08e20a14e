// What every writer does with an output it cannot or must not simply replace: a folder that is missing or
// is a file, a target that is a folder, a pipe or a file in a folder that takes no new file, a disk that
// fills up, and a symbolic link. A write that fails is reported as such and never as saved, what was at the
// target before is left as it was, and no temporary file stays behind; a link the user named is written
// through, a link at a name the program chose is refused. The file size limit makes writes fail for root
// too.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "convert/BankWriters.h"
#include "formats/common/OutputFile.h"
#include "support/FileSystemLimits.h"
#include "support/GigFileParts.h"
#include "support/RecordingHost.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bytes;

struct WriteOutcome {
    bool written = false;
    bool cannotWrite = false; // refused as a file that cannot be written, not skipped for another reason
    std::string path;
    uint64_t size = 0;
};

// One way of writing the loaded bank (its one sample, for the sample files) and how it tells the user that
// the file cannot be written: in the status list, or in a message box where no progress window is shown.
struct Writer {
    const char* name;
    std::string extension;
    bool messageBox;
    bool progressWindow; // shown while writing
    std::function<WriteOutcome(Workspace&, const std::string&)> write;
    // Checks a file the writer wrote: it holds the one-preset, one-sample bank.
    std::function<void(const Bytes&)> expectWhole;
};

std::string FormOf(const Bytes& file) {
    return file.size() < 12 ? ""
                            : std::string(file.begin(), file.begin() + 4) +
                                  std::string(file.begin() + 8, file.begin() + 12);
}

WriteOutcome SampleFile(Workspace& workspace, const std::string& target, SampleFileType type) {
    const SampleFileResult result = WriteSampleFile(workspace, target, 0, type);
    return {result.status == SampleFileStatus::Written, result.status == SampleFileStatus::CannotWrite,
            target, result.size};
}

const std::vector<Writer>& Writers() {
    static const std::vector<Writer> writers = {
        {"SoundFont", ".sf2", false, false,
         [](Workspace& workspace, const std::string& target) {
             const SoundFontWriteResult r = WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0,
                                                           target, BankNaming::SourceBank, false);
             return WriteOutcome{r.written, !r.written, r.path, r.size};
         },
         [](const Bytes& file) { EXPECT_EQ(test::PresetHeaders(test::WalkRiff(file)).size(), 2u); }},
        {"SoundFont for auditioning", ".sf2", true, false,
         [](Workspace& workspace, const std::string& target) {
             const SoundFontWriteResult r = WriteSoundFont(workspace, WriteSelection::All(workspace.bank), 0,
                                                           target, BankNaming::SourceBank, true);
             return WriteOutcome{r.written, !r.written, r.path, r.size};
         },
         [](const Bytes& file) { EXPECT_EQ(test::PresetHeaders(test::WalkRiff(file)).size(), 2u); }},
        {"GigaSampler", ".gig", false, false,
         [](Workspace& workspace, const std::string& target) {
             const GigaWriteResult r = WriteGigaFile(workspace, WriteSelection::All(workspace.bank), 0,
                                                     target, BankNaming::SourceBank);
             return WriteOutcome{r.written, !r.written, r.path, r.size};
         },
         [](const Bytes& file) { EXPECT_EQ(test::ReadGigParts(file).instruments.size(), 1u); }},
        {"WAVE sample file saved alone", ".wav", true, false,
         [](Workspace& workspace, const std::string& target) {
             return SampleFile(workspace, target, SampleFileType::Wave);
         },
         [](const Bytes& file) { EXPECT_EQ(FormOf(file), "RIFFWAVE"); }},
        {"AIFF sample file in a run", ".aif", false, true,
         [](Workspace& workspace, const std::string& target) {
             return SampleFile(workspace, target, SampleFileType::Aiff);
         },
         [](const Bytes& file) { EXPECT_EQ(FormOf(file), "FORMAIFF"); }},
    };
    return writers;
}

bool IsSavedLine(const std::string& line) {
    return line.rfind("Saved file", 0) == 0;
}

// The folder each row writes into holds the source bank "Bank.sf2", a file "plain", a file "Out" with the
// writer's extension, a folder "Taken" with it, a pipe "Pipe" with it (its read end open, so that a
// program that writes into it does not wait) and "Link" with it, a symbolic link to "real/Target" with it.
struct TargetCase {
    const char* what;
    std::string target;    // with "*" for the writer's extension; relative to the folder, or absolute
    rlim_t sizeLimit = 0;  // 0: none
    uint32_t frames = 100; // of the bank's one sample
    bool written = false;  // through the link
    std::vector<std::string> extraLines = {}; // after the error line in the status list
    bool namedByUser = false;                 // the target is an output the user named himself
    const char* refusedBecause = nullptr;     // the reason given, after the error line or in the message
};

TEST(WriteTargetTest, EveryWriterRefusesOrWritesThroughAsTheTargetAllows) {
    const std::string inUse = "This file is used by another program!";
    const std::vector<TargetCase> cases = {
        {"folder does not exist", "missing/Out*"},
        {"folder is a file", "plain/Out*"},
        {"target is a folder", "Taken*", 0, 100, false, {inUse}},
        {"target is a pipe, which is never replaced", "Pipe*", 0, 100, false, {inUse}},
        {"target exists but its folder takes no new file", "/proc/version", 0, 100, false, {inUse}},
        {"disk full at the end", "Out*", 2000, 2000},
        {"disk full in the middle of a large sample", "Out*", 200'000, 700'000},
        {"target is a symbolic link the user named: the file it names is written",
         "Link*",
         0,
         100,
         true,
         {},
         true},
        {"target is a symbolic link at a name the program chose: refused",
         "Link*",
         0,
         100,
         false,
         {"The file is not replaced: it is a symbolic link."},
         false,
         kOutputIsALink},
    };
    const Bytes old = {'o', 'l', 'd'};
    for (const Writer& writer : Writers()) {
        for (const TargetCase& c : cases) {
            SCOPED_TRACE(std::string(writer.name) + ": " + c.what);
            test::TempDir folder;
            const std::string ext = writer.extension;
            test::SoundFontBuilder sf;
            sf.AddSample("Long", c.frames);
            sf.instruments = {{.name = "I", .bags = {test::Gens({{gen::sampleID, 0}})}}};
            sf.presets = {{.name = "P", .bags = {test::Gens({{gen::instrument, 0}})}}};
            const std::string source = folder.Write("Bank.sf2", sf.Build());
            folder.Write("plain", old);
            folder.Write("Out" + ext, old);
            std::filesystem::create_directory(folder.Path() / ("Taken" + ext));
            std::filesystem::create_directory(folder.Path() / "real");
            const std::string real = folder.Write("real/Target" + ext, old);
            std::filesystem::create_symlink("real/Target" + ext, folder.Path() / ("Link" + ext));
            const std::string pipe = folder.Folder() + "Pipe" + ext;
            ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
            const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            ASSERT_GE(reader, 0);

            test::RecordingHost host;
            host.progressWindowShowing = writer.progressWindow;
            Workspace workspace(host);
            ASSERT_EQ(test::LoadBankFile(workspace, source), LoadStatus::Loaded);
            workspace.writer.LastWrittenSize = 12345;
            host.Forget();
            const std::vector<std::string> before = test::FilesIn(folder.Path());

            std::string target = c.target;
            if (target.back() == '*')
                target.replace(target.size() - 1, 1, ext);
            if (target[0] != '/')
                target.insert(0, folder.Folder());
            WriteOutcome outcome;
            {
                const NamedOutput named({c.namedByUser ? target : std::string()});
                std::optional<test::FileSizeLimit> limit;
                if (c.sizeLimit != 0)
                    limit.emplace(c.sizeLimit);
                outcome = writer.write(workspace, target);
            }
            ::close(reader);

            struct stat info {};
            ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
            EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe was replaced";
            EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / ("Taken" + ext)));
            EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / ("Link" + ext)))
                << "the link was replaced by a plain file";
            EXPECT_EQ(test::FilesIn(folder.Path()), before) << "no temporary file stays behind";
            EXPECT_EQ(test::FilesIn(folder.Path() / "real"), std::vector<std::string>{"Target" + ext});
            EXPECT_EQ(test::ReadFileBytes(folder.Folder() + "Out" + ext), old);
            EXPECT_EQ(test::ReadFileBytes(folder.Folder() + "plain"), old);

            if (c.written) {
                ASSERT_TRUE(outcome.written);
                const Bytes file = test::ReadFileBytes(real);
                EXPECT_EQ(file.size(), outcome.size);
                writer.expectWhole(file);
                continue;
            }
            EXPECT_FALSE(outcome.written);
            EXPECT_TRUE(outcome.cannotWrite);
            EXPECT_TRUE(std::none_of(host.statusLines.begin(), host.statusLines.end(), IsSavedLine));
            EXPECT_EQ(test::ReadFileBytes(real), old);
            EXPECT_EQ(workspace.writer.LastWrittenSize, 12345u);
            const std::string error = "ERROR! Can't write to File " + target;
            if (writer.messageBox) {
                ASSERT_EQ(host.messages.size(), 1u);
                EXPECT_EQ(host.messages[0].text, c.refusedBecause ? error + ": " + c.refusedBecause : error);
                EXPECT_EQ(host.messages[0].caption, "Quorvane v1.1");
                EXPECT_EQ(host.messages[0].icon, MessageIcon::Warning);
                EXPECT_TRUE(host.statusLines.empty());
            } else {
                std::vector<std::string> tail = {error};
                tail.insert(tail.end(), c.extraLines.begin(), c.extraLines.end());
                ASSERT_GE(host.statusLines.size(), tail.size());
                EXPECT_EQ(
                    std::vector<std::string>(host.statusLines.end() - tail.size(), host.statusLines.end()),
                    tail);
                EXPECT_TRUE(host.messages.empty());
            }
        }
    }
}

} // namespace
} // namespace quorvane
