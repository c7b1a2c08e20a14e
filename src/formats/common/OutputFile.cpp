#include "formats/common/OutputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/common/Bytes.h"
#include "formats/common/ProtectedInputs.h"

namespace quorvane {

namespace {
constexpr size_t kBufferSize = 1 << 20;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// The named outputs, each as an absolute path without "." or ".." steps, once per NamedOutput that holds
// it. Writes are driven from one thread (the windows' or the command line's), so the list needs no lock.
std::vector<std::string>& NamedPaths() {
    static std::vector<std::string> paths;
    return paths;
}

std::string NormalPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

bool IsNamedOutput(const std::string& path) {
    const auto& named = NamedPaths();
    return !named.empty() && std::find(named.begin(), named.end(), NormalPath(path)) != named.end();
}
} // namespace

NamedOutput::NamedOutput(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        paths_.push_back(NormalPath(path));
        NamedPaths().push_back(paths_.back());
    }
}

NamedOutput::~NamedOutput() {
    auto& named = NamedPaths();
    for (const std::string& path : paths_) {
        const auto found = std::find(named.begin(), named.end(), path);
        if (found != named.end())
            named.erase(found);
    }
}

OutputFile::~OutputFile() {
    Discard();
}

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
    // A symbolic link the user named is written through: the file it points to is replaced, the link
    // stays. A link at a name the program chose is refused, as any target that is not a regular file.
    std::error_code error;
    const bool link = std::filesystem::is_symlink(target, error);
    if (link && !IsNamedOutput(target)) {
        failed_ = true;
        error_ = kOutputIsALink;
        return false;
    }
    target_ = link ? std::filesystem::weakly_canonical(target, error).string() : target;
    if (target_.empty())
        target_ = target;
    // Only a regular file is ever replaced: a folder, a pipe or a device of that name stays as it is.
    const auto status = std::filesystem::status(target_, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        errno = EEXIST;
        return Fail();
    }
    // A file this run reads is never replaced, and neither is a read-only file: its owner marked it so.
    if (IsProtectedInput(target_)) {
        failed_ = true;
        error_ = kOutputIsAnInput;
        return false;
    }
    struct stat existing {};
    const bool replacing = ::stat(target_.c_str(), &existing) == 0;
    std::string pattern = FolderOf(target_) + ".quorvane-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return Fail();
    if (replacing && (existing.st_mode & 0222) == 0) {
        ::close(fd);
        ::unlink(pattern.c_str());
        failed_ = true;
        error_ = kOutputIsReadOnly;
        return false;
    }
    // mkstemp makes the file private; a file replaced keeps its permissions, a new one gets those a newly
    // created file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, replacing ? existing.st_mode & 07777 : 0666 & ~mask);
    fd_ = fd;
    temporary_ = pattern;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return true;
}

bool OutputFile::OpenPipe() {
    if (pipe_[0] >= 0)
        return true;
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_[0] = pipe_[1] = -1;
        return false;
    }
    // A larger pipe moves more of a sample per call; the default size works too.
    ::fcntl(pipe_[1], F_SETPIPE_SZ, 1 << 20);
    return true;
}

void OutputFile::ClosePipe() {
    for (int& end : pipe_) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
    inPipe_ = 0;
}

bool OutputFile::DrainPipe() {
    while (inPipe_ > 0) {
        const ssize_t moved = ::splice(pipe_[0], nullptr, fd_, nullptr, inPipe_, SPLICE_F_MOVE);
        if (moved < 0) {
            if (errno == EINTR)
                continue;
            return Fail();
        }
        if (moved == 0)
            return Fail();
        inPipe_ -= static_cast<uint64_t>(moved);
    }
    return true;
}

bool OutputFile::MoveBufferToPipe() {
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t wrote = ::write(pipe_[1], buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN && inPipe_ > 0 && DrainPipe())
                continue;
            return Fail();
        }
        done += static_cast<size_t>(wrote);
        inPipe_ += static_cast<uint64_t>(wrote);
    }
    buffer_.clear();
    return true;
}

bool OutputFile::AppendFrom(InputFile& source, uint64_t offset, uint64_t count) {
    if (fd_ < 0 || failed_)
        return false;
    if (count == 0)
        return true;
    if (!OpenPipe() || !MoveBufferToPipe())
        return !failed_ && AppendThrough(source, offset, count, nullptr);
    loff_t from = static_cast<loff_t>(offset);
    uint64_t left = count;
    while (left > 0) {
        const ssize_t moved = ::splice(source.Descriptor(), &from, pipe_[1], nullptr,
                                       static_cast<size_t>(std::min<uint64_t>(left, 1 << 20)),
                                       SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
        if (moved > 0) {
            inPipe_ += static_cast<uint64_t>(moved);
            left -= static_cast<uint64_t>(moved);
            position_ += static_cast<uint64_t>(moved);
            continue;
        }
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0 && errno == EAGAIN && inPipe_ > 0) {
            if (!DrainPipe())
                return false;
            continue;
        }
        if (moved < 0 && left == count && (errno == EINVAL || errno == ENOSYS)) {
            // A file system that cannot splice: the bytes come through memory instead.
            ClosePipe();
            return AppendThrough(source, offset, count, nullptr);
        }
        // The source ended early or could not be read.
        errno = moved == 0 ? EIO : errno;
        return Fail();
    }
    return true;
}

bool OutputFile::AppendThrough(InputFile& source, uint64_t offset, uint64_t count,
                               const std::function<void(const uint8_t*, size_t)>& seen) {
    if (fd_ < 0 || failed_ || (inPipe_ > 0 && !DrainPipe()))
        return false;
    // The bytes are read straight into the output buffer: one copy in, one out, no buffer of their own.
    while (count > 0) {
        if (buffer_.size() >= kBufferSize && !Flush())
            return false;
        const size_t at = buffer_.size();
        const size_t want = static_cast<size_t>(std::min<uint64_t>(count, kBufferSize - at));
        buffer_.resize(at + want);
        if (source.ReadAt(offset, buffer_.data() + at, want) != want) {
            buffer_.resize(at);
            errno = EIO;
            return Fail();
        }
        if (seen)
            seen(buffer_.data() + at, want);
        position_ += want;
        offset += want;
        count -= want;
    }
    return true;
}

bool OutputFile::Flush() {
    if (inPipe_ > 0 && !DrainPipe())
        return false;
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
    if (offset >= flushed && offset + count <= position_) {
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
    ClosePipe();
    const int fd = fd_;
    fd_ = -1;
    // An input of the run may have come to bear the target's name while the file was written.
    if (IsProtectedInput(target_)) {
        ::close(fd);
        errno = EEXIST;
        Fail();
        error_ = kOutputIsAnInput;
        ::unlink(temporary_.c_str());
        temporary_.clear();
        return false;
    }
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
    ClosePipe();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    buffer_.clear();
}

} // namespace quorvane
