#pragma once

#include <atomic>
#include <cstdint>

// What a node's capture thread has seen of its stream. The capture thread counts with
// relaxed atomics, so its hot path takes no lock; any thread may read a value at any time
// (each on its own: the values are not one consistent snapshot).
struct StreamCounters {
    std::atomic<std::uint64_t> datagramsReceived{0};
    std::atomic<std::uint64_t> framesApplied{0};
    std::atomic<std::uint64_t> definitionsAccepted{0};
    // Received, but every pool buffer was waiting for compute.
    std::atomic<std::uint64_t> datagramsDropped{0};
    // Neither a frame nor a skeleton definition.
    std::atomic<std::uint64_t> datagramsRejected{0};
    // Steady-clock time of the last datagram, in nanoseconds; 0 before the first.
    std::atomic<std::int64_t> lastArrivalNanoseconds{0};
    // IPv4 address and port of the last sender, in host byte order; 0 before the first.
    std::atomic<std::uint32_t> senderAddress{0};
    std::atomic<std::uint16_t> senderPort{0};

    static void add(std::atomic<std::uint64_t>& counter) {
        counter.fetch_add(1, std::memory_order_relaxed);
    }
};
