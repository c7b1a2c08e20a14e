// A bank or sample file being written. The bytes go to a temporary file beside the target, which is renamed
// over the target only when every write succeeded: a failed or cancelled write never leaves a broken file
// behind and never destroys an existing one. Writes are buffered and sequential; sizes that are known only
// at the end are patched in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile(); // discards the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file in the target's folder. False when that folder cannot take it.
    bool Create(const std::string& target);
    bool Write(const void* data, size_t count);
    bool WriteZeros(size_t count);
    bool WriteText(const std::string& text) { return Write(text.data(), text.size()); }
    // Overwrites bytes already written: a size known only at the end, a table of offsets.
    bool PatchBytes(uint64_t offset, const void* data, size_t count);
    bool PatchU32(uint64_t offset, uint32_t value);
    uint64_t Position() const { return position_; }
    // True once any write failed; every later call is then a no-op returning false.
    bool Failed() const { return failed_; }
    const std::string& Error() const { return error_; }

    // Flushes, closes and renames over the target. False (and the temporary file removed) on any failure.
    bool Commit();
    // Removes the temporary file.
    void Discard();

  private:
    bool Flush();
    bool Fail();

    int fd_ = -1;
    std::string target_;
    std::string temporary_;
    std::vector<uint8_t> buffer_;
    uint64_t position_ = 0;
    bool failed_ = false;
    std::string error_;
};

} // namespace quorvane
