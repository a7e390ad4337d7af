#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

// When each frame of one stream was sent, by frame number, so a consumer can tell how old the
// frame it is shown is. The sender writes, any thread reads.
class SendLog {
public:
    using Clock = std::chrono::steady_clock;

    explicit SendLog(std::int64_t capacity);

    // Frame numbers from 0 to capacity - 1; others are not logged.
    void record(std::int64_t frame, Clock::time_point sent);
    // Seconds from the frame's sending to `now`; negative when it was never logged as sent.
    double ageSeconds(std::int64_t frame, Clock::time_point now) const;
    std::int64_t sentCount() const { return mSent.load(); }

private:
    std::int64_t mCapacity;
    std::unique_ptr<std::atomic<std::int64_t>[]> mSentNanoseconds;  // 0 = not sent
    std::atomic<std::int64_t> mSent{0};
};
