// Fetched sample frames: signed 16-bit mono frames, one buffer per channel, with the low byte of each frame
// beside them for samples recorded with more than 16 bits.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace quorvane {

// Sample buffers are filled straight from the file: leaving their elements uninitialised on allocation
// saves clearing every sample's memory once before it is overwritten.
template <typename T> struct UninitialisedAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = UninitialisedAllocator<U>; };
    UninitialisedAllocator() = default;
    template <typename U> UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
    template <typename U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

using FrameVector = std::vector<int16_t, UninitialisedAllocator<int16_t>>;
using ByteVector = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

// One channel of fetched frames. `length` counts bytes of 16-bit data, so frames = length / 2. A sample of
// more than 16 bits keeps bits 8..23 of each 24-bit frame in `frames` and bits 0..7 in `low`, one byte per
// frame, as a SoundFont 2.04 bank stores them: players take the 16-bit words, writers of 24-bit files both.
struct FrameBuffer {
    FrameVector frames;
    ByteVector low;
    uint32_t length = 0;

    void Free() {
        FrameVector().swap(frames);
        ByteVector().swap(low);
        length = 0;
    }
    // The low bytes are kept only when there is one for every frame.
    void Fill(FrameVector&& filled, ByteVector&& lowBytes = {}) {
        length = static_cast<uint32_t>(filled.size() * 2);
        frames = std::move(filled);
        low = lowBytes.size() == frames.size() ? std::move(lowBytes) : ByteVector();
    }
    uint32_t FrameCount() const { return length / 2; }
    bool Wide() const { return !low.empty(); }
    // Frame i as a signed 24-bit value (the 16-bit word shifted up when the sample has no low bytes).
    int32_t Frame24(uint32_t i) const {
        return static_cast<int32_t>(frames[i]) * 256 + (low.empty() ? 0 : low[i]);
    }
};

// The frames of one fetch: the sample asked for on the left, its stereo partner or second channel on the
// right.
struct FramePair {
    FrameBuffer& left;
    FrameBuffer& right;
};

} // namespace quorvane
