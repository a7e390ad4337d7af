#include "PoseSmoother.h"

#include <algorithm>
#include <cmath>

#include "OneEuroFilter.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegreesPerRadian = 57.29577951308232;

// The low-pass share for a cutoff, as OneEuroFilter::smoothingFactor, with one division.
double share(double cutoffHz, double twoPiDt) {
    const double x = twoPiDt * cutoffHz;
    return x / (x + 1.0);
}

}  // namespace

void PoseSmoother::apply(SkeletonNodeInfo* bones, int count, double frameTime,
                         const Settings& settings) {
    count = std::clamp(count, 0, kMaxBones);
    const double dt = frameTime - mTime;
    if (mStarted && count == mCount && dt == 0.0) {
        for (int b = 0; b < count; ++b) {  // the same frame again
            for (int c = 0; c < 3; ++c) {
                bones[b].currentTranslation[c] = mBones[b].translation[c].value;
            }
            std::copy(mBones[b].quaternion, mBones[b].quaternion + 4, bones[b].currentRotation);
        }
        return;
    }
    if (!mStarted || count != mCount || !(dt > 0.0)) {
        start(bones, count, frameTime);
        return;
    }
    const Step step{1.0 / dt, OneEuroFilter::smoothingFactor(OneEuroFilter::kSpeedCutoff, dt),
                    kTwoPi * dt, &settings};
    for (int b = 0; b < count; ++b) {
        Bone& bone = mBones[b];
        for (int c = 0; c < 3; ++c) {
            bones[b].currentTranslation[c] =
                smooth(bone.translation[c], bones[b].currentTranslation[c], step);
        }
        smoothRotation(bone, bones[b].currentRotation, step);
    }
    mTime = frameTime;
}

void PoseSmoother::start(const SkeletonNodeInfo* bones, int count, double frameTime) {
    for (int b = 0; b < count; ++b) {
        Bone& bone = mBones[b];
        for (int c = 0; c < 3; ++c) {
            bone.translation[c] = {bones[b].currentTranslation[c], 0.0};
        }
        std::copy(bones[b].currentRotation, bones[b].currentRotation + 4, bone.quaternion);
        bone.rotationSpeed = 0.0;
    }
    mStarted = true;
    mCount = count;
    mTime = frameTime;
}

double PoseSmoother::smooth(Channel& channel, double value, const Step& step) {
    if (value == channel.value && channel.speed == 0.0) {
        return value;  // a channel at rest, as most bones' offsets are: the filter keeps it
    }
    channel.speed += step.speedShare * ((value - channel.value) * step.inverseDt - channel.speed);
    const double cutoff = step.settings->minCutoff + step.settings->beta * std::fabs(channel.speed);
    channel.value += share(cutoff, step.twoPiDt) * (value - channel.value);
    return channel.value;
}

void PoseSmoother::smoothRotation(Bone& bone, double* quaternion, const Step& step) {
    // q and -q are one rotation: blend towards the one on the filtered value's side.
    double dot = 0.0;
    for (int c = 0; c < 4; ++c) {
        dot += quaternion[c] * bone.quaternion[c];
    }
    const double sign = dot < 0.0 ? -1.0 : 1.0;
    // The angle turned, from the chord between the unit quaternions: 2 sin(angle / 4) is
    // angle / 2 to within 1 % up to 40 degrees a frame, and the speed only sets the cutoff.
    double chord = 0.0;
    for (int c = 0; c < 4; ++c) {
        const double d = sign * quaternion[c] - bone.quaternion[c];
        chord += d * d;
    }
    const double angle = 2.0 * std::sqrt(chord) * kDegreesPerRadian;
    bone.rotationSpeed += step.speedShare * (angle * step.inverseDt - bone.rotationSpeed);
    const double blend =
        share(step.settings->minCutoff + step.settings->beta * bone.rotationSpeed, step.twoPiDt);
    double norm = 0.0;
    for (int c = 0; c < 4; ++c) {
        bone.quaternion[c] += blend * (sign * quaternion[c] - bone.quaternion[c]);
        norm += bone.quaternion[c] * bone.quaternion[c];
    }
    const double inverseNorm = 1.0 / std::sqrt(norm);
    for (int c = 0; c < 4; ++c) {
        bone.quaternion[c] *= inverseNorm;
        quaternion[c] = bone.quaternion[c];
    }
}
