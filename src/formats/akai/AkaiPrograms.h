// Akai program files turned into the SoundFont-shaped model: one layer per program, one zone per used
// velocity zone of each keygroup, with envelopes, filter, tuning and pan as generator values.
#pragma once

#include <cstdint>

#include "formats/akai/AkaiVolumes.h"
#include "formats/common/ReadNotes.h"
#include "model/BankModel.h"
#include "scsi/ScsiLayer.h"

namespace quorvane {

// How much of a program file is read: the header and every keygroup that starts within it.
constexpr uint32_t kProgramReadBytes = 16384;

enum class AkaiProgramMode { ReadAll, RereadCurrent };

// Reads the programs of the preset table (listed from the directory) into layers and zones. ReadAll reads
// every program; RereadCurrent reads only the program in preset slot `currentPreset`, and nothing at all when
// that slot is not a program or its file cannot be read. Either way the layer and zone tables are rebuilt,
// so only the programs read have contents. s3000 picks the keygroup layout of the volume. A program the disc
// ends before, or within its keygroups (an image cut after its last used block), is read as far as it goes
// and said in `notes`.
void ReadAkaiPrograms(BankModel& bank, ScsiLayer& scsi, AkaiProgramMode mode, uint32_t currentPreset,
                      bool s3000, ReadNotes& notes);

} // namespace quorvane
