// Fetching the frames of a listed audio file: float conversion with its clipping, each depth's reduction
// to 16 bits in both byte orders, channel splitting, and what a fetch leaves when it cannot load.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include <sndfile.h>

#include "convert/AudioFolder.h"
#include "convert/SampleFetch.h"
#include "support/AudioFileBuilder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using namespace test;

template <typename T> Bytes Raw(std::initializer_list<T> values) {
    Bytes bytes(values.size() * sizeof(T));
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

std::vector<int16_t> Frames(const FrameBuffer& buffer) {
    return {buffer.frames.begin(), buffer.frames.begin() + buffer.FrameCount()};
}

// An AIFF-C common chunk: the AIFF fields, the compression type and an empty name.
Bytes AifcComm(uint16_t channels, uint32_t frames, uint16_t bits, const char* compression) {
    Bytes b = CommBody(channels, frames, bits, 8000);
    b.insert(b.end(), compression, compression + 4);
    b.insert(b.end(), {0, 0});
    return b;
}

struct FetchCase {
    const char* what;
    std::string fileName;
    Bytes bytes;
    std::vector<int16_t> left, right;
};

TEST(AudioFileFetch, EachFormatReducedTo16Bits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {1.0, -1.0, 0.5, 2.0, nan, -nan, -0.5, 1e-10, -0.75};
    const std::vector<int16_t> expected = {0x7FFF, -32768, 0x4000, 0x7FFF, 0x7FFF, -32768, -16384, 0, -24576};
    Bytes floats, doubles;
    for (double v : values) {
        const float f = static_cast<float>(v);
        floats.insert(floats.end(), reinterpret_cast<const uint8_t*>(&f),
                      reinterpret_cast<const uint8_t*>(&f) + 4);
        doubles.insert(doubles.end(), reinterpret_cast<const uint8_t*>(&v),
                       reinterpret_cast<const uint8_t*>(&v) + 8);
    }
    const std::vector<FetchCase> cases = {
        {"32-bit float",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(3, 1, 44100, 32)}, {"data", floats}}),
         expected,
         {}},
        {"64-bit float",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(3, 1, 44100, 64)}, {"data", doubles}}),
         expected,
         {}},
        {"unsigned 8-bit WAVE",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 1, 8000, 8)}, {"data", {0x80, 0x00, 0xFF}}}),
         {0, -32768, 32512},
         {}},
        {"signed 8-bit AIFF",
         "a.aif",
         AiffForm({{"COMM", CommBody(1, 3, 8, 8000)}, {"SSND", SsndBody({0x00, 0x80, 0x7F})}}),
         {0, -32768, 32512},
         {}},
        {"24-bit AIFF keeps its upper two bytes",
         "a.aif",
         AiffForm({{"COMM", CommBody(1, 1, 24, 8000)}, {"SSND", SsndBody({0x12, 0x34, 0x56})}}),
         {0x1234},
         {}},
        {"24-bit WAVE",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 1, 8000, 24)}, {"data", {0x56, 0x34, 0x12}}}),
         {0x1234},
         {}},
        {"24-bit stereo WAVE in 4-byte containers (block align 8), the samples in their low bytes",
         "a.wav",
         [] {
             Bytes b = WaveForm({{"fmt ", FmtBody(1, 2, 8000, 24)},
                                 {"data",
                                  {0x56, 0x34, 0x12, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0xFF, 0xFF,
                                   0xFF, 0x7F, 0x00}}});
             PatchU32(b, 28, 8000 * 8); // byte rate
             b[32] = 8;                 // block align
             return b;
         }(),
         {0x1234, -32768},
         {-1, 0x7FFF}},
        {"16-bit stereo AIFF-C \"sowt\" (.aifc) is little-endian PCM",
         "a.aifc",
         AiffForm({{"COMM", AifcComm(2, 2, 16, "sowt")}, {"SSND", SsndBody(Raw<int16_t>({1, -1, 0x1234, -2}))}},
                  "AIFC"),
         {1, 0x1234},
         {-1, -2}},
        {"24-bit AIFF-C \"sowt\"",
         "a.aif",
         AiffForm({{"COMM", AifcComm(1, 1, 24, "sowt")}, {"SSND", SsndBody({0x56, 0x34, 0x12})}}, "AIFC"),
         {0x1234},
         {}},
        {"16-bit AIFF-C \"twos\" stays big-endian",
         "a.aifc",
         AiffForm({{"COMM", AifcComm(1, 1, 16, "twos")}, {"SSND", SsndBody({0x12, 0x34})}}, "AIFC"),
         {0x1234},
         {}},
        {"A-law AIFF-C (\"alaw\"), stereo, one byte a sample though the header says 16 bits",
         "a.aifc",
         AiffForm({{"COMM", AifcComm(2, 2, 16, "alaw")}, {"SSND", SsndBody({0xD5, 0x55, 0xAA, 0x2A})}}, "AIFC"),
         {8, 32256},
         {-8, -32256}},
        {"u-law AIFF-C (\"ULAW\")",
         "a.aifc",
         AiffForm({{"COMM", AifcComm(1, 4, 8, "ULAW")}, {"SSND", SsndBody({0xFF, 0x80, 0x00, 0x7E})}}, "AIFC"),
         {0, 32124, -32124, -8},
         {}},
        {"A-law WAVE (format 6)",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(6, 1, 8000, 8)}, {"data", {0xD5, 0xAA}}}),
         {8, 32256},
         {}},
        {"32-bit stereo AIFF, split",
         "a.aif",
         AiffForm({{"COMM", CommBody(2, 2, 32, 8000)},
                   {"SSND",
                    SsndBody({0x12, 0x34, 0x56, 0x78, 0xFF, 0xFE, 0, 0, 0x80, 0, 0, 1, 0x7F, 0xFF, 0, 0})}}),
         {0x1234, -32768},
         {-2, 0x7FFF}},
        {"16-bit stereo WAVE, split; a trailing half frame is dropped",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 2, 8000, 16)}, {"data", Raw<int16_t>({1, -1, 2, -2, 3})}}),
         {1, 2},
         {-1, -2}},
        {"data past the end of the file: the frames the file holds",
         "a.wav",
         [] {
             Bytes b = WaveForm({{"fmt ", FmtBody(1, 1, 8000, 16)}, {"data", Raw<int16_t>({7, 8})}});
             PatchU32(b, 40, 1000000);
             return b;
         }(),
         {7, 8},
         {}},
        {"zero channels load nothing",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 0, 8000, 16)}, {"data", Bytes(8, 1)}}),
         {},
         {}},
        {"three channels load nothing",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 3, 8000, 16)}, {"data", Bytes(12, 1)}}),
         {},
         {}},
        {"zero bits load nothing",
         "a.wav",
         WaveForm({{"fmt ", FmtBody(1, 1, 8000, 0)}, {"data", Bytes(8, 1)}}),
         {},
         {}},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Write(c.fileName, c.bytes);
        RecordingHost host;
        Workspace workspace(host);
        ASSERT_EQ(ListAudioFolder(workspace, dir.Folder()), 1u);
        const FetchedSample fetched = FetchSample(workspace, 0, false);
        EXPECT_EQ(Frames(fetched.left), c.left);
        EXPECT_EQ(Frames(fetched.right), c.right);
        const SampleBuffers& buffers = workspace.samples;
        LoadSampleForPlay(workspace, 0);
        EXPECT_EQ(Frames(buffers.PlayLeft), c.left);
        EXPECT_EQ(Frames(buffers.PlayRight), c.right);
        EXPECT_TRUE(host.titles.empty());
    }
}

// Every one of the 256 codes of each G.711 law, in an AIFF-C and a WAVE file, expands to the value
// libsndfile reads from the same file.
TEST(AudioFileFetch, EveryG711CodeExpandsAsLibsndfileReadsIt) {
    Bytes codes(256);
    for (size_t i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<uint8_t>(i);
    const std::vector<FetchCase> files = {
        {"A-law AIFF-C", "a.aifc",
         AiffForm({{"COMM", AifcComm(1, 256, 16, "alaw")}, {"SSND", SsndBody(codes)}}, "AIFC")},
        {"u-law AIFF-C", "a.aifc",
         AiffForm({{"COMM", AifcComm(1, 256, 8, "ulaw")}, {"SSND", SsndBody(codes)}}, "AIFC")},
        {"A-law WAVE", "a.wav", WaveForm({{"fmt ", FmtBody(6, 1, 8000, 8)}, {"data", codes}})},
        {"u-law WAVE", "a.wav", WaveForm({{"fmt ", FmtBody(7, 1, 8000, 8)}, {"data", codes}})},
    };
    for (const FetchCase& c : files) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = dir.Write(c.fileName, c.bytes);
        SF_INFO info{};
        SNDFILE* peer = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(peer, nullptr) << sf_strerror(nullptr);
        std::vector<int16_t> expected(256);
        expected.resize(static_cast<size_t>(sf_read_short(peer, expected.data(), 256)));
        sf_close(peer);
        ASSERT_EQ(expected.size(), 256u);

        RecordingHost host;
        Workspace workspace(host);
        ASSERT_EQ(ListAudioFolder(workspace, dir.Folder()), 1u);
        EXPECT_EQ(Frames(FetchSample(workspace, 0, false).left), expected);
    }
}

TEST(AudioFileFetch, AFileGoneSinceTheListingLoadsNothing) {
    TempDir dir;
    const std::string path =
        dir.Write("a.wav", WaveForm({{"fmt ", FmtBody(1, 1, 8000, 16)}, {"data", Raw<int16_t>({1, 2})}}));
    RecordingHost host;
    Workspace workspace(host);
    ASSERT_EQ(ListAudioFolder(workspace, dir.Folder()), 1u);
    std::filesystem::remove(path);
    EXPECT_EQ(FetchSample(workspace, 0, false).left.length, 0u);
    EXPECT_TRUE(host.titles.empty()) << "an export fetch fails silently";
    LoadSampleForPlay(workspace, 0);
    EXPECT_EQ(workspace.samples.PlayLeft.length, 0u);
    EXPECT_EQ(host.titles, (std::vector<std::string>{"UNABLE TO OPEN FILE !"}));
}

} // namespace
} // namespace quorvane
