#include "formats/common/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/common/Bytes.h"

namespace quorvane {

namespace {
constexpr size_t kBufferSize = 1 << 20;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}
} // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Fail() {
    if (!failed_)
        error_ = std::strerror(errno);
    failed_ = true;
    return false;
}

bool OutputFile::Create(const std::string& target) {
    Discard();
    failed_ = false;
    error_.clear();
    position_ = 0;
    // A target that is a symbolic link is written through: the file it points to is replaced, the link
    // stays.
    std::error_code error;
    target_ = std::filesystem::is_symlink(target, error) ? std::filesystem::weakly_canonical(target, error).string()
                                                         : target;
    if (target_.empty())
        target_ = target;
    // Only a regular file is ever replaced: a folder, a pipe or a device of that name stays as it is.
    const auto status = std::filesystem::status(target_, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        errno = EEXIST;
        return Fail();
    }
    std::string pattern = FolderOf(target_) + ".quorvane-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return Fail();
    // mkstemp makes the file private; give it the permissions a newly created file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    fd_ = fd;
    temporary_ = pattern;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool OutputFile::Flush() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return Fail();
        }
        done += static_cast<size_t>(wrote);
    }
    buffer_.clear();
    return true;
}

bool OutputFile::Write(const void* data, size_t count) {
    if (fd_ < 0 || failed_)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + count > kBufferSize) {
        if (!Flush())
            return false;
        if (count >= kBufferSize) {
            // Large blocks (sample data) go straight to the file.
            size_t done = 0;
            while (done < count) {
                const ssize_t wrote = ::write(fd_, bytes + done, count - done);
                if (wrote < 0) {
                    if (errno == EINTR)
                        continue;
                    return Fail();
                }
                done += static_cast<size_t>(wrote);
            }
            position_ += count;
            return true;
        }
    }
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    position_ += count;
    return true;
}

bool OutputFile::WriteZeros(size_t count) {
    static const uint8_t zeros[256] = {};
    while (count > 0) {
        const size_t piece = count < sizeof zeros ? count : sizeof zeros;
        if (!Write(zeros, piece))
            return false;
        count -= piece;
    }
    return true;
}

bool OutputFile::PatchBytes(uint64_t offset, const void* data, size_t count) {
    if (fd_ < 0 || failed_ || offset + count > position_)
        return false;
    if (count == 0)
        return true;
    const uint64_t flushed = position_ - buffer_.size();
    if (offset >= flushed) {
        std::memcpy(buffer_.data() + (offset - flushed), data, count);
        return true;
    }
    if (!Flush())
        return false;
    if (::pwrite(fd_, data, count, static_cast<off_t>(offset)) != static_cast<ssize_t>(count))
        return Fail();
    return true;
}

bool OutputFile::PatchU32(uint64_t offset, uint32_t value) {
    uint8_t bytes[4];
    WriteU32LE(bytes, value);
    return PatchBytes(offset, bytes, sizeof bytes);
}

bool OutputFile::Commit() {
    if (fd_ < 0 || failed_ || !Flush()) {
        Discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail();
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void OutputFile::Discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    buffer_.clear();
}

} // namespace quorvane
