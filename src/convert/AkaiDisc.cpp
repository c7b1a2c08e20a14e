#include "convert/AkaiDisc.h"

namespace quorvane {

uint32_t SelectAkaiDrive(Workspace& workspace, uint32_t drive) {
    workspace.bank.SourceFormat = SourceFormat::Akai;
    workspace.scsi.SelectedScsiDevice = drive;
    return ScanAkaiDisc(workspace);
}

int OpenAkaiDisc(Workspace& workspace, const std::string& path, std::string* error) {
    const int drive = workspace.scsi.OpenDrive(path, error);
    if (drive < 0)
        return -1;
    return static_cast<int>(SelectAkaiDrive(workspace, static_cast<uint32_t>(drive)));
}

uint32_t ScanAkaiDisc(Workspace& workspace) {
    AkaiState& akai = workspace.akai;
    ScsiLayer& scsi = workspace.scsi;
    akai.PartitionCount = 0;
    akai.listedVolumes.clear();
    workspace.loader.fileList.clear();
    workspace.loader.loadedEntry = -1;
    if (!scsi.TestUnitReady()) {
        akai.discStatus = DiscStatus::NotReady;
        workspace.host.SetTitle(kDriveNotReady);
        return 0;
    }
    scsi.ReadCapacity();
    const uint32_t found = ScanPartitions(akai, scsi, workspace.host);
    akai.discStatus = found != 0 ? DiscStatus::Partitions : DiscStatus::NotAkai;
    return found;
}

std::vector<AkaiVolumeEntry> SelectAkaiPartition(Workspace& workspace, uint32_t partition) {
    std::vector<AkaiVolumeEntry> volumes = ListVolumes(workspace.akai, partition);
    LoaderState& loader = workspace.loader;
    workspace.attributes.ClearFileList();
    loader.fileList.clear();
    for (const AkaiVolumeEntry& volume : volumes)
        loader.fileList.push_back(FileListEntry{volume.name, ""});
    loader.loadedEntry = -1;
    loader.loadedFlag = false;
    return volumes;
}

void ReadAkaiProgramsOfVolume(Workspace& workspace, AkaiProgramMode mode, bool s3000) {
    ReadNotes notes;
    ReadAkaiPrograms(workspace.bank, workspace.scsi, mode, workspace.selection.currentPreset, s3000, notes);
    for (const std::string& line : notes.lines)
        workspace.host.AddStatusLine("!WARNING " + line);
}

void ReadAkaiPrograms(Workspace& workspace, AkaiProgramMode mode) {
    const AkaiState& akai = workspace.akai;
    ReadAkaiProgramsOfVolume(workspace, mode, akai.IsS3000Volume(akai.loadedVolume));
}

} // namespace quorvane
