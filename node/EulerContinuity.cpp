#include "EulerContinuity.h"

#include <cmath>

double EulerContinuity::nearestTurn(double angle, double reference) {
    return angle + 360.0 * std::round((reference - angle) / 360.0);
}

void EulerContinuity::closest(const double previous[3], const double angles[3], double out[3]) {
    const double alternate[3] = {angles[0] + 180.0, 180.0 - angles[1], angles[2] + 180.0};
    double own[3];
    double other[3];
    double ownDistance = 0.0;
    double otherDistance = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        own[axis] = nearestTurn(angles[axis], previous[axis]);
        other[axis] = nearestTurn(alternate[axis], previous[axis]);
        ownDistance += std::fabs(own[axis] - previous[axis]);
        otherDistance += std::fabs(other[axis] - previous[axis]);
    }
    const double* chosen = otherDistance < ownDistance ? other : own;
    for (int axis = 0; axis < 3; ++axis) {
        out[axis] = chosen[axis];
    }
}
