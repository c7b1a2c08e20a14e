// Every consumer of sample frames gets them here: the frames of one sample of the open bank, read from
// the source of the bank's format and left as signed 16-bit mono frames, one buffer per channel. The
// player keeps its pair in the workspace; every other reader gets buffers of its own.
#pragma once

#include <cstdint>
#include <optional>

#include "session/Workspace.h"

namespace quorvane {

constexpr const char* kUnableToOpenForPlay = "UNABLE TO OPEN FILE !";

// The source the open bank's samples are read from, bound to the bank and its file; nothing for a source
// format without one.
SampleSource* SampleSourceFor(Workspace& workspace);
// The same source bound to `records` instead: a copy of the open bank's records prepared for a write.
SampleSource* SampleSourceFor(Workspace& workspace, BankModel& records);

// Fills the play pair with sample `index`. The file that cannot be opened is reported in the title.
FetchReport LoadSampleForPlay(Workspace& workspace, uint32_t index);

// The frames of one sample in buffers of the caller's own, with the reads that failed on the way.
struct FetchedSample {
    FrameBuffer left, right;
    uint32_t readErrors = 0;
};

// The frames of sample `index`. With skipPartner the stereo partner of a linked 16-bit bank sample is not
// read (the bank writers write each half on its own). A file that cannot be opened gives empty buffers
// without a message.
FetchedSample FetchSample(Workspace& workspace, uint32_t index, bool skipPartner);

// Where the frames of sample `index` lie unchanged in its source file (16-bit mono data of a bank file, or
// the own half of a linked pair): exactly the bytes FetchSample with skipPartner would give. Nothing when
// the frames need converting; a length of 0 with its read errors counted when the file cannot be opened or
// does not hold the range.
std::optional<StoredFrames> StoredExportFrames(Workspace& workspace, uint32_t index);

} // namespace quorvane
