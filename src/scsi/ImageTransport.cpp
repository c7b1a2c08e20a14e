#include "scsi/ImageTransport.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane {

namespace {

constexpr uint32_t kRawSectorSize = 2352;
constexpr uint8_t kSync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The data file and track mode of a cue sheet's first track: "FILE "disc.bin" BINARY" then
// "TRACK 01 MODE1/2352". Mode 1 or 2 for raw sectors, 0 for 2048-byte sectors, -1 when no file is named.
std::string CueDataFile(const std::string& cuePath, int& mode) {
    std::ifstream cue(cuePath);
    std::string line, file;
    mode = -1;
    while (std::getline(cue, line)) {
        const std::string lower = Lower(line);
        const size_t word = lower.find_first_not_of(" \t");
        if (word == std::string::npos)
            continue;
        if (file.empty() && lower.compare(word, 5, "file ") == 0) {
            const size_t open = line.find('"'), close = line.rfind('"');
            if (open != std::string::npos && close > open) {
                file = line.substr(open + 1, close - open - 1);
            } else {
                const size_t start = line.find_first_not_of(" \t", word + 5);
                const size_t end = line.find_first_of(" \t", start);
                if (start != std::string::npos)
                    file = line.substr(start, end - start);
            }
        } else if (!file.empty() && mode < 0 && lower.compare(word, 6, "track ") == 0) {
            if (lower.find("/2048") != std::string::npos)
                mode = 0;
            else if (lower.find("mode2") != std::string::npos)
                mode = 2;
            else
                mode = 1;
        }
    }
    if (file.empty())
        return {};
    if (mode < 0)
        mode = 1;
    const std::filesystem::path data(file);
    return data.is_absolute() ? file : (std::filesystem::path(cuePath).parent_path() / data).string();
}

void PutPadded(uint8_t* out, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        out[i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

} // namespace

ImageTransport::~ImageTransport() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ImageTransport::Open(const std::string& path) {
    path_ = path;
    if (Lower(std::filesystem::path(path).extension().string()) == ".cue") {
        int mode = -1;
        const std::string data = CueDataFile(path, mode);
        if (data.empty()) {
            error_ = "the cue sheet names no data file";
            return false;
        }
        return OpenData(data, mode);
    }
    return OpenData(path, -1);
}

// cueMode: -1 when no cue sheet told the layout, which is then taken from the file itself: raw sectors
// begin with the sync pattern and fill the file in whole 2352-byte sectors.
bool ImageTransport::OpenData(const std::string& dataPath, int cueMode) {
    // Non-blocking: a FIFO named as an image must not hold the open; it then reads as a failed image.
    fd_ = ::open(dataPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        error_ = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error_ = "not a regular file";
        return false;
    }
    size_ = static_cast<uint64_t>(status.st_size);
    int mode = cueMode;
    uint8_t head[16] = {};
    const bool synced = ::pread(fd_, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
                        std::memcmp(head, kSync, sizeof kSync) == 0;
    if (mode < 0)
        mode = synced && size_ % kRawSectorSize == 0 ? head[15] : 0;
    if (mode == 0) {
        storedSectorSize_ = kSectorSize;
        userDataOffset_ = 0;
    } else {
        storedSectorSize_ = kRawSectorSize;
        userDataOffset_ = mode == 2 ? 24 : 16; // Mode 2 Form 1 has an 8-byte subheader before the data
    }
    sectorCount_ = static_cast<uint32_t>(std::min<uint64_t>(size_ / storedSectorSize_, UINT32_MAX));
    return true;
}

uint8_t ImageTransport::Execute(const ScsiCommand& command, uint8_t* buffer) {
    if (fd_ < 0)
        return kScsiError;
    switch (command.block[0]) {
    case kOpInquiry:
        return Inquiry(command, buffer);
    case kOpTestUnitReady:
        return kScsiCompleted;
    case kOpReadCapacity:
        return ReadCapacity(command, buffer);
    case kOpRead10:
        return Read(command, buffer);
    default:
        return kScsiError;
    }
}

// A CD-ROM drive whose vendor is "IMAGE" and whose product is the file's name.
uint8_t ImageTransport::Inquiry(const ScsiCommand& command, uint8_t* buffer) const {
    uint8_t reply[36] = {};
    reply[0] = kDeviceTypeCdRom;
    reply[1] = 0x80; // removable medium
    reply[4] = sizeof reply - 5;
    PutPadded(reply + 8, "IMAGE", 8);
    PutPadded(reply + 16, std::filesystem::path(path_).filename().string(), 16);
    PutPadded(reply + 32, "1.0", 4);
    std::memcpy(buffer, reply, std::min<size_t>(sizeof reply, command.bufferLength));
    return kScsiCompleted;
}

uint8_t ImageTransport::ReadCapacity(const ScsiCommand& command, uint8_t* buffer) const {
    if (sectorCount_ == 0 || command.bufferLength < 8)
        return kScsiError;
    const uint32_t last = sectorCount_ - 1;
    const uint8_t reply[8] = {static_cast<uint8_t>(last >> 24),
                              static_cast<uint8_t>(last >> 16),
                              static_cast<uint8_t>(last >> 8),
                              static_cast<uint8_t>(last),
                              0,
                              0,
                              kSectorSize >> 8,
                              0};
    std::memcpy(buffer, reply, sizeof reply);
    return kScsiCompleted;
}

// Sectors past the end of the image fail the command; the sectors before them are delivered, as a drive
// delivers what it read before an error.
uint8_t ImageTransport::Read(const ScsiCommand& command, uint8_t* buffer) {
    const uint32_t first = static_cast<uint32_t>(command.block[2]) << 24 |
                           static_cast<uint32_t>(command.block[3]) << 16 |
                           static_cast<uint32_t>(command.block[4]) << 8 | command.block[5];
    const uint32_t count = static_cast<uint32_t>(command.block[7]) << 8 | command.block[8];
    if (static_cast<uint64_t>(count) * kSectorSize > command.bufferLength)
        return kScsiError;
    const uint64_t wanted = static_cast<uint64_t>(count) * storedSectorSize_;
    const uint64_t offset = static_cast<uint64_t>(first) * storedSectorSize_;
    const uint64_t available = offset < size_ ? std::min(wanted, size_ - offset) : 0;

    uint8_t* target = storedSectorSize_ == kSectorSize ? buffer : nullptr;
    if (target == nullptr) {
        raw_.resize(wanted);
        target = raw_.data();
    }
    uint64_t done = 0;
    while (done < available) {
        const ssize_t n = ::pread(fd_, target + done, available - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<uint64_t>(n);
    }
    if (storedSectorSize_ != kSectorSize) {
        for (uint32_t s = 0; s < count; ++s) {
            const uint64_t from = static_cast<uint64_t>(s) * storedSectorSize_ + userDataOffset_;
            if (from >= done)
                break;
            const size_t bytes = static_cast<size_t>(std::min<uint64_t>(kSectorSize, done - from));
            std::memcpy(buffer + static_cast<size_t>(s) * kSectorSize, raw_.data() + from, bytes);
        }
    }
    return done == wanted ? kScsiCompleted : kScsiError;
}

} // namespace quorvane
