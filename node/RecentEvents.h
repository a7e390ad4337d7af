#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// The last events of one kind, each a time and a value (both nanoseconds), kept in a ring so
// that one thread can note them with a few relaxed stores and no lock, and another can read
// those of the last moments now and then. A reader racing the writer may miss the newest
// events or see one of an older lap; figures made from them stay sound.
class RecentEvents {
public:
    static constexpr std::size_t kCapacity = 512;  // several seconds of a 120 fps stream

    // One writing thread only. The write is marked begun before its slot changes; the release
    // stores let a reader that sees the new values also see that mark.
    void note(std::int64_t at, std::int64_t value) {
        const std::uint64_t index = mWritten.load(std::memory_order_relaxed);
        mBegun.store(index + 1, std::memory_order_relaxed);
        Event& event = mEvents[index % kCapacity];
        event.at.store(at, std::memory_order_release);
        event.value.store(value, std::memory_order_release);
        mWritten.store(index + 1, std::memory_order_release);
    }

    // Any thread: the events at or after `since`, oldest first. An event the writer may have
    // been overwriting meanwhile is left out, so no pair mixes two events.
    void collect(std::int64_t since,
                 std::vector<std::pair<std::int64_t, std::int64_t>>& out) const {
        out.clear();
        const std::uint64_t written = mWritten.load(std::memory_order_acquire);
        const std::uint64_t first = written > kCapacity ? written - kCapacity : 0;
        for (std::uint64_t i = first; i < written; ++i) {
            const Event& event = mEvents[i % kCapacity];
            out.emplace_back(event.at.load(std::memory_order_acquire),
                             event.value.load(std::memory_order_acquire));
        }
        // Writes begun by now may have changed the slots of the oldest events read.
        const std::uint64_t begun = mBegun.load(std::memory_order_relaxed);
        const std::uint64_t safe = begun > kCapacity ? begun - kCapacity : 0;
        const std::size_t overwritten = safe > first ? static_cast<std::size_t>(safe - first) : 0;
        out.erase(out.begin(),
                  out.begin() + static_cast<std::ptrdiff_t>(std::min(overwritten, out.size())));
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [since](const auto& event) { return event.first < since; }),
                  out.end());
    }

private:
    struct Event {
        std::atomic<std::int64_t> at{0};
        std::atomic<std::int64_t> value{0};
    };
    Event mEvents[kCapacity];
    std::atomic<std::uint64_t> mWritten{0};  // writes finished
    std::atomic<std::uint64_t> mBegun{0};    // writes begun
};
