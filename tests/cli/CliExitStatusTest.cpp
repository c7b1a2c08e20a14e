// How quorvane-cli ends when it cannot do its work: scripts tell the causes apart by the exit status
// alone (1 usage, 2 the file cannot be opened or read, 3 not a bank of a supported type), and stdout
// stays empty so that a failed `info --json` never feeds half a result to the next program in a pipe.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RiffBuilder.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

class CliExitStatus : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string notes = "Shopping list: strings, reeds, a new bow.\n";
        dir_.Write("notes.txt", Bytes(notes.begin(), notes.end()));
        dir_.Write("empty.sf2", {});
        // Starts like a SoundFont but ends before the form type.
        dir_.Write("short.sf2", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f'});
        // A well-formed RIFF file of a form no reader knows.
        dir_.Write("video.sf2", Form("AVI ", {{"avih", Bytes(56, 0)}}));
    }

    std::string In(const std::string& name) const { return (dir_.Path() / name).string(); }

    TempDir dir_;
};

struct ExitCase {
    const char* what;
    std::vector<std::string> args;
    int status;
};

TEST_F(CliExitStatus, FailuresGiveTheirStatusAMessageAndNoOutput) {
    const std::vector<ExitCase> cases = {
        {"no arguments", {}, 1},
        {"unknown option", {"--frobnicate"}, 1},
        {"unknown command", {"frobnicate"}, 1},
        {"info without a file", {"info"}, 1},
        {"unknown option of info, before the file is looked at",
         {"info", "--frobnicate", In("absent.sf2")},
         1},
        {"missing file", {"info", In("absent.sf2")}, 2},
        {"missing file, JSON", {"info", "--json", In("absent.sf2")}, 2},
        {"missing folder", {"info", In("no-such-folder/bank.sf2")}, 2},
        {"text file", {"info", In("notes.txt")}, 3},
        {"empty file", {"info", In("empty.sf2")}, 3},
        {"file shorter than the type key", {"info", "--json", In("short.sf2")}, 3},
        {"RIFF form of an unknown type", {"info", "--json", In("video.sf2")}, 3},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProcessResult result = RunProcess(QUORVANE_CLI_PATH, c.args);
        EXPECT_FALSE(result.signaled) << result.err;
        EXPECT_EQ(result.exitStatus, c.status) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "") << "a failure must say what went wrong";
    }
}

TEST_F(CliExitStatus, HelpGoesToStdoutAndSucceeds) {
    // ./run shows this help until the desktop program exists.
    ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"--help"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("info"), std::string::npos) << result.out;
}

} // namespace
} // namespace quorvane::test
