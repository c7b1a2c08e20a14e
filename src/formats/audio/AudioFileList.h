// The audio-file model: what a WAVE or AIFF header said, kept as one fixed-width data line per listed file in
// WaveAttributes, and the completion step that turns those lines and the sample list entries into the
// sample table.
#pragma once

#include <cstdint>
#include <string>

#include "model/BankModel.h"
#include "model/SampleList.h"

namespace quorvane {

constexpr uint16_t kWaveFileKind = 0;
constexpr uint16_t kAiffFileKind = 1;
// An AIFF-C file of plain PCM in little-endian byte order ("sowt").
constexpr uint16_t kAiffLittleEndianFileKind = 2;
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
// G.711 logarithmic codes, one byte a sample: the WAVE format tags, also given to AIFF-C "alaw" and "ulaw".
constexpr uint16_t kFormatALaw = 6;
constexpr uint16_t kFormatMuLaw = 7;
constexpr uint16_t kFormatExtensible = 0xFFFE;

inline bool IsG711Format(uint16_t formatTag) {
    return formatTag == kFormatALaw || formatTag == kFormatMuLaw;
}

// A format whose samples this program cannot decode (ADPCM, MP3 ...): such files are listed as compressed and
// load nothing. 0 (no format read) is not a compressed one.
inline bool IsCompressedFormat(uint16_t formatTag) {
    return formatTag == 2 || (formatTag > kFormatFloat && !IsG711Format(formatTag));
}

inline bool IsAiffKind(uint16_t fileKind) {
    return fileKind == kAiffFileKind || fileKind == kAiffLittleEndianFileKind;
}

// Every data line is this long; line i starts at character i * kDataLineLength of WaveAttributes.
constexpr size_t kDataLineLength = 100;
// Sample indices are 16-bit and 0xFFFF means "no sample": a list holds at most this many files.
constexpr uint32_t kMaxAudioFiles = 0xFFFF;

// The thirteen header fields of one file, in the order of the data line. Fields the file does not give are 0.
struct AudioFileFields {
    uint16_t fileKind = 0;  // 0 WAVE, 1 AIFF, 2 little-endian AIFF-C
    uint16_t formatTag = 0; // 1 PCM, 3 IEEE float, 6 A-law, 7 u-law, 0 unknown, anything else compressed
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint16_t blockAlign = 0;
    uint32_t dataOffset = 0; // file offset of the first sample byte
    uint32_t dataLength = 0; // bytes
    uint16_t loopCount = 0;
    uint32_t loopStart = 0; // frames
    uint32_t loopEnd = 0;   // frames, one past the last frame of the loop
    uint16_t fineTune = 0;  // cents, as a 16-bit two's complement number
    uint16_t unityNote = 0;
};

// "WAVE %04x DATA ..." with the thirteen fields: exactly kDataLineLength characters.
std::string WaveDataLine(uint32_t number, const AudioFileFields& fields);
// The fields of data line `number` of the text; false when the text has no such line.
bool ParseWaveDataLine(const std::string& waveAttributes, uint32_t number, AudioFileFields& fields);

// The two picture indices of a list entry. recognised: a WAVE file with a complete "fmt " or an AIFF file
// with a "COMM".
void ChooseEntryPictures(const AudioFileFields& fields, bool recognised, SampleListEntry& entry);

// What a listing fills: one list entry and one data line (in WaveAttributes) per listed file.
struct AudioFileListing {
    SampleList& entries;
    std::string& dataLines;
    bool showCompressed = false; // list compressed WAVE files too
};

// Appends the list entry and the data line of one file that a header reader accepted.
void AppendAudioFile(AudioFileListing& listing, const std::string& caption, uint32_t number,
                     const AudioFileFields& fields, bool recognised);

// Builds the sample table from WaveAttributes and the sample list: one record per data line, each entry bound
// to its sample, captions marked for unknown and compressed formats.
void CompleteAudioFileList(BankModel& bank, const std::string& dataLines, SampleList& entries);

// Bytes one sample takes: bits / 8, plus 1 when bits is not a multiple of 8.
inline uint32_t BytesPerSample(uint32_t bits) {
    return bits / 8 + (bits % 8 != 0 ? 1 : 0);
}

} // namespace quorvane
