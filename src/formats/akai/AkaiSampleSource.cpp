#include "formats/akai/AkaiSampleSource.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace quorvane {

namespace {

static_assert(std::endian::native == std::endian::little,
              "sample words are used as read: little-endian only");

constexpr uint32_t kHeaderBytes = 150;
constexpr uint32_t kPieceBytes = kAkaiPieceSectors * kSectorSize;

int32_t I32At(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

FetchReport FetchAkaiSample(SampleRecord& sample, ScsiLayer& scsi, bool s3000, uint64_t partitionEnd,
                            FrameBuffer* target) {
    FetchReport report;
    sample.sampleRate = 44100;
    sample.looped = 0;
    sample.loopStart = sample.loopEnd = 0;
    sample.rootKey = 60;
    sample.pitchCorrection = 0;
    sample.listed = 1;
    sample.bitsPerSample = 16;
    sample.blockAlign = 2;
    if (scsi.ReadSectors(sample.dataOffset, kSectorSize) != kScsiCompleted) {
        ++report.readErrors;
        return report;
    }
    const uint8_t* header = scsi.ScsiBuffer.data();
    const uint32_t nominalRate = header[1] != 0 ? 44100 : 22050;
    sample.rootKey = header[2] & 127;
    if (header[16] != 0)
        sample.looped = header[16] & 15;
    if (header[19] == 2 || header[19] == 3)
        sample.looped = 0;
    const uint8_t fineTune = header[20];
    const int8_t semitoneTune = static_cast<int8_t>(header[21]);
    const int64_t start = I32At(header + 30), end = I32At(header + 34);
    const int64_t loopAt = static_cast<uint32_t>(I32At(header + 38));
    const int64_t loopLength = static_cast<uint32_t>(I32At(header + 44));
    const uint32_t rate = static_cast<uint32_t>(header[138] | header[139] << 8);

    // The frames run from the start marker to the end marker, inclusive. Markers that are negative, far
    // too large, or reach past the partition (into other files) describe no sample.
    const int64_t bytes = (end - start) * 2 + 2;
    const int64_t partitionBytes = (static_cast<int64_t>(partitionEnd) - sample.dataOffset) * kSectorSize;
    if (start < 0 || end < 0 || bytes < 0 || bytes > kMaxAkaiSampleBytes ||
        int64_t{kHeaderBytes} + end * 2 + 2 > partitionBytes) {
        sample.dataLength = 0;
        return report;
    }
    const int64_t frames = bytes / 2;

    const int64_t rounded = s3000 ? loopAt / 16 * 16 : loopAt / 64 * 64;
    int64_t loopEnd = rounded - start + 1;
    int64_t loopStart = loopEnd - loopLength;
    if (loopStart < 0 || loopStart >= frames)
        loopStart = 0;
    if (loopEnd < 0 || loopEnd > frames)
        loopEnd = frames;
    if (loopEnd < loopStart)
        loopEnd = loopStart + 1;
    sample.loopStart = static_cast<uint32_t>(loopStart);
    sample.loopEnd = static_cast<uint32_t>(loopEnd);
    sample.dataLength = static_cast<uint32_t>(bytes);
    sample.sampleRate = rate;

    const int fineCents = fineTune * 100 / 255;
    int rateCorrection = 0;
    if (rate > 0)
        rateCorrection =
            static_cast<int16_t>(static_cast<int>(1200.0 * std::log2(double(nominalRate) / rate)));
    sample.pitchCorrection = semitoneTune * 100 + fineCents + rateCorrection;
    if (target == nullptr)
        return report;

    // The header and every word up to the end marker, in whole sectors, read in pieces.
    const uint32_t readSize =
        static_cast<uint32_t>((end * 2 + 152) / kSectorSize * kSectorSize + kSectorSize);
    FrameVector data(readSize / 2 + 100);
    uint8_t* out = reinterpret_cast<uint8_t*>(data.data());
    for (uint32_t position = 0; position < readSize; position += kPieceBytes) {
        const uint32_t piece = std::min(kPieceBytes, readSize - position);
        if (scsi.ReadSectors(sample.dataOffset + position / kSectorSize, piece) != kScsiCompleted)
            ++report.readErrors;
        // A failed piece keeps what the transfer buffer holds: zeros, or what the drive delivered.
        std::memcpy(out + position, scsi.ScsiBuffer.data(), piece);
    }
    const uint64_t first = static_cast<uint64_t>(start) * 2 + kHeaderBytes;
    if (first < readSize)
        std::memmove(out, out + first, readSize - first);
    data.resize(static_cast<size_t>(frames));
    if (sample.looped == 0 && bytes >= 4)
        data[static_cast<size_t>(frames - 1)] = 0;
    target->Fill(std::move(data));
    return report;
}

void AkaiSampleSource::Bind(BankModel& bank, ScsiLayer& scsi, const AkaiState& akai) {
    bank_ = &bank;
    scsi_ = &scsi;
    s3000_ = akai.IsS3000Volume(akai.loadedVolume);
    partitionEnd_ = akai.CurrentPartitionEnd();
}

FetchReport AkaiSampleSource::Fetch(uint32_t index, FramePair target, bool /*withPartner*/) {
    FetchReport report;
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return report;
    report = FetchAkaiSample(bank_->SampleTable[index], *scsi_, s3000_, partitionEnd_, &target.left);
    const SampleRecord& sample = bank_->SampleTable[index];
    const uint32_t partner = sample.linkIndex - 1u;
    if (sample.sampleType == 4 && bank_->IsValidSample(partner))
        report.readErrors +=
            FetchAkaiSample(bank_->SampleTable[partner], *scsi_, s3000_, partitionEnd_, &target.right)
                .readErrors;
    return report;
}

FetchReport AkaiSampleSource::ReadHeader(uint32_t index) {
    if (bank_ == nullptr || !bank_->IsValidSample(index))
        return {};
    return FetchAkaiSample(bank_->SampleTable[index], *scsi_, s3000_, partitionEnd_, nullptr);
}

} // namespace quorvane
