// The two buffer pairs sample frames are fetched into: one for the player, one for the writers. Frames
// are signed 16-bit, one buffer per channel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/common/InputFile.h"

namespace quorvane {

// Sample buffers are filled straight from the file: leaving their elements uninitialised on allocation
// saves clearing every sample's memory once before it is overwritten.
template <typename T> struct UninitialisedAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = UninitialisedAllocator<U>; };
    UninitialisedAllocator() = default;
    template <typename U> UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using FrameVector = std::vector<int16_t, UninitialisedAllocator<int16_t>>;

// One channel of fetched frames. `length` counts bytes of 16-bit data, so frames = length / 2.
struct FrameBuffer {
    FrameVector frames;
    uint32_t length = 0;

    void Free() {
        FrameVector().swap(frames);
        length = 0;
    }
    uint32_t FrameCount() const { return length / 2; }
};

// The bank file the fetch reads, kept open from one sample to the next while it is unchanged on disk.
struct SourceFile {
    std::string path;
    InputFile file;
};

struct SampleBuffers {
    FrameBuffer PlayLeft, PlayRight;
    FrameBuffer ExportLeft, ExportRight;
    // Set when the export fetch filled that buffer; the writer frees what it was given once written.
    uint8_t ExportAllocatedLeft = 0, ExportAllocatedRight = 0;
    // Failed reads during a fetch: SCSI sectors of an Akai sample, or a bank-file range that cannot be read.
    // The writers clear it before fetching a sample and test it afterwards.
    uint32_t ScsiReadErrors = 0;
    SourceFile source;

    void FreeExport() {
        if (ExportAllocatedLeft)
            ExportLeft.Free();
        if (ExportAllocatedRight)
            ExportRight.Free();
        ExportAllocatedLeft = ExportAllocatedRight = 0;
    }
};

} // namespace quorvane
