// Saves one sample of a bank, whatever its source, as a 16- or 24-bit WAVE file (with a sampler chunk) or
// AIFF file (with markers and an instrument chunk): one channel, or two for a stereo sample.
#pragma once

#include <cstdint>
#include <string>

#include "core/Host.h"
#include "formats/common/SampleSource.h"
#include "model/BankModel.h"

namespace quorvane {

enum class SampleFileType { Wave, Aiff };

// Where the files written are laid out: the "data" chunk of a WAVE file without and with a loop, and the
// first sample of an AIFF file.
constexpr uint32_t kWaveDataChunkAt = 80;
constexpr uint32_t kWaveLoopDataChunkAt = 104;
constexpr uint32_t kAiffHeaderSize = 108;

enum class SampleFileStatus {
    Written,
    Skipped,     // no such sample, or an audio file of a format that is not loaded: nothing written
    CannotWrite, // the file could not be created or written (reported through the Host)
    Unreadable,  // the sample's data could not be read from its source (reported): nothing written
    Interrupted, // the user interrupted the program: the file was abandoned
};

struct SampleFileResult {
    SampleFileStatus status = SampleFileStatus::Skipped;
    uint64_t size = 0;
    uint16_t channels = 0;
};

struct SampleFileOptions {
    SampleFileType type = SampleFileType::Wave;
    // The root key written: the one of the zone that listed the sample (while the sample list shows one
    // preset's samples) instead of the sample's own.
    bool zoneRootKey = false;
    // 16 or 24; 0 writes 24 bits for a sample fetched with more than 16, else 16.
    int bits = 0;
};

// Writes sample `index` to path. The frames come from the source with the stereo partner; the shorter
// channel of a pair is padded with zeros. The file replaces any file of that name only once it is complete;
// a file that cannot be written is reported as a status line during a batch run and as a message box
// otherwise.
SampleFileResult WriteSampleAudioFile(const BankModel& bank, SampleSource& samples, Host& host,
                                      const std::string& path, uint32_t index,
                                      const SampleFileOptions& options);

} // namespace quorvane
