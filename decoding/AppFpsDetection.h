#pragma once

#include <cstdint>

// Stream-rate detection from two frame headers. Pure, so it is tested without a library.
class AppFpsDetection {
public:
    static constexpr int kNoRate = 0;

    // The stream rate (30, 50 or 60) that two directly consecutive frames show, or kNoRate
    // when they are not consecutive or their interval matches no rate. Only the fractional
    // parts of the timestamps count, so a pair across a whole second is not measured.
    static int rateFromFrames(std::int32_t previousNumber, double previousTimestamp,
                              std::int32_t currentNumber, double currentTimestamp);

    // The rate for an interval d in seconds, or kNoRate outside 0 < d < 0.034.
    static int rateFromInterval(double interval);

    AppFpsDetection() = delete;
};
