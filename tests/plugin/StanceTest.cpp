// The stance HumanIK reads when our character is locked: the joints in the rest pose of the
// skeleton definition, posed with the Euler angles the scripts set. World positions are worked
// out along the joint chain as Maya composes a joint (translate, then rotate in xyz order), and
// must make a T-stance facing +Z with Y up and the character's left on +X.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "RestPose.h"
#include "SkeletonNodeInfo.h"
#include "TulvexDataHandler.h"

namespace {

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;  // rows

constexpr double kPi = 3.141592653589793;

enum Bone {
    kRoot = 0,
    kTorso7 = 7,
    kHead = 10,
    kLeftUpArm = 12,
    kLeftLowArm = 13,
    kLeftHand = 14,
    kRightUpArm = 16,
    kRightLowArm = 17,
    kRightHand = 18,
    kLeftUpLeg = 19,
    kLeftLowLeg = 20,
    kLeftFoot = 21,
    kLeftToes = 22,
    kRightUpLeg = 23,
    kRightLowLeg = 24,
    kRightFoot = 25,
    kRightToes = 26
};

Mat multiply(const Mat& a, const Mat& b) {
    Mat m{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
        }
    }
    return m;
}

Vec transform(const Mat& m, const Vec& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// Rotate order xyz: x first, then y, then z (column vectors: Rz * Ry * Rx).
Mat rotationXyz(const double* degrees) {
    const double x = degrees[0] * kPi / 180.0;
    const double y = degrees[1] * kPi / 180.0;
    const double z = degrees[2] * kPi / 180.0;
    const Mat rx = {{{1, 0, 0}, {0, std::cos(x), -std::sin(x)}, {0, std::sin(x), std::cos(x)}}};
    const Mat ry = {{{std::cos(y), 0, std::sin(y)}, {0, 1, 0}, {-std::sin(y), 0, std::cos(y)}}};
    const Mat rz = {{{std::cos(z), -std::sin(z), 0}, {std::sin(z), std::cos(z), 0}, {0, 0, 1}}};
    return multiply(rz, multiply(ry, rx));
}

// World positions of the joints posed in the rest pose; parents come before their children.
std::vector<Vec> worldPositions(const std::vector<SkeletonNodeInfo>& bones) {
    const std::vector<double> euler = RestPose::eulerDegrees(bones.data(), bones.size());
    std::vector<Vec> positions(bones.size());
    std::vector<Mat> orientations(bones.size());
    for (std::size_t i = 0; i < bones.size(); ++i) {
        const Vec offset = {bones[i].restTranslation[0], bones[i].restTranslation[1],
                            bones[i].restTranslation[2]};
        const Mat local = rotationXyz(&euler[3 * i]);
        const int parent = bones[i].parentIndex;
        if (parent < 0) {
            positions[i] = offset;
            orientations[i] = local;
            continue;
        }
        const Vec moved = transform(orientations[parent], offset);
        for (int c = 0; c < 3; ++c) {
            positions[i][c] = positions[parent][c] + moved[c];
        }
        orientations[i] = multiply(orientations[parent], local);
    }
    return positions;
}

Vec between(const Vec& from, const Vec& to) {
    return {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
}

// Degrees between a segment and an axis direction.
double angleTo(const Vec& segment, const Vec& axis) {
    const double length =
        std::sqrt(segment[0] * segment[0] + segment[1] * segment[1] + segment[2] * segment[2]);
    const double cosine =
        (segment[0] * axis[0] + segment[1] * axis[1] + segment[2] * axis[2]) / length;
    return std::acos(std::fmin(1.0, std::fmax(-1.0, cosine))) * 180.0 / kPi;
}

// Arms level along the side's axis, legs straight down, hips above the feet, toes in front,
// the character's left on +X.
void expectTStance(const std::vector<SkeletonNodeInfo>& bones) {
    const std::vector<Vec> p = worldPositions(bones);
    // Within a tenth of a degree: the stream's rest quaternion holds 0.707, not sqrt(1/2).
    constexpr double kLevel = 0.1;
    EXPECT_LT(angleTo(between(p[kLeftLowArm], p[kLeftHand]), {1, 0, 0}), kLevel);
    EXPECT_LT(angleTo(between(p[kLeftUpArm], p[kLeftLowArm]), {1, 0, 0}), kLevel);
    EXPECT_LT(angleTo(between(p[kRightLowArm], p[kRightHand]), {-1, 0, 0}), kLevel);
    EXPECT_LT(angleTo(between(p[kRightUpArm], p[kRightLowArm]), {-1, 0, 0}), kLevel);
    // The legs' offsets lean a few centimetres forward and back at the knee.
    constexpr double kStraight = 5.0;
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{kLeftUpLeg, kLeftLowLeg},
                                                                   {kLeftLowLeg, kLeftFoot},
                                                                   {kRightUpLeg, kRightLowLeg},
                                                                   {kRightLowLeg, kRightFoot}}) {
        EXPECT_LT(angleTo(between(p[from], p[to]), {0, -1, 0}), kStraight) << from << "-" << to;
    }
    EXPECT_GT(p[kRoot][1], p[kLeftFoot][1]);
    EXPECT_GT(p[kRoot][1], p[kRightFoot][1]);
    EXPECT_GT(p[kHead][1], p[kTorso7][1]);
    EXPECT_GT(p[kLeftToes][2], p[kLeftFoot][2]);
    EXPECT_GT(p[kRightToes][2], p[kRightFoot][2]);
    EXPECT_GT(p[kLeftHand][0], p[kRoot][0]);
    EXPECT_LT(p[kRightHand][0], p[kRoot][0]);
    EXPECT_GT(p[kLeftUpLeg][0], p[kRightUpLeg][0]);
}

std::vector<SkeletonNodeInfo> defaultSkeleton() {
    const TulvexDataHandler handler;
    return handler.GetSkeletonDataChannels();
}

TEST(Stance, TheDefaultSkeletonsRestPoseIsATStance) {
    expectTStance(defaultSkeleton());
}

TEST(Stance, ADefinitionWithOtherBoneLengthsKeepsTheTStance) {
    std::vector<SkeletonNodeInfo> bones = defaultSkeleton();
    // Long arms, short legs, a longer spine: every offset of a segment scaled alike.
    for (std::size_t i = 1; i < bones.size(); ++i) {
        const double scale = (i >= kLeftUpArm && i <= kRightHand)   ? 1.35
                             : (i >= kLeftUpLeg && i <= kRightToes) ? 0.8
                                                                    : 1.1;
        for (double& component : bones[i].restTranslation) {
            component *= scale;
        }
    }
    bones[kRoot].restTranslation[1] = 75.0;
    expectTStance(bones);
    const std::vector<Vec> p = worldPositions(bones);
    EXPECT_NEAR(p[kLeftHand][0] - p[kLeftLowArm][0], 23.0 * 1.35, 0.01);
}

// Identity rest rotations hang the arms down: not a stance HumanIK can take.
TEST(Stance, IdentityRestRotationsAreNoTStance) {
    std::vector<SkeletonNodeInfo> bones = defaultSkeleton();
    for (SkeletonNodeInfo& bone : bones) {
        bone.restRotation[0] = bone.restRotation[1] = bone.restRotation[2] = 0.0;
        bone.restRotation[3] = 1.0;
    }
    const std::vector<Vec> p = worldPositions(bones);
    EXPECT_GT(angleTo(between(p[kLeftLowArm], p[kLeftHand]), {1, 0, 0}), 89.0);
    EXPECT_LT(angleTo(between(p[kLeftLowArm], p[kLeftHand]), {0, -1, 0}), 0.1);
}

}  // namespace
