// A CD-ROM drive reached through the Linux SCSI pass-through (SG_IO) on a SCSI generic node (/dev/sg*) or
// a CD device node (/dev/sr*). The node is opened read-only, which allows the reading commands used here.
#pragma once

#include <string>

#include "scsi/ScsiTransport.h"

namespace quorvane {

class SgTransport : public ScsiTransport {
  public:
    SgTransport() = default;
    ~SgTransport() override;
    SgTransport(const SgTransport&) = delete;
    SgTransport& operator=(const SgTransport&) = delete;

    // False when the node is missing or cannot be opened.
    bool Open(const std::string& path);

    uint8_t Execute(const ScsiCommand& command, uint8_t* buffer) override;
    const std::string& Path() const override { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

} // namespace quorvane
