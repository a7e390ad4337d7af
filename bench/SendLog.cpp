#include "SendLog.h"

SendLog::SendLog(std::int64_t capacity)
    : mCapacity(capacity),
      mSentNanoseconds(new std::atomic<std::int64_t>[static_cast<std::size_t>(capacity)]) {
    for (std::int64_t i = 0; i < capacity; ++i) {
        mSentNanoseconds[static_cast<std::size_t>(i)].store(0);
    }
}

void SendLog::record(std::int64_t frame, Clock::time_point sent) {
    if (frame < 0 || frame >= mCapacity) {
        return;
    }
    mSentNanoseconds[static_cast<std::size_t>(frame)].store(
        std::chrono::duration_cast<std::chrono::nanoseconds>(sent.time_since_epoch()).count());
    mSent.fetch_add(1);
}

double SendLog::ageSeconds(std::int64_t frame, Clock::time_point now) const {
    if (frame < 0 || frame >= mCapacity) {
        return -1.0;
    }
    const std::int64_t sent = mSentNanoseconds[static_cast<std::size_t>(frame)].load();
    if (sent == 0) {
        return -1.0;
    }
    const std::int64_t nowNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
    return static_cast<double>(nowNs - sent) / 1e9;
}
