// What a MIDI input delivers, taken apart into the channel messages auditioning plays: a byte stream in
// which running status leaves out repeated status bytes, system exclusive dumps run to their end byte,
// real-time bytes may fall anywhere (even inside another message), and system common messages cancel the
// running status. Only channel messages come out, each whole: status in the low byte, data 1 in the next,
// data 2 in the third (0 for the one-byte program change and channel pressure).
//
// Threads: one stream belongs to one thread at a time; Feed neither allocates nor locks, so the MIDI
// library's thread runs it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvane::audio {

class MidiStream {
  public:
    // Passes each complete channel message in `bytes` to emit(uint32_t); any byte sequence is safe.
    template <typename Emit> void Feed(const uint8_t* bytes, size_t count, Emit&& emit) {
        for (size_t i = 0; i < count; ++i) {
            const uint8_t byte = bytes[i];
            if (byte >= 0xF8)
                continue; // real time: clock, start, stop, active sensing, reset; the message goes on
            if (byte >= 0xF0) {
                // System exclusive or system common: their data bytes belong to no channel message.
                status_ = 0;
                have_ = 0;
                continue;
            }
            if (byte >= 0x80) {
                status_ = byte;
                have_ = 0;
                continue;
            }
            if (status_ == 0)
                continue;
            data_[have_++] = byte;
            if (have_ == DataBytes(status_)) {
                emit(static_cast<uint32_t>(status_ | data_[0] << 8 | (have_ == 2 ? data_[1] << 16 : 0)));
                have_ = 0;
            }
        }
    }

    // Forgets a message begun and the running status: the next bytes start afresh.
    void Reset() {
        status_ = 0;
        have_ = 0;
    }

  private:
    static int DataBytes(uint8_t status) {
        const uint8_t kind = status & 0xF0;
        return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
    }

    uint8_t status_ = 0; // the running status; 0 when none holds
    uint8_t data_[2] = {0, 0};
    int have_ = 0;
};

} // namespace quorvane::audio
