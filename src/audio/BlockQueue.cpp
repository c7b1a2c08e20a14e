#include "audio/BlockQueue.h"

#include <algorithm>
#include <cstring>

namespace quorvane::audio {

void BlockQueue::Reset(int channels) {
    channels_ = channels == 2 ? 2 : 1;
    for (Block& block : blocks_) {
        block.count = 0;
        block.state.store(kFree, std::memory_order_release);
    }
    playing_ = 0;
    offset_ = 0;
    begun_ = false;
    nextFinished_ = 0;
    draining_.store(false, std::memory_order_release);
    framesPlayed_.store(0, std::memory_order_release);
    starved_.store(0, std::memory_order_release);
}

bool BlockQueue::IsQueued(int block) const {
    return blocks_[static_cast<size_t>(block)].state.load(std::memory_order_acquire) != kFree;
}

void BlockQueue::Submit(int block, size_t values) {
    Block& b = blocks_[static_cast<size_t>(block)];
    b.count = std::min(values, kBlockValues);
    b.state.store(kQueued, std::memory_order_release);
}

int BlockQueue::TakeFinished() {
    for (int tries = 0; tries < 2; ++tries) {
        const int block = nextFinished_;
        Block& b = blocks_[static_cast<size_t>(block)];
        int expected = kPlayed;
        if (b.state.compare_exchange_strong(expected, kFree, std::memory_order_acq_rel)) {
            nextFinished_ = block ^ 1;
            return block;
        }
        if (expected != kFree)
            return -1;             // the oldest block still plays
        nextFinished_ = block ^ 1; // never submitted: look at the other one
    }
    return -1;
}

void BlockQueue::Render(int16_t* out, size_t frames) noexcept {
    const size_t channels = static_cast<size_t>(channels_);
    size_t done = 0;
    uint64_t played = 0;
    bool starved = false;
    while (done < frames) {
        Block& b = blocks_[static_cast<size_t>(playing_)];
        if (b.state.load(std::memory_order_acquire) != kQueued) {
            std::memset(out + done * channels, 0, (frames - done) * channels * sizeof(int16_t));
            // Before the first block arrives the stream is only starting, not late.
            starved = begun_ && !draining_.load(std::memory_order_acquire);
            break;
        }
        begun_ = true;
        const size_t available = (b.count - offset_) / channels;
        const size_t take = std::min(available, frames - done);
        std::memcpy(out + done * channels, b.values.data() + offset_, take * channels * sizeof(int16_t));
        done += take;
        played += take;
        offset_ += take * channels;
        if (offset_ + channels > b.count) {
            b.state.store(kPlayed, std::memory_order_release);
            playing_ ^= 1;
            offset_ = 0;
        }
    }
    if (played)
        framesPlayed_.fetch_add(played, std::memory_order_acq_rel);
    if (starved)
        starved_.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace quorvane::audio
