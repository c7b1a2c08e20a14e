// Fetched sample frames: signed 16-bit mono frames, one buffer per channel.
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

// One channel of fetched frames. `length` counts bytes of 16-bit data, so frames = length / 2.
struct FrameBuffer {
    FrameVector frames;
    uint32_t length = 0;

    void Free() {
        FrameVector().swap(frames);
        length = 0;
    }
    void Fill(FrameVector&& filled) {
        length = static_cast<uint32_t>(filled.size() * 2);
        frames = std::move(filled);
    }
    uint32_t FrameCount() const { return length / 2; }
};

// The frames of one fetch: the sample asked for on the left, its stereo partner or second channel on the
// right.
struct FramePair {
    FrameBuffer& left;
    FrameBuffer& right;
};

} // namespace quorvane
