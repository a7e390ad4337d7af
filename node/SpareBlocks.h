#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>

// Storage blocks made ready ahead of need by one thread and taken by another, one slot per
// sequence. A take grows by a block per bone now and then; made on the evaluation thread,
// those allocations and the first touch of their pages stall that evaluation. The capture
// thread fills a slot between passes, and the evaluation takes a ready block without a
// lock, or makes its own when none is ready.
//
// Threads: one filling thread (`fill`), one taking thread at a time (`take`), with their
// own synchronisation for handing the taking role over; each slot is an atomic pointer.
template <typename T, std::size_t BlockSize, std::size_t Slots>
class SpareBlocks {
public:
    SpareBlocks() = default;
    SpareBlocks(const SpareBlocks&) = delete;
    SpareBlocks& operator=(const SpareBlocks&) = delete;
    ~SpareBlocks() {
        for (std::atomic<T*>& slot : mSlots) {
            delete[] slot.load();
        }
    }

    // Filling thread: makes one block, its pages touched, for the first empty slot; only
    // while blocks are wanted. One a call: every node starts recording on the same frame,
    // and touching all of their blocks at once would take the processors from evaluation
    // for a quarter of a second, for blocks a take needs only a thousand samples later.
    void fill() {
        if (!mWanted.load(std::memory_order_relaxed)) {
            return;
        }
        for (std::atomic<T*>& slot : mSlots) {
            if (slot.load(std::memory_order_relaxed) == nullptr) {
                T* block = new T[BlockSize];
                std::memset(static_cast<void*>(block), 0, sizeof(T) * BlockSize);
                slot.store(block, std::memory_order_release);
                return;
            }
        }
    }

    // Taking thread: the ready block of slot `index`, or a new one when none is ready.
    std::unique_ptr<T[]> take(std::size_t index) {
        T* ready = mSlots[index].exchange(nullptr, std::memory_order_acquire);
        return std::unique_ptr<T[]>(ready != nullptr ? ready : new T[BlockSize]);
    }

    // Any thread: whether slot `index` holds a block made ahead.
    bool ready(std::size_t index) const {
        return mSlots[index].load(std::memory_order_relaxed) != nullptr;
    }

    // Taking thread: blocks will be taken, so `fill` makes them ahead from now on; or no
    // more will be for now (the blocks made stay ready for the next time).
    void want() { mWanted.store(true, std::memory_order_relaxed); }
    void pause() { mWanted.store(false, std::memory_order_relaxed); }

private:
    std::array<std::atomic<T*>, Slots> mSlots{};
    // Set by the taker, read by the filler: nothing is made for a node that never records.
    std::atomic<bool> mWanted{false};
};
