// Fetching sample frames from the open bank file: widening of 8-bit data, channel selection for interleaved
// and split stereo, linked partners, and what a fetch leaves when the data cannot be had.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/BankLoader.h"
#include "convert/SampleFetch.h"
#include "support/RecordingHost.h"
#include "support/RiffBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bytes;

Bytes Words(std::initializer_list<int16_t> words) {
    Bytes bytes;
    for (int16_t word : words)
        test::PutU16(bytes, static_cast<uint16_t>(word));
    return bytes;
}

// A sample record as the fetch sees it; dataOffset and dataLength are filled in from where its bytes land.
SampleRecord Record(uint16_t bits, uint16_t channels, uint16_t stereoHalf = 0, uint16_t sampleType = 1,
                    uint16_t linkIndex = 0) {
    SampleRecord sample;
    sample.name = sample.fullName = "s";
    sample.bitsPerSample = bits;
    sample.blockAlign = static_cast<uint16_t>(bits / 8 * channels);
    sample.channels = channels;
    sample.stereoHalf = stereoHalf;
    sample.sampleType = sampleType;
    sample.linkIndex = linkIndex;
    return sample;
}

std::vector<int16_t> FramesOf(const FrameBuffer& buffer) {
    EXPECT_GE(buffer.frames.size(), buffer.FrameCount());
    return {buffer.frames.begin(),
            buffer.frames.begin() + std::min<size_t>(buffer.FrameCount(), buffer.frames.size())};
}

class SampleFetchTest : public ::testing::Test {
  protected:
    // Puts each sample's bytes into one file after a 16-byte header, points the records at them and makes
    // the file the bank the fetch reads.
    void Setup(std::vector<SampleRecord> samples, const std::vector<Bytes>& data) {
        Bytes file(16, 'h');
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i].dataOffset = static_cast<uint32_t>(file.size());
            samples[i].dataLength = static_cast<uint32_t>(data[i].size());
            file.insert(file.end(), data[i].begin(), data[i].end());
        }
        path = dir.Write("bank.sf2", file);
        SetFileList(workspace, dir.Folder(), {{"bank", "sf2"}});
        workspace.loader.currentBank = 0;
        BankModel& bank = workspace.bank;
        bank.SourceFormat = SourceFormat::SoundFont;
        bank.SampleTable = std::move(samples);
        bank.SampleCount = static_cast<uint16_t>(bank.SampleTable.size());
    }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace workspace{host};
    std::string path;
};

struct FetchCase {
    const char* what;
    std::vector<SampleRecord> samples; // sample 0 is fetched; sample 1, when given, is its partner
    std::vector<Bytes> data;
    bool skipPartner;
    std::vector<int16_t> left, right;
    uint32_t readErrors = 0;
    int lengthPastData = 0; // sample 0's dataLength claims this many bytes more than the file holds
};

TEST_F(SampleFetchTest, ExportFetchWidensSplitsAndLinksAsTheRecordSays) {
    const Bytes eight = {0x80, 0x00, 0xFF, 0x81};
    const Bytes stereo16 = Words({1, -1, 2, -2});
    const std::vector<FetchCase> cases = {
        {"8-bit mono: 0x80 is silence",
         {Record(8, 1)},
         {{0x80, 0x00, 0xFF, 0x81, 0x7F}},
         true,
         {0, -32768, 32512, 256, -256},
         {}},
        {"8-bit left half of an interleaved wave", {Record(8, 1, 1)}, {eight}, true, {0, 32512}, {}},
        {"8-bit right half", {Record(8, 1, 2)}, {eight}, true, {-32768, 256}, {}},
        {"8-bit interleaved stereo", {Record(8, 2)}, {eight}, true, {0, 32512}, {-32768, 256}},
        {"8-bit linked: the partner is read even when skipped",
         {Record(8, 2, 0, 4, 2), Record(8, 2, 0, 2, 1)},
         {{0x90}, {0x70}},
         true,
         {4096},
         {-4096}},
        {"16-bit mono as read", {Record(16, 1)}, {Words({1, -2, 3})}, true, {1, -2, 3}, {}},
        {"16-bit odd byte count ends on a whole sample",
         {Record(16, 1)},
         {{1, 0, 2, 0, 3}},
         true,
         {1, 2},
         {}},
        {"16-bit linked, partner skipped",
         {Record(16, 2, 0, 4, 2), Record(16, 2, 0, 2, 1)},
         {Words({10, 11}), Words({-10, -11})},
         true,
         {10, 11},
         {}},
        {"16-bit linked, partner wanted",
         {Record(16, 2, 0, 4, 2), Record(16, 2, 0, 2, 1)},
         {Words({10, 11}), Words({-10, -11})},
         false,
         {10, 11},
         {-10, -11}},
        {"16-bit right sample asked: it still fills the left slot",
         {Record(16, 2, 0, 2, 2), Record(16, 2, 0, 4, 1)},
         {Words({-10, -11}), Words({10, 11})},
         false,
         {-10, -11},
         {10, 11}},
        {"16-bit interleaved stereo", {Record(16, 2)}, {stereo16}, true, {1, 2}, {-1, -2}},
        {"16-bit split left half marked linked: partner not read",
         {Record(16, 1, 1, 4, 2), Record(16, 1, 2, 2, 1)},
         {stereo16, Words({99})},
         false,
         {1, 2},
         {}},
        {"16-bit split right half",
         {Record(16, 1, 2, 2, 2), Record(16, 1, 1, 4, 1)},
         {stereo16, Words({99})},
         false,
         {-1, -2},
         {}},
        {"16-bit split halves paired again: both channels",
         {Record(16, 2, 1, 4, 2), Record(16, 2, 2, 2, 1)},
         {stereo16, stereo16},
         true,
         {1, 2},
         {-1, -2}},
        {"24-bit is not read", {Record(24, 1)}, {{1, 2, 3, 4, 5, 6}}, true, {}, {}},
        {"data range past the end of the file", {Record(16, 1)}, {Words({1, 2})}, true, {}, {}, 1, 2},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.what);
        Setup(c.samples, c.data);
        workspace.bank.SampleTable[0].dataLength += c.lengthPastData;
        const FetchedSample fetched = FetchSample(workspace, 0, c.skipPartner);
        EXPECT_EQ(FramesOf(fetched.left), c.left);
        EXPECT_EQ(FramesOf(fetched.right), c.right);
        EXPECT_EQ(fetched.left.length, c.left.size() * 2);
        EXPECT_EQ(fetched.right.length, c.right.size() * 2);
        EXPECT_EQ(fetched.readErrors, c.readErrors);
        EXPECT_TRUE(host.titles.empty());
    }
}

// The player gets the partner of a linked 16-bit sample; a file that cannot be opened is shown in the
// title for the player and is silent for the writers, which learn of it from the error count.
TEST_F(SampleFetchTest, PlayFetchReadsThePartnerAndShowsAnUnopenableFile) {
    Setup({Record(16, 2, 0, 4, 2), Record(16, 2, 0, 2, 1)}, {Words({10, 11}), Words({-10, -11})});
    SampleBuffers& buffers = workspace.samples;
    LoadSampleForPlay(workspace, 0);
    EXPECT_EQ(FramesOf(buffers.PlayLeft), (std::vector<int16_t>{10, 11}));
    EXPECT_EQ(FramesOf(buffers.PlayRight), (std::vector<int16_t>{-10, -11}));
    EXPECT_TRUE(host.titles.empty());

    std::filesystem::remove(path);
    LoadSampleForPlay(workspace, 0);
    EXPECT_EQ(buffers.PlayLeft.length, 0u);
    EXPECT_EQ(buffers.PlayRight.length, 0u);
    EXPECT_EQ(host.titles, (std::vector<std::string>{"UNABLE TO OPEN FILE !"}));

    host.Forget();
    const FetchedSample fetched = FetchSample(workspace, 0, false);
    EXPECT_EQ(fetched.left.length, 0u);
    EXPECT_EQ(fetched.right.length, 0u);
    EXPECT_TRUE(host.titles.empty());
    EXPECT_EQ(fetched.readErrors, 1u);
}

// Every fetch starts from empty buffers: one that loads nothing never shows the frames of the one before.
TEST_F(SampleFetchTest, FetchThatLoadsNothingLeavesEmptyBuffers) {
    Setup({Record(16, 2), Record(24, 1)}, {Words({1, -1}), {1, 2, 3}});
    SampleBuffers& buffers = workspace.samples;
    for (uint32_t nothing : {1u, 2u}) { // an unsupported depth, an index past the table
        SCOPED_TRACE(nothing);
        LoadSampleForPlay(workspace, 0);
        ASSERT_EQ(buffers.PlayRight.length, 2u);
        LoadSampleForPlay(workspace, nothing);
        EXPECT_EQ(buffers.PlayLeft.length + buffers.PlayRight.length, 0u);
        const FetchedSample fetched = FetchSample(workspace, nothing, true);
        EXPECT_EQ(fetched.left.length + fetched.right.length, 0u);
    }
}

} // namespace
} // namespace quorvane
