#include "WalkCycle.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

constexpr double deg(double degrees) {
    return degrees * kPi / 180.0;
}

// Tuned by eye against reference walks: a leg swings 26 degrees either side of vertical.
constexpr double kHipSwing = deg(26);
constexpr double kKneeStance = deg(5);
constexpr double kKneeSwingExtra = deg(60);
constexpr double kHeelStrikeToesUp = deg(15);
constexpr double kToeOffHeelUp = deg(30);
constexpr double kArmSwing = deg(18);
constexpr double kArmAbduction = deg(6);
constexpr double kElbowRest = deg(20);
constexpr double kElbowSwing = deg(12);
constexpr double kWristBend = deg(5);
constexpr double kPelvisYaw = deg(5);
constexpr double kChestCounterYaw = deg(4);
constexpr double kPelvisRoll = deg(3);
constexpr double kTorsoLean = deg(4);
constexpr double kBobMetres = 0.02;
constexpr double kSwayMetres = 0.02;
// A leg of the default 80 cm takes one second per cycle; longer legs walk slower.
constexpr double kReferenceLegMetres = 0.8;
constexpr double kReferencePeriod = 1.0;
constexpr int kTorsoBones = 7;
constexpr int kNeckAndHeadBones = 3;

double fraction(double v) {
    return v - std::floor(v);
}

// Eases from 0 to 1 over x in [0, 1] with zero slope at both ends.
double ease(double x) {
    return 0.5 * (1 - std::cos(kPi * x));
}

// Position of the leg as a share of its reach, +1 fully forward, -1 fully back. Linear while
// on the floor; on the swing a cubic whose end slopes match the stance keeps it smooth.
double legReach(double p) {
    constexpr double s = WalkCycle::kStanceShare;
    if (p < s) {
        return 1 - 2 * p / s;
    }
    const double u = (p - s) / (1 - s);
    const double slope = -2 * (1 - s) / s;
    const double u2 = u * u;
    const double u3 = u2 * u;
    return -(2 * u3 - 3 * u2 + 1) + slope * (u3 - 2 * u2 + u) + (-2 * u3 + 3 * u2) +
           slope * (u3 - u2);
}

// Pitch of the foot against the floor: toes up at heel strike, flat, heel up to toe-off, then
// back to toes up through the swing. Positive lowers the toes.
double footRoll(double p) {
    constexpr double s = WalkCycle::kStanceShare;
    if (p < 0.1) {
        return -kHeelStrikeToesUp * (1 - ease(p / 0.1));
    }
    if (p < 0.4) {
        return 0;
    }
    if (p < s) {
        const double x = std::sin(kPi / 2 * (p - 0.4) / (s - 0.4));
        return kToeOffHeelUp * x * x;
    }
    const double u = (p - s) / (1 - s);
    return kToeOffHeelUp - (kToeOffHeelUp + kHeelStrikeToesUp) * ease(u);
}

// The toes stay on the floor while the heel rises, then relax early in the swing.
double toeBend(double p) {
    constexpr double s = WalkCycle::kStanceShare;
    if (p >= 0.4 && p < s) {
        return -footRoll(p);
    }
    if (p >= s) {
        const double u = (p - s) / (1 - s);
        return u < 0.3 ? -kToeOffHeelUp * (1 - ease(u / 0.3)) : 0;
    }
    return 0;
}

}  // namespace

WalkCycle::WalkCycle(const Skeleton& skeleton, double phaseCycles)
    : phase_(fraction(phaseCycles)),
      period_(kReferencePeriod * std::sqrt(skeleton.legLengthMetres() / kReferenceLegMetres)),
      speed_(0),
      restHeightMetres_(skeleton.offsetCm(Skeleton::kRoot)[1] / 100.0),
      hipSwingSine_(std::sin(kHipSwing)) {
    // One stance moves the body by the foot's full reach, front to back.
    const double stepMetres = 2 * skeleton.legLengthMetres() * hipSwingSine_;
    speed_ = stepMetres / (kStanceShare * period_);
}

double WalkCycle::cyclePhase(double seconds) const {
    return fraction(seconds / period_ + phase_);
}

double WalkCycle::leftLegPhase(double seconds) const {
    return cyclePhase(seconds);
}

double WalkCycle::rightLegPhase(double seconds) const {
    return fraction(cyclePhase(seconds) + 0.5);
}

void WalkCycle::poseLeg(double p, int upLeg, Pose& pose) const {
    const double hipFlex = std::asin(legReach(p) * hipSwingSine_);
    double knee = kKneeStance;
    if (p >= kStanceShare) {
        const double bend = std::sin(kPi * (p - kStanceShare) / (1 - kStanceShare));
        knee += kKneeSwingExtra * bend * bend;
    }
    // Negative X swings a limb forward; the ankle undoes hip and knee so that the foot's pitch
    // against the floor is the roll alone.
    pose.rotations[upLeg] = Quaternion::fromEulerXYZ(-hipFlex, 0, 0);
    pose.rotations[upLeg + 1] = Quaternion::fromEulerXYZ(knee, 0, 0);
    pose.rotations[upLeg + 2] = Quaternion::fromEulerXYZ(hipFlex - knee + footRoll(p), 0, 0);
    pose.rotations[upLeg + 3] = Quaternion::fromEulerXYZ(toeBend(p), 0, 0);
}

WalkCycle::Pose WalkCycle::poseAt(double seconds) const {
    Pose pose;
    const double phi = cyclePhase(seconds);
    const double stride = std::cos(kTwoPi * phi);              // +1 at left heel strike
    const double leftStance = std::cos(kTwoPi * (phi - 0.3));  // +1 mid left stance

    // Highest over the middle of either stance, lowest in double support.
    pose.rootPositionMetres = {kSwayMetres * leftStance,
                               restHeightMetres_ + kBobMetres * std::cos(2 * kTwoPi * (phi - 0.3)),
                               speed_ * seconds};

    const double pelvisYaw = -kPelvisYaw * stride;
    const double pelvisRoll = kPelvisRoll * leftStance;
    pose.rotations[Skeleton::kRoot] = Quaternion::fromEulerXYZ(0, pelvisYaw, pelvisRoll);

    // The chest turns against the pelvis and stays level; neck and head take the chest's turn
    // and lean back out, so the head looks straight ahead.
    const double chestYaw = kChestCounterYaw * stride;
    for (int bone = Skeleton::kTorso1; bone <= Skeleton::kTorso7; ++bone) {
        pose.rotations[bone] =
            Quaternion::fromEulerXYZ(kTorsoLean / kTorsoBones, (chestYaw - pelvisYaw) / kTorsoBones,
                                     -pelvisRoll / kTorsoBones);
    }
    for (int bone = Skeleton::kNeck1; bone <= Skeleton::kHead; ++bone) {
        pose.rotations[bone] = Quaternion::fromEulerXYZ(-kTorsoLean / kNeckAndHeadBones,
                                                        -chestYaw / kNeckAndHeadBones, 0);
    }

    // Each arm swings with the opposite leg; the elbow bends more in front.
    const double leftArm = -kArmSwing * stride;
    const double rightArm = kArmSwing * stride;
    pose.rotations[Skeleton::kLeftUpArm] = Quaternion::fromEulerXYZ(-leftArm, 0, kArmAbduction);
    pose.rotations[Skeleton::kRightUpArm] = Quaternion::fromEulerXYZ(-rightArm, 0, -kArmAbduction);
    pose.rotations[Skeleton::kLeftLowArm] =
        Quaternion::fromEulerXYZ(-(kElbowRest + kElbowSwing * leftArm / kArmSwing), 0, 0);
    pose.rotations[Skeleton::kRightLowArm] =
        Quaternion::fromEulerXYZ(-(kElbowRest + kElbowSwing * rightArm / kArmSwing), 0, 0);
    pose.rotations[Skeleton::kLeftHand] = Quaternion::fromEulerXYZ(-kWristBend, 0, 0);
    pose.rotations[Skeleton::kRightHand] = Quaternion::fromEulerXYZ(-kWristBend, 0, 0);

    poseLeg(leftLegPhase(seconds), Skeleton::kLeftUpLeg, pose);
    poseLeg(rightLegPhase(seconds), Skeleton::kRightUpLeg, pose);
    return pose;
}
