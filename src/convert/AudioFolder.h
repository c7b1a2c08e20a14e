// The audio-file listing of a folder: its WAVE and AIFF files become the sample list and the sample table
// of the audio-file model, with one path line and one data line per listed file.
#pragma once

#include <string>

#include "session/Workspace.h"

namespace quorvane {

// Which kinds of audio file a listing takes.
struct AudioKinds {
    bool wave = true;
    bool aiff = true;
};

// Replaces the model with the folder's audio files (folder ending in '/'): first every *.wav file, then
// every *.aif and *.aiff file, each group in name order, extensions matched without regard to case. Each
// file goes through its header reader; a file the reader refuses (a compressed WAVE file while those are
// hidden) is not listed and uses no number. Returns the number of files listed. A folder that cannot be
// read lists nothing.
uint32_t ListAudioFolder(Workspace& workspace, const std::string& folder, AudioKinds kinds = {});

// The same for a search: every audio file of the folder and of the folders below it, level by level, in the
// order found (each file's path line names its own folder).
uint32_t SearchAudioFiles(Workspace& workspace, const std::string& folder, AudioKinds kinds);

} // namespace quorvane
