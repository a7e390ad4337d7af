#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "EulerContinuity.h"

namespace {

using Triple = std::array<double, 3>;
using Matrix = std::array<std::array<double, 3>, 3>;

constexpr double kPi = 3.14159265358979323846;
double radians(double degrees) {
    return degrees * kPi / 180.0;
}
double degrees(double radians) {
    return radians * 180.0 / kPi;
}

// XYZ order: x applied first, then y, then z.
Matrix matrixOf(const Triple& angles) {
    const double cx = std::cos(radians(angles[0]));
    const double sx = std::sin(radians(angles[0]));
    const double cy = std::cos(radians(angles[1]));
    const double sy = std::sin(radians(angles[1]));
    const double cz = std::cos(radians(angles[2]));
    const double sz = std::sin(radians(angles[2]));
    return {{{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
             {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
             {-sy, cy * sx, cy * cx}}};
}

// What a decoder hands over: x and z in (-180, 180], y in [-90, 90].
Triple decoded(const Triple& angles) {
    const Matrix m = matrixOf(angles);
    return {degrees(std::atan2(m[2][1], m[2][2])),
            degrees(std::asin(std::clamp(-m[2][0], -1.0, 1.0))),
            degrees(std::atan2(m[1][0], m[0][0]))};
}

double orientationDifference(const Triple& a, const Triple& b) {
    const Matrix ma = matrixOf(a);
    const Matrix mb = matrixOf(b);
    double largest = 0.0;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            largest = std::max(largest, std::fabs(ma[r][c] - mb[r][c]));
        }
    }
    return largest;
}

double distance(const Triple& a, const Triple& b) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
}

// Runs the samples through the rule as the bake does, key after key.
std::vector<Triple> continuous(const std::vector<Triple>& samples) {
    std::vector<Triple> keys{samples.front()};
    for (std::size_t i = 1; i < samples.size(); ++i) {
        Triple key{};
        EulerContinuity::closest(keys.back().data(), samples[i].data(), key.data());
        keys.push_back(key);
    }
    return keys;
}

TEST(EulerContinuityTest, AFullTurnAboutEachAxisTwiceGivesMonotonicKeys) {
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<Triple> samples;
        for (double angle = 0.0; angle <= 720.0; angle += 7.0) {
            Triple turned{0.0, 0.0, 0.0};
            turned[static_cast<std::size_t>(axis)] = angle;
            samples.push_back(decoded(turned));
        }
        const std::vector<Triple> keys = continuous(samples);
        for (std::size_t i = 1; i < keys.size(); ++i) {
            SCOPED_TRACE("axis " + std::to_string(axis) + ", key " + std::to_string(i));
            EXPECT_LT(orientationDifference(keys[i], samples[i]), 1e-9);
            if (axis == 1) {
                // Turning about y passes its poles; the keys follow the turn, x and z stay put.
                EXPECT_NEAR(keys[i][1], 7.0 * static_cast<double>(i), 1e-9);
                EXPECT_NEAR(keys[i][0], 0.0, 1e-9);
                EXPECT_NEAR(keys[i][2], 0.0, 1e-9);
            } else {
                EXPECT_GT(keys[i][static_cast<std::size_t>(axis)],
                          keys[i - 1][static_cast<std::size_t>(axis)]);
            }
        }
        EXPECT_NEAR(keys.back()[static_cast<std::size_t>(axis)], 714.0, 1e-9);
    }
}

TEST(EulerContinuityTest, AwayFromGimbalLockKeysFollowTheMotionAcrossEveryHalfTurn) {
    // x and z wind through several turns each way while y swings within 85 degrees.
    std::vector<Triple> truth;
    for (int i = 0; i <= 2000; ++i) {
        const double t = i / 2000.0;
        truth.push_back({-200.0 + 900.0 * t, 85.0 * std::sin(9.0 * t), 400.0 - 1300.0 * t * t});
    }
    std::vector<Triple> samples;
    for (const Triple& pose : truth) {
        samples.push_back(decoded(pose));
    }
    std::vector<Triple> keys{truth.front()};
    for (std::size_t i = 1; i < samples.size(); ++i) {
        Triple key{};
        EulerContinuity::closest(keys.back().data(), samples[i].data(), key.data());
        keys.push_back(key);
        for (std::size_t a = 0; a < 3; ++a) {
            ASSERT_NEAR(key[a], truth[i][a], 1e-9) << "key " << i << ", axis " << a;
        }
        ASSERT_LT(orientationDifference(key, samples[i]), 1e-9);
    }
    // A turn about one axis at a time: no axis moves more than the rotation between samples.
    for (int axis : {0, 2}) {
        Triple pose{0.0, 40.0, 0.0};
        Triple previous = decoded(pose);
        for (int i = 0; i < 200; ++i) {
            pose[static_cast<std::size_t>(axis)] += 3.25;
            Triple key{};
            EulerContinuity::closest(previous.data(), decoded(pose).data(), key.data());
            for (std::size_t a = 0; a < 3; ++a) {
                ASSERT_LE(std::fabs(key[a] - previous[a]), 3.25 + 1e-9);
            }
            previous = key;
        }
    }
}

TEST(EulerContinuityTest, NearGimbalLockKeysKeepTheOrientationAndNeverMoveFartherThanTheSample) {
    // Through the pole and back, with x and z spinning: no triple follows this closely.
    Triple previous = decoded({10.0, 80.0, -20.0});
    for (int i = 0; i < 400; ++i) {
        const double t = i / 400.0;
        const Triple sample = decoded(
            {10.0 + 700.0 * t, 90.0 - 30.0 * std::fabs(std::sin(6.0 * t)), -20.0 - 500.0 * t});
        Triple key{};
        EulerContinuity::closest(previous.data(), sample.data(), key.data());
        EXPECT_LT(orientationDifference(key, sample), 1e-9);
        EXPECT_LE(distance(key, previous), distance(sample, previous) + 1e-9);
        previous = key;
    }
}

TEST(EulerContinuityTest, NearestTurnMovesByWholeTurnsOnly) {
    EXPECT_DOUBLE_EQ(EulerContinuity::nearestTurn(-179.0, 179.0), 181.0);
    EXPECT_DOUBLE_EQ(EulerContinuity::nearestTurn(10.0, 725.0), 730.0);
    EXPECT_DOUBLE_EQ(EulerContinuity::nearestTurn(10.0, 0.0), 10.0);
}

}  // namespace
