#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ChunkedSequence.h"
#include "TakeInterpolation.h"

namespace {

using Q = TakeInterpolation::Quaternion;

void expectNear(const Q& actual, const Q& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.w, expected.w, tolerance);
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(TakeInterpolation, LerpBlendsAcrossZeroAndStaysOnTheFarSideOtherwise) {
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(-2.0, 4.0, 0.5), 1.0);
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(4.0, -2.0, 0.25), 2.5);
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(0.0, 8.0, 0.25), 2.0);
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(10.0, 20.0, 0.4), 14.0);
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(20.0, 10.0, 0.4), 16.0);
    EXPECT_EQ(TakeInterpolation::lerp(10.0, 20.0, 1.0), 20.0);
    // Extrapolation does not overshoot b on the same side of zero.
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(10.0, 20.0, 1.5), 25.0);
    EXPECT_DOUBLE_EQ(TakeInterpolation::lerp(-10.0, -20.0, 0.5), -15.0);
}

TEST(TakeInterpolation, SlerpOfEqualOrNearlyEqualRotations) {
    const Q q{0.8, 0.6, 0.0, 0.0};
    expectNear(TakeInterpolation::slerp(q, q, 0.3), q);
    // Sine below 0.001: the plain component average, whatever t.
    const Q a{std::cos(0.3), std::sin(0.3), 0.0, 0.0};
    const Q b{std::cos(0.3005), std::sin(0.3005), 0.0, 0.0};
    const Q average = TakeInterpolation::slerp(a, b, 0.9);
    EXPECT_DOUBLE_EQ(average.w, 0.5 * a.w + 0.5 * b.w);
    EXPECT_DOUBLE_EQ(average.x, 0.5 * a.x + 0.5 * b.x);
}

TEST(TakeInterpolation, SlerpFollowsTheArc) {
    const Q identity{1.0, 0.0, 0.0, 0.0};
    const Q quarterTurnZ{std::sqrt(0.5), 0.0, 0.0, std::sqrt(0.5)};
    const Q eighthTurnZ{std::cos(M_PI / 8), 0.0, 0.0, std::sin(M_PI / 8)};
    expectNear(TakeInterpolation::slerp(identity, quarterTurnZ, 0.5), eighthTurnZ);
    expectNear(TakeInterpolation::slerp(identity, quarterTurnZ, 0.0), identity);
    expectNear(TakeInterpolation::slerp(identity, quarterTurnZ, 1.0), quarterTurnZ);
}

TEST(TakeInterpolation, SlerpTakesTheShorterArcAndKeepsOppositeSignsWhole) {
    const Q identity{1.0, 0.0, 0.0, 0.0};
    const Q negatedQuarterTurnZ{-std::sqrt(0.5), 0.0, 0.0, -std::sqrt(0.5)};
    const Q eighthTurnZ{std::cos(M_PI / 8), 0.0, 0.0, std::sin(M_PI / 8)};
    // -q is the same rotation as q: halfway is still an eighth turn, not the long way round.
    expectNear(TakeInterpolation::slerp(identity, negatedQuarterTurnZ, 0.5), eighthTurnZ);

    // q with -q: never the zero quaternion.
    const Q q{0.5, 0.5, 0.5, 0.5};
    const Q minusQ{-0.5, -0.5, -0.5, -0.5};
    expectNear(TakeInterpolation::slerp(q, minusQ, 0.5), q);
    const Q almostMinusQ{-0.5, -0.5, -0.5, -0.5000001};
    const Q result = TakeInterpolation::slerp(q, almostMinusQ, 0.5);
    EXPECT_NEAR(
        result.w * result.w + result.x * result.x + result.y * result.y + result.z * result.z, 1.0,
        1e-6);
}

TEST(TakeInterpolation, FilledKeysStepOneUnitAfterThePreviousKey) {
    constexpr double kWide = 1e15;
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 13.0, kWide), 2);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 12.5, kWide), 1);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 12.0, kWide), 1);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 11.9, kWide), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 11.5, kWide), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 11.0, kWide), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 4.0, kWide), 0);  // backwards
    // No previous key: -1 or earlier.
    EXPECT_EQ(TakeInterpolation::filledKeyCount(-1.0, 500.0, kWide), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(-7.0, 500.0, kWide), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(-0.5, 2.0, kWide), 1);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(0.0, 1e12, kWide),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TakeInterpolation::filledKeyCount(0.0, std::nan(""), kWide), 0);
}

TEST(TakeInterpolation, GapsWiderThanTheBoundAreNotFilled) {
    // Ten seconds of film frames: 240 units.
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 250.0, 240.0), 239);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 250.5, 240.0), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 10.0 + 1e6, 240.0), 0);
    EXPECT_EQ(TakeInterpolation::filledKeyCount(10.0, 13.0, std::nan("")), 0);
}

TEST(TakeInterpolation, SkeletonNameReplacesTheFirstPlaceholder) {
    EXPECT_EQ(TakeInterpolation::skeletonName("tulvexCharacter{index}_Skeleton", 0),
              "tulvexCharacter0_Skeleton");
    EXPECT_EQ(TakeInterpolation::skeletonName("tulvexCharacter{index}_Skeleton", 2),
              "tulvexCharacter2_Skeleton");
    EXPECT_EQ(TakeInterpolation::skeletonName("c{index}_{index}", -1), "c4294967295_{index}");
    EXPECT_EQ(TakeInterpolation::skeletonName("plain", 3), "plain");
}

TEST(ChunkedSequence, GrowsByBlocksWithoutMovingElementsAndKeepsThemWhenCleared) {
    ChunkedSequence<double, 4> sequence;
    sequence.reserve(5);
    EXPECT_EQ(sequence.capacity(), 8U);
    sequence.push_back(0.0);
    const double* first = &sequence[0];
    for (int i = 1; i < 11; ++i) {
        sequence.push_back(i);
    }
    EXPECT_EQ(&sequence[0], first);
    ASSERT_EQ(sequence.size(), 11U);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(sequence[static_cast<std::size_t>(i)], i);
    }
    EXPECT_EQ(sequence.capacity(), 12U);

    sequence.clear();
    EXPECT_TRUE(sequence.empty());
    EXPECT_EQ(sequence.capacity(), 12U);
    sequence.push_back(42.0);
    EXPECT_EQ(&sequence[0], first);
    EXPECT_EQ(sequence[0], 42.0);
}

TEST(ChunkedSequence, ReleaseGivesTheStorageBackAndTheSequenceStaysUsable) {
    ChunkedSequence<double, 4> sequence;
    for (int i = 0; i < 10; ++i) {
        sequence.push_back(i);
    }
    ASSERT_EQ(sequence.capacity(), 12U);
    sequence.release();
    EXPECT_TRUE(sequence.empty());
    EXPECT_EQ(sequence.capacity(), 0U);
    sequence.push_back(7.5);
    EXPECT_EQ(sequence.size(), 1U);
    EXPECT_EQ(sequence[0], 7.5);
    EXPECT_EQ(sequence.capacity(), 4U);
}

}  // namespace
