#pragma once

#include <atomic>
#include <cstdint>

// What a node's capture thread has seen of its stream, and what compute made of the blocks.
// The capture thread (compute, for blocksPassedOver) counts with relaxed atomics, so the hot
// paths take no lock; any thread may read a value at any time (each on its own: the values
// are not one consistent snapshot).
//
// Each pass of the capture loop reads every datagram waiting on the socket, applies each in
// arrival order and pushes one block with the newest state, so no datagram is skipped: a
// datagram the socket delivered is always received and applied or rejected. What a full pool
// costs is a later block, never a datagram.
struct StreamCounters {
    // Read from the socket; every one of them is handled.
    std::atomic<std::uint64_t> datagramsReceived{0};
    std::atomic<std::uint64_t> framesApplied{0};
    std::atomic<std::uint64_t> definitionsAccepted{0};
    // Neither a frame nor a skeleton definition.
    std::atomic<std::uint64_t> datagramsRejected{0};
    // Frame numbers applied frames skipped: frames lost on the way.
    std::atomic<std::uint64_t> framesMissed{0};
    // Blocks pushed into the pool: at most one per pass.
    std::atomic<std::uint64_t> blocksPushed{0};
    // Applied frames and accepted definitions whose state never got a block of its own,
    // because a later one in the same pass (or in a later pass, while the pool was full)
    // replaced it before a block was pushed; counted as the later one is handled.
    std::atomic<std::uint64_t> blocksSuperseded{0};
    // Passes that had a block to push and found every pool buffer waiting for compute; their
    // state went into a later block.
    std::atomic<std::uint64_t> passesWithoutBuffer{0};
    // Blocks compute handed back unread because a newer block waited behind them.
    std::atomic<std::uint64_t> blocksPassedOver{0};
    // Evaluations while recording and playing that found no new block: no sample there,
    // unless a later evaluation at the same time finds one (compute counts).
    std::atomic<std::uint64_t> samplesWithoutPose{0};
    // Steady-clock time of the last datagram, in nanoseconds; 0 before the first.
    std::atomic<std::int64_t> lastArrivalNanoseconds{0};
    // IPv4 address and port of the last sender, in host byte order; 0 before the first.
    std::atomic<std::uint32_t> senderAddress{0};
    std::atomic<std::uint16_t> senderPort{0};

    static void add(std::atomic<std::uint64_t>& counter, std::uint64_t amount = 1) {
        counter.fetch_add(amount, std::memory_order_relaxed);
    }
};
