#include <gtest/gtest.h>

#include <limits>

#include "AppFpsDetection.h"

namespace {

TEST(AppFpsDetection, ConsecutiveFramesGiveTheRateOfTheirInterval) {
    EXPECT_EQ(AppFpsDetection::rateFromFrames(41, 12.5, 42, 12.5167), 60);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(41, 12.5, 42, 12.52), 50);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(41, 12.5, 42, 12.5334), 30);
}

TEST(AppFpsDetection, OnlyDirectlyConsecutiveFramesAreMeasured) {
    EXPECT_EQ(AppFpsDetection::rateFromFrames(41, 12.5, 43, 12.5167), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(42, 12.5, 41, 12.5167), AppFpsDetection::kNoRate);
    // The frame number wraps around like a 32-bit counter.
    EXPECT_EQ(AppFpsDetection::rateFromFrames(std::numeric_limits<std::int32_t>::max(), 12.5,
                                              std::numeric_limits<std::int32_t>::min(), 12.5167),
              60);
}

TEST(AppFpsDetection, APairAcrossAWholeSecondIsSkipped) {
    EXPECT_EQ(AppFpsDetection::rateFromFrames(41, 12.99, 42, 13.0067), AppFpsDetection::kNoRate);
}

TEST(AppFpsDetection, IntervalBoundsAreHalfOpen) {
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.0), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(-0.02), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.01), AppFpsDetection::kNoRate);  // 100 fps
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.0159999), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.016), 60);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.0189999), 60);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.019), 50);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.0329999), 50);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.033), 30);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.0339999), 30);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.034), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromInterval(0.04), AppFpsDetection::kNoRate);  // 25 fps
}

TEST(AppFpsDetection, ExactBoundsThroughTimestamps) {
    EXPECT_EQ(AppFpsDetection::rateFromFrames(1, 0.0, 2, 0.033), 30);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(1, 0.0, 2, 0.034), AppFpsDetection::kNoRate);
}

TEST(AppFpsDetection, NonFiniteTimestampsGiveNoRate) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(AppFpsDetection::rateFromFrames(1, nan, 2, 0.5), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(1, 0.5, 2, inf), AppFpsDetection::kNoRate);
    EXPECT_EQ(AppFpsDetection::rateFromFrames(1, 1e300, 2, 1e300), AppFpsDetection::kNoRate);
}

}  // namespace
