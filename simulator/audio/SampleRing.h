// A lock-free ring of samples between exactly two threads: one writes, the
// other reads. Its size is fixed; a write that does not fit is cut short
// (the samples beyond the space are dropped and counted by the caller).
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tvxsim {

class SampleRing {
public:
    static constexpr size_t kCapacity = 4096;  // 512 ms at 8 kHz; a power of two

    // Writer's thread: appends what fits; returns how many were written.
    size_t Write(std::span<const int16_t> samples)
    {
        const size_t head = head_.load(std::memory_order_relaxed);
        const size_t tail = tail_.load(std::memory_order_acquire);
        const size_t n = std::min(samples.size(), kCapacity - (head - tail));
        for (size_t i = 0; i < n; ++i)
            data_[(head + i) & kMask] = samples[i];
        head_.store(head + n, std::memory_order_release);
        lastWrite_.store(samples.size(), std::memory_order_relaxed);
        return n;
    }

    // How many samples the last write brought (what the reader must be ready
    // to wait for at once). Any thread.
    size_t LastWrite() const { return lastWrite_.load(std::memory_order_relaxed); }

    // Reader's thread: takes up to out.size() samples; returns how many.
    size_t Read(std::span<int16_t> out)
    {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t head = head_.load(std::memory_order_acquire);
        const size_t n = std::min(out.size(), head - tail);
        for (size_t i = 0; i < n; ++i)
            out[i] = data_[(tail + i) & kMask];
        tail_.store(tail + n, std::memory_order_release);
        return n;
    }

    // Reader's thread: drops up to n samples; returns how many.
    size_t Discard(size_t n)
    {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        const size_t head = head_.load(std::memory_order_acquire);
        n = std::min(n, head - tail);
        tail_.store(tail + n, std::memory_order_release);
        return n;
    }

    // Samples waiting (exact on the reader's thread; a lower bound of the
    // space taken on the writer's).
    size_t Fill() const { return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire); }

private:
    static constexpr size_t kMask = kCapacity - 1;
    static_assert((kCapacity & kMask) == 0);

    std::array<int16_t, kCapacity> data_{};
    alignas(64) std::atomic<size_t> head_{0};  // samples ever written (the writer's)
    alignas(64) std::atomic<size_t> tail_{0};  // samples ever read or dropped (the reader's)
    std::atomic<size_t> lastWrite_{0};         // size of the last write, as asked (the writer's)
};

}  // namespace tvxsim
