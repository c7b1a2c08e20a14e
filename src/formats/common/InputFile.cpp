#include "formats/common/InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

InputFile::~InputFile() {
    Close();
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), readFailed_(other.readFailed_), error_(std::move(other.error_)) {
    other.fd_ = -1;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        size_ = other.size_;
        readFailed_ = other.readFailed_;
        error_ = std::move(other.error_);
        other.fd_ = -1;
    }
    return *this;
}

bool InputFile::Open(const std::string& path) {
    Close();
    error_.clear();
    readFailed_ = false;
    // Non-blocking, so that a FIFO (or a device that waits) named as a bank never holds the open: it is
    // refused below as not a regular file. Reads of a regular file are the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error_ = S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file";
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(info.st_size);
    device_ = info.st_dev;
    inode_ = info.st_ino;
    modifiedSeconds_ = info.st_mtim.tv_sec;
    modifiedNanoseconds_ = info.st_mtim.tv_nsec;
    return true;
}

bool InputFile::StillAt(const std::string& path) const {
    struct stat info {};
    return fd_ >= 0 && ::stat(path.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_ &&
           static_cast<uint64_t>(info.st_size) == size_ && info.st_mtim.tv_sec == modifiedSeconds_ &&
           info.st_mtim.tv_nsec == modifiedNanoseconds_;
}

void InputFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    size_ = 0;
    blockLength_ = 0;
}

size_t InputFile::ReadAt(uint64_t offset, void* buffer, size_t count) {
    if (fd_ < 0)
        return 0;
    if (count > kBlockSize / 4)
        return ReadDirect(offset, buffer, count);
    const bool cached = offset >= blockOffset_ && offset - blockOffset_ + count <= blockLength_;
    if (!cached) {
        block_.resize(kBlockSize);
        blockOffset_ = offset;
        blockLength_ = ReadDirect(offset, block_.data(), kBlockSize);
    }
    const size_t available =
        offset - blockOffset_ < blockLength_ ? blockLength_ - (offset - blockOffset_) : 0;
    const size_t served = std::min(count, available);
    if (served > 0)
        std::memcpy(buffer, block_.data() + (offset - blockOffset_), served);
    return served;
}

size_t InputFile::ReadDirect(uint64_t offset, void* buffer, size_t count) {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            readFailed_ = true;
            error_ = std::strerror(errno);
            break;
        }
        if (got == 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

} // namespace quorvane
