// The WAVE header reader of the audio-file listing: the format, data and sampler fields of one file, whether
// the file is listed, its list entry and its data line.
#pragma once

#include <cstdint>
#include <string>

#include "formats/audio/AudioFileList.h"
#include "formats/common/InputFile.h"

namespace quorvane {

struct WaveHeaderReading {
    AudioFileFields fields; // fileKind 0
    bool complete = false;  // a whole "fmt " chunk was read: the file is a WAVE file
};

// The fields of an open WAVE file. WAVE_FORMAT_EXTENSIBLE files carry the format of their sub-format:
// PCM and IEEE float become format tags 1 and 3; any other sub-format keeps 0xFFFE (compressed).
WaveHeaderReading ParseWaveHeader(InputFile& file);

// Reads the file's header and, unless it is compressed and compressed files are hidden, appends its list
// entry (captioned `caption`, with " (NOT WAVE FILE)" when no format was found) and its data line numbered
// `number`. Returns whether the file is listed. A file that cannot be opened is listed with format 0.
bool ReadWaveHeader(AudioFileListing& listing, const std::string& path, const std::string& caption,
                    uint32_t number);

} // namespace quorvane
