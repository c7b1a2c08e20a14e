// A bank or sample file being written. The bytes go to a temporary file beside the target, which is renamed
// over the target only when every write succeeded: a failed or cancelled write never leaves a broken file
// behind and never destroys an existing one. Writes are buffered and sequential; sizes that are known only
// at the end are patched in place. Sample data that is copied unchanged from a source file goes through a
// pipe inside the kernel (splice), so it is never copied through the program's memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/common/InputFile.h"

namespace quorvane {

// The errors of targets an output refuses to replace.
constexpr const char* kOutputIsAnInput = "it is an input of this run";
constexpr const char* kOutputIsReadOnly = "it is read-only";
constexpr const char* kOutputIsALink = "it is a symbolic link";

// An output path the user named himself (a file on the command line, a name accepted in a save dialog),
// for as long as this lives. A symbolic link at such a path is written through: the file it points to is
// replaced and the link stays. A link at any other path (a name the program made from a bank, preset,
// sample or volume) is never followed, so a link planted in an output folder cannot send a write elsewhere.
class NamedOutput {
  public:
    explicit NamedOutput(const std::vector<std::string>& paths);
    ~NamedOutput();
    NamedOutput(const NamedOutput&) = delete;
    NamedOutput& operator=(const NamedOutput&) = delete;

  private:
    std::vector<std::string> paths_;
};

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
    // Appends count bytes of source from offset. False when the source gives fewer or a write fails.
    bool AppendFrom(InputFile& source, uint64_t offset, uint64_t count);
    // The same through the program's memory, each piece shown to `seen` before it is written: a checksum
    // taken on the way needs no second read of the source.
    bool AppendThrough(InputFile& source, uint64_t offset, uint64_t count,
                       const std::function<void(const uint8_t*, size_t)>& seen);
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
    // The staging pipe: bytes in it come before the bytes in buffer_.
    bool OpenPipe();
    void ClosePipe();
    bool MoveBufferToPipe();
    bool DrainPipe();

    int fd_ = -1;
    int pipe_[2] = {-1, -1};
    uint64_t inPipe_ = 0;
    std::string target_;
    std::string temporary_;
    std::vector<uint8_t> buffer_;
    uint64_t position_ = 0;
    bool failed_ = false;
    std::string error_;
};

} // namespace quorvane
