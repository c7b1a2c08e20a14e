// The four SCSI commands the Akai readers need, as command blocks with their transfer direction, buffer
// length and time-out. A transport runs them on a drive or answers them from a disc image.
#pragma once

#include <array>
#include <cstdint>

namespace quorvane {

// Request status as the readers see it: only kScsiCompleted means the data is there.
constexpr uint8_t kScsiPending = 0; // still running when the time-out passed
constexpr uint8_t kScsiCompleted = 1;
constexpr uint8_t kScsiAborted = 2;
constexpr uint8_t kScsiError = 4;

// Request flags: the command reads data from the drive; completion is signalled.
constexpr uint8_t kScsiDataIn = 0x08;
constexpr uint8_t kScsiEventNotify = 0x40;
constexpr uint8_t kScsiSenseLength = 14;

constexpr uint32_t kSectorSize = 2048;
// The one transfer buffer every data-in command reads into.
constexpr uint32_t kScsiBufferSize = 70000;
// READ(10)'s transfer length uses only the low byte of its field.
constexpr uint32_t kMaxSectorsPerRead = 255;

constexpr uint8_t kOpTestUnitReady = 0x00;
constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpReadCapacity = 0x25;
constexpr uint8_t kOpRead10 = 0x28;

constexpr uint8_t kDeviceTypeCdRom = 5;

struct ScsiCommand {
    std::array<uint8_t, 16> block{};
    uint8_t blockLength = 0;
    uint8_t flags = 0;
    uint32_t bufferLength = 0; // bytes the reply may fill; 0 for a command without data
    uint32_t timeoutMs = 0;

    bool ReadsData() const { return (flags & kScsiDataIn) != 0; }
};

ScsiCommand InquiryCommand();
ScsiCommand TestUnitReadyCommand();
ScsiCommand ReadCapacityCommand();
// READ(10) of byteCount bytes (a whole number of sectors, at most 255 of them) from sector `first`.
ScsiCommand Read10Command(uint32_t first, uint32_t byteCount);

} // namespace quorvane
