// The two buffer pairs sample frames are fetched into, one for the player and one for the writers, and
// the sources they are fetched from.
#pragma once

#include <cstdint>

#include "formats/akai/AkaiSampleSource.h"
#include "formats/audio/AudioFileSource.h"
#include "formats/common/BankFileSource.h"
#include "formats/common/Frames.h"
#include "formats/sfz/SfzSampleSource.h"

namespace quorvane {

struct SampleBuffers {
    FrameBuffer PlayLeft, PlayRight;
    FrameBuffer ExportLeft, ExportRight;
    // Set when the export fetch filled that buffer; the writer frees what it was given once written.
    uint8_t ExportAllocatedLeft = 0, ExportAllocatedRight = 0;
    // Failed reads during fetches: SCSI sectors of an Akai sample, or a bank-file range that cannot be read.
    // Callers clear it before fetching a sample and test it afterwards.
    uint32_t ScsiReadErrors = 0;

    FramePair Play() { return {PlayLeft, PlayRight}; }
    FramePair Export() { return {ExportLeft, ExportRight}; }

    void FreeExport() {
        if (ExportAllocatedLeft)
            ExportLeft.Free();
        if (ExportAllocatedRight)
            ExportRight.Free();
        ExportAllocatedLeft = ExportAllocatedRight = 0;
    }
};

// One sample source per kind of source; the fetch binds the one the open bank needs to it.
struct SampleSources {
    BankFileSource bankFile;    // SoundFont, DLS and GigaSampler banks
    AudioFileSource audioFiles; // the audio-file list
    AkaiSampleSource akai;      // the sample files of an Akai volume
    SfzSampleSource sfz;        // the sample files of an SFZ instrument
};

} // namespace quorvane
