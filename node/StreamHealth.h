#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// What the panel's status line says of a stream's health over the last second, from the
// events the capture thread and compute note. Pure.
class StreamHealth {
public:
    struct Figures {
        int posesShown = 0;        // evaluations that showed a new pose
        double ageMedianMs = 0.0;  // how old the pose was when it was shown
        double age95Ms = 0.0;      // 95th percentile, nearest rank
        double jitterMs = 0.0;     // standard deviation of the frame intervals
        double decodedRate = 0.0;  // frames decoded per second
    };

    // `ages`: (shown at, age) pairs; `frames`: (decoded at, unused) pairs; all in nanoseconds,
    // already limited to the window of `windowNanoseconds`.
    static Figures summarise(const std::vector<std::pair<std::int64_t, std::int64_t>>& ages,
                             const std::vector<std::pair<std::int64_t, std::int64_t>>& frames,
                             std::int64_t windowNanoseconds);

    StreamHealth() = delete;
};
