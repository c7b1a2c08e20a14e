// Reads a SoundFont 2 bank (RIFF form "sfbk") into the bank model. Sample data stays in the file: samples
// keep the file offset of their data. The steps run in the order declared here; only the first needs the
// open file, the others walk the image it builds.
#pragma once

#include <string>
#include <vector>

#include "formats/common/InputFile.h"
#include "formats/common/ReadNotes.h"
#include "model/BankModel.h"

namespace quorvane {

// Record sizes of the hydra tables.
namespace sf2 {
constexpr uint32_t kPhdrSize = 38;
constexpr uint32_t kBagSize = 4;
constexpr uint32_t kModSize = 10;
constexpr uint32_t kGenSize = 4;
constexpr uint32_t kInstSize = 22;
constexpr uint32_t kShdrSize = 46;
constexpr uint32_t kNameLength = 20;
// A sample type with this bit set holds an Ogg Vorbis stream (SoundFont 3) rather than 16-bit words.
constexpr uint16_t kOggVorbisTypeBit = 0x10;
} // namespace sf2

// Step 1: the image of the file without its sample data: the 12-byte RIFF header, then every top-level
// chunk except LIST sdta, in file order. Sets SampleDataStart.
void BuildSoundFontImage(BankModel& bank, InputFile& file, ReadNotes& notes);
// Step 2: BankVersion from ifil (major * 10 + minor).
void ReadSoundFontVersion(BankModel& bank);
// Step 3: the sample table from shdr.
void ReadSoundFontSamples(BankModel& bank, ReadNotes& notes);
// Step 3b: how many frames each Ogg Vorbis sample (SoundFont 3) decodes to, read from the end of its
// stream in the file; a sample whose stream cannot be measured is left without data, and noted.
void MeasureOggVorbisSamples(BankModel& bank, InputFile& file, ReadNotes& notes);
// Step 4: INFO texts, presets, layers and zones. Returns true when a chunk of odd size was met.
bool ReadSoundFontHydra(BankModel& bank, ReadNotes& notes);
// Step 5: sampleModes of a global zone spread to its layer's zones; looped samples take their zone's loop.
void PropagateSoundFontLoops(BankModel& bank);
// The loop step of the DLS and GigaSampler path: loop ends cut to the sample, then any nonzero
// sampleModes loops the sample.
void PropagateDlsLoops(BankModel& bank);

// The message shown when an interactive load meets a chunk of odd size.
constexpr const char* kOddChunkMessage =
    "This file has incorrect format.\r\n\r\nPlease use Vienna to correct chunks.\r\n";

} // namespace quorvane
