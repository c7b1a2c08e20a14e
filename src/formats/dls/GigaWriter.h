// Writes the chosen presets of a bank model, whatever the source format, as one GigaSampler file:
// instruments whose regions use a layer and a velocity dimension, each dimension region with its own
// articulation, then the sample groups, the pool table and the wave pool with every chosen sample as
// 16-bit mono PCM. The model is only read; it must be prepared for the write first (see
// convert/WritePreparation.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/UniqueId.h"
#include "formats/common/SampleSource.h"
#include "formats/common/WriteMessages.h"
#include "model/BankModel.h"
#include "model/WriteSelection.h"

namespace quorvane {

// What GigaSampler writes carry from one file to the next of a session: the instrument count of the
// status lines, and the identifiers made at start-up: the files', and the first instrument's, whose
// first word counts up per instrument written.
struct GigaRunState {
    uint32_t instrumentCounter = 0;
    UniqueId fileId = MakeUniqueId();
    UniqueId instrumentId = MakeUniqueId();
};

struct GigaWriteOptions {
    std::string bankName;                       // the name of the source bank, which names the written bank
    BankNaming naming = BankNaming::SourceBank; // Preset: a file of one preset (namingPreset) names the bank
    uint32_t namingPreset = 0;                  // a preset slot
    std::string sourcePath; // the bank being read: an output naming it gets a free "-N" name instead
    ProgressSpan progress;
    int middleCOffset = 12;                    // for the note names of warnings
    std::vector<std::string> sampleGroupNames; // a DLS source's own sample groups
    uint8_t akaiVolumeType = 0;                // Akai sources: the volume's type byte (default engineer)
    // False: a file that Cancel cut short is abandoned (a run of several files keeps only whole ones) rather
    // than kept as the valid bank of what was written.
    bool keepCutShort = true;
};

struct GigaWriteResult {
    bool written = false;
    std::string path;
    uint64_t size = 0;
    // Cancel stopped the write: the file holds the instruments written before it, and the samples after
    // it are silent placeholders.
    bool cutShort = false;
    // Samples whose data could not be read from the source: written without (or with part of) their data.
    uint32_t unreadableSamples = 0;
    std::vector<uint32_t> poolIndex; // each sample's number in the wave pool; 0xFFFFFFFF: not written
};

// selection: the records of `bank` that go into the file.
GigaWriteResult WriteGigaBank(const BankModel& bank, const WriteSelection& selection, SampleSource& samples,
                              Host& host, GigaRunState& state, const std::string& outputPath,
                              const GigaWriteOptions& options);

} // namespace quorvane
