// What quorvane-cli promises about files, checked from outside as a user would see it: the bank it reads
// is never changed (bytes, modification and change times), and a write that fails at any point (the disk
// full at several sizes, the output folder removed, the source cut short in the middle of a sample) leaves
// neither a partial output nor a temporary file, and never says "Saved".
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "support/ChildProcess.h"
#include "support/DamagedBanks.h"
#include "support/FileSystemLimits.h"
#include "support/PresetBanks.h"
#include "support/SoundFontWriterFixtures.h"

namespace quorvane::test {
namespace {

namespace fs = std::filesystem;

struct FileState {
    Bytes bytes;
    timespec modified{};
    timespec changed{};
};

FileState StateOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return {ReadFileBytes(path), info.st_mtim, info.st_ctim};
}

bool Same(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::vector<std::vector<std::string>> EveryCommand(const std::string& input, const std::string& out) {
    return {{"info", input},
            {"info", "--json", input},
            {"convert", "-o", out + "/x.sf2", input},
            {"convert", "-o", out + "/x.gig", input},
            {"export-samples", "-o", out + "/samples", input}};
}

TEST(CliFileSafety, TheBankReadIsNeverChanged) {
    struct Case {
        const char* what;
        Damage damage;
        size_t cutTo; // 0: whole
    };
    const std::vector<Case> cases = {
        {"undamaged", {}, 0},
        {"cut in half", {}, 1},
        {"a chunk claims 4 GB", {.declaredSize = {{"*", 0xFFFFFFF0u}}, .appendToChunk = {}, .omit = {}}, 0},
        {"a chunk claims nothing", {.declaredSize = {{"*", 0u}}, .appendToChunk = {}, .omit = {}}, 0},
    };
    for (const DamageBase& base : DamageBases()) {
        std::map<std::string, ChunkPlace> layout;
        base.build({}, &layout);
        for (Case c : cases) {
            SCOPED_TRACE(base.name + ": " + c.what);
            // The damaged chunk: the last one that holds no sample data.
            if (c.damage.declaredSize.count("*") != 0) {
                const uint32_t size = c.damage.declaredSize["*"];
                c.damage.declaredSize.clear();
                for (const auto& [path, place] : layout)
                    if (!base.isSampleData(path))
                        c.damage.declaredSize = {{path, size}};
            }
            Bytes bytes = base.build(c.damage, nullptr);
            if (c.cutTo != 0)
                bytes.resize(bytes.size() / 2);
            TempDir in, out;
            const std::string input = in.Write("bank" + base.extension, bytes);
            // An old time, so that any write to the file would show.
            const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
            ::utimensat(AT_FDCWD, input.c_str(), old, 0);
            const FileState before = StateOf(input);
            for (const std::vector<std::string>& args : EveryCommand(input, out.Path().string())) {
                const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, args);
                EXPECT_FALSE(result.signaled) << args[0] << " " << args[1] << ": " << result.err;
            }
            const FileState after = StateOf(input);
            EXPECT_EQ(after.bytes, before.bytes);
            EXPECT_TRUE(Same(after.modified, before.modified));
            EXPECT_TRUE(Same(after.changed, before.changed));
            EXPECT_EQ(FilesIn(in.Path()), std::vector<std::string>{"bank" + base.extension});
        }
    }
}

bool NoTemporaryFile(const fs::path& folder) {
    for (const std::string& name : FilesIn(folder))
        if (name.rfind(".quorvane-", 0) == 0)
            return false;
    return true;
}

// A disk that fills at sizes from the first bytes to one byte short of the whole output: conversions
// leave nothing at all, sample exports only complete files.
TEST(CliFileSafety, ADiskThatFillsLeavesNothingPartial) {
    TempDir in;
    SoundFontBuilder sf = ManyPresetsBank(3);
    for (int s = 0; s < 6; ++s)
        sf.AddSample("Long " + std::to_string(s), 20000);
    const std::string bank = in.Write("bank.sf2", sf.Build());
    for (const char* extension : {".sf2", ".gig"}) {
        TempDir whole;
        ASSERT_EQ(RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", whole.Folder() + "x" + extension, bank})
                      .exitStatus,
                  0);
        const rlim_t size = fs::file_size(whole.Path() / (std::string("x") + extension));
        for (rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{4096}, size / 2, size - 1}) {
            SCOPED_TRACE(std::string(extension) + " limit " + std::to_string(limit));
            TempDir out;
            ChildProcess child(QUORVANE_CLI_PATH, {"convert", "-o", out.Folder() + "x" + extension, bank},
                               {.fileSize = limit});
            const ProcessResult result = child.Finish();
            EXPECT_EQ(result.exitStatus, 4) << result.err;
            EXPECT_EQ(result.err.find("Saved"), std::string::npos) << result.err;
            EXPECT_TRUE(FilesIn(out.Path()).empty()) << ::testing::PrintToString(FilesIn(out.Path()));
        }
    }
    TempDir out;
    ChildProcess child(QUORVANE_CLI_PATH, {"export-samples", "-o", out.Folder(), bank}, {.fileSize = 20000});
    const ProcessResult result = child.Finish();
    EXPECT_EQ(result.exitStatus, 4) << result.err;
    EXPECT_TRUE(NoTemporaryFile(out.Path()));
    for (const std::string& name : FilesIn(out.Path())) {
        const Bytes wave = ReadFileBytes((out.Path() / name).string());
        ASSERT_GE(wave.size(), 8u) << name;
        EXPECT_EQ(GetU32(wave, 4) + 8u, wave.size()) << name << " is complete";
    }
}

// Something goes wrong once the output's temporary file exists. The output folder removed: the write fails
// and nothing is made again. The source cut short: the samples that cannot be read are each reported
// ("ERROR! Reading sample") and the bank is still written whole around them, as for a damaged bank, but the
// run ends with how many could not be read and status 4, so that a script can tell; no temporary file
// stays either way.
TEST(CliFileSafety, AWriteThatFailsMidwayLeavesNothing) {
    enum class Mishap { FolderRemoved, SourceCut };
    struct Case {
        const char* what;
        Mishap mishap;
        const char* extension;
    };
    const Case cases[] = {
        {"folder removed", Mishap::FolderRemoved, ".sf2"},
        {"folder removed", Mishap::FolderRemoved, ".gig"},
        {"source cut short", Mishap::SourceCut, ".sf2"},
        {"source cut short", Mishap::SourceCut, ".gig"},
    };
    const Bytes bytes = ManySamplesBank();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + c.extension);
        TempDir in, out;
        const std::string bank = in.Write("bank.sf2", bytes);
        const fs::path folder = out.Path() / "into";
        fs::create_directory(folder);
        ChildProcess child(QUORVANE_CLI_PATH, {"convert", "-o", (folder / "x").string() + c.extension, bank});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (NoTemporaryFile(folder) && child.Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_FALSE(NoTemporaryFile(folder)) << "the write never began";
        if (c.mishap == Mishap::FolderRemoved)
            fs::remove_all(folder);
        else
            fs::resize_file(bank, bytes.size() / 2);
        const ProcessResult result = child.Finish();
        EXPECT_FALSE(result.signaled) << result.err;
        if (c.mishap == Mishap::FolderRemoved) {
            EXPECT_EQ(result.exitStatus, 4) << result.err;
            EXPECT_EQ(result.err.find("Saved"), std::string::npos) << result.err;
            EXPECT_TRUE(FilesIn(out.Path()).empty()) << "the folder is not made again";
            continue;
        }
        EXPECT_EQ(result.exitStatus, 4);
        EXPECT_NE(result.err.find("ERROR! Reading sample 4000  'Sample 3999'"), std::string::npos);
        EXPECT_NE(result.err.find(" sample(s) could not be read\n"), std::string::npos) << result.err;
        const std::string written = (folder / "x").string() + c.extension;
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"x" + std::string(c.extension)});
        EXPECT_EQ(RunProcess(QUORVANE_CLI_PATH, {"info", written}).exitStatus, 0);
    }
}

} // namespace
} // namespace quorvane::test
