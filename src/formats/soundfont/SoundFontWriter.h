// Writes the chosen presets of a bank model, with their layers, zones and samples, as a SoundFont 2.01
// file (or a SoundFont 3 file, its samples compressed). Every source format is written from the same tables;
// sample frames come from the bank's sample source, one sample in memory at a time. The model is only read.
#pragma once

#include <cstdint>
#include <string>

#include "core/Host.h"
#include "formats/common/SampleSource.h"
#include "formats/common/WriteMessages.h"
#include "model/BankModel.h"
#include "model/WriteSelection.h"

namespace quorvane {

// How sample data is stored: as 16-bit words (SoundFont 2), or as one Ogg Vorbis stream per sample
// (SoundFont 3, about a tenth of the size, lossy).
enum class SoundFontSampleStorage { Pcm, OggVorbis };

// The Vorbis quality a SoundFont 3 is written at unless asked otherwise (0 smallest .. 1 best).
constexpr double kDefaultVorbisQuality = 0.6;

struct SoundFontWriteOptions {
    std::string bankName;                       // the name of the source bank, which names the written bank
    BankNaming naming = BankNaming::SourceBank; // Preset: the preset in namingPreset names the bank
    uint32_t namingPreset = 0;                  // a preset slot
    // The write for auditioning: bank 0 and program 0 everywhere, a message box instead of status lines,
    // and the output path taken as it is.
    bool temporary = false;
    std::string sourcePath; // the bank being read: an output naming it gets a free "-N" name instead
    ProgressSpan progress;
    uint8_t akaiVolumeType = 0; // Akai sources: the volume's type byte, which names the default engineer
    SoundFontSampleStorage storage = SoundFontSampleStorage::Pcm;
    // False: a file that Cancel cut short is abandoned (a run of several files keeps only whole ones) rather
    // than kept with the samples written before it.
    bool keepCutShort = true;
    double vorbisQuality = kDefaultVorbisQuality;
};

struct SoundFontWriteResult {
    bool written = false; // false when the file could not be created or a write failed
    std::string path;     // the name actually written (a free "-N" name when the target is the source)
    uint32_t size = 0;
    bool cutShort = false; // Cancel skipped samples: the file holds only those written before it
    // Samples whose data could not be read from the source: written without (or with part of) their data.
    uint32_t unreadableSamples = 0;
};

// selection: the records of `bank` that go into the file.
SoundFontWriteResult WriteSoundFontBank(const BankModel& bank, const WriteSelection& selection,
                                        SampleSource& samples, Host& host, const std::string& outputPath,
                                        const SoundFontWriteOptions& options);

} // namespace quorvane
