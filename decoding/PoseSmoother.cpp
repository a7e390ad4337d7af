#include "PoseSmoother.h"

#include <algorithm>
#include <cmath>

void PoseSmoother::apply(SkeletonNodeInfo* bones, int count, double frameTime,
                         const Settings& settings) {
    const int filtered = std::min(count, kMaxBones);
    for (int b = 0; b < filtered; ++b) {
        SkeletonNodeInfo& bone = bones[b];
        for (int c = 0; c < 3; ++c) {
            bone.currentTranslation[c] = mTranslations[b][c].filter(
                bone.currentTranslation[c], frameTime, settings.minCutoff, settings.beta);
        }
        filterRotation(mRotations[b], bone.currentRotation, frameTime, settings);
    }
}

void PoseSmoother::reset() {
    for (std::array<OneEuroFilter, 3>& bone : mTranslations) {
        for (OneEuroFilter& component : bone) {
            component.reset();
        }
    }
    for (RotationState& state : mRotations) {
        state.started = false;
    }
}

void PoseSmoother::filterRotation(RotationState& state, double* quaternion, double frameTime,
                                  const Settings& settings) {
    const double dt = frameTime - state.time;
    if (state.started && dt == 0.0) {
        std::copy(state.quaternion, state.quaternion + 4, quaternion);  // the same frame again
        return;
    }
    if (!state.started || !(dt > 0.0)) {
        state.started = true;
        std::copy(quaternion, quaternion + 4, state.quaternion);
        state.speed = 0.0;
        state.time = frameTime;
        return;
    }
    // q and -q are one rotation: blend towards the one on the filtered value's side.
    double dot = 0.0;
    for (int c = 0; c < 4; ++c) {
        dot += quaternion[c] * state.quaternion[c];
    }
    const double sign = dot < 0.0 ? -1.0 : 1.0;
    constexpr double kDegreesPerRadian = 57.29577951308232;
    const double angle = 2.0 * std::acos(std::min(1.0, std::fabs(dot))) * kDegreesPerRadian;
    state.speed += OneEuroFilter::smoothingFactor(OneEuroFilter::kSpeedCutoff, dt) *
                   (angle / dt - state.speed);
    const double share =
        OneEuroFilter::smoothingFactor(settings.minCutoff + settings.beta * state.speed, dt);
    double norm = 0.0;
    for (int c = 0; c < 4; ++c) {
        state.quaternion[c] += share * (sign * quaternion[c] - state.quaternion[c]);
        norm += state.quaternion[c] * state.quaternion[c];
    }
    norm = std::sqrt(norm);
    for (int c = 0; c < 4; ++c) {
        state.quaternion[c] /= norm;
        quaternion[c] = state.quaternion[c];
    }
    state.time = frameTime;
}
