// Partitions, volumes and directories of Akai discs made by the image builder: the partition scan's steps,
// names in the Akai character set, the two listings' different end rules, and the volume kind.
#include <gtest/gtest.h>

#include "formats/akai/AkaiVolumes.h"
#include "support/AkaiImageBuilder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::AkaiFile;
using test::AkaiImageBuilder;
using test::AkaiPartition;
using test::AkaiVolume;

// The disc as a drive, capacity read, partitions scanned.
struct Disc {
    test::TempDir dir;
    ScsiLayer scsi;
    AkaiState akai;
    test::RecordingHost host;

    explicit Disc(const AkaiImageBuilder& builder) {
        const std::string path = (dir.Path() / "disc.iso").string();
        builder.WriteSparse(path);
        EXPECT_EQ(scsi.OpenImage(path), 0);
        scsi.ReadCapacity();
        ScanPartitions(akai, scsi, host);
    }
};

AkaiFile File(const std::string& name, uint8_t type, size_t size) {
    return AkaiFile{name, type, test::Bytes(size, 0)};
}

TEST(AkaiVolumesTest, ScanStepsByTheFirstPartitionsSizeOverSectorsThatAreNoHeader) {
    AkaiImageBuilder builder;
    AkaiPartition notAHeader{15};
    notAHeader.signature = false;
    builder.partitions = {AkaiPartition{15}, AkaiPartition{15}, notAHeader, AkaiPartition{60}};
    Disc disc(builder);
    ASSERT_EQ(disc.akai.PartitionCount, 3u);
    EXPECT_EQ(disc.akai.PartitionStart[0], 0u);
    EXPECT_EQ(disc.akai.PartitionStart[1], 15360u);
    EXPECT_EQ(disc.akai.PartitionStart[2], 46080u)
        << "the 30 MB step passes over the sector without signature";
    EXPECT_EQ(disc.akai.PartitionSize[2], 61440u);
    EXPECT_EQ(PartitionText(disc.akai, 0), "Partition A   (30MB)");
    EXPECT_EQ(PartitionText(disc.akai, 2), "Partition C   (120MB)");
    EXPECT_TRUE(disc.host.titles.empty());
}

TEST(AkaiVolumesTest, DiscWithoutPartitionHeaderIsNotAkai) {
    AkaiImageBuilder builder;
    AkaiPartition zeroSize{0};
    builder.partitions = {zeroSize};
    builder.totalSectors = 40000;
    Disc disc(builder);
    EXPECT_EQ(disc.akai.PartitionCount, 0u);
    EXPECT_EQ(disc.host.titles, std::vector<std::string>{kNotAkaiCdrom});
}

TEST(AkaiVolumesTest, VolumeNamesKindsAndListPositions) {
    AkaiImageBuilder builder;
    AkaiVolume abc{"", 0x81};
    abc.rawName = std::array<uint8_t, 12>{11, 12, 13, 10, 10, 10, 10, 10, 10, 10, 10, 10};
    AkaiVolume unused{"GONE"};
    unused.unused = true;
    AkaiVolume odd{"A#+-._Z9"};
    odd.rawName = std::array<uint8_t, 12>{11, 37, 38, 39, 40, 41, 63, 36, 9, 64 + 11, 10, 10};
    builder.partitions = {AkaiPartition{1, {abc, unused, odd, AkaiVolume{"S3", 3}}}};
    Disc disc(builder);
    const std::vector<AkaiVolumeEntry> volumes = ListVolumes(disc.akai, 0);
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].name, "ABC         ");
    EXPECT_EQ(volumes[1].name, "A#+-.__Z9A  ") << "codes past '.' show '_'; bits 6 and 7 are not part of it";
    EXPECT_EQ(volumes[2].name, "S3          ");
    EXPECT_EQ(disc.akai.VolumeKind[0], 1);
    EXPECT_EQ(disc.akai.VolumeKind[3], 3);
    // The list skips the unused entry; each listed volume still reads its own table entry.
    EXPECT_EQ(disc.akai.VolumeEntryOf(1), 2u);
    EXPECT_EQ(disc.akai.VolumeEntryOf(2), 3u);
    EXPECT_EQ(disc.akai.VolumeEntryOf(3), kVolumeTableEntries);
    EXPECT_EQ(AkaiVolumeLabel(0x81), "Akai S1000 (hidden)");
    EXPECT_EQ(AkaiVolumeLabel(3), "Akai S3000");
    EXPECT_EQ(AkaiVolumeLabel(0), "Akai ?");
}

TEST(AkaiVolumesTest, SampleAndProgramListingsEndByTheirOwnRules) {
    AkaiImageBuilder builder;
    AkaiFile placeless = File("PLACELESS", 0x73, 400);
    placeless.firstBlock = 0;
    AkaiFile outside = File("OUTSIDE", 0x73, 400);
    outside.firstBlock = 256; // sector 1024: past the 2 MB partition
    AkaiFile nameless = File("", 0x73, 400);
    nameless.rawName = std::array<uint8_t, 12>{};
    AkaiVolume volume{"V"};
    volume.files = {File("PROG 1", 0x70, 300),
                    File("SHORT", 0x73, 150),
                    placeless,
                    File("PROG 2", 0xF0, 300),
                    outside,
                    File("THREE", 3, 1000),
                    nameless,
                    File("PROG 3", 0x70, 300),
                    File("AFTER", 0xF3, 2000)};
    builder.partitions = {AkaiPartition{1, {volume}}};
    Disc disc(builder);
    ListVolumes(disc.akai, 0);
    ASSERT_EQ(ReadVolumeDirectory(disc.akai, disc.scsi, 0), kScsiCompleted);
    EXPECT_EQ(disc.akai.VolumeDirectorySize, kVolumeDirectoryBytes);

    BankModel bank;
    ListAkaiSamples(bank, disc.akai);
    ListAkaiPrograms(bank, disc.akai);
    std::vector<std::string> samples;
    for (uint32_t s = 0; s < bank.SampleCount; ++s)
        samples.push_back(bank.SampleTable[s].name);
    EXPECT_EQ(samples, (std::vector<std::string>{"SHORT", "PLACELESS", "THREE", "000000000000", "AFTER"}))
        << "a sample entry goes on past an entry without place or without name, not past one without both";
    ASSERT_EQ(bank.PresetCount, 1u) << "programs end at the first entry without place";
    EXPECT_EQ(bank.PresetTable[1].name, "PROG 1");
    EXPECT_EQ(bank.PresetTable[1].programSector, 4u * builder.FileBlock(0, 0, 0));

    const SampleRecord& shortSample = bank.SampleTable[0];
    EXPECT_EQ(shortSample.fullName, "SHORT       ");
    EXPECT_EQ(shortSample.dataLength, 1u) << "150 bytes: a header and no frames";
    EXPECT_EQ(bank.SampleTable[2].dataLength, 850u);
    EXPECT_EQ(shortSample.dataOffset, 4u * builder.FileBlock(0, 0, 1));
    EXPECT_EQ(bank.SampleTable[1].dataOffset, 0u);
    EXPECT_EQ(shortSample.listed, 1);
    EXPECT_EQ(shortSample.channels, 1);
}

TEST(AkaiVolumesTest, KindOfAnUntypedVolumeComesFromItsFirstFile) {
    struct Case {
        uint8_t tableType;
        uint8_t firstFileType;
        uint8_t kind;
    };
    const Case cases[] = {{0, 0xF3, 0x83}, {0, 0xF0, 0x83}, {0, 0x73, 0x81}, {0, 0x70, 0x81},
                          {0, 3, 0},       {3, 0x73, 3},    {0x81, 0xF3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "type " << int{c.tableType} << ", first file " << int{c.firstFileType});
        AkaiImageBuilder builder;
        AkaiVolume volume{"V", c.tableType};
        volume.files = {File("F", c.firstFileType, 200)};
        builder.partitions = {AkaiPartition{1, {volume}}};
        Disc disc(builder);
        ListVolumes(disc.akai, 0);
        ASSERT_EQ(ReadVolumeDirectory(disc.akai, disc.scsi, 0), kScsiCompleted);
        EXPECT_EQ(disc.akai.VolumeKind[0], c.kind);
        EXPECT_EQ(disc.akai.IsS3000Volume(0), (c.kind & 3) == 3);
    }
}

TEST(AkaiVolumesTest, DirectoryOutsideItsPartitionOrTheDiscIsNotRead) {
    struct Case {
        const char* name;
        uint16_t firstBlock;
        uint8_t status;
    };
    // A volume of the second partition (1024 sectors = 256 blocks from sector 1024), on a disc cut at
    // sector 1500.
    const Case cases[] = {{"in the partition, past the disc", 200, kScsiError},
                          {"running past the partition", 253, 0},
                          {"far past the partition", 60000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AkaiImageBuilder builder;
        AkaiVolume volume{"V"};
        volume.files = {File("F", 0x73, 200)};
        volume.firstBlock = c.firstBlock;
        builder.partitions = {AkaiPartition{1}, AkaiPartition{1, {volume}}};
        builder.totalSectors = 1500;
        Disc disc(builder);
        ASSERT_EQ(disc.akai.PartitionCount, 2u);
        ListVolumes(disc.akai, 1);
        EXPECT_EQ(ReadVolumeDirectory(disc.akai, disc.scsi, 0), c.status);
        EXPECT_EQ(disc.akai.VolumeDirectorySize, 0u);
    }
}

} // namespace
} // namespace quorvane
