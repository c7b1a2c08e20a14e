// MIDI input: the byte stream taken apart into channel messages (running status, system messages, any
// garbage), and a real input port end to end: a JACK server of the test's own with its dummy back end (no
// sound hardware), an RtMidi output port playing the keyboard, our input queueing what arrives.
#include <gtest/gtest.h>

#include <RtMidi.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/MessageRing.h"
#include "audio/MidiStream.h"
#include "audio/RtMidiInputs.h"
#include "support/Peers.h"
#include "support/RunProcess.h"

extern char** environ;

namespace quorvane {
namespace {

using audio::MidiStream;
using Bytes = std::vector<uint8_t>;
using Messages = std::vector<uint32_t>;

Messages Parse(MidiStream& stream, const Bytes& bytes) {
    Messages out;
    stream.Feed(bytes.data(), bytes.size(), [&out](uint32_t message) { out.push_back(message); });
    return out;
}

TEST(MidiStreamTest, ChannelMessagesComeOutWholeAndEverythingElseIsDropped) {
    struct Case {
        const char* what;
        Bytes bytes;
        Messages expected;
    };
    const Case cases[] = {
        {"note-on", {0x90, 60, 100}, {0x643C90}},
        {"running status", {0x91, 60, 100, 62, 0, 64, 90}, {0x643C91, 0x003E91, 0x5A4091}},
        {"one-byte messages under running status", {0xC5, 3, 4, 0xD2, 99}, {0x03C5, 0x04C5, 0x63D2}},
        {"pitch bend and key pressure", {0xE0, 0x00, 0x40, 0xA1, 60, 7}, {0x4000E0, 0x073CA1}},
        {"real time inside a message", {0xB0, 0xF8, 7, 0xFE, 50, 0xFA, 51}, {0x3207B0}},
        {"system exclusive ends the running status",
         {0x90, 60, 100, 0xF0, 0x7E, 60, 0xF7, 62, 100},
         {0x643C90}},
        {"an unfinished system exclusive before a note", {0xF0, 1, 2, 3, 0x80, 60, 64}, {0x403C80}},
        {"system common ends the running status",
         {0x90, 60, 1, 0xF2, 0x10, 0x20, 0x11, 0xF3, 5, 60, 2},
         {0x013C90}},
        {"data bytes with no status", {60, 100, 0x7F}, {}},
        {"a message cut short by the next status", {0x90, 60, 0xB0, 7, 100}, {0x6407B0}},
    };
    for (const Case& c : cases) {
        MidiStream stream;
        EXPECT_EQ(Parse(stream, c.bytes), c.expected) << c.what;
    }

    // Running status carries across deliveries (a keyboard's bytes may come in pieces); Reset forgets it.
    MidiStream stream;
    EXPECT_EQ(Parse(stream, {0x90, 60}), Messages{});
    EXPECT_EQ(Parse(stream, {100, 62}), Messages{0x643C90});
    EXPECT_EQ(Parse(stream, {90}), Messages{0x5A3E90});
    stream.Reset();
    EXPECT_EQ(Parse(stream, {64, 90}), Messages{});
}

TEST(MidiStreamTest, AnyBytesGiveOnlyWellFormedChannelMessages) {
    std::mt19937 random(15);
    std::uniform_int_distribution<int> byte(0, 255);
    MidiStream stream;
    Bytes bytes(200000);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(byte(random));
    const Messages messages = Parse(stream, bytes);
    EXPECT_GT(messages.size(), 1000u);
    for (uint32_t message : messages) {
        const uint32_t status = message & 0xFF;
        ASSERT_GE(status, 0x80u);
        ASSERT_LE(status, 0xEFu);
        ASSERT_EQ(message & 0xFF808000u, 0u) << std::hex << message;
        if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
            ASSERT_EQ(message >> 16, 0u);
        }
    }
}

TEST(MessageRingTest, KeepsOrderAcrossThreadsAndDropsWhatFindsItFull) {
    audio::MessageRing<64> ring;
    for (uint32_t i = 0; i < 70; ++i)
        ring.Push(i);
    EXPECT_EQ(ring.Dropped(), 6u);
    uint32_t message = 0;
    for (uint32_t i = 0; i < 64; ++i) {
        ASSERT_TRUE(ring.Pop(message));
        ASSERT_EQ(message, i);
    }
    EXPECT_FALSE(ring.Pop(message));

    // A producer thread against this one: every message that was not dropped arrives, in order.
    constexpr uint32_t kCount = 20000;
    std::thread producer([&ring] {
        for (uint32_t i = 1; i <= kCount; ++i)
            while (!ring.Push(i))
                std::this_thread::yield();
    });
    uint32_t expected = 1;
    while (expected <= kCount) {
        if (ring.Pop(message)) {
            ASSERT_EQ(message, expected);
            ++expected;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
}

// A JACK server of the test's own, with the dummy back end, under a name no other server has; reached by
// this process's clients through JACK_DEFAULT_SERVER.
class JackServer {
  public:
    JackServer() : name_("quorvane-test-" + std::to_string(::getpid())) {
        const std::string jackd = test::FindOnPath("jackd");
        if (jackd.empty()) {
            error_ = "jackd is not installed (Debian jackd2)";
            return;
        }
        const char* old = std::getenv("JACK_DEFAULT_SERVER");
        hadOld_ = old != nullptr;
        old_ = hadOld_ ? old : "";
        ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        ::setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        std::vector<std::string> args = {jackd, "--no-realtime", "-n", name_, "-d", "dummy",
                                         "-r",  "44100",         "-p", "128"};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawn(&pid_, jackd.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            error_ = "jackd could not be started";
            return;
        }
        // jack_lsp answers once the server takes clients; it never starts one itself.
        const std::string lsp = test::FindOnPath("jack_lsp");
        for (int tries = 0; tries < 100; ++tries) {
            if (!lsp.empty() && test::RunProcess(lsp, {}).exitStatus == 0)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        error_ = "the JACK server with the dummy back end did not start";
    }
    ~JackServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (hadOld_)
            ::setenv("JACK_DEFAULT_SERVER", old_.c_str(), 1);
        else
            ::unsetenv("JACK_DEFAULT_SERVER");
    }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Running() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

  private:
    std::string name_;
    pid_t pid_ = -1;
    std::string error_;
    std::string old_;
    bool hadOld_ = false;
};

// Takes what arrives within a second, until `count` messages have come.
Messages Receive(audio::RtMidiInputs& inputs, size_t count) {
    Messages got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
        uint32_t message = 0;
        if (inputs.Next(message))
            got.push_back(message);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return got;
}

TEST(RtMidiInputsTest, AKeyboardOnARealPortReachesTheQueue) {
    JackServer server;
    REQUIRE_PEER(server.Running(), server.Error());

    RtMidiOut keyboard(RtMidi::UNIX_JACK, "quorvane-keyboard");
    keyboard.openVirtualPort("keys");
    audio::RtMidiInputs inputs(audio::RtMidiInputs::Backend::Jack, "quorvane-test-input");
    ASSERT_TRUE(inputs.Available());
    const std::vector<std::string> names = inputs.Names();
    int index = -1;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].find("quorvane-keyboard") != std::string::npos)
            index = static_cast<int>(i);
    ASSERT_GE(index, 0) << "the keyboard's port is not listed";
    EXPECT_LE(names.size(), static_cast<size_t>(audio::kMaxMidiInputs));

    EXPECT_EQ(inputs.Open(static_cast<int>(names.size()) + 3), audio::PortResult::Failed);
    EXPECT_FALSE(inputs.IsOpen());
    ASSERT_EQ(inputs.Open(index), audio::PortResult::Opened);
    EXPECT_TRUE(inputs.IsOpen());
    // JACK connects the ports at its next cycle.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const std::vector<Bytes> sent = {
        {0x90, 60, 100},
        {62, 90}, // running status
        {0xF8},   // clock
        {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7},
        {64, 80}, // data bytes after a system exclusive message: no status holds
        {0xB3, 7, 50},
        {0xC5, 3},
        {0xFE}, // active sensing
        {0x90, 60, 0},
    };
    for (const Bytes& message : sent) {
        Bytes copy = message;
        keyboard.sendMessage(&copy);
    }
    EXPECT_EQ(Receive(inputs, 5), (Messages{0x643C90, 0x5A3E90, 0x3207B3, 0x03C5, 0x003C90}));

    // Closing drops what is queued; opening again starts afresh.
    Bytes late = {0x80, 60, 0};
    keyboard.sendMessage(&late);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    inputs.Close();
    EXPECT_FALSE(inputs.IsOpen());
    uint32_t message = 0;
    EXPECT_FALSE(inputs.Next(message));
    ASSERT_EQ(inputs.Open(index), audio::PortResult::Opened);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Bytes again = {0x99, 36, 127};
    keyboard.sendMessage(&again);
    EXPECT_EQ(Receive(inputs, 1), Messages{0x7F2499});
    inputs.Close();
}

TEST(RtMidiInputsTest, NoMidiSystemListsNothingAndOpensNothing) {
    // A JACK server name that no server has: the client answers with no inputs.
    ::setenv("JACK_DEFAULT_SERVER", "quorvane-test-no-such-server", 1);
    audio::RtMidiInputs inputs(audio::RtMidiInputs::Backend::Jack);
    ::unsetenv("JACK_DEFAULT_SERVER");
    EXPECT_TRUE(inputs.Names().empty());
    EXPECT_EQ(inputs.Open(0), audio::PortResult::Failed);
    EXPECT_FALSE(inputs.IsOpen());
    uint32_t message = 0;
    EXPECT_FALSE(inputs.Next(message));
    inputs.Close();
}

} // namespace
} // namespace quorvane
