// Saving every sample of the open bank into one folder, one WAVE or AIFF file each: the multiple save of
// the sample list, shared by the desktop program and the command-line program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/audio/SampleFileWriter.h"
#include "session/Workspace.h"

namespace quorvane {

// The name a sample is saved under, without folder and extension: the sample's name (an audio file's name
// without its extension), passed through the file-name character map.
std::string SampleFileBaseName(const Workspace& workspace, uint32_t index);

struct SampleSaveSummary {
    uint32_t written = 0;
    uint32_t skipped = 0;    // samples with no data the fetch can load (unknown or compressed audio files)
    uint32_t failed = 0;     // files that could not be written; each is reported and the run goes on
    uint32_t unreadable = 0; // samples whose data could not be read: reported, no file written for them
    bool cancelled = false;
};

// The samples the sample list shows, in table order: every listed audio file, or every sample of a bank
// except the right halves of stereo pairs, which are saved with their left halves as two-channel files.
std::vector<uint32_t> SampleListIndices(const Workspace& workspace);

// Saves the samples of the sample list into folder (ending in '/') as WAVE or AIFF files,
// with progress through the Host and a check for cancel before each file. Existing files are
// replaced; a name that an earlier sample of the same run already took gets " (2)", " (3)" ... so that no
// sample of the run overwrites another. bits as WriteSampleFile takes them.
SampleSaveSummary SaveAllSamples(Workspace& workspace, const std::string& folder, SampleFileType type,
                                 int bits = 0);

} // namespace quorvane
