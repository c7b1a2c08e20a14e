// The SCSI access the Akai readers use: the drives found (CD-ROM drives on the bus and disc images opened as
// drives), the drive selected, and four commands sent one at a time through one transfer buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scsi/ScsiTransport.h"

namespace quorvane {

struct ScsiDrive {
    std::unique_ptr<ScsiTransport> transport;
    std::string name; // the 24 characters of vendor and product identification
};

class ScsiLayer {
  public:
    static constexpr size_t kMaxBusDrives = 8;

    ScsiLayer();

    // Probes the device nodes (by default every /dev/sr* and /dev/sg*, in number order) and keeps the
    // CD-ROM drives among them, at most eight; a generic node of a drive already found through its CD node
    // is not listed twice. A missing or unreadable node is skipped. Replaces the drive list.
    void ScanScsiBus();
    void ScanScsiBus(const std::vector<std::string>& nodes);

    // Adds a drive reached through the transport, named from its INQUIRY reply; returns its index, or -1
    // when it does not answer INQUIRY as a CD-ROM drive.
    int AddDrive(std::unique_ptr<ScsiTransport> transport);
    // Opens a disc image (or the data file of a cue sheet) as one more drive; its index, or -1 with the
    // reason in `error`.
    int OpenImage(const std::string& path, std::string* error = nullptr);
    // Opens a drive's device node through the pass-through, or any other path as a disc image.
    int OpenDrive(const std::string& path, std::string* error = nullptr);

    uint32_t ScsiDeviceCount() const { return static_cast<uint32_t>(ScsiDevices.size()); }

    // The commands, sent to ScsiDevices[SelectedScsiDevice]. A command without a selected drive fails.
    bool TestUnitReady();
    // Sets DiskLastSector from the reply, or to 0 when the command failed.
    void ReadCapacity();
    // Reads byteCount bytes (whole sectors, at most 255 and what the buffer holds) from sector `first` into
    // ScsiBuffer, which is cleared first; returns the request status (kScsiCompleted = read).
    uint8_t ReadSectors(uint32_t first, uint32_t byteCount);

    std::vector<uint8_t> ScsiBuffer;
    std::vector<ScsiDrive> ScsiDevices;
    uint32_t SelectedScsiDevice = 0;
    uint32_t DiskLastSector = 0;

  private:
    uint8_t Send(const ScsiCommand& command);
};

// The CD-ROM and SCSI generic nodes of this machine, CD nodes first, each kind in number order.
std::vector<std::string> DefaultScsiNodes();

} // namespace quorvane
