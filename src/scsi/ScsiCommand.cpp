#include "scsi/ScsiCommand.h"

namespace quorvane {

namespace {
ScsiCommand Command(uint8_t blockLength, uint8_t flags, uint32_t bufferLength, uint32_t timeoutMs) {
    ScsiCommand command;
    command.blockLength = blockLength;
    command.flags = flags;
    command.bufferLength = bufferLength;
    command.timeoutMs = timeoutMs;
    return command;
}
} // namespace

ScsiCommand InquiryCommand() {
    ScsiCommand command = Command(10, kScsiDataIn | kScsiEventNotify, 64, 5000);
    command.block[0] = kOpInquiry;
    command.block[4] = 64; // allocation length
    return command;
}

ScsiCommand TestUnitReadyCommand() {
    return Command(6, kScsiEventNotify, 0, 3000);
}

ScsiCommand ReadCapacityCommand() {
    ScsiCommand command = Command(10, kScsiDataIn | kScsiEventNotify, 64, 5000);
    command.block[0] = kOpReadCapacity;
    return command;
}

ScsiCommand Read10Command(uint32_t first, uint32_t byteCount) {
    ScsiCommand command = Command(10, kScsiDataIn | kScsiEventNotify, byteCount, 10000);
    command.block[0] = kOpRead10;
    command.block[2] = static_cast<uint8_t>(first >> 24);
    command.block[3] = static_cast<uint8_t>(first >> 16);
    command.block[4] = static_cast<uint8_t>(first >> 8);
    command.block[5] = static_cast<uint8_t>(first);
    command.block[8] = static_cast<uint8_t>(byteCount / kSectorSize);
    return command;
}

} // namespace quorvane
