// The writers as the session runs them: the open bank (prepared for the format where it needs it), its
// sample source, the names, progress span and settings of the session, and the Host. The desktop
// program's save commands, the batch save and the command-line program all write through these.
#pragma once

#include <cstdint>
#include <string>

#include "formats/audio/SampleFileWriter.h"
#include "formats/dls/GigaWriter.h"
#include "formats/soundfont/SoundFontWriter.h"
#include "session/Workspace.h"

namespace quorvane {

// Writes the selected presets as a SoundFont bank. entry: the file-list entry of the source bank (its text
// names the bank). namingFlag 1 names the bank after the current preset. temporary: the write for
// auditioning. Changes the model for Akai sources (loops taken from the samples): callers read the bank
// afresh before the next write.
// storage: OggVorbis writes a SoundFont 3, at the session's Vorbis quality.
SoundFontWriteResult WriteSoundFont(Workspace& workspace, uint32_t entry, const std::string& outputPath,
                                    int namingFlag, bool temporary,
                                    SoundFontSampleStorage storage = SoundFontSampleStorage::Pcm);

// Writes the selected presets as one GigaSampler file. mode 1: one preset per file, which then names the
// bank. Prepares the model first (globals flattened, fine tunes moved, Akai loops and edits): callers read
// the bank afresh before the next write.
GigaWriteResult WriteGigaFile(Workspace& workspace, uint32_t entry, const std::string& outputPath, int mode);

// Writes sample `index` as a WAVE or AIFF file (type kSampleFileWave or kSampleFileAiff); with the sample
// list's preset filter on, the file takes the root key of the zone that listed the sample.
SampleFileResult WriteSampleFile(Workspace& workspace, const std::string& path, uint32_t index, int type);

} // namespace quorvane
