#include "AkaiInput.h"

#include "OutputText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "convert/AkaiDisc.h"
#include "convert/BankLoader.h"
#include "convert/FileNameCharMap.h"
#include "convert/SampleFetch.h"
#include "formats/akai/AkaiNames.h"
#include "formats/akai/AkaiPrograms.h"

namespace quorvane::cli {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() < 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<VolumeAddress> VolumesOf(Workspace& workspace, uint32_t partition) {
    std::vector<VolumeAddress> volumes;
    uint32_t position = 0;
    for (const AkaiVolumeEntry& entry : ListVolumes(workspace.akai, partition))
        volumes.push_back({partition, position++, TrimTrailingBlanks(entry.name), entry.type});
    return volumes;
}

ExitCode LoadVolume(Workspace& workspace, const VolumeAddress& volume, bool inspect) {
    SelectAkaiPartition(workspace, volume.partition);
    const LoadStatus status = inspect ? LoadBankInteractively(workspace, volume.position)
                                      : LoadBankSilently(workspace, volume.position);
    if (status != LoadStatus::Loaded) {
        std::fprintf(stderr, "error: volume %s '%s': %s\n", VolumeAddressText(volume).c_str(),
                     volume.name.c_str(), kVolumeReadError);
        return kExitCannotRead;
    }
    if (inspect) {
        ReadAkaiPrograms(workspace, AkaiProgramMode::ReadAll);
        // The samples' rates, loops and tuning are in their headers on the disc.
        SampleSourceFor(workspace);
        for (uint32_t s = 0; s < workspace.bank.SampleCount; ++s)
            workspace.sources.akai.ReadHeader(s);
    }
    return kExitOk;
}

} // namespace

bool IsAkaiDiscPath(const std::string& path) {
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type == std::filesystem::file_type::block || type == std::filesystem::file_type::character)
        return true;
    InputFile file;
    return file.Open(path) && !file.ReadFailed() && !SourceFormatOfFile(file, path);
}

ExitCode OpenAkaiDiscFromPath(Workspace& workspace, const std::string& path) {
    std::string error;
    if (OpenAkaiDisc(workspace, path, &error) < 0) {
        std::fprintf(stderr, "error: cannot open '%s': %s\n", path.c_str(), error.c_str());
        return kExitCannotRead;
    }
    switch (workspace.akai.discStatus) {
    case DiscStatus::Partitions:
        return kExitOk;
    case DiscStatus::NotReady:
        std::fprintf(stderr, "error: '%s': %s\n", path.c_str(), kDriveNotReady);
        return kExitCannotRead;
    case DiscStatus::NotAkai:
        break;
    }
    std::fprintf(stderr, "error: '%s' is not a bank of a supported type (%s)\n", path.c_str(), kNotAkaiCdrom);
    return kExitNotABank;
}

ExitCode ResolveVolumes(Workspace& workspace, const std::string& address, std::vector<VolumeAddress>& volumes,
                        bool* allVolumes) {
    volumes.clear();
    const AkaiState& akai = workspace.akai;
    std::string partitionText = "A", volumeText = address;
    if (address.size() >= 2 && address[1] == '/') {
        partitionText = address.substr(0, 1);
        volumeText = address.substr(2);
    }
    const bool all = Upper(volumeText) == "ALL";
    if (allVolumes != nullptr)
        *allVolumes = all;
    if (all && address.size() == volumeText.size()) {
        for (uint32_t p = 0; p < akai.PartitionCount; ++p)
            for (const VolumeAddress& volume : VolumesOf(workspace, p))
                volumes.push_back(volume);
        return kExitOk;
    }
    const uint32_t partition =
        static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(partitionText[0])) - 'A');
    if (partition >= akai.PartitionCount) {
        std::fprintf(stderr, "error: no partition %s (the disc has %u)\n", partitionText.c_str(),
                     akai.PartitionCount);
        return kExitUsage;
    }
    const std::vector<VolumeAddress> listed = VolumesOf(workspace, partition);
    for (const VolumeAddress& volume : listed) {
        const bool match =
            all || (IsNumber(volumeText) ? volume.position + 1 == std::stoul(volumeText)
                                         : Upper(volume.name) == Upper(TrimTrailingBlanks(volumeText)));
        if (match) {
            volumes.push_back(volume);
            if (!all)
                break;
        }
    }
    if (volumes.empty() && !all) {
        std::fprintf(stderr, "error: no volume '%s' in partition %c (it has %zu volumes)\n",
                     volumeText.c_str(), 'A' + partition, listed.size());
        return kExitUsage;
    }
    return kExitOk;
}

ExitCode LoadAkaiVolume(Workspace& workspace, const VolumeAddress& volume) {
    return LoadVolume(workspace, volume, false);
}

ExitCode InspectAkaiVolume(Workspace& workspace, const VolumeAddress& volume) {
    return LoadVolume(workspace, volume, true);
}

std::string VolumeFileName(const VolumeAddress& volume) {
    // A volume without a name still gets a file (or folder) of its own, never the output folder itself.
    const std::string name = MapFileName(volume.name);
    return name.empty() ? "_" : name;
}

std::string VolumeAddressText(const VolumeAddress& volume) {
    return std::string(1, static_cast<char>('A' + volume.partition)) + "/" +
           std::to_string(volume.position + 1);
}

void PrintAkaiDisc(Workspace& workspace, bool json) {
    const AkaiState& akai = workspace.akai;
    const ScsiLayer& scsi = workspace.scsi;
    nlohmann::ordered_json root;
    root["format"] = "Akai CD-ROM";
    root["drive"] = Utf8Text(scsi.ScsiDevices[scsi.SelectedScsiDevice].name);
    root["lastSector"] = scsi.DiskLastSector;
    nlohmann::ordered_json partitions = nlohmann::ordered_json::array();
    if (!json)
        std::printf("Akai CD-ROM, %u partitions\n", akai.PartitionCount);
    for (uint32_t p = 0; p < akai.PartitionCount; ++p) {
        const std::vector<VolumeAddress> volumes = VolumesOf(workspace, p);
        nlohmann::ordered_json items = nlohmann::ordered_json::array();
        if (!json)
            std::printf("\n%s\n", TerminalText(PartitionText(akai, p)).c_str());
        for (const VolumeAddress& volume : volumes) {
            const std::string label = AkaiVolumeLabel(volume.type);
            items.push_back({{"volume", VolumeAddressText(volume)},
                             {"name", Utf8Text(volume.name)},
                             {"type", volume.type},
                             {"format", label}});
            if (!json)
                std::printf("  %-6s %-12s  %s\n", VolumeAddressText(volume).c_str(),
                            TerminalText(volume.name).c_str(), label.c_str());
        }
        partitions.push_back({{"partition", std::string(1, static_cast<char>('A' + p))},
                              {"text", Utf8Text(PartitionText(akai, p))},
                              {"startSector", akai.PartitionStart[p]},
                              {"sectors", akai.PartitionSize[p]},
                              {"volumes", items}});
    }
    root["partitions"] = partitions;
    if (json)
        std::cout << JsonDump(root, 1) << '\n';
}

} // namespace quorvane::cli
