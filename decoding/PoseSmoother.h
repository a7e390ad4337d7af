#pragma once

#include <array>

#include "SkeletonNodeInfo.h"

// Smooths the live pose with One Euro filters on the stream's frame times: translations per
// component, rotations as quaternions kept on one hemisphere and renormalised. Rotation speed
// is measured in degrees per second and translation speed in centimetres per second, so one
// `beta` suits both: a 30 cm limb turning 1 degree per second moves its end about half a
// centimetre per second. The whole pose shares one clock, so the per-frame factors are worked
// out once. Capture thread only; no allocation, no lock.
class PoseSmoother {
public:
    static constexpr int kMaxBones = 27;

    struct Settings {
        double minCutoff = 1.0;  // Hz
        double beta = 0.1;
    };

    // Filters the current translation and rotation of `count` bones in place. The same frame
    // time again gives the last result; the first frame, a time that goes back (the stream
    // restarted) and the frame after a reset pass through unchanged and restart the filters.
    void apply(SkeletonNodeInfo* bones, int count, double frameTime, const Settings& settings);
    void reset() { mStarted = false; }

private:
    struct Channel {
        double value = 0.0;
        double speed = 0.0;  // filtered, per second
    };
    struct Bone {
        Channel translation[3];
        double quaternion[4] = {0.0, 0.0, 0.0, 1.0};  // x, y, z, w, as the records hold it
        double rotationSpeed = 0.0;                   // filtered, degrees per second
    };
    // What a channel needs of the frame: its interval and the factors that follow from it.
    struct Step {
        double inverseDt;
        double speedShare;
        double twoPiDt;
        const Settings* settings;
    };

    static double smooth(Channel& channel, double value, const Step& step);
    static void smoothRotation(Bone& bone, double* quaternion, const Step& step);
    void start(const SkeletonNodeInfo* bones, int count, double frameTime);

    bool mStarted = false;
    double mTime = 0.0;
    int mCount = 0;
    std::array<Bone, kMaxBones> mBones{};
};
