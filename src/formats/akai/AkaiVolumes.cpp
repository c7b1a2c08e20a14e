#include "formats/akai/AkaiVolumes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "formats/akai/AkaiNames.h"

namespace quorvane {

namespace {

constexpr uint8_t kPartitionSignature[8] = {5, 13, 10, 26, 15, 39, 20, 52};
constexpr uint32_t kSectorsPerSizeUnit = 1024;
constexpr uint32_t kDefaultScanStep = 30720; // 60 MB
constexpr size_t kVolumeTableOffset = 202;
constexpr size_t kVolumeEntryBytes = 16;

uint16_t U16At(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// One directory entry as the listings read it.
struct DirectoryEntry {
    const uint8_t* bytes;

    unsigned NameSum() const {
        unsigned sum = 0;
        for (size_t i = 0; i < kAkaiNameLength; ++i)
            sum += bytes[i];
        return sum;
    }
    uint8_t Type() const { return bytes[16] & 127; }
    uint32_t Size() const { return bytes[17] | bytes[18] << 8 | static_cast<uint32_t>(bytes[19]) << 16; }
    uint16_t FirstBlock() const { return U16At(bytes + 20); }
    bool IsSample() const { return Type() == 3 || Type() == 0x73; }
    bool IsProgram() const { return Type() == 0x70; }
};

DirectoryEntry EntryAt(const AkaiState& akai, uint32_t k) {
    return DirectoryEntry{akai.VolumeDirectory.data() + k * kDirectoryEntryBytes};
}

const uint8_t* VolumeEntryBytes(const AkaiState& akai, uint32_t entry) {
    return akai.PartitionHeaders[akai.CurrentPartition].data() + kVolumeTableOffset +
           kVolumeEntryBytes * entry;
}

bool StartsInPartition(const AkaiState& akai, const DirectoryEntry& entry) {
    return kSectorsPerBlock * uint32_t{entry.FirstBlock()} < akai.PartitionSize[akai.CurrentPartition];
}

uint32_t SectorOf(const AkaiState& akai, const DirectoryEntry& entry) {
    return akai.PartitionStart[akai.CurrentPartition] + kSectorsPerBlock * uint32_t{entry.FirstBlock()};
}

} // namespace

uint32_t AkaiState::VolumeEntryOf(uint32_t position) const {
    return position < listedVolumes.size() ? listedVolumes[position] : kVolumeTableEntries;
}

uint8_t AkaiState::VolumeType(uint32_t entry) const {
    if (entry >= kVolumeTableEntries || CurrentPartition >= PartitionCount)
        return 0;
    return VolumeEntryBytes(*this, entry)[12];
}

bool AkaiState::IsS3000Volume(uint32_t entry) const {
    return entry < kVolumeTableEntries && (VolumeKind[entry] & 3) == 3;
}

uint64_t AkaiState::CurrentPartitionEnd() const {
    if (CurrentPartition >= PartitionCount)
        return 0;
    return uint64_t{PartitionStart[CurrentPartition]} + PartitionSize[CurrentPartition];
}

uint32_t ScanPartitions(AkaiState& akai, ScsiLayer& scsi, Host& host) {
    akai.PartitionCount = 0;
    uint64_t position = 0;
    uint64_t step = kDefaultScanStep;
    for (int probe = 0; probe < static_cast<int>(kMaxPartitions) && position < scsi.DiskLastSector; ++probe) {
        const uint8_t* sector = scsi.ScsiBuffer.data();
        const bool header =
            scsi.ReadSectors(static_cast<uint32_t>(position), kSectorSize) == kScsiCompleted &&
            std::memcmp(sector + 4, kPartitionSignature, sizeof kPartitionSignature) == 0 && sector[1] != 0;
        if (!header) {
            position += step;
            continue;
        }
        const uint32_t n = akai.PartitionCount++;
        const uint32_t size = sector[1] * kSectorsPerSizeUnit;
        akai.PartitionStart[n] = static_cast<uint32_t>(position);
        akai.PartitionSize[n] = size;
        std::memcpy(akai.PartitionHeaders[n].data(), sector, kSectorSize);
        position += size;
        if (probe == 0)
            step = size;
    }
    if (akai.PartitionCount == 0)
        host.SetTitle(kNotAkaiCdrom);
    return akai.PartitionCount;
}

std::string PartitionText(const AkaiState& akai, uint32_t partition) {
    char text[40];
    std::snprintf(text, sizeof text, "Partition %c   (%1iMB)", 'A' + static_cast<int>(partition),
                  static_cast<int>(akai.PartitionSize[partition] / 512));
    return text;
}

std::vector<AkaiVolumeEntry> ListVolumes(AkaiState& akai, uint32_t partition) {
    std::vector<AkaiVolumeEntry> volumes;
    akai.listedVolumes.clear();
    akai.VolumeKind.fill(0);
    if (partition >= akai.PartitionCount)
        return volumes;
    akai.CurrentPartition = partition;
    for (uint32_t v = 0; v < kVolumeTableEntries; ++v) {
        const uint8_t* entry = VolumeEntryBytes(akai, v);
        akai.VolumeKind[v] = entry[12] & 15;
        const uint16_t firstBlock = U16At(entry + 14);
        if (firstBlock == 0)
            continue;
        volumes.push_back({v, AkaiName(entry), entry[12], firstBlock});
        akai.listedVolumes.push_back(v);
    }
    return volumes;
}

uint8_t ReadVolumeDirectory(AkaiState& akai, ScsiLayer& scsi, uint32_t entry) {
    akai.VolumeDirectorySize = 0;
    if (entry >= kVolumeTableEntries || akai.CurrentPartition >= akai.PartitionCount)
        return 0;
    akai.loadedVolume = entry;
    const uint32_t firstBlock = U16At(VolumeEntryBytes(akai, entry) + 14);
    const uint64_t sector =
        uint64_t{akai.PartitionStart[akai.CurrentPartition]} + kSectorsPerBlock * firstBlock;
    // A directory that starts at the disc's first sectors, or runs past its partition, belongs to no volume.
    if (sector < kSectorsPerBlock ||
        uint64_t{kSectorsPerBlock} * firstBlock + kVolumeDirectoryBytes / kSectorSize >
            akai.PartitionSize[akai.CurrentPartition])
        return 0;
    const uint8_t status = scsi.ReadSectors(static_cast<uint32_t>(sector), kVolumeDirectoryBytes);
    if (status != kScsiCompleted)
        return status;
    std::memcpy(akai.VolumeDirectory.data(), scsi.ScsiBuffer.data(), kVolumeDirectoryBytes);
    akai.VolumeDirectorySize = kVolumeDirectoryBytes;
    if (akai.VolumeKind[entry] == 0) {
        const uint8_t type = akai.VolumeDirectory[16];
        if (type >= 0xF0)
            akai.VolumeKind[entry] = 0x83;
        else if ((type & 0xF0) == 0x70)
            akai.VolumeKind[entry] = 0x81;
    }
    return status;
}

void ListAkaiSamples(BankModel& bank, const AkaiState& akai) {
    bank.SampleTable.clear();
    bank.SampleCount = 0;
    if (akai.VolumeDirectorySize == 0)
        return;
    // The directory ends at an entry with neither name nor place.
    auto walk = [&](auto&& visit) {
        for (uint32_t k = 0; k < kDirectoryEntries; ++k) {
            const DirectoryEntry entry = EntryAt(akai, k);
            if (entry.NameSum() == 0 && entry.FirstBlock() == 0)
                break;
            if (entry.IsSample() && StartsInPartition(akai, entry))
                visit(entry);
        }
    };
    size_t count = 0;
    walk([&](const DirectoryEntry&) { ++count; });
    bank.SampleTable.assign(count + 20, SampleRecord{});
    walk([&](const DirectoryEntry& entry) {
        SampleRecord& sample = bank.SampleTable[bank.SampleCount++];
        sample.fullName = AkaiName(entry.bytes);
        sample.name = TrimTrailingBlanks(sample.fullName);
        sample.channels = 1;
        sample.bitsPerSample = 16;
        sample.blockAlign = 2;
        sample.dataOffset = SectorOf(akai, entry);
        sample.listed = 1;
        sample.dataLength = entry.Size() > 150 ? entry.Size() - 150 : 1;
    });
}

void ListAkaiPrograms(BankModel& bank, const AkaiState& akai) {
    bank.PresetCount = bank.LayerCount = bank.ZoneCount = 0;
    if (akai.VolumeDirectorySize == 0)
        return;
    // Unlike the sample listing, an entry without a name or without a place ends the walk.
    auto walk = [&](auto&& visit) {
        for (uint32_t k = 0; k < kDirectoryEntries; ++k) {
            const DirectoryEntry entry = EntryAt(akai, k);
            if (entry.NameSum() == 0 || entry.FirstBlock() == 0)
                break;
            if (entry.IsProgram() && StartsInPartition(akai, entry))
                visit(entry);
        }
    };
    size_t count = 0;
    walk([&](const DirectoryEntry&) { ++count; });
    if (count == 0)
        return;
    bank.PresetTable.assign(count + 2, PresetRecord{});
    walk([&](const DirectoryEntry& entry) {
        PresetRecord& preset = bank.PresetTable[++bank.PresetCount];
        preset.name = TrimTrailingBlanks(AkaiName(entry.bytes));
        preset.programSector = SectorOf(akai, entry);
    });
}

std::string AkaiVolumeLabel(uint8_t type) {
    std::string label = (type & 3) == 1 ? "Akai S1000" : (type & 3) == 3 ? "Akai S3000" : "Akai ?";
    if (type & 0x80)
        label += " (hidden)";
    return label;
}

std::string AkaiEngineer(uint8_t type) {
    return (type & 3) == 1 ? "Akai S-1000" : (type & 3) == 3 ? "Akai S-3000" : "Akai";
}

} // namespace quorvane
