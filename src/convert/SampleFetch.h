// Every consumer of sample frames gets them here: the frames of one sample of the open bank, read from
// their source and left as signed 16-bit mono frames, one buffer per channel. The player and the writers
// have a buffer pair each.
#pragma once

#include <cstdint>
#include <optional>

#include "session/Workspace.h"

namespace quorvane {

constexpr const char* kUnableToOpenForPlay = "UNABLE TO OPEN FILE !";

// Fills the play pair with sample `index`. The file that cannot be opened is reported in the title.
void LoadSampleForPlay(Workspace& workspace, uint32_t index);
// Fills the export pair with sample `index`. With skipPartner the stereo partner of a linked 16-bit bank
// sample is not read (the bank writers write each half on its own). A file that cannot be opened leaves
// both lengths 0 without a message.
void LoadSampleForExport(Workspace& workspace, uint32_t index, bool skipPartner);

// Where the frames of sample `index` lie unchanged in its source file (16-bit mono data of a bank file, or
// the own half of a linked pair), so that a writer can copy them without bringing them through memory:
// exactly the bytes an export fetch with skipPartner would give. Nothing when the frames need converting;
// a length of 0 (with ScsiReadErrors raised) when the file cannot be opened or does not hold the range.
struct StoredFrames {
    InputFile* file = nullptr;
    uint64_t offset = 0;
    uint32_t length = 0;
};
std::optional<StoredFrames> StoredExportFrames(Workspace& workspace, uint32_t index);

enum class FetchTarget { Play, Export };
// Reads sample `index` of the audio-file list from its file into the play or the export pair: integer PCM of
// 8 to 32 bits and 32- or 64-bit IEEE float, one or two channels, reduced to 16 bits. Other formats and
// channel counts load nothing.
void LoadAudioFileSample(Workspace& workspace, uint32_t index, FetchTarget target);

} // namespace quorvane
