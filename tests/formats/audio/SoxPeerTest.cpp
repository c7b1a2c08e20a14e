// sox as an independent peer: it makes WAVE and AIFF files of every depth, channel count and byte order,
// and our fetched frames must equal its decoding of them, reduced to 16 bits by keeping the upper two
// bytes. Every file we write is read back by sox and libsndfile's sndfile-info, which must find the
// format, the frame count and the frames we fetched.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "convert/AudioFolder.h"
#include "convert/BankWriters.h"
#include "convert/SampleExport.h"
#include "convert/SampleFetch.h"
#include "support/Peers.h"
#include "support/RecordingHost.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using namespace test;

struct Encoding {
    const char* name;
    const char* bits;
    const char* encoding;
    bool floating;
};

const Encoding kEncodings[] = {
    {"u8", "8", "unsigned-integer", false}, {"s8", "8", "signed-integer", false},
    {"s16", "16", "signed-integer", false}, {"s24", "24", "signed-integer", false},
    {"s32", "32", "signed-integer", false}, {"f32", "32", "floating-point", true},
    {"f64", "64", "floating-point", true},
};

std::vector<int32_t> ReadInt32s(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int32_t> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

// Our fetch of every listed file, interleaved as the file holds it, by file name.
std::map<std::string, std::vector<int16_t>> FetchAll(Workspace& workspace) {
    std::map<std::string, std::vector<int16_t>> frames;
    for (uint32_t i = 0; i < workspace.bank.SampleCount; ++i) {
        const FetchedSample b = FetchSample(workspace, i, false);
        std::vector<int16_t>& out = frames[workspace.bank.SampleTable[i].name];
        for (uint32_t f = 0; f < b.left.FrameCount(); ++f) {
            out.push_back(b.left.frames[f]);
            if (b.right.length != 0)
                out.push_back(b.right.frames[f]);
        }
    }
    return frames;
}

class SoxPeer : public ::testing::Test {
  protected:
    void SetUp() override {
        sox_ = FindOnPath("sox");
        REQUIRE_PEER(!sox_.empty(), "sox is not on PATH: install the Debian package sox");
    }

    void Sox(const std::vector<std::string>& args) {
        const ProcessResult result = RunProcess(sox_, args);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
    }

    std::string sox_;
};

TEST_F(SoxPeer, FetchedFramesEqualWhatSoxDecodesInEveryDepth) {
    TempDir in, raw;
    std::map<std::string, bool> floating;
    for (const char* type : {"wav", "aiff"}) {
        for (const Encoding& e : kEncodings) {
            const bool wave = std::string(type) == "wav";
            // AIFF holds signed integers only.
            if (!wave && (e.floating || std::string(e.name) == "u8"))
                continue;
            if (wave && std::string(e.name) == "s8")
                continue;
            for (const char* channels : {"1", "2"}) {
                const std::string name = std::string(e.name) + "-" + channels + "." + type;
                floating[name] = e.floating;
                // Two tones, one per channel, loud enough to use the whole range.
                Sox({"-D", "-n", "-r", "22050", "-c", channels, "-b", e.bits, "-e", e.encoding,
                     in.Folder() + name, "synth", "0.05", "sine", "440", "sine", "1000", "gain", "-0.1"});
                Sox({"-D", in.Folder() + name, "-t", "raw", "-e", "signed-integer", "-b", "32", "-L",
                     raw.Folder() + name + ".raw"});
            }
        }
    }

    RecordingHost host;
    Workspace workspace(host);
    ASSERT_EQ(ListAudioFolder(workspace, in.Folder()), floating.size());
    const auto fetched = FetchAll(workspace);
    for (const auto& [name, isFloat] : floating) {
        SCOPED_TRACE(name);
        const std::vector<int32_t> decoded = ReadInt32s(raw.Folder() + name + ".raw");
        const std::vector<int16_t>& ours = fetched.at(name);
        ASSERT_EQ(ours.size(), decoded.size());
        ASSERT_GT(ours.size(), 1000u);
        size_t differences = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            const int expected = decoded[i] >> 16;
            // sox rounds a float to the nearest integer where we truncate: at most one step apart.
            if (isFloat ? std::abs(ours[i] - expected) > 1 : ours[i] != expected)
                ++differences;
        }
        EXPECT_EQ(differences, 0u);
    }
}

TEST_F(SoxPeer, SoxReadsBackEveryFileWeWrite) {
    TempDir in, out, raw;
    for (const char* channels : {"1", "2"})
        Sox({"-D", "-n", "-r", "32000", "-c", channels, "-b", "24", in.Folder() + "tone-" + channels + ".wav",
             "synth", "0.03", "sine", "440", "sine", "1000"});
    RecordingHost host;
    Workspace workspace(host);
    ASSERT_EQ(ListAudioFolder(workspace, in.Folder()), 2u);
    // A loop and a tuning on the mono file, to see them in the chunks the peers read.
    SampleRecord& mono = workspace.bank.SampleTable[0];
    mono.looped = 1;
    mono.loopStart = 10;
    mono.loopEnd = 500;
    mono.rootKey = 64;
    const auto fetched = FetchAll(workspace);

    const std::string sndfileInfo = FindOnPath("sndfile-info");
    REQUIRE_PEER(!sndfileInfo.empty(),
                 "sndfile-info is not on PATH: install the Debian package sndfile-programs");
    const std::string soxi = FindOnPath("soxi");
    REQUIRE_PEER(!soxi.empty(), "soxi is not on PATH: install the Debian package sox");
    // The 24-bit sources as they are (the default), and cut to 16 bits.
    for (const auto& [type, bits] : std::vector<std::pair<SampleFileType, int>>{{SampleFileType::Wave, 0},
                                                                                {SampleFileType::Aiff, 0},
                                                                                {SampleFileType::Wave, 16},
                                                                                {SampleFileType::Aiff, 16}}) {
        const std::string folder = out.Folder() + std::to_string(bits) + "/";
        std::filesystem::create_directories(folder);
        const SampleSaveSummary summary = SaveAllSamples(workspace, folder, type, bits);
        ASSERT_EQ(summary.written, 2u);
        for (const char* channels : {"1", "2"}) {
            const std::string stem = std::string("tone-") + channels;
            const std::string file = folder + stem + (type == SampleFileType::Aiff ? ".aif" : ".wav");
            SCOPED_TRACE(file);
            const std::vector<int16_t>& ours = fetched.at(stem + ".wav");
            const std::string frames = std::to_string(ours.size() / std::stoi(channels));
            for (const auto& [option, expected] : std::vector<std::pair<std::string, std::string>>{
                     {"-c", channels}, {"-r", "32000"}, {"-b", bits == 16 ? "16" : "24"}, {"-s", frames}}) {
                const ProcessResult info = RunProcess(soxi, {option, file});
                EXPECT_EQ(info.out, expected + "\n") << option << info.err;
            }
            // Read without a warning: an AIFF sound data block size other than 0 makes sox warn. Read as
            // 32 bits, which sox widens without dither; the upper 16 bits are the words we fetched.
            const ProcessResult back = RunProcess(sox_, {file, "-t", "raw", "-e", "signed-integer", "-b",
                                                         "32", "-L", raw.Folder() + "back.raw"});
            EXPECT_EQ(back.exitStatus, 0) << back.err;
            EXPECT_EQ(back.err, "");
            std::vector<int16_t> upper;
            for (int32_t value : ReadInt32s(raw.Folder() + "back.raw"))
                upper.push_back(static_cast<int16_t>(value >> 16));
            EXPECT_EQ(upper, ours);
            if (std::string(channels) == "1") {
                const ProcessResult info = RunProcess(sndfileInfo, {file});
                EXPECT_EQ(info.exitStatus, 0) << info.err;
                if (type == SampleFileType::Wave) {
                    EXPECT_NE(info.out.find("Midi Note    : 64"), std::string::npos) << info.out;
                    EXPECT_NE(info.out.find("Start :    10  End :   499"), std::string::npos) << info.out;
                } else {
                    EXPECT_NE(info.out.find("Base Note : 64"), std::string::npos) << info.out;
                    EXPECT_NE(info.out.find("Block Size : 0\n"), std::string::npos) << info.out;
                }
            }
        }
    }
}

} // namespace
} // namespace quorvane
