#include "AppFpsDetection.h"

#include <cmath>

namespace {

// Fractional part toward zero. std::trunc instead of a cast to a 64-bit integer: equal for
// every timestamp in range, and defined for NaN and out-of-range values.
double fractionalPart(double t) {
    return t - std::trunc(t);
}

}  // namespace

int AppFpsDetection::rateFromFrames(std::int32_t previousNumber, double previousTimestamp,
                                    std::int32_t currentNumber, double currentTimestamp) {
    const auto next = static_cast<std::int32_t>(static_cast<std::uint32_t>(previousNumber) + 1U);
    if (currentNumber != next) {
        return kNoRate;
    }
    return rateFromInterval(fractionalPart(currentTimestamp) - fractionalPart(previousTimestamp));
}

int AppFpsDetection::rateFromInterval(double interval) {
    // Written so that NaN fails every comparison and yields no rate.
    if (!(interval > 0.0 && interval < 0.034)) {
        return kNoRate;
    }
    if (interval >= 0.033) {
        return 30;
    }
    if (interval >= 0.019) {
        return 50;
    }
    if (interval >= 0.016) {
        return 60;
    }
    return kNoRate;
}
