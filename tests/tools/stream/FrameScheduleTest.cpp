#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "FrameSchedule.h"

namespace {

// The plug-in's rule, written out here on purpose: the rate of two consecutive frames from the
// difference of the fractional parts of their timestamps.
int rateSeenByPlugin(std::int32_t n0, double t0, std::int32_t n1, double t1) {
    const double d = (t1 - std::trunc(t1)) - (t0 - std::trunc(t0));
    if (static_cast<std::int64_t>(n1) != n0 + std::int64_t{1}) {
        return 0;
    }
    return d >= 0.016 && d < 0.019   ? 60
           : d >= 0.019 && d < 0.033 ? 50
           : d >= 0.033 && d < 0.034 ? 30
                                     : 0;
}

class FrameScheduleRates : public ::testing::TestWithParam<int> {};

TEST_P(FrameScheduleRates, WholeSecondMultiplesThatThePluginReadsAsTheRate) {
    const int fps = GetParam();
    // A short uptime, a day, and an epoch-sized start where a double has few fraction bits.
    for (const std::int64_t start : {1L, 86400L, 1700000000L}) {
        const FrameSchedule schedule(fps, start);
        EXPECT_EQ(schedule.timestamp(0), static_cast<double>(start));
        int detected = 0;
        for (std::int64_t k = 0; k < std::int64_t{3} * fps; ++k) {
            EXPECT_NEAR(schedule.timestamp(k) * fps, static_cast<double>(start * fps + k), 1e-3);
            EXPECT_EQ(schedule.frameNumber(k), k);
            const int rate =
                rateSeenByPlugin(schedule.frameNumber(k), schedule.timestamp(k),
                                 schedule.frameNumber(k + 1), schedule.timestamp(k + 1));
            // Only the pair across a whole second goes unmeasured.
            EXPECT_EQ(rate, (k + 1) % fps == 0 ? 0 : fps) << "start " << start << " frame " << k;
            detected += rate == fps ? 1 : 0;
        }
        EXPECT_EQ(detected, 3 * (fps - 1));
    }
}

INSTANTIATE_TEST_SUITE_P(SupportedRates, FrameScheduleRates, ::testing::Values(30, 50, 60));

TEST(FrameScheduleTest, CountsFramesDueBeforeTheEndAndWrapsNumbersLikeTheDevice) {
    EXPECT_EQ(FrameSchedule(30, 1).frameCount(0.5), 15);
    EXPECT_EQ(FrameSchedule(30, 1).frameCount(0.51), 16);
    EXPECT_EQ(FrameSchedule(30, 1).frameCount(0), 0);
    EXPECT_EQ(FrameSchedule(60, 1).frameCount(0.1), 6);  // 0.1 * 60 is not exact in binary
    const FrameSchedule late(60, 1, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(late.frameNumber(1), std::numeric_limits<std::int32_t>::min());
    for (int fps : {0, 24, 25, 120}) {
        EXPECT_THROW(FrameSchedule(fps, 1), std::invalid_argument) << fps;
    }
}

}  // namespace
