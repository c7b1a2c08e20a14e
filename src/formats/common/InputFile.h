// A bank or audio file opened read-only. Reads are positioned and report how many bytes really came back,
// so a parser can hold every size it was told against what the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

class InputFile {
  public:
    InputFile() = default;
    explicit InputFile(const std::string& path) { Open(path); }
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;

    // Opens a regular file for reading; false (with errno's text in Error()) when that is not possible.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // True while path still names the file opened, unchanged (same file, size and modification time).
    bool StillAt(const std::string& path) const;
    uint64_t Size() const { return size_; }
    const std::string& Error() const { return error_; }
    // True once a read failed for a reason other than the end of the file.
    bool ReadFailed() const { return readFailed_; }

    // Reads up to count bytes at offset; returns the number read (short at the end of the file). Small
    // reads (chunk headers) are served from a block read once, so a walk over thousands of headers costs
    // few system calls.
    size_t ReadAt(uint64_t offset, void* buffer, size_t count);

  private:
    size_t ReadDirect(uint64_t offset, void* buffer, size_t count);

    static constexpr size_t kBlockSize = 4096;
    std::vector<uint8_t> block_;
    uint64_t blockOffset_ = 0;
    size_t blockLength_ = 0;
    int fd_ = -1;
    uint64_t size_ = 0;
    // Identity of the open file: device, inode, modification time.
    uint64_t device_ = 0, inode_ = 0;
    int64_t modifiedSeconds_ = 0, modifiedNanoseconds_ = 0;
    bool readFailed_ = false;
    std::string error_;
};

} // namespace quorvane
