// A bounded lock-free ring between exactly two threads: one pushes, the
// other pops. Its size is fixed at compile time; a push that finds it full
// fails and changes nothing, so memory stays bounded whatever the writer does.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <utility>

namespace tvxsim::sip {

template <typename T, size_t N> class SpscRing {
    static_assert(N >= 2 && (N & (N - 1)) == 0, "a power of two");

public:
    // Writer's thread: false when full.
    bool Push(T value)
    {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) == N)
            return false;
        items_[head & (N - 1)] = std::move(value);
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

    // Reader's thread: false when empty.
    bool Pop(T &out)
    {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        if (head_.load(std::memory_order_acquire) == tail)
            return false;
        out = std::move(items_[tail & (N - 1)]);
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Items waiting: exact on the reader's thread, at least this many taken on the writer's.
    size_t Size() const { return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire); }
    static constexpr size_t Capacity() { return N; }

private:
    std::array<T, N> items_{};
    alignas(64) std::atomic<size_t> head_{0};  // items ever pushed (the writer's)
    alignas(64) std::atomic<size_t> tail_{0};  // items ever popped (the reader's)
};

}  // namespace tvxsim::sip
