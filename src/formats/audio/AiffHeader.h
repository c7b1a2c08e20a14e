// The AIFF header reader of the audio-file listing: the common, sound data, instrument and marker fields of
// one file, its list entry and its data line. Every AIFF file is listed.
#pragma once

#include <cstdint>
#include <string>

#include "formats/audio/AudioFileList.h"
#include "formats/common/InputFile.h"

namespace quorvane {

// The marker count of a MARK chunk is cut to this many markers.
constexpr uint16_t kMaxAiffMarkers = 250;

struct AiffHeaderReading {
    AudioFileFields fields; // fileKind 1 and format 1 once a COMM chunk was read
    bool complete = false;  // a COMM chunk was read: the file is an AIFF file
};

// The fields of an open AIFF file. An AIFF-C file whose samples are not plain big-endian integers
// (compression other than "NONE" or "twos") gets format tag 2: compressed, listed but not loaded.
AiffHeaderReading ParseAiffHeader(InputFile& file);

// Reads the header and appends the file's list entry (" (NOT AIFF FILE)" added when no COMM was found) and
// its data line numbered `number`. Always returns true: every AIFF file is listed.
bool ReadAiffHeader(AudioFileListing& listing, const std::string& path, const std::string& caption,
                    uint32_t number);

// An 80-bit IEEE extended float (big-endian, as AIFF stores the sample rate) truncated to an integer,
// 0 for negative values and limited to 32 bits.
uint32_t ExtendedToUnsigned(const uint8_t* bytes);
// The integer as an 80-bit extended float.
void UnsignedToExtended(uint32_t value, uint8_t* bytes);

} // namespace quorvane
