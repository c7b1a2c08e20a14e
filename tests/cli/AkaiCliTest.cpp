// quorvane-cli on Akai discs: the disc listing, one volume shown as any bank, the --volume addressing in
// info, convert and export-samples, the same reading from plain and raw images, and the exit statuses of
// discs that cannot be read. libgig's akaiextract, run as a black box, must read our images as we do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/AkaiSineDisc.h"
#include "support/Peers.h"
#include "support/RunProcess.h"

namespace quorvane::test {
namespace {

using Json = nlohmann::json;

class AkaiCli : public ::testing::Test {
  protected:
    void SetUp() override {
        AkaiImageBuilder builder = SineDisc();
        // Partition B repeats a volume name of partition A.
        AkaiVolume again{"SINES", 3};
        again.files = {SampleFile(AkaiSample{"ONE", SineFrames(441, 300)}, true)};
        builder.partitions.push_back(AkaiPartition{1, {again}});
        iso_ = (dir_.Path() / "disc.iso").string();
        builder.WriteSparse(iso_);
        std::ifstream in(iso_, std::ios::binary);
        const Bytes cooked((std::istreambuf_iterator<char>(in)), {});
        bin_ = dir_.Write("disc.bin", ToRawSectors(cooked));
    }

    ProcessResult Cli(const std::vector<std::string>& args) const {
        return RunProcess(QUORVANE_CLI_PATH, args);
    }

    TempDir dir_;
    std::string iso_, bin_;
};

TEST_F(AkaiCli, ListsPartitionsAndVolumes) {
    const ProcessResult text = Cli({"info", iso_});
    ASSERT_EQ(text.exitStatus, 0) << text.err;
    EXPECT_NE(text.out.find("Partition A   (2MB)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("A/2    EMPTY         Akai S1000"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("B/1    SINES         Akai S3000"), std::string::npos) << text.out;

    const ProcessResult json = Cli({"info", "--json", iso_});
    ASSERT_EQ(json.exitStatus, 0) << json.err;
    const Json disc = Json::parse(json.out);
    ASSERT_EQ(disc["partitions"].size(), 2u);
    EXPECT_EQ(disc["partitions"][1]["startSector"], 1024);
    EXPECT_EQ(disc["partitions"][0]["volumes"][1]["name"], "EMPTY");
}

TEST_F(AkaiCli, VolumeShowsAsABankAndReadsTheSameFromRawSectors) {
    const ProcessResult iso = Cli({"info", "--json", "--volume", "A/sines", iso_});
    ASSERT_EQ(iso.exitStatus, 0) << iso.err;
    const Json bank = Json::parse(iso.out);
    EXPECT_EQ(bank["format"], "Akai S1000");
    EXPECT_EQ(bank["volume"], "A/1");
    ASSERT_EQ(bank["presets"].size(), 1u);
    EXPECT_EQ(bank["presets"][0]["keygroupCount"], 2);
    EXPECT_EQ(bank["zones"].size(), 3u);
    EXPECT_EQ(bank["samples"][2]["rootKey"], 81);
    EXPECT_EQ(bank["samples"][2]["loopEnd"], 12801);

    const ProcessResult bin = Cli({"info", "--json", "--volume", "A/1", bin_});
    ASSERT_EQ(bin.exitStatus, 0) << bin.err;
    EXPECT_EQ(bin.out, iso.out);

    const ProcessResult s3000 = Cli({"info", "--json", "--volume", "B/1", iso_});
    ASSERT_EQ(s3000.exitStatus, 0) << s3000.err;
    EXPECT_EQ(Json::parse(s3000.out)["format"], "Akai S3000");
}

TEST_F(AkaiCli, ConvertsAndExportsTheVolumesNamed) {
    const std::string out = dir_.Folder() + "out";
    const ProcessResult all = Cli({"convert", "--volume", "all", "-o", out, iso_});
    ASSERT_EQ(all.exitStatus, 0) << all.err;
    for (const char* name : {"SINES.sf2", "EMPTY.sf2", "SINES (2).sf2"})
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(out) / name)) << name;

    const std::string gig = dir_.Folder() + "lead.gig";
    const ProcessResult one = Cli({"convert", "--volume", "A/1", "--preset", "1", "-o", gig, bin_});
    ASSERT_EQ(one.exitStatus, 0) << one.err;
    EXPECT_GT(std::filesystem::file_size(gig), 84000u);

    const ProcessResult samples =
        Cli({"export-samples", "--volume", "A/1", "-o", dir_.Folder() + "wav", iso_});
    ASSERT_EQ(samples.exitStatus, 0) << samples.err;
    EXPECT_NE(samples.out.find("4 files saved"), std::string::npos) << samples.out;
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "wav" / "PAD.wav"));
}

TEST_F(AkaiCli, DiscsThatCannotBeReadEndWithTheirStatus) {
    const std::string empty = dir_.Write("empty.iso", {});
    const std::string text = dir_.Write("notes.iso", Bytes(10000, 'x'));
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases = {
        {"no such volume", {"info", "--volume", "A/9", iso_}, 1},
        {"no such partition", {"info", "--volume", "Q/1", iso_}, 1},
        {"convert without a volume", {"convert", "-o", dir_.Folder() + "x.sf2", iso_}, 1},
        {"preset of several volumes",
         {"convert", "--volume", "all", "--preset", "1", "-o", dir_.Folder(), iso_},
         1},
        {"missing image", {"info", "--volume", "A/1", dir_.Folder() + "absent.iso"}, 2},
        {"image of 0 bytes", {"info", empty}, 3},
        {"not an Akai disc", {"info", "--volume", "A/1", text}, 3},
        {"not an Akai disc, convert", {"convert", "--volume", "all", "-o", dir_.Folder(), text}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProcessResult result = Cli(c.args);
        EXPECT_FALSE(result.signaled) << result.err;
        EXPECT_EQ(result.exitStatus, c.status) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
    EXPECT_NE(Cli({"info", text}).err.find("NOT AKAI CDROM"), std::string::npos);
}

TEST_F(AkaiCli, AkaiextractReadsTheDiscAsWeDo) {
    const std::string akaiextract = FindOnPath("akaiextract");
    REQUIRE_PEER(!akaiextract.empty(), "akaiextract is not on PATH: install the Debian package gigtools");
    // With no answer to its question it lists the disc and extracts nothing. It finds partition A only: it
    // does not step on by the first partition's size (2 MB here) to the partition behind it.
    const ProcessResult peer = RunProcess(akaiextract, {iso_, dir_.Folder() + "extracted"});
    const ProcessResult ours = Cli({"info", "--json", "--volume", "A/1", iso_});
    ASSERT_EQ(ours.exitStatus, 0) << ours.err;
    const Json bank = Json::parse(ours.out);
    const std::string& listing = peer.out;
    EXPECT_NE(listing.find("Partition A"), std::string::npos) << listing;
    EXPECT_NE(listing.find("'SINES'"), std::string::npos) << listing;
    EXPECT_NE(listing.find("'LEAD'"), std::string::npos) << listing;
    EXPECT_NE(
        listing.find("Number of key groups: " + std::to_string(int{bank["presets"][0]["keygroupCount"]})),
        std::string::npos)
        << listing;
    for (const Json& sample : bank["samples"]) {
        std::string name = sample["fullName"];
        name.erase(name.find_last_not_of(' ') + 1);
        const std::string line = "'" + name + "'";
        const size_t at = listing.find(line);
        ASSERT_NE(at, std::string::npos) << name << "\n" << listing;
        const std::string frames = "Number of samples: " + std::to_string(int{sample["dataLength"]} / 2) +
                                   " (" + std::to_string(int{sample["sampleRate"]}) + " Hz)";
        EXPECT_EQ(listing.find(frames, at), listing.find("Number of samples", at)) << name << "\n" << listing;
    }
}

} // namespace
} // namespace quorvane::test
