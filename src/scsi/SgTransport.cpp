#include "scsi/SgTransport.h"

#include <cerrno>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvane {

SgTransport::~SgTransport() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool SgTransport::Open(const std::string& path) {
    path_ = path;
    // Non-blocking, so that a drive without a disc still opens and can answer INQUIRY.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd_ >= 0;
}

uint8_t SgTransport::Execute(const ScsiCommand& command, uint8_t* buffer) {
    if (fd_ < 0)
        return kScsiError;
    uint8_t sense[kScsiSenseLength] = {};
    uint8_t block[16];
    for (size_t i = 0; i < sizeof block; ++i)
        block[i] = command.block[i];
    sg_io_hdr_t io{};
    io.interface_id = 'S';
    io.cmdp = block;
    io.cmd_len = command.blockLength;
    io.sbp = sense;
    io.mx_sb_len = sizeof sense;
    io.timeout = command.timeoutMs;
    if (command.ReadsData() && command.bufferLength != 0) {
        io.dxfer_direction = SG_DXFER_FROM_DEV;
        io.dxferp = buffer;
        io.dxfer_len = command.bufferLength;
    } else {
        io.dxfer_direction = SG_DXFER_NONE;
    }
    int result;
    do {
        result = ::ioctl(fd_, SG_IO, &io);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return kScsiError;
    if (io.host_status == 0x03) // the time-out passed before the drive answered
        return kScsiPending;
    return (io.info & SG_INFO_OK_MASK) == SG_INFO_OK ? kScsiCompleted : kScsiError;
}

} // namespace quorvane
