// One way of reaching a drive: a CD-ROM drive through the kernel's SCSI pass-through, or a disc image file
// that answers the same commands. The SCSI layer sends one command at a time and waits for its end.
#pragma once

#include <cstdint>
#include <string>

#include "scsi/ScsiCommand.h"

namespace quorvane {

class ScsiTransport {
  public:
    virtual ~ScsiTransport() = default;

    // Runs the command and waits for it, at most the command's time-out. A data-in command puts its reply
    // at the start of buffer, which holds at least command.bufferLength bytes. Returns the request status
    // (kScsiCompleted when the command succeeded).
    virtual uint8_t Execute(const ScsiCommand& command, uint8_t* buffer) = 0;

    // The device node or image file this transport reads.
    virtual const std::string& Path() const = 0;
};

} // namespace quorvane
