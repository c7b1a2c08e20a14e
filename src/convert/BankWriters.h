// The writers as the session runs them: the chosen records of the open bank (prepared for the format on a
// copy where it needs it; the open bank itself is never changed), its sample source, the names, progress
// span and settings of the session, and the Host. The desktop program's save commands, the batch save and
// the command-line program all write through these.
#pragma once

#include <cstdint>
#include <string>

#include "formats/audio/SampleFileWriter.h"
#include "formats/dls/GigaWriter.h"
#include "formats/sfz/SfzWriter.h"
#include "formats/soundfont/SoundFontWriter.h"
#include "model/WriteSelection.h"
#include "session/Workspace.h"

namespace quorvane {

// Writes the chosen records of the open bank as a SoundFont bank. entry: the file-list entry of the source
// bank (its text names the bank). naming Preset names the bank after the current preset. temporary: the write
// for auditioning. storage: OggVorbis writes a SoundFont 3, at the session's Vorbis quality.
SoundFontWriteResult WriteSoundFont(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                                    const std::string& outputPath, BankNaming naming, bool temporary,
                                    SoundFontSampleStorage storage = SoundFontSampleStorage::Pcm);

// Writes the chosen presets of the open bank as one GigaSampler file. naming Preset: one preset per file,
// which then names the bank.
GigaWriteResult WriteGigaFile(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                              const std::string& outputPath, BankNaming naming);

// Writes the chosen presets of the open bank as an SFZ folder (ending in '/'): preset files named as the
// batch save names preset files, samples by their names, each name made unique in the folder.
SfzWriteResult WriteSfz(Workspace& workspace, const WriteSelection& selection, uint32_t entry,
                        const std::string& folder);

// Writes sample `index` as a WAVE or AIFF file (of the given type); with the sample list's preset filter
// on, the file takes the root key of the zone that listed the sample. bits: 16 or 24, or 0 for as many as
// the sample has (24 when more than 16).
SampleFileResult WriteSampleFile(Workspace& workspace, const std::string& path, uint32_t index,
                                 SampleFileType type, int bits = 0);

} // namespace quorvane
