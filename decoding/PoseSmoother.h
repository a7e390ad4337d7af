#pragma once

#include <array>

#include "OneEuroFilter.h"
#include "SkeletonNodeInfo.h"

// Smooths the live pose, bone by bone, with One Euro filters on the stream's frame times:
// translations per component, rotations as quaternions kept on one hemisphere and
// renormalised. Rotation speed is measured in degrees per second and translation speed in
// centimetres per second, so one `beta` suits both: a 30 cm limb turning 1 degree per second
// moves its end about half a centimetre per second. Capture thread only; no allocation.
class PoseSmoother {
public:
    static constexpr int kMaxBones = 27;

    struct Settings {
        double minCutoff = 1.0;  // Hz
        double beta = 0.5;
    };

    // Filters the current translation and rotation of `count` bones in place.
    void apply(SkeletonNodeInfo* bones, int count, double frameTime, const Settings& settings);
    // The next pose passes through unchanged and starts the filters again.
    void reset();

private:
    struct RotationState {
        bool started = false;
        double quaternion[4] = {0.0, 0.0, 0.0, 1.0};  // x, y, z, w, as the records hold it
        double speed = 0.0;                           // filtered, degrees per second
        double time = 0.0;
    };

    static void filterRotation(RotationState& state, double* quaternion, double frameTime,
                               const Settings& settings);

    std::array<std::array<OneEuroFilter, 3>, kMaxBones> mTranslations{};
    std::array<RotationState, kMaxBones> mRotations{};
};
