// The two buffer pairs sample frames are fetched into: one for the player, one for the writers. Frames
// are signed 16-bit, one buffer per channel.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane {

// One channel of fetched frames. `length` counts bytes of 16-bit data, so frames = length / 2.
struct FrameBuffer {
    std::vector<int16_t> frames;
    uint32_t length = 0;

    void Free() {
        std::vector<int16_t>().swap(frames);
        length = 0;
    }
    uint32_t FrameCount() const { return length / 2; }
};

struct SampleBuffers {
    FrameBuffer PlayLeft, PlayRight;
    FrameBuffer ExportLeft, ExportRight;
    // Set when the export fetch filled that buffer; the writer frees what it was given once written.
    uint8_t ExportAllocatedLeft = 0, ExportAllocatedRight = 0;
    // Failed reads during a fetch: SCSI sectors of an Akai sample, or a bank-file range that cannot be read.
    // The writers clear it before fetching a sample and test it afterwards.
    uint32_t ScsiReadErrors = 0;

    void FreeExport() {
        if (ExportAllocatedLeft)
            ExportLeft.Free();
        if (ExportAllocatedRight)
            ExportRight.Free();
        ExportAllocatedLeft = ExportAllocatedRight = 0;
    }
};

} // namespace quorvane
