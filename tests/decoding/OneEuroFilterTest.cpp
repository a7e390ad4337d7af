#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <random>

#include "OneEuroFilter.h"
#include "PoseSmoother.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDt = 1.0 / 60.0;

TEST(OneEuroFilterTest, WithoutBetaItIsTheFirstOrderLowPassOfItsCutoff) {
    // Step: after n frames the output has covered 1 - (1 - a)^n of the step.
    const double a = OneEuroFilter::smoothingFactor(1.0, kDt);
    EXPECT_NEAR(a, 1.0 / (1.0 + 60.0 / (2.0 * kPi)), 1e-15);
    OneEuroFilter step;
    EXPECT_EQ(step.filter(0.0, 0.0, 1.0, 0.0), 0.0);
    for (int n = 1; n <= 120; ++n) {
        ASSERT_NEAR(step.filter(1.0, n * kDt, 1.0, 0.0), 1.0 - std::pow(1.0 - a, n), 1e-12);
    }
    // Sine: once settled, the amplitude is the low-pass gain at that frequency.
    for (double hz : {0.25, 1.0, 4.0}) {
        OneEuroFilter sine;
        double peak = 0.0;
        for (int n = 0; n < 60 * 40; ++n) {
            const double out = sine.filter(std::sin(2.0 * kPi * hz * n * kDt), n * kDt, 1.0, 0.0);
            if (n >= 60 * 30) {
                peak = std::max(peak, std::fabs(out));
            }
        }
        const std::complex<double> delay = std::polar(1.0, -2.0 * kPi * hz * kDt);
        const double gain = a / std::abs(1.0 - (1.0 - a) * delay);
        EXPECT_NEAR(peak, gain, 2e-3 * gain) << hz << " Hz";
    }
}

TEST(OneEuroFilterTest, SpeedRaisesTheCutoffSoFastMotionLagsLess) {
    OneEuroFilter plain;
    OneEuroFilter adaptive;
    double plainOut = 0.0;
    double adaptiveOut = 0.0;
    for (int n = 0; n <= 60; ++n) {
        const double ramp = 100.0 * n * kDt;  // 100 cm/s
        plainOut = plain.filter(ramp, n * kDt, 1.0, 0.0);
        adaptiveOut = adaptive.filter(ramp, n * kDt, 1.0, 0.5);
    }
    EXPECT_LT(100.0 - adaptiveOut, 0.25 * (100.0 - plainOut));
}

TEST(OneEuroFilterTest, TheSameFrameHoldsAndAFrameTimeGoingBackRestarts) {
    OneEuroFilter filter;
    filter.filter(0.0, 1.0, 1.0, 0.5);
    const double moved = filter.filter(10.0, 1.0 + kDt, 1.0, 0.5);
    EXPECT_GT(moved, 0.0);
    EXPECT_LT(moved, 10.0);
    EXPECT_EQ(filter.filter(50.0, 1.0 + kDt, 1.0, 0.5), moved);
    EXPECT_EQ(filter.filter(50.0, 0.5, 1.0, 0.5), 50.0);
    filter.reset();
    EXPECT_EQ(filter.filter(-3.0, 0.6, 1.0, 0.5), -3.0);
}

SkeletonNodeInfo boneAt(double angleDegrees, double x) {
    SkeletonNodeInfo bone{};
    const double half = angleDegrees * kPi / 360.0;
    const double rotation[4] = {0.0, std::sin(half), 0.0, std::cos(half)};
    std::memcpy(bone.currentRotation, rotation, sizeof(rotation));
    bone.currentTranslation[0] = x;
    return bone;
}

double angleOf(const SkeletonNodeInfo& bone) {
    return 360.0 / kPi * std::atan2(bone.currentRotation[1], bone.currentRotation[3]);
}

TEST(PoseSmootherTest, RotationsAreSmoothedAsUnitQuaternionsOnOneHemisphere) {
    // A still bone with jitter on both quaternion signs; beta 0 makes it a plain low-pass.
    std::mt19937 random(7);
    std::normal_distribution<double> jitter(0.0, 1.0);
    PoseSmoother smoother;
    const PoseSmoother::Settings settings{1.0, 0.0};
    double rawSpread = 0.0;
    double smoothSpread = 0.0;
    for (int n = 0; n < 600; ++n) {
        const double raw = 30.0 + jitter(random);
        SkeletonNodeInfo bone = boneAt(raw, 5.0 + jitter(random));
        if (n % 2 == 1) {
            for (double& c : bone.currentRotation) {
                c = -c;
            }
        }
        smoother.apply(&bone, 1, n * kDt, settings);
        const double* q = bone.currentRotation;
        ASSERT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1.0, 1e-12);
        double smooth = angleOf(bone);
        smooth -= 360.0 * std::round((smooth - 30.0) / 360.0);
        if (n >= 120) {
            rawSpread += (raw - 30.0) * (raw - 30.0);
            smoothSpread += (smooth - 30.0) * (smooth - 30.0);
        }
    }
    EXPECT_LT(smoothSpread, 0.1 * rawSpread);

    // A step of the angle follows the same low-pass curve as a step of a number.
    PoseSmoother stepper;
    SkeletonNodeInfo bone = boneAt(0.0, 0.0);
    stepper.apply(&bone, 1, 0.0, settings);
    OneEuroFilter reference;
    reference.filter(0.0, 0.0, 1.0, 0.0);
    for (int n = 1; n <= 30; ++n) {
        bone = boneAt(1.0, 0.0);
        stepper.apply(&bone, 1, n * kDt, settings);
        // Blending unit quaternions is near-linear in angle for a one-degree step.
        ASSERT_NEAR(angleOf(bone), reference.filter(1.0, n * kDt, 1.0, 0.0), 1e-5);
    }
}

}  // namespace
