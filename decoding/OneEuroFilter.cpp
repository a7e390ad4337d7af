#include "OneEuroFilter.h"

#include <cmath>

double OneEuroFilter::smoothingFactor(double cutoffHz, double dt) {
    constexpr double kTwoPi = 6.283185307179586;
    const double tau = 1.0 / (kTwoPi * cutoffHz);
    return 1.0 / (1.0 + tau / dt);
}

double OneEuroFilter::filter(double value, double time, double minCutoff, double beta) {
    const double dt = time - mTime;
    if (mStarted && dt == 0.0) {
        return mValue;  // the same frame again
    }
    if (!mStarted || !(dt > 0.0)) {
        mStarted = true;
        mValue = value;
        mSpeed = 0.0;
        mTime = time;
        return value;
    }
    const double speed = (value - mValue) / dt;
    mSpeed += smoothingFactor(kSpeedCutoff, dt) * (speed - mSpeed);
    const double cutoff = minCutoff + beta * std::fabs(mSpeed);
    mValue += smoothingFactor(cutoff, dt) * (value - mValue);
    mTime = time;
    return mValue;
}
