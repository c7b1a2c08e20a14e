// Ctrl-C or SIGTERM while quorvane-cli converts: the signal comes once the output's temporary file exists,
// while the child waits on its status lines (the test reads them only afterwards), so it always lands in
// the middle of the write. No output, no temporary file, no "Saved", the file of that name from before
// untouched, and the conventional exit status.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "support/ChildProcess.h"
#include "support/FileSystemLimits.h"
#include "support/SoundFontBuilder.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

bool HasTemporaryFile(const std::filesystem::path& folder) {
    for (const std::string& name : FilesIn(folder))
        if (name.rfind(".quorvane-", 0) == 0)
            return true;
    return false;
}

TEST(CliInterrupt, TheFileBeingWrittenIsDiscardedAndTheStatusNamesTheSignal) {
    struct Case {
        const char* output;
        int signal;
        int status;
        const char* named;
    };
    const Case cases[] = {
        {"x.sf2", SIGINT, 130, "SIGINT"},
        {"x.sf2", SIGTERM, 143, "SIGTERM"},
        {"x.gig", SIGINT, 130, "SIGINT"},
    };
    TempDir in;
    const std::string bank = in.Write("Big.sf2", ManySamplesBank());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.output) + " " + c.named);
        TempDir out;
        const Bytes before = {'k', 'e', 'e', 'p'};
        const std::string target = out.Write(c.output, before);
        ChildProcess child(QUORVANE_CLI_PATH, {"convert", "-o", target, bank});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!HasTemporaryFile(out.Path()) && child.Running() &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_TRUE(HasTemporaryFile(out.Path())) << "the write never began";
        child.Signal(c.signal);
        const ProcessResult result = child.Finish();
        EXPECT_FALSE(result.signaled) << result.err;
        EXPECT_EQ(result.exitStatus, c.status) << result.err;
        EXPECT_EQ(result.err.find("Saved"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(std::string("interrupted (") + c.named + ")"), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("Interrupted: '" + target + "' not written."), std::string::npos);
        EXPECT_EQ(FilesIn(out.Path()), std::vector<std::string>{c.output}) << "no temporary file";
        EXPECT_EQ(ReadFileBytes(target), before);
    }
}

} // namespace
} // namespace quorvane::test
