// Every consumer of sample frames gets them here: the frames of one sample of the open bank, read from
// their source and left as signed 16-bit mono frames, one buffer per channel. The player and the writers
// have a buffer pair each.
#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace quorvane {

constexpr const char* kUnableToOpenForPlay = "UNABLE TO OPEN FILE !";

// Fills the play pair with sample `index`. The file that cannot be opened is reported in the title.
void LoadSampleForPlay(Workspace& workspace, uint32_t index);
// Fills the export pair with sample `index`. With skipPartner the stereo partner of a linked 16-bit bank
// sample is not read (the bank writers write each half on its own). A file that cannot be opened leaves
// both lengths 0 without a message.
void LoadSampleForExport(Workspace& workspace, uint32_t index, bool skipPartner);

} // namespace quorvane
