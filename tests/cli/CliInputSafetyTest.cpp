// Runs a careless user or a hostile file could make, each checked from outside: every input keeps its bytes,
// mode and modification time; nothing appears outside the folder the run was given; the exit status says
// what happened. One table, one row a run: the files before, the command, the status, the files after.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <thread>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "support/AkaiSineDisc.h"
#include "support/AudioFileBuilder.h"
#include "support/ChildProcess.h"
#include "support/DlsBuilder.h"
#include "support/Peers.h"
#include "support/PresetBanks.h"
#include "support/RunProcess.h"
#include "support/SoundFontWriterFixtures.h"
#include "support/TempDir.h"

namespace quorvane::test {
namespace {

namespace fs = std::filesystem;

struct FileState {
    Bytes bytes;
    mode_t mode = 0;
    timespec modified{};
};

FileState StateOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return {ReadFileBytes(path.string()), info.st_mode, info.st_mtim};
}

// Every file below root, by its path relative to root.
std::map<std::string, FileState> Tree(const fs::path& root) {
    std::map<std::string, FileState> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = StateOf(entry.path());
    return files;
}

Bytes TwentyFourBitStereoWave() {
    Bytes frames;
    for (int i = 0; i < 300; ++i)
        for (int channel = 0; channel < 2; ++channel)
            for (uint8_t byte : {uint8_t(i), uint8_t(i * 3), uint8_t(channel ? 0x40 : 0xC0)})
                frames.push_back(byte);
    return WaveForm({{"fmt ", FmtBody(1, 2, 44100, 24)}, {"data", frames}});
}

struct HostileRun {
    const char* what;
    // Makes the inputs in `in` (and files that were in the output folder before, in `out`).
    std::function<void(const fs::path& in, const fs::path& out)> before;
    // The arguments; "IN" and "OUT" stand for the two folders.
    std::vector<std::string> args;
    int status;
    // Files that appear (relative to the output folder, or to `in` for a run into its input folder).
    std::vector<std::string> outputs;
    bool intoInputFolder = false;
    // A text the run's output (stdout and stderr) holds, when it matters.
    std::string says = {};
};

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Copy(const std::string& from, const fs::path& to) {
    fs::copy_file(from, to);
}

// A bank of two samples whose second sample's header reaches past the end of the file, as in a bank cut
// short (or shrunk) after it was listed.
Bytes PastTheEnd() {
    SoundFontBuilder bank = ManyPresetsBank(2);
    bank.samples[1].end = 1'000'000;
    return bank.Build();
}

const std::vector<HostileRun>& Runs() {
    static const std::vector<HostileRun> runs = {
        {"a folder of banks converted into itself, to SoundFont",
         [](const fs::path& in, const fs::path&) {
             Copy(kTimGM6mbPath, in / "a.sf2");
             WriteFileBytes((in / "b.sf2").string(), ManyPresetsBank(3).Build());
         },
         {"convert", "-o", "IN", "IN"},
         0,
         {"a-1.sf2", "b-1.sf2"},
         true},
        {"a bank and a GigaSampler copy of another of the same name converted into their folder",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "a.sf2").string(), ManyPresetsBank(3).Build());
             WriteFileBytes((in / "other.sf2").string(), ManyPresetsBank(5).Build());
             const ProcessResult made = RunProcess(
                 QUORVANE_CLI_PATH, {"convert", "-o", (in / "a.gig").string(), (in / "other.sf2").string()});
             ASSERT_EQ(made.exitStatus, 0) << made.err;
             fs::remove(in / "other.sf2");
         },
         {"convert", "--to", "gig", "-o", "IN", "IN"},
         0,
         {"a-1.gig", "a-2.gig"},
         true},
        {"a folder of audio files exported into itself",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "deep.wav").string(), TwentyFourBitStereoWave());
         },
         {"export-samples", "-o", "IN", "IN"},
         0,
         {"deep-1.wav"},
         true},
        {"the edits file to keep named as the input bank",
         [](const fs::path& in, const fs::path&) { Copy(kTimGM6mbPath, in / "in.sf2"); },
         {"convert", "--reverb", "20", "--save-edits", "IN/in.sf2", "-o", "OUT/out.sf2", "IN/in.sf2"},
         4,
         {}},
        {"an Akai image converted onto its own name",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "disc.sf2").string(), SineDisc().Build());
         },
         {"convert", "--volume", "A/1", "-o", "IN/disc.sf2", "IN/disc.sf2"},
         0,
         {"disc-1.sf2"},
         true},
        {"a SoundFont cut inside its sample data, converted",
         [](const fs::path& in, const fs::path&) {
             Bytes bytes = ReadFileBytes(kTimGM6mbPath);
             bytes.resize(bytes.size() / 2);
             WriteFileBytes((in / "cut.sf2").string(), bytes);
         },
         {"convert", "-o", "OUT/cut.sf2", "IN/cut.sf2"},
         2,
         {}},
        {"a SoundFont cut inside its sample data, inspected",
         [](const fs::path& in, const fs::path&) {
             Bytes bytes = ReadFileBytes(kTimGM6mbPath);
             bytes.resize(bytes.size() / 2);
             WriteFileBytes((in / "cut.sf2").string(), bytes);
         },
         {"info", "IN/cut.sf2"},
         2,
         {}},
        {"a read-only file of the output's name",
         [](const fs::path& in, const fs::path& out) {
             Copy(kTimGM6mbPath, in / "in.sf2");
             WriteFileBytes((out / "out.sf2").string(), Bytes{'k', 'e', 'e', 'p'});
             fs::permissions(out / "out.sf2", fs::perms::owner_read | fs::perms::group_read);
         },
         {"convert", "-o", "OUT/out.sf2", "IN/in.sf2"},
         4,
         {}},
        {"a bank whose second sample lies past its end, exported",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "bank.sf2").string(), PastTheEnd());
         },
         {"export-samples", "-o", "OUT", "IN/bank.sf2"},
         4,
         {"Low.wav"},
         false,
         "1 files saved in '#OUT', 1 sample(s) could not be read."},
        {"a bank whose second sample lies past its end, converted",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "bank.sf2").string(), PastTheEnd());
         },
         {"convert", "-o", "OUT/copy.sf2", "IN/bank.sf2"},
         4,
         {"copy.sf2"},
         false,
         "ERROR! Reading sample 2  'High'\n"},
        {"a bank whose second sample lies past its end, converted to GigaSampler",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "bank.sf2").string(), PastTheEnd());
         },
         {"convert", "-o", "OUT/copy.gig", "IN/bank.sf2"},
         4,
         {"copy.gig"},
         false,
         "1 file(s) written\n1 sample(s) could not be read\n"},
        {"a bank named with a dot at its end, beside a bank of the name without it",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "bank.").string(), ManyPresetsBank(3).Build());
             WriteFileBytes((in / "bank").string(), ManyPresetsBank(5).Build());
         },
         {"info", "IN/bank."},
         0,
         {},
         false,
         "\n3 presets,"},
        {"a name ending in a dot that names no file",
         [](const fs::path& in, const fs::path&) {
             WriteFileBytes((in / "bank").string(), ManyPresetsBank(5).Build());
         },
         {"convert", "-o", "OUT/copy.sf2", "IN/bank."},
         2,
         {}},
        {"a link planted in the output folder under a bank's name",
         [](const fs::path& in, const fs::path& out) {
             WriteFileBytes((in / "a.sf2").string(), ManyPresetsBank(2).Build());
             WriteFileBytes((in / "b.sf2").string(), ManyPresetsBank(3).Build());
             fs::create_directories(in / "elsewhere");
             WriteFileBytes((in / "elsewhere" / "file").string(), Bytes{'m', 'i', 'n', 'e'});
             fs::create_symlink("../in/elsewhere/file", out / "a.sf2");
         },
         {"convert", "-o", "OUT", "IN/a.sf2", "IN/b.sf2"},
         4,
         {"b.sf2"}},
        {"a link planted in the output folder under a volume's name",
         [](const fs::path& in, const fs::path& out) {
             WriteFileBytes((in / "disc.iso").string(), SineDisc().Build());
             fs::create_directories(in / "elsewhere");
             fs::create_directory_symlink("../in/elsewhere", out / "SINES");
         },
         {"export-samples", "--volume", "all", "-o", "OUT", "IN/disc.iso"},
         4,
         {}},
    };
    return runs;
}

// "IN" and "OUT" at the start of an argument, or "#IN" and "#OUT" anywhere in a text, stand for the folders.
std::string Expand(std::string arg, const fs::path& in, const fs::path& out) {
    for (const auto& [name, folder] : {std::pair{"IN", in}, std::pair{"OUT", out}}) {
        if (arg.starts_with(name))
            return folder.string() + arg.substr(std::string(name).size());
        const std::string marked = std::string("#") + name;
        for (size_t at; (at = arg.find(marked)) != std::string::npos;)
            arg.replace(at, marked.size(), folder.string());
    }
    return arg;
}

TEST(CliInputSafety, NoRunChangesAnInputOrWritesOutsideItsFolder) {
    for (const HostileRun& run : Runs()) {
        SCOPED_TRACE(run.what);
        TempDir root;
        const fs::path in = root.Path() / "in", out = root.Path() / "out";
        fs::create_directories(in);
        fs::create_directories(out);
        run.before(in, out);
        const std::map<std::string, FileState> inputs = Tree(in);
        const std::map<std::string, FileState> earlier = Tree(out);
        std::vector<std::string> args;
        for (const std::string& arg : run.args)
            args.push_back(Expand(arg, in, out));

        const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, args);
        EXPECT_EQ(result.exitStatus, run.status) << result.err;

        // Every input as it was: bytes, mode and modification time.
        for (const auto& [name, state] : inputs) {
            SCOPED_TRACE(name);
            ASSERT_TRUE(fs::exists(in / name));
            const FileState now = StateOf(in / name);
            EXPECT_TRUE(now.bytes == state.bytes);
            EXPECT_EQ(now.mode, state.mode);
            EXPECT_EQ(now.modified.tv_sec, state.modified.tv_sec);
            EXPECT_EQ(now.modified.tv_nsec, state.modified.tv_nsec);
        }
        for (const auto& [name, state] : earlier)
            EXPECT_TRUE(StateOf(out / name).bytes == state.bytes) << name;
        // Nothing but the expected outputs appeared, in the folder given and nowhere else.
        std::vector<std::string> appeared;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root.Path())) {
            if (!entry.is_regular_file())
                continue;
            const bool wasThere = inputs.count(fs::relative(entry.path(), in).string()) != 0 ||
                                  earlier.count(fs::relative(entry.path(), out).string()) != 0;
            if (!wasThere)
                appeared.push_back(fs::relative(entry.path(), run.intoInputFolder ? in : out).string());
        }
        std::sort(appeared.begin(), appeared.end());
        std::vector<std::string> expected = run.outputs;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(appeared, expected) << result.err;
        if (!run.says.empty()) {
            EXPECT_NE((result.out + result.err).find(Expand(run.says, in, out)), std::string::npos)
                << result.out << result.err;
        }
    }
}

// A FIFO among the audio files of a folder, or named itself, never holds a run: nothing writes to it, so an
// open that waited for a writer would wait for ever.
TEST(CliInputSafety, AFifoIsSkippedOrRefusedWithoutWaiting) {
    TempDir root;
    WriteFileBytes(root.Folder() + "a.wav", TwentyFourBitStereoWave());
    ASSERT_EQ(::mkfifo((root.Folder() + "b.wav").c_str(), 0644), 0);
    struct Case {
        std::vector<std::string> args;
        bool succeeds;
    };
    for (const Case& c : {Case{{"info", root.Folder()}, true}, Case{{"info", root.Folder() + "b.wav"}, false},
                          Case{{"export-samples", "-o", root.Folder() + "out", root.Folder()}, true}}) {
        SCOPED_TRACE(c.args.back());
        std::filesystem::create_directories(root.Folder() + "out");
        ChildProcess child(QUORVANE_CLI_PATH, c.args);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (child.Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(child.Running()) << "the run waits on the FIFO";
        const ProcessResult result = child.Finish();
        EXPECT_EQ(result.exitStatus == 0, c.succeeds) << result.err;
    }
}

// A WAVE file whose samples would make a 16-bit copy larger than WAVE's 32-bit sizes allow (2.25 GiB of
// 8-bit frames, 4.5 GiB as 16-bit ones) is refused before its frames are fetched: they would take gigabytes
// of memory. The file is sparse, so it takes no disk.
TEST(CliInputSafety, AWaveTooLargeForItsCopyIsRefusedUnread) {
    TempDir root;
    const std::string wave = root.Folder() + "huge.wav";
    constexpr uint32_t kDataBytes = 0x90000000;
    Bytes header = WaveForm({{"fmt ", FmtBody(1, 1, 44100, 8)}, {"data", {}}});
    const auto putU32 = [&header](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    putU32(4, static_cast<uint32_t>(header.size() - 8 + kDataBytes));
    putU32(header.size() - 4, kDataBytes);
    WriteFileBytes(wave, header);
    fs::resize_file(wave, header.size() + kDataBytes);
    const ProcessResult result =
        RunProcess(QUORVANE_CLI_PATH, {"export-samples", "-o", root.Folder() + "out", root.Folder()});
    EXPECT_EQ(result.exitStatus, 4) << result.err;
    EXPECT_NE(result.err.find("too large for a WAVE or AIFF file"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_empty(root.Path() / "out"));
}

// A run that waits on a read before it writes anything (an edits file that is a pipe whose writer says
// nothing) ends at the first Ctrl-C or SIGTERM, with the conventional status and nothing written.
TEST(CliInputSafety, ASignalEndsARunWaitingOnItsInput) {
    TempDir root;
    const std::string bank = root.Folder() + "in.sf2";
    WriteFileBytes(bank, ManyPresetsBank(2).Build());
    const std::string pipe = root.Folder() + "fixes.edits";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    // Held open for writing, so that a read of it waits rather than ending at once.
    const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    for (const auto& [signal, name] : {std::pair{SIGINT, "SIGINT"}, std::pair{SIGTERM, "SIGTERM"}}) {
        SCOPED_TRACE(name);
        ChildProcess child(QUORVANE_CLI_PATH,
                           {"convert", "--edits", pipe, "-o", root.Folder() + "out.sf2", bank});
        std::this_thread::sleep_for(std::chrono::seconds(1));
        ASSERT_TRUE(child.Running()) << "the run did not wait on the pipe";
        child.Signal(signal);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (child.Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_FALSE(child.Running()) << "one signal did not end the run";
        const ProcessResult result = child.Finish();
        EXPECT_EQ(result.exitStatus, 128 + signal);
        EXPECT_NE(result.err.find(std::string("interrupted (") + name + "): nothing was written"),
                  std::string::npos)
            << result.err;
    }
    ::close(writer);
    EXPECT_FALSE(fs::exists(root.Path() / "out.sf2"));
}

// A folder of real banks and audio files converted into itself, to both bank formats, and exported into
// itself: each run reads what the runs before it wrote, and every file that was there before a run keeps
// its bytes, mode and modification time.
TEST(CliInputSafety, AFolderConvertedAndExportedIntoItselfKeepsEveryFile) {
    TempDir root;
    const fs::path folder = root.Path();
    Copy(kTimGM6mbPath, folder / "TimGM6mb.sf2");
    DlsBuilder dls;
    DlsRegion region;
    region.dimensionRegions = {{.poolIndex = 0}};
    dls.instruments = {{.name = "Tone", .regions = {region}}};
    dls.waves = {MonoWave("Tone", 400)};
    WriteFileBytes((folder / "TimGM6mb.gig").string(), dls.Build());
    WriteFileBytes((folder / "deep.wav").string(), TwentyFourBitStereoWave());
    const std::string dir = folder.string();
    for (const std::vector<std::string>& args : {std::vector<std::string>{"convert", "-o", dir, dir},
                                                 {"convert", "--to", "gig", "-o", dir, dir},
                                                 {"export-samples", "-o", dir, dir},
                                                 {"export-samples", "--to", "aiff", "-o", dir, dir}}) {
        SCOPED_TRACE(args[0] + " " + args[1] + " " + args[2]);
        const std::map<std::string, FileState> before = Tree(folder);
        const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        const std::map<std::string, FileState> after = Tree(folder);
        EXPECT_GT(after.size(), before.size()) << "the run wrote nothing";
        for (const auto& [name, state] : before) {
            SCOPED_TRACE(name);
            ASSERT_EQ(after.count(name), 1u);
            const FileState& now = after.at(name);
            EXPECT_TRUE(now.bytes == state.bytes);
            EXPECT_EQ(now.mode, state.mode);
            EXPECT_EQ(now.modified.tv_sec, state.modified.tv_sec);
            EXPECT_EQ(now.modified.tv_nsec, state.modified.tv_nsec);
        }
    }
}

// A file the program replaces keeps the permissions its owner gave it.
TEST(CliInputSafety, AReplacedOutputKeepsItsMode) {
    TempDir root;
    const std::string bank = root.Folder() + "in.sf2";
    const std::string target = root.Folder() + "private.sf2";
    WriteFileBytes(bank, ManyPresetsBank(2).Build());
    WriteFileBytes(target, Bytes{'o', 'l', 'd'});
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const ProcessResult result = RunProcess(QUORVANE_CLI_PATH, {"convert", "-o", target, bank});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(ReadFileBytes(target).size(), 3u);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

} // namespace
} // namespace quorvane::test
