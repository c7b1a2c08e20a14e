// What quorvane-cli prints while it writes: by default a line per file written and the summary, -q only
// problems, -v every instrument and sample, --json the result for scripts on stdout, and on a terminal
// one progress bar redrawn in place.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <pty.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "model/Generators.h"
#include "support/PresetBanks.h"
#include "support/RunProcess.h"
#include "support/SoundFontBuilder.h"
#include "support/TempDir.h"

extern char** environ;

namespace quorvane::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class CliOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.Path() / "out");
        big = dir.Write("Big.sf2", ManyPresetsBank(300).Build());
        small = dir.Write("Small.sf2", ManyPresetsBank(3).Build());
    }
    std::string P(const std::string& name) const { return (dir.Path() / name).string(); }

    TempDir dir;
    std::string big, small;
};

TEST(CliVersion, TopLevelVersionNeedsNoCommand) {
    const ProcessResult run = RunProcess(QUORVANE_CLI_PATH, {"--version"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "quorvane-cli " QUORVANE_TEST_VERSION "\n");
}

// A split bank named with -o takes that name for its parts; each part is one line, then the summary.
TEST_F(CliOutput, DefaultIsOneLinePerFileAndTheSummary) {
    const ProcessResult run = RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", P("out/x.gig"), big});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 4u) << run.err;
    const std::vector<int> presets = {128, 128, 44};
    for (int part = 1; part <= 3; ++part) {
        const std::string path = P("out/x part" + std::to_string(part) + ".gig");
        EXPECT_TRUE(fs::exists(path)) << path;
        EXPECT_EQ(lines[part - 1].rfind(
                      "Saved '" + path + "': " + std::to_string(presets[part - 1]) + " presets, ", 0),
                  0u)
            << lines[part - 1];
    }
    EXPECT_EQ(lines[3], "3 file(s) written");
    EXPECT_FALSE(fs::exists(P("out/Big part1.gig")));
}

TEST_F(CliOutput, QuietPrintsOnlyProblemsAndVerboseEveryInstrument) {
    const ProcessResult quiet =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "-q", "--to", "gig", "-o", P("out"), small});
    ASSERT_EQ(quiet.exitStatus, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
    EXPECT_TRUE(fs::exists(P("out/Small.gig")));

    fs::create_directories(dir.Path() / "in");
    dir.Write("in/Small.sf2", ManyPresetsBank(3).Build());
    dir.Write("in/notes.sf2", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'n', 'k', '.', '.', '!'});
    const ProcessResult failing =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "--quiet", "-o", P("out"), P("in")});
    EXPECT_EQ(failing.exitStatus, 4);
    EXPECT_EQ(Lines(failing.err),
              std::vector<std::string>{"ERROR! " + P("in/notes.sf2") + " is not a bank of a supported type"});

    const ProcessResult verbose =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "--verbose", "--to", "gig", "-o", P("out/v.gig"), small});
    ASSERT_EQ(verbose.exitStatus, 0) << verbose.err;
    for (const char* said :
         {"Loading  'Small'  bank.", "Saving instrument 3  ", "Copying sample 1  ", "Saved file  '"})
        EXPECT_NE(verbose.err.find(said), std::string::npos) << said << "\n" << verbose.err;

    const ProcessResult both = RunProcess(QUORVANE_CLI_PATH, {"convert", "-q", "-v", "-o", P("out"), small});
    EXPECT_EQ(both.exitStatus, 1);
}

// Two key ranges, each with nine velocity bands and two full-velocity layers over them: more layers than
// a GigaSampler region holds, so writing it warns once per region.
Bytes CrowdedBank() {
    SoundFontBuilder sf;
    for (int s = 0; s < 11; ++s)
        sf.AddSample("S" + std::to_string(s), 40);
    Instrument instrument{.name = "I"};
    for (const auto& [low, high] : {std::pair{0, 59}, std::pair{60, 127}})
        for (uint16_t s = 0; s < 11; ++s) {
            const int velocityLow = s < 9 ? 14 * s : 0, velocityHigh = s < 8 ? 14 * s + 13 : 127;
            instrument.bags.push_back(Gens({{gen::keyRange, Range(low, high)},
                                            {gen::velRange, Range(velocityLow, velocityHigh)},
                                            {gen::sampleID, s}}));
        }
    sf.instruments = {instrument};
    sf.presets = {{.name = "P", .bags = {Gens({{gen::instrument, 0}})}}};
    return sf.Build();
}

// By default a file's warnings are counted in its line; -q prints those of one kind as one line; -v and
// --json have each.
TEST_F(CliOutput, WarningsOfOneKindAreOneLine) {
    const std::string crowded = dir.Write("Crowded.sf2", CrowdedBank());
    auto warningLines = [](const std::string& err) {
        std::vector<std::string> found;
        for (const std::string& line : Lines(err))
            if (line.find("Too many layer splits") != std::string::npos)
                found.push_back(line);
        return found;
    };
    const ProcessResult normal = RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", P("out/c.gig"), crowded});
    ASSERT_EQ(normal.exitStatus, 0) << normal.err;
    const std::vector<std::string> lines = Lines(normal.err);
    ASSERT_EQ(lines.size(), 2u) << normal.err;
    EXPECT_EQ(lines[0].rfind("Saved '", 0), 0u) << normal.err;
    EXPECT_NE(lines[0].find("; 2 warnings: Too many layer splits in region (-v lists them)"),
              std::string::npos)
        << normal.err;

    const ProcessResult quiet =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "-q", "-o", P("out/q.gig"), crowded});
    ASSERT_EQ(quiet.exitStatus, 0) << quiet.err;
    EXPECT_EQ(warningLines(quiet.err),
              std::vector<std::string>{
                  "!WARNING Too many layer splits in region [C-1 - B3]. (and 1 more like it; -v lists each)"})
        << quiet.err;
    EXPECT_EQ(Lines(quiet.err).size(), 1u) << quiet.err;

    const ProcessResult verbose =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "-v", "--json", "-o", P("out/v.gig"), crowded});
    ASSERT_EQ(verbose.exitStatus, 0) << verbose.err;
    EXPECT_EQ(warningLines(verbose.err).size(), 2u) << verbose.err;
    EXPECT_EQ(Json::parse(verbose.out)["warnings"].size(), 2u) << verbose.out;
}

TEST_F(CliOutput, JsonResultOnStdoutForConvertAndExport) {
    fs::create_directories(dir.Path() / "in");
    dir.Write("in/Big.sf2", ManyPresetsBank(300).Build());
    dir.Write("in/notes.sf2", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'a', 'n', 'k', '.', '.', '!'});
    const ProcessResult run =
        RunProcess(QUORVANE_CLI_PATH, {"convert", "--json", "--to", "gig", "-o", P("out"), P("in")});
    EXPECT_EQ(run.exitStatus, 4) << run.err;
    const Json result = Json::parse(run.out);
    EXPECT_EQ(result["command"], "convert");
    EXPECT_EQ(result["status"], 4);
    ASSERT_EQ(result["files"].size(), 3u) << run.out;
    EXPECT_EQ(result["files"][0]["path"], P("out/Big part1.gig"));
    EXPECT_EQ(result["files"][0]["presets"], 128);
    EXPECT_EQ(result["files"][0]["bytes"], fs::file_size(P("out/Big part1.gig")));
    EXPECT_EQ(result["presets"], 300);
    ASSERT_EQ(result["failures"].size(), 1u);
    EXPECT_NE(result["failures"][0].get<std::string>().find("notes.sf2 is not a bank"), std::string::npos);
    EXPECT_TRUE(result["warnings"].is_array());

    const ProcessResult exported =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "--json", "-o", P("samples"), small});
    ASSERT_EQ(exported.exitStatus, 0) << exported.err;
    const Json samples = Json::parse(exported.out);
    EXPECT_EQ(samples["command"], "export-samples");
    ASSERT_FALSE(samples["files"].empty());
    EXPECT_EQ(samples["files"].size(), static_cast<size_t>(std::distance(fs::directory_iterator(P("samples")),
                                                                         fs::directory_iterator())));
    for (const Json& file : samples["files"])
        EXPECT_EQ(file["bytes"], fs::file_size(file["path"].get<std::string>()));
}

// With stderr on a terminal the bar is drawn with carriage returns on one line and erased at the end, so
// the terminal keeps only the lines that say what was written.
TEST_F(CliOutput, ProgressBarOnATerminalRedrawsInPlace) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, master);
    std::vector<std::string> args = {QUORVANE_CLI_PATH, "convert", "--to", "gig", "-o", P("out"), big};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = ChildEnvironment();
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = -1;
    ASSERT_EQ(::posix_spawn(&child, QUORVANE_CLI_PATH, &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(slave);
    std::string shown;
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, static_cast<size_t>(n));
    ::close(master);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;

    EXPECT_NE(shown.find("\r[##############################] 100%"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Big part2.gig"), std::string::npos);
    // Every bar is erased before a line is printed, so no bar stands on a line of its own.
    std::string kept;
    for (const std::string& line : Lines(shown)) {
        const size_t erased = line.rfind("\r\033[K");
        kept += (erased == std::string::npos ? line : line.substr(erased + 4)) + "\n";
    }
    const std::vector<std::string> lines = Lines(kept);
    ASSERT_EQ(lines.size(), 4u) << kept;
    EXPECT_EQ(lines[0].rfind("Saved '" + P("out/Big part1.gig") + "'", 0), 0u) << lines[0];
    EXPECT_EQ(lines[3], "3 file(s) written\r");
}

} // namespace
} // namespace quorvane::test
