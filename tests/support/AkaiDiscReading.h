// An Akai disc made by the image builder, opened as a drive and read as far as one volume's listings: the
// state the program, sample and loader tests start from.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "formats/akai/AkaiVolumes.h"
#include "model/BankModel.h"
#include "scsi/ScsiLayer.h"
#include "support/AkaiImageBuilder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

namespace quorvane::test {

struct AkaiDiscReading {
    TempDir dir;
    std::string path;
    ScsiLayer scsi;
    AkaiState akai;
    RecordingHost host;
    BankModel bank;

    // Writes the disc, scans it, and lists volume `volume` of partition `partition` into the bank.
    explicit AkaiDiscReading(const AkaiImageBuilder& builder, uint32_t partition = 0, uint32_t volume = 0)
        : path((dir.Path() / "disc.iso").string()) {
        builder.WriteSparse(path);
        scsi.OpenImage(path);
        scsi.ReadCapacity();
        ScanPartitions(akai, scsi, host);
        ListVolumes(akai, partition);
        if (ReadVolumeDirectory(akai, scsi, akai.VolumeEntryOf(volume)) == kScsiCompleted) {
            bank.SourceFormat = SourceFormat::Akai;
            ListAkaiSamples(bank, akai);
            ListAkaiPrograms(bank, akai);
        }
    }

    uint32_t SampleIndex(const std::string& name) const {
        for (uint32_t s = 0; s < bank.SampleCount; ++s)
            if (bank.SampleTable[s].name == name)
                return s;
        return kNoSample;
    }
};

// A sine of the given frequency at 44.1 kHz, loud enough to measure and to loop without a click when the
// loop spans whole periods.
inline std::vector<int16_t> SineFrames(double frequency, size_t count, double amplitude = 16000) {
    std::vector<int16_t> frames(count);
    for (size_t i = 0; i < count; ++i)
        frames[i] =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * frequency * i / 44100.0)));
    return frames;
}

} // namespace quorvane::test
