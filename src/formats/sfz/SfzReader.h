// Reads an SFZ instrument into the bank model: one preset of one instrument layer, a zone per region that a
// player sounds without key switches or round robins beyond their first, and a sample per sample file
// (a stereo file as two linked halves). Sample files are read through libsndfile: WAVE, AIFF, FLAC and
// Ogg Vorbis. What the model cannot hold is noted, opcodes it does not know by name among them.
#pragma once

#include <string>
#include <vector>

#include "formats/common/ReadNotes.h"
#include "formats/sfz/SfzParser.h"
#include "model/BankModel.h"

namespace quorvane {

// Where a sample's frames are: the file, and which of its channels.
struct SfzSampleFile {
    std::string path;
    int channel = 0;
};

// The bank read from `path`: false (notes.damage says why) when the text cannot be read or holds no region
// with a sample that can be read. samples gets one entry per sample record.
bool ReadSfzBank(const std::string& path, BankModel& bank, std::vector<SfzSampleFile>& samples,
                 ReadNotes& notes);

// A key as SFZ writes it: a MIDI number, or a note name (c4 = 60, c#4, db4); -1 when it is neither.
int SfzKey(const std::string& text);

} // namespace quorvane
