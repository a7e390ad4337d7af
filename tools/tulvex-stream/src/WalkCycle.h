#pragma once

#include <array>

#include "Quaternion.h"
#include "Skeleton.h"

// A steady walk along +Z, computed from time alone so that any frame can be produced (or
// re-produced after a pause) without state. Each leg spends 60 % of the cycle on the floor; in
// that time the hip angle moves so that the ankle travels back at the walking speed, which keeps
// the standing foot nearly still on the floor.
class WalkCycle {
public:
    struct Pose {
        Vec3 rootPositionMetres{};
        std::array<Quaternion, Skeleton::kBoneCount> rotations{};
    };

    static constexpr double kStanceShare = 0.6;

    // phaseCycles shifts this walker against others, in cycles.
    WalkCycle(const Skeleton& skeleton, double phaseCycles);

    double periodSeconds() const { return period_; }
    double speedMetresPerSecond() const { return speed_; }

    Pose poseAt(double seconds) const;

    // Where in its own cycle a leg is at a time: 0 at heel strike, kStanceShare at toe-off.
    double leftLegPhase(double seconds) const;
    double rightLegPhase(double seconds) const;

private:
    double cyclePhase(double seconds) const;
    void poseLeg(double legPhase, int upLeg, Pose& pose) const;

    double phase_;
    double period_;
    double speed_;
    double restHeightMetres_;
    double hipSwingSine_;
};
