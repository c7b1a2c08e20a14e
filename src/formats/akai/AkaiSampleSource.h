// The sample source of Akai volumes: each sample file on the disc holds a 150-byte header (rate, key,
// tuning, markers and loops) followed by its 16-bit frames. A fetch reads the header, completes the
// sample's record from it (the directory gives only name, place and size), and reads the frames between
// the start and end markers in pieces of at most 31 sectors.
#pragma once

#include <cstdint>

#include "formats/akai/AkaiVolumes.h"
#include "formats/common/SampleSource.h"
#include "model/BankModel.h"
#include "scsi/ScsiLayer.h"

namespace quorvane {

// The largest sample a header may describe, in bytes.
constexpr int64_t kMaxAkaiSampleBytes = 100000000;
// Sectors per data read: a piece of 63,488 bytes fits the SCSI transfer buffer.
constexpr uint32_t kAkaiPieceSectors = 31;

// Reads sample `sample`'s header and, with a target, its frames into the target. s3000: the volume's kind,
// which sets how loop points are rounded. partitionEnd: the first sector past the sample's partition; a
// sample whose markers reach past it is taken as damaged. Failed sector reads are counted in the report.
FetchReport FetchAkaiSample(SampleRecord& sample, ScsiLayer& scsi, bool s3000, uint64_t partitionEnd,
                            FrameBuffer* target);

class AkaiSampleSource : public SampleSource {
  public:
    // The bank whose records the fetch completes, and the disc state of its volume.
    void Bind(BankModel& bank, ScsiLayer& scsi, const AkaiState& akai);

    // The sample on the left and, for the left half of a linked pair, its partner on the right, whether
    // or not the partner is asked for: both halves come from the disc the same way.
    FetchReport Fetch(uint32_t index, FramePair target, bool withPartner) override;
    // Completes the record of sample `index` from its header without reading the frames.
    FetchReport ReadHeader(uint32_t index);

  private:
    BankModel* bank_ = nullptr;
    ScsiLayer* scsi_ = nullptr;
    bool s3000_ = false;
    uint64_t partitionEnd_ = 0;
};

} // namespace quorvane
