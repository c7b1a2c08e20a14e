// The two alternating output blocks of wave playback and their hand-over between the user-interface
// thread, which fills them, and the audio thread, which plays them.
//
// Threads:
//  - user-interface thread: IsQueued, Data, Submit, TakeFinished, SetDraining, FramesPlayed, Starved,
//    Reset (Reset only while no stream plays from the queue).
//  - audio thread: Render, and nothing else.
// The hand-over uses one atomic state per block: the user-interface thread writes a block only while the
// audio thread does not own it, then publishes it with a release store; the audio thread reads it after an
// acquire load and gives it back the same way. Render never allocates, locks, logs or waits.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane::audio {

class BlockQueue {
  public:
    static constexpr size_t kBlockValues = 40000; // 16-bit values per block: 80,000 bytes

    // Empties both blocks and the counters, for a stream of `channels` interleaved channels.
    void Reset(int channels);

    // True from Submit until the audio thread has played the whole block and TakeFinished took it.
    bool IsQueued(int block) const;
    // The block's storage; written only while the block is not queued.
    int16_t* Data(int block) { return blocks_[static_cast<size_t>(block)].values.data(); }
    // Hands `values` values of the block to the audio thread (a whole number of frames).
    void Submit(int block, size_t values);
    // A block the audio thread has finished, oldest first, now no longer queued; -1 when none.
    int TakeFinished();
    // Set when the player has nothing more to send: from then on a missing block is the end of the
    // sound, not a block late.
    void SetDraining(bool draining) { draining_.store(draining, std::memory_order_release); }

    // Frames taken from blocks so far (not counting silence).
    uint64_t FramesPlayed() const { return framesPlayed_.load(std::memory_order_acquire); }
    // Audio periods in which the next block was not ready in time and silence played instead.
    uint32_t Starved() const { return starved_.load(std::memory_order_acquire); }

    // Audio thread: fills `frames` frames of `out` from the queued blocks in order, silence where none is
    // ready.
    void Render(int16_t* out, size_t frames) noexcept;

  private:
    enum State : int { kFree = 0, kQueued = 1, kPlayed = 2 };
    struct Block {
        std::array<int16_t, kBlockValues> values{};
        size_t count = 0; // written by the user-interface thread before publishing
        std::atomic<int> state{kFree};
    };
    std::array<Block, 2> blocks_;
    int channels_ = 1;
    // Audio thread only (and Reset, while no stream runs).
    int playing_ = 0;
    size_t offset_ = 0;
    bool begun_ = false;
    // User-interface thread only: the block to be reported next.
    int nextFinished_ = 0;
    std::atomic<bool> draining_{false};
    std::atomic<uint64_t> framesPlayed_{0};
    std::atomic<uint32_t> starved_{0};
};

} // namespace quorvane::audio
