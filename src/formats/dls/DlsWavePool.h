// The wave pool of a DLS or GigaSampler bank as the sample table: one record per wave, holding the file
// offset of its data, its format, name, tuning, loop and sample group; and the names of the sample groups.
#pragma once

#include "formats/common/ReadNotes.h"
#include "formats/dls/DlsImage.h"

namespace quorvane {

// Works on the image only; replaces SampleTable and SampleCount and the sample group names. Compressed
// GigaSampler waves (an "ewav" chunk) cannot be decoded: they are read without data, so that they stay
// silent instead of playing their compressed bytes, and `unsupported` says how many there are.
void ReadDlsWavePool(BankModel& bank, DlsState& dls, ReadNotes& unsupported);

} // namespace quorvane
