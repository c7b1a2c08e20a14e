// Akai volumes through the session: the loader's Akai chain for both entry points, the writers' Akai steps
// (headers read before writing, loops and root keys in the zones, the engineer named after the volume
// type), and damaged discs, which must never crash, read outside the image or change it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "convert/AkaiDisc.h"
#include "convert/BankLoader.h"
#include "convert/BankWriters.h"
#include "convert/BatchSave.h"
#include "convert/SampleExport.h"
#include "convert/SampleFetch.h"
#include "formats/audio/SampleFileWriter.h"
#include "support/AkaiSineDisc.h"
#include "support/GigFileParts.h"
#include "support/SoundFontWriterFixtures.h"

namespace quorvane {
namespace {

using test::AkaiImageBuilder;
using test::AkaiPartition;
using test::AkaiVolume;

struct Session {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace workspace{host};
    std::string path = (dir.Path() / "disc.iso").string();

    explicit Session(const AkaiImageBuilder& builder) { builder.WriteSparse(path); }
};

TEST(AkaiLoadTest, VolumeLoadsThroughBothEntryPoints) {
    Session s(test::SineDisc(0x81));
    Workspace& w = s.workspace;
    ASSERT_EQ(OpenAkaiDisc(w, s.path), 1);
    EXPECT_EQ(w.bank.SourceFormat, SourceFormat::Akai);
    const std::vector<AkaiVolumeEntry> volumes = SelectAkaiPartition(w, 0);
    ASSERT_EQ(w.loader.fileList.size(), 2u);
    EXPECT_EQ(w.loader.fileList[0].text, "SINES       ");

    ASSERT_EQ(LoadBankInteractively(w, 0), LoadStatus::Loaded);
    EXPECT_EQ(s.host.formatLabels.back(), "Akai S1000 (hidden)");
    EXPECT_EQ(w.bank.PresetCount, 1u);
    EXPECT_EQ(w.bank.LayerCount, 0u) << "the interactive load leaves the programs until one is picked";
    ASSERT_EQ(w.bank.SampleCount, 5u);
    EXPECT_EQ(w.bank.SampleTable[3].name, "PAD") << "the pair's halves show under one name";
    EXPECT_EQ(w.bank.SampleTable[3].sampleType, 4);
    EXPECT_EQ(w.bank.SampleTable[4].sampleType, 2);
    w.selection.currentPreset = 1;
    ReadAkaiPrograms(w, AkaiProgramMode::RereadCurrent);
    EXPECT_EQ(w.bank.ZoneCount, 3u);

    ASSERT_EQ(LoadBankSilently(w, 0), LoadStatus::Loaded);
    EXPECT_EQ(w.bank.LayerCount, 1u);
    EXPECT_EQ(w.bank.ZoneCount, 3u);
    EXPECT_EQ(w.bank.PresetTable[1].keygroupCount, 2);

    // Playing a sample fetches it from the disc and completes its record.
    EXPECT_EQ(LoadSampleForPlay(w, 3).readErrors, 0u);
    EXPECT_EQ(w.samples.PlayLeft.FrameCount(), 500u);
    EXPECT_EQ(w.samples.PlayRight.FrameCount(), 500u);

    ASSERT_EQ(LoadBankSilently(w, 1), LoadStatus::Loaded);
    EXPECT_EQ(w.bank.PresetCount, 0u);
    EXPECT_EQ(w.bank.SampleCount, 0u);
}

TEST(AkaiLoadTest, UnreadableDirectoryShowsTheVolumeReadError) {
    AkaiImageBuilder builder = test::SineDisc();
    builder.totalSectors = 85; // the second volume's directory is cut short
    Session s(builder);
    Workspace& w = s.workspace;
    ASSERT_EQ(OpenAkaiDisc(w, s.path), 1);
    SelectAkaiPartition(w, 0);
    w.bank.SampleCount = 9;
    EXPECT_EQ(LoadBankSilently(w, 1), LoadStatus::CannotOpen);
    EXPECT_EQ(w.bank.SampleCount, 9u) << "a silent load that reads nothing keeps the model";
    EXPECT_EQ(LoadBankInteractively(w, 1), LoadStatus::CannotOpen);
    EXPECT_EQ(s.host.titles.back(), kVolumeReadError);
    EXPECT_EQ(w.bank.SampleCount, 0u);
    EXPECT_EQ(w.bank.PresetCount, 0u);
}

// The written SoundFont read back through the SoundFont loader.
BankModel ReadBack(const std::string& folder, const std::string& name) {
    test::RecordingHost host;
    Workspace reader(host);
    reader.bank.SourceFormat = SourceFormat::SoundFont;
    SetFileList(reader, folder, {FileListEntry{name, "sf2"}});
    EXPECT_EQ(LoadBankSilently(reader, 0), LoadStatus::Loaded);
    return reader.bank;
}

TEST(AkaiLoadTest, SoundFontCarriesLoopsRootKeysAndTheVolumesEngineer) {
    struct Case {
        uint8_t volumeType;
        const char* engineer;
    };
    for (const Case& c : {Case{1, "Akai S-1000"}, Case{0x83, "Akai S-3000"}, Case{0, "Akai"}}) {
        SCOPED_TRACE(c.engineer);
        Session s(test::SineDisc(c.volumeType));
        Workspace& w = s.workspace;
        ASSERT_EQ(OpenAkaiDisc(w, s.path), 1);
        SelectAkaiPartition(w, 0);
        BankSaveRequest request;
        request.entries = {0};
        request.folder = s.dir.Folder();
        request.file = s.dir.Folder() + "sines.sf2";
        const BatchResult result = SaveBanks(w, request);
        ASSERT_EQ(result.failed, 0u);
        ASSERT_EQ(result.written.size(), 1u);

        const BankModel bank = ReadBack(s.dir.Folder(), "sines");
        EXPECT_EQ(bank.BankInfo[BankInfoSlotOf("IENG")], c.engineer);
        ASSERT_EQ(bank.PresetCount, 1u);
        EXPECT_EQ(bank.PresetTable[1].name, "LEAD");
        EXPECT_EQ(bank.PresetTable[1].program, 5);
        ASSERT_EQ(bank.SampleCount, 5u);
        const SampleRecord& sine = bank.SampleTable[0];
        EXPECT_EQ(sine.name, "SINE 441");
        EXPECT_EQ(sine.rootKey, 69);
        EXPECT_EQ(sine.loopEnd, 12801u);
        EXPECT_EQ(sine.loopStart, 12801u - 6400);
        EXPECT_EQ(sine.dataLength, 14000u * 2);
        EXPECT_EQ(bank.SampleTable[2].rootKey, 81);
        ASSERT_EQ(bank.ZoneCount, 3u);
        for (uint32_t z = 0; z < 3; ++z) {
            EXPECT_EQ(bank.ZoneTable[z].generators[gen::sampleModes], 1);
            EXPECT_EQ(bank.ZoneTable[z].generators[gen::overridingRootKey], z == 2 ? 81 : 69);
        }
    }
}

TEST(AkaiLoadTest, GigaSamplerWriteReadsTheSampleHeadersFirst) {
    Session s(test::SineDisc(3));
    Workspace& w = s.workspace;
    ASSERT_EQ(OpenAkaiDisc(w, s.path), 1);
    SelectAkaiPartition(w, 0);
    ASSERT_EQ(LoadBankSilently(w, 0), LoadStatus::Loaded);
    const GigaWriteResult result = WriteGigaFile(w, WriteSelection::All(w.bank), 0,
                                                 s.dir.Folder() + "sines.gig", BankNaming::SourceBank);
    ASSERT_TRUE(result.written);
    EXPECT_NE(
        std::find(s.host.statusLines.begin(), s.host.statusLines.end(), "Reading sample information ..."),
        s.host.statusLines.end());
    // The file's first region plays the header's root key and loop; the loaded volume is left as read.
    const test::GigFileParts gig = test::ReadGigParts(test::ReadFileBytes(result.path));
    ASSERT_FALSE(gig.instruments.empty());
    ASSERT_FALSE(gig.instruments[0].regions.empty());
    ASSERT_FALSE(gig.instruments[0].regions[0].dimensionRegions.empty());
    const test::Bytes& wsmp = gig.instruments[0].regions[0].dimensionRegions[0].wsmp;
    ASSERT_GE(wsmp.size(), 36u);
    EXPECT_EQ(test::GetU32(wsmp, 4) & 0xFFFF, 69u) << "unity note";
    EXPECT_EQ(test::GetU32(wsmp, 16), 1u) << "one loop";
    EXPECT_EQ(test::GetU32(wsmp, 28), 12801u - 6400) << "loop start";
    EXPECT_EQ(w.bank.ZoneTable[0].loopEnd, 0u);
}

// Damaged and foreign discs: every listing, load, conversion and export runs to its end without reading
// outside the image, and the image is left as it was.
TEST(AkaiLoadTest, DamagedDiscsAreReadSafely) {
    using Damage = std::function<void(AkaiImageBuilder&)>;
    auto files = [](AkaiImageBuilder& b) -> std::vector<test::AkaiFile>& {
        return b.partitions[0].volumes[0].files;
    };
    struct Case {
        const char* name;
        Damage damage;
    };
    const Case cases[] = {
        {"partition size past the image",
         [](AkaiImageBuilder& b) {
             b.partitions[0].sizeUnits = 255;
             b.totalSectors = 200;
         }},
        {"volume directory past the partition",
         [](AkaiImageBuilder& b) { b.partitions[0].volumes[0].firstBlock = 0xFFFF; }},
        {"file sizes past the image",
         [&](AkaiImageBuilder& b) {
             for (auto& f : files(b))
                 f.size = 0xFFFFFF;
         }},
        {"first blocks past the image",
         [&](AkaiImageBuilder& b) {
             for (auto& f : files(b))
                 f.firstBlock = 255;
         }},
        {"first blocks past the partition",
         [&](AkaiImageBuilder& b) {
             for (auto& f : files(b))
                 f.firstBlock = 0xFFF0;
         }},
        {"keygroup count past the file", [&](AkaiImageBuilder& b) { files(b)[0].data[42] = 255; }},
        {"sample end markers past the image",
         [&](AkaiImageBuilder& b) {
             for (size_t i = 1; i < files(b).size(); ++i)
                 files(b)[i].data[36] = 0x7F; // end marker about 8 million words
         }},
        {"truncated image", [](AkaiImageBuilder& b) { b.totalSectors = 60; }},
        {"image of 0 bytes",
         [](AkaiImageBuilder& b) {
             b.partitions.clear();
             b.totalSectors = 0;
         }},
        {"not an Akai disc",
         [](AkaiImageBuilder& b) {
             b.partitions.clear();
             test::Bytes text(5000, 'x');
             b.extra = {{0, text}};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AkaiImageBuilder builder = test::SineDisc();
        builder.partitions[0].sizeUnits = 1;
        c.damage(builder);
        Session s(builder);
        const std::string before = [&] {
            std::ifstream in(s.path, std::ios::binary);
            return std::string((std::istreambuf_iterator<char>(in)), {});
        }();
        Workspace& w = s.workspace;
        const int partitions = OpenAkaiDisc(w, s.path);
        ASSERT_GE(partitions, 0);
        if (partitions == 0) {
            EXPECT_EQ(s.host.titles.back(), kNotAkaiCdrom);
        }
        for (int p = 0; p < partitions; ++p) {
            SelectAkaiPartition(w, static_cast<uint32_t>(p));
            for (uint32_t v = 0; v < w.loader.fileList.size(); ++v) {
                if (LoadBankSilently(w, v) != LoadStatus::Loaded)
                    continue;
                BankSaveRequest request;
                request.entries = {v};
                request.folder = s.dir.Folder();
                request.file = s.dir.Folder() + "out.sf2";
                SaveBanks(w, request);
                request.type = OutputType::Giga;
                request.file = s.dir.Folder() + "out.gig";
                SaveBanks(w, request);
                std::filesystem::create_directory(s.dir.Path() / "samples");
                SaveAllSamples(w, s.dir.Folder() + "samples/", SampleFileType::Wave);
            }
        }
        std::ifstream in(s.path, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), before);
    }
}

} // namespace
} // namespace quorvane
