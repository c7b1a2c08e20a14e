// The layout of an Akai S1000/S3000 CD-ROM: partitions found by their header signature, each with a table
// of up to 100 volumes; each volume with a directory of program and sample files. Every read goes through
// the SCSI layer, 2048-byte sectors addressed from the start of the disc; blocks are 4 sectors.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "model/BankModel.h"
#include "scsi/ScsiLayer.h"

namespace quorvane {

constexpr uint32_t kMaxPartitions = 32;
constexpr uint32_t kVolumeTableEntries = 100;
constexpr uint32_t kSectorsPerBlock = 4;
constexpr uint32_t kVolumeDirectoryBytes = 32768;
constexpr uint32_t kDirectoryEntryBytes = 24;
constexpr uint32_t kDirectoryEntries = kVolumeDirectoryBytes / kDirectoryEntryBytes; // 1365

constexpr const char* kNotAkaiCdrom = "NOT AKAI CDROM";
constexpr const char* kDriveNotReady = "DRIVE NOT READY!";
constexpr const char* kVolumeReadError = "SCSI READ VOLUME ERROR !";

// What the last scan of a drive found: partitions, a drive that did not answer, or a disc without an Akai
// partition.
enum class DiscStatus { Partitions, NotReady, NotAkai };

struct AkaiState {
    uint32_t PartitionCount = 0;
    DiscStatus discStatus = DiscStatus::NotAkai;
    std::array<uint32_t, kMaxPartitions> PartitionStart{}; // first sector
    std::array<uint32_t, kMaxPartitions> PartitionSize{};  // in sectors
    std::array<std::array<uint8_t, kSectorSize>, kMaxPartitions> PartitionHeaders{};
    uint32_t CurrentPartition = 0;
    // Per volume table entry of the current partition: the low four bits of its type byte, settled from
    // the directory when 0. Low two bits 3: an S3000-kind volume; anything else S1000-kind.
    std::array<uint8_t, kVolumeTableEntries> VolumeKind{};
    std::vector<uint8_t> VolumeDirectory = std::vector<uint8_t>(kVolumeDirectoryBytes);
    uint32_t VolumeDirectorySize = 0;
    // The volume table entry behind each listed volume, in list order, and the entry whose directory was
    // read last.
    std::vector<uint32_t> listedVolumes;
    uint32_t loadedVolume = 0;

    // The table entry of listed volume `position`, or kVolumeTableEntries when there is none.
    uint32_t VolumeEntryOf(uint32_t position) const;
    // The type byte of a volume table entry of the current partition.
    uint8_t VolumeType(uint32_t entry) const;
    bool IsS3000Volume(uint32_t entry) const;
    // The first sector past the current partition.
    uint64_t CurrentPartitionEnd() const;
};

struct AkaiVolumeEntry {
    uint32_t entry = 0; // position in the volume table
    std::string name;   // 12 characters, not trimmed
    uint8_t type = 0;
    uint16_t firstBlock = 0;
};

// Probes the disc for partition headers (the caller has read the capacity) and fills the partition
// members; shows "NOT AKAI CDROM" in the title when none is found. Returns the number found.
uint32_t ScanPartitions(AkaiState& akai, ScsiLayer& scsi, Host& host);
// "Partition A   (30MB)" for partition k.
std::string PartitionText(const AkaiState& akai, uint32_t partition);

// Makes `partition` current and returns its used volume table entries in table order; VolumeKind gets the
// kind of every entry.
std::vector<AkaiVolumeEntry> ListVolumes(AkaiState& akai, uint32_t partition);

// Reads the directory of volume table entry `entry` of the current partition and settles its kind.
// Returns the request status: kScsiCompleted (1) when read.
uint8_t ReadVolumeDirectory(AkaiState& akai, ScsiLayer& scsi, uint32_t entry);

// Fill the sample table and the preset table from the directory read last.
void ListAkaiSamples(BankModel& bank, const AkaiState& akai);
void ListAkaiPrograms(BankModel& bank, const AkaiState& akai);

// The label of a volume: "Akai S1000", "Akai S3000" or "Akai ?" after the type byte's low two bits, with
// " (hidden)" when bit 7 is set.
std::string AkaiVolumeLabel(uint8_t type);
// The engineer a written bank of the volume names when it has none: "Akai S-1000", "Akai S-3000" or "Akai".
std::string AkaiEngineer(uint8_t type);

} // namespace quorvane
