// A fixed ring of 32-bit messages between one producing and one consuming thread, without locks and
// without allocation: the producer is the MIDI library's thread, the consumer the user-interface thread.
// A message that finds the ring full is dropped and counted; what is queued is never overwritten.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane::audio {

template <size_t Capacity> class MessageRing {
    static_assert((Capacity & (Capacity - 1)) == 0, "the capacity is a power of two");

  public:
    // Producer side.
    bool Push(uint32_t message) {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) == Capacity) {
            dropped_.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        items_[head & (Capacity - 1)] = message;
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Consumer side.
    bool Pop(uint32_t& message) {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire))
            return false;
        message = items_[tail & (Capacity - 1)];
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }
    // Consumer side: drops everything queued so far.
    void DropAll() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }

    uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

  private:
    std::array<uint32_t, Capacity> items_{};
    std::atomic<size_t> head_{0}; // written by the producer only
    std::atomic<size_t> tail_{0}; // written by the consumer only
    std::atomic<uint64_t> dropped_{0};
};

} // namespace quorvane::audio
