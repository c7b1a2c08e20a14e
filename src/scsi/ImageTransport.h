// A disc image file that answers INQUIRY, TEST UNIT READY, READ CAPACITY and READ(10) like a CD-ROM drive
// holding the disc. Plain images hold 2048-byte sectors (.iso, .img); raw images hold 2352-byte sectors
// (.bin, found through a .cue sheet or directly) whose user data follows the sync and header bytes. The
// file is opened read-only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scsi/ScsiTransport.h"

namespace quorvane {

class ImageTransport : public ScsiTransport {
  public:
    ImageTransport() = default;
    ~ImageTransport() override;
    ImageTransport(const ImageTransport&) = delete;
    ImageTransport& operator=(const ImageTransport&) = delete;

    // Opens an image, or the data file a .cue sheet names; false (with the reason in Error()) when it
    // cannot be opened.
    bool Open(const std::string& path);

    uint8_t Execute(const ScsiCommand& command, uint8_t* buffer) override;
    const std::string& Path() const override { return path_; }

    const std::string& Error() const { return error_; }
    uint32_t SectorCount() const { return sectorCount_; }
    // Bytes per sector in the file (2048 or 2352) and where a sector's 2048 bytes of user data begin.
    uint32_t StoredSectorSize() const { return storedSectorSize_; }
    uint32_t UserDataOffset() const { return userDataOffset_; }

  private:
    bool OpenData(const std::string& dataPath, int cueMode);
    uint8_t Inquiry(const ScsiCommand& command, uint8_t* buffer) const;
    uint8_t ReadCapacity(const ScsiCommand& command, uint8_t* buffer) const;
    uint8_t Read(const ScsiCommand& command, uint8_t* buffer);

    int fd_ = -1;
    std::string path_;
    std::string error_;
    uint64_t size_ = 0;
    uint32_t sectorCount_ = 0;
    uint32_t storedSectorSize_ = kSectorSize;
    uint32_t userDataOffset_ = 0;
    std::vector<uint8_t> raw_; // one read's raw sectors before their user data is picked out
};

} // namespace quorvane
