#include <gtest/gtest.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <vector>

#include "Performer.h"
#include "WalkCycle.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;
constexpr int kSamples = 240;  // per cycle

// Joints placed the way the plug-in composes them: a joint sits at its offset in the parent's
// rotated frame. Without the root, the pelvis stays unturned at the origin.
struct World {
    std::array<Quaternion, Skeleton::kBoneCount> rotation;
    std::array<Vec3, Skeleton::kBoneCount> position;  // metres
};

World place(const Skeleton& skeleton, const WalkCycle::Pose& pose, bool withRoot = true) {
    World w;
    w.rotation[0] = withRoot ? pose.rotations[0] : Quaternion();
    w.position[0] = withRoot ? pose.rootPositionMetres : Vec3{0, 0, 0};
    for (int bone = 1; bone < Skeleton::kBoneCount; ++bone) {
        const int parent = Skeleton::parent(bone);
        const Vec3& o = skeleton.offsetCm(bone);
        const Vec3 step = w.rotation[parent].rotate({o[0] / 100, o[1] / 100, o[2] / 100});
        for (int axis = 0; axis < 3; ++axis) {
            w.position[bone][axis] = w.position[parent][axis] + step[axis];
        }
        w.rotation[bone] = w.rotation[parent] * pose.rotations[bone];
    }
    return w;
}

class WalkCycleTest : public ::testing::Test {
protected:
    Skeleton skeleton_;
    WalkCycle walk_{skeleton_, 0.0};
    double period_ = walk_.periodSeconds();
    double at(int sample) const { return period_ * sample / kSamples; }
};

TEST_F(WalkCycleTest, EveryRotationOnTheWireIsAUnitQuaternion) {
    for (int index : {0, 1, 5}) {
        const Performer performer(index, 0);
        for (int k = 0; k < 70; ++k) {  // over a cycle at 60 fps
            const auto bytes = performer.framePacket(FrameSchedule(60, 1), k);
            zmf::FramePacket frame;
            ASSERT_TRUE(zmf::decode(bytes.data(), static_cast<std::int32_t>(bytes.size()), frame));
            ASSERT_EQ(frame.bones.size(), 27U);
            for (const auto& bone : frame.bones) {
                const float* q = bone.rotation;
                EXPECT_NEAR(std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]), 1.0,
                            1e-5);
            }
        }
    }
}

TEST_F(WalkCycleTest, RootTravelsForwardSteadilyAtWalkingSpeedWithASmallBob) {
    double low = 1e9;
    double high = -1e9;
    double z = -1;
    for (int i = 0; i <= 10 * kSamples; ++i) {
        const Vec3 root = walk_.poseAt(at(i)).rootPositionMetres;
        ASSERT_GT(root[2], z) << "sample " << i;
        z = root[2];
        low = std::min(low, root[1]);
        high = std::max(high, root[1]);
        EXPECT_LT(std::abs(root[0]), 0.05);
    }
    EXPECT_GT(z / (10 * period_), 1.0);  // metres per second
    EXPECT_LT(z / (10 * period_), 1.6);
    EXPECT_GT(high - low, 0.02);
    EXPECT_LT(high - low, 0.07);
    EXPECT_NEAR((high + low) / 2, 0.94, 0.03);
}

TEST_F(WalkCycleTest, RepeatsEachPeriodWithoutJumpsBetweenCloseSamples) {
    for (int i = 0; i < kSamples; i += 7) {
        const auto a = walk_.poseAt(at(i) + 3);
        const auto b = walk_.poseAt(at(i) + 3 + period_);
        for (int bone = 0; bone < Skeleton::kBoneCount; ++bone) {
            EXPECT_LT(a.rotations[bone].angleTo(b.rotations[bone]), 1e-6) << "bone " << bone;
        }
        EXPECT_NEAR(a.rootPositionMetres[1], b.rootPositionMetres[1], 1e-9);
    }
    // Stance and swing are pieced together: a seam is a step that does not shrink with the
    // sampling interval. 2 degrees in 1/600 s is 1200 degrees a second, beyond any knee.
    auto previous = walk_.poseAt(0);
    for (int k = 1; k <= static_cast<int>(2 * period_ * 600); ++k) {
        const auto pose = walk_.poseAt(k / 600.0);
        for (int bone = 0; bone < Skeleton::kBoneCount; ++bone) {
            EXPECT_LT(pose.rotations[bone].angleTo(previous.rotations[bone]), 2 * kDegree)
                << Skeleton::name(bone) << " at " << k / 600.0 << " s";
        }
        previous = pose;
    }
}

TEST_F(WalkCycleTest, LegsAlternateAndEachArmSwingsWithTheOtherLeg) {
    std::vector<double> leftFoot;
    std::vector<double> rightFoot;
    std::vector<double> leftHand;
    for (int i = 0; i < kSamples; ++i) {
        const World now = place(skeleton_, walk_.poseAt(at(i)), false);
        const World half = place(skeleton_, walk_.poseAt(at(i) + period_ / 2), false);
        // Mirror images half a cycle apart.
        EXPECT_NEAR(now.position[Skeleton::kLeftFoot][2], half.position[Skeleton::kRightFoot][2],
                    1e-6);
        EXPECT_NEAR(now.position[Skeleton::kLeftFoot][1], half.position[Skeleton::kRightFoot][1],
                    1e-6);
        leftFoot.push_back(now.position[Skeleton::kLeftFoot][2]);
        rightFoot.push_back(now.position[Skeleton::kRightFoot][2]);
        leftHand.push_back(now.position[Skeleton::kLeftHand][2]);
    }
    const auto correlation = [](const std::vector<double>& a, const std::vector<double>& b) {
        const auto n = static_cast<double>(a.size());
        double ma = 0;
        double mb = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            ma += a[i] / n;
            mb += b[i] / n;
        }
        double ab = 0;
        double aa = 0;
        double bb = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            ab += (a[i] - ma) * (b[i] - mb);
            aa += (a[i] - ma) * (a[i] - ma);
            bb += (b[i] - mb) * (b[i] - mb);
        }
        return ab / std::sqrt(aa * bb);
    };
    // Not -1: a foot spends longer on the floor than in the air.
    EXPECT_LT(correlation(leftFoot, rightFoot), -0.6);
    EXPECT_LT(correlation(leftFoot, leftHand), -0.6);
}

TEST_F(WalkCycleTest, KneeBendsInTheSwingFootRollsAndStaysPutWhileFlat) {
    double swingKnee = 0;
    double stanceKnee = 0;
    std::set<double> flatFootZ;
    std::set<double> footPitch;
    for (int i = 0; i < kSamples; ++i) {
        const auto pose = walk_.poseAt(at(i));
        const double p = walk_.leftLegPhase(at(i));
        double& knee = p < WalkCycle::kStanceShare ? stanceKnee : swingKnee;
        knee = std::max(knee, pose.rotations[Skeleton::kLeftLowLeg].angleTo({}) / kDegree);
        const World w = place(skeleton_, pose);
        if (p > 0.1 && p < 0.4) {
            flatFootZ.insert(w.position[Skeleton::kLeftFoot][2]);
        }
        const Vec3 toes = w.rotation[Skeleton::kLeftFoot].rotate({0, 0, 1});
        footPitch.insert(std::atan2(toes[1], std::hypot(toes[0], toes[2])) / kDegree);
    }
    EXPECT_GT(swingKnee, 45.0);
    EXPECT_LT(stanceKnee, 10.0);
    // The body moves on about 35 cm while the foot is flat; the foot does not.
    EXPECT_LT(*flatFootZ.rbegin() - *flatFootZ.begin(), 0.04);
    EXPECT_GT(*footPitch.rbegin(), 10.0);  // toes up at heel strike
    EXPECT_LT(*footPitch.begin(), -20.0);  // heel up before toe-off
}

TEST_F(WalkCycleTest, ChestTurnsAgainstThePelvisAndTheHeadStaysSteady) {
    const auto yaw = [](const Quaternion& q) {
        const Vec3 across = q.rotate({1, 0, 0});
        return std::atan2(-across[2], across[0]);
    };
    double pelvisTurn = 0;
    for (int i = 0; i < kSamples; ++i) {
        const World w = place(skeleton_, walk_.poseAt(at(i)));
        const double pelvis = yaw(w.rotation[Skeleton::kRoot]);
        pelvisTurn = std::max(pelvisTurn, std::abs(pelvis));
        if (std::abs(pelvis) > 1 * kDegree) {
            EXPECT_LT(yaw(w.rotation[Skeleton::kTorso7]) * pelvis, 0) << "sample " << i;
        }
        EXPECT_LT(w.rotation[Skeleton::kHead].angleTo({}), 1.5 * kDegree) << "sample " << i;
    }
    EXPECT_GT(pelvisTurn, 3 * kDegree);
}

TEST(SkeletonTest, DefaultsInMetresFeetOnTheFloorAndPerformersOfTheirOwn) {
    const zmf::SkeletonDefinition d = Performer(0, 0).definition();
    ASSERT_EQ(d.bones.size(), 27U);
    EXPECT_FLOAT_EQ(d.bones[0].translation[1], 0.94F);
    EXPECT_FLOAT_EQ(d.bones[12].translation[0], 0.12F);
    EXPECT_FLOAT_EQ(d.bones[26].translation[2], 0.13F);
    EXPECT_EQ(Skeleton::name(22), "l_toes");
    EXPECT_EQ(Skeleton::parent(15), 7);

    std::set<double> heights;
    std::set<double> phases;
    for (int i = 0; i < 4; ++i) {
        const Performer p(i, 0);
        heights.insert(p.skeleton().offsetCm(0)[1]);
        phases.insert(p.walk().leftLegPhase(0));
        // At rest the toe joints, 10 cm below the ankles, touch the floor whatever the build.
        const World rest = place(p.skeleton(), {{0, p.skeleton().offsetCm(0)[1] / 100, 0}, {}});
        EXPECT_NEAR(rest.position[Skeleton::kLeftToes][1], 0.0, 1e-9) << "performer " << i;
        EXPECT_NEAR(p.skeleton().offsetCm(0)[1], 94.0, 94.0 * 0.12);
    }
    EXPECT_EQ(heights.size(), 4U);
    EXPECT_EQ(phases.size(), 4U);
}

}  // namespace
