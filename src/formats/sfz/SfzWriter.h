// Writes the chosen presets of a bank model as an SFZ folder: one .sfz text per preset, and each sample
// the presets play once in samples/ as a WAVE or FLAC file of 16 or 24 bits, as the source holds it.
// Opcodes every region of a preset shares go to its <global>, those all regions of one preset zone share to
// that zone's <group>. The model is only read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Host.h"
#include "formats/common/SampleSource.h"
#include "formats/common/SoundFileEncoder.h"
#include "formats/common/WriteMessages.h"
#include "model/BankModel.h"
#include "model/WriteSelection.h"

namespace quorvane {

// The folder under the output folder that holds the samples.
constexpr const char* kSfzSampleFolder = "samples";

struct SfzWriteOptions {
    std::string bankName;
    // File names without folder or extension, already made safe as file names by the caller: the .sfz
    // file of each preset slot, and the sample file of each sample index. An empty name is not written.
    std::vector<std::string> presetFiles;
    std::vector<std::string> sampleFiles;
    SoundFileContainer container = SoundFileContainer::Wave;
    ProgressSpan progress;
};

struct SfzWriteResult {
    bool written = false;            // every file written
    std::vector<std::string> files;  // the .sfz files written
    uint64_t bytes = 0;              // of every file written, samples included
    std::vector<std::string> losses; // what SFZ could not express: "N region(s): ..."
    bool cancelled = false;
};

// folder ends in '/' and is made when missing. Samples are written first, then the .sfz files; Cancel or a
// failed write stops before the .sfz files.
SfzWriteResult WriteSfzFolder(const BankModel& bank, const WriteSelection& selection, SampleSource& samples,
                              Host& host, const std::string& folder, const SfzWriteOptions& options);

} // namespace quorvane
