// The SCSI commands as sent, and the disc-image transport that answers them: plain and raw images of the
// same disc read the same, reads past the end fail, and a drive that is not there is simply not found.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scsi/ImageTransport.h"
#include "scsi/ScsiLayer.h"
#include "support/AkaiImageBuilder.h"
#include "support/TempDir.h"

namespace quorvane {
namespace {

using test::Bytes;

TEST(ScsiCommandTest, CommandBlocksFlagsAndTimeOuts) {
    struct Case {
        const char* name;
        ScsiCommand command;
        std::vector<uint8_t> block;
        uint8_t flags;
        uint32_t bufferLength;
        uint32_t timeoutMs;
    };
    const Case cases[] = {
        {"INQUIRY", InquiryCommand(), {0x12, 0, 0, 0, 64, 0, 0, 0, 0, 0}, 0x48, 64, 5000},
        {"TEST UNIT READY", TestUnitReadyCommand(), {0, 0, 0, 0, 0, 0}, 0x40, 0, 3000},
        {"READ CAPACITY", ReadCapacityCommand(), {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x48, 64, 5000},
        {"READ(10)",
         Read10Command(0x12345, 4096),
         {0x28, 0, 0, 0x01, 0x23, 0x45, 0, 0, 0x02, 0},
         0x48,
         4096,
         10000},
        {"READ(10) of 31 sectors",
         Read10Command(0xA1B2C3D4, 63488),
         {0x28, 0, 0xA1, 0xB2, 0xC3, 0xD4, 0, 0, 31, 0},
         0x48,
         63488,
         10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.command.blockLength, c.block.size());
        EXPECT_EQ(
            std::vector<uint8_t>(c.command.block.begin(), c.command.block.begin() + c.command.blockLength),
            c.block);
        EXPECT_EQ(c.command.flags, c.flags);
        EXPECT_EQ(c.command.bufferLength, c.bufferLength);
        EXPECT_EQ(c.command.timeoutMs, c.timeoutMs);
    }
}

// A disc whose bytes say which sector they lie in.
Bytes NumberedSectors(size_t sectors) {
    Bytes disc(sectors * kSectorSize);
    for (size_t i = 0; i < disc.size(); ++i)
        disc[i] = static_cast<uint8_t>(i / kSectorSize * 7 + i % 251);
    return disc;
}

TEST(ImageTransportTest, PlainRawAndCueImagesOfOneDiscReadAlike) {
    test::TempDir dir;
    const Bytes disc = NumberedSectors(40);
    const std::string iso = dir.Write("disc.iso", disc);
    const std::string bin = dir.Write("disc.bin", test::ToRawSectors(disc));
    std::ofstream(dir.Path() / "disc.cue")
        << "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n";
    const std::string cue = (dir.Path() / "disc.cue").string();

    for (const std::string& path : {iso, bin, cue}) {
        SCOPED_TRACE(path);
        ScsiLayer scsi;
        ASSERT_EQ(scsi.OpenImage(path), 0);
        EXPECT_EQ(scsi.ScsiDevices[0].name.substr(0, 8), "IMAGE   ");
        EXPECT_TRUE(scsi.TestUnitReady());
        scsi.ReadCapacity();
        EXPECT_EQ(scsi.DiskLastSector, 39u);
        // 33 sectors from sector 5: more than one piece of raw sectors, with a sector boundary everywhere.
        ASSERT_EQ(scsi.ReadSectors(5, 33 * kSectorSize), kScsiCompleted);
        EXPECT_TRUE(std::equal(disc.begin() + 5 * kSectorSize, disc.begin() + 38 * kSectorSize,
                               scsi.ScsiBuffer.begin()));
    }
}

TEST(ImageTransportTest, ReadsPastTheEndFailWithWhatCameBeforeAndTheRestCleared) {
    test::TempDir dir;
    Bytes disc = NumberedSectors(4);
    disc.resize(disc.size() - 1000); // a truncated last sector
    ScsiLayer scsi;
    ASSERT_EQ(scsi.OpenImage(dir.Write("cut.iso", disc)), 0);
    scsi.ReadCapacity();
    EXPECT_EQ(scsi.DiskLastSector, 2u) << "only whole sectors count";

    std::fill(scsi.ScsiBuffer.begin(), scsi.ScsiBuffer.end(), 0xEE);
    EXPECT_EQ(scsi.ReadSectors(2, 2 * kSectorSize), kScsiError);
    EXPECT_TRUE(std::equal(disc.begin() + 2 * kSectorSize, disc.end(), scsi.ScsiBuffer.begin()));
    EXPECT_TRUE(std::all_of(scsi.ScsiBuffer.begin() + static_cast<long>(disc.size() - 2 * kSectorSize),
                            scsi.ScsiBuffer.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(scsi.ReadSectors(100, kSectorSize), kScsiError);
    EXPECT_EQ(scsi.ReadSectors(0xFFFFFFFF, kSectorSize), kScsiError);
    // Requests the transfer buffer or the length field cannot carry are refused.
    EXPECT_EQ(scsi.ReadSectors(0, 40 * kSectorSize), kScsiError);
    EXPECT_EQ(scsi.ReadSectors(0, 100), kScsiError);
}

TEST(ImageTransportTest, EmptyImageHasNoCapacity) {
    test::TempDir dir;
    ScsiLayer scsi;
    ASSERT_EQ(scsi.OpenImage(dir.Write("empty.iso", {})), 0);
    scsi.DiskLastSector = 77;
    scsi.ReadCapacity();
    EXPECT_EQ(scsi.DiskLastSector, 0u);
    EXPECT_EQ(scsi.ReadSectors(0, kSectorSize), kScsiError);
}

TEST(ImageTransportTest, ImageIsOpenedReadOnlyAndNeverChanged) {
    test::TempDir dir;
    const Bytes disc = NumberedSectors(3);
    const std::string path = dir.Write("ro.iso", disc);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    {
        ScsiLayer scsi;
        ASSERT_EQ(scsi.OpenImage(path), 0);
        scsi.ReadSectors(0, 3 * kSectorSize);
    }
    std::ifstream in(path, std::ios::binary);
    const Bytes after((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(after, disc);
}

TEST(ScsiLayerTest, MissingDrivesAndImagesAreNotFound) {
    ScsiLayer scsi;
    scsi.ScanScsiBus({"/dev/no-such-sr", "/nonexistent/sg0", "/dev/null"});
    EXPECT_EQ(scsi.ScsiDeviceCount(), 0u);
    EXPECT_FALSE(scsi.TestUnitReady()) << "no drive selected";
    scsi.ReadCapacity();
    EXPECT_EQ(scsi.DiskLastSector, 0u);
    std::string error;
    EXPECT_EQ(scsi.OpenImage("/nonexistent/disc.iso", &error), -1);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(scsi.OpenImage("/tmp", &error), -1) << "a folder is no image";
}

} // namespace
} // namespace quorvane
