#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "FloorHeight.h"
#include "TulvexDataHandler.h"

namespace {

void turn(SkeletonNodeInfo& bone, double axisX, double axisZ, double degrees) {
    const double half = degrees * 3.14159265358979323846 / 360.0;
    bone.currentRotation[0] = axisX * std::sin(half);
    bone.currentRotation[1] = 0.0;
    bone.currentRotation[2] = axisZ * std::sin(half);
    bone.currentRotation[3] = std::cos(half);
}

TEST(FloorHeight, TheLowestFootOrToeJointDownTheChain) {
    const TulvexDataHandler handler;
    std::vector<SkeletonNodeInfo> bones = handler.GetSkeletonDataChannels();
    for (SkeletonNodeInfo& bone : bones) {
        turn(bone, 0.0, 0.0, 0.0);
    }
    double height = -1.0;
    // Standing straight: root 94 cm up, hip 4 and each leg bone 40 down, the toes 10 more.
    ASSERT_TRUE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
    EXPECT_NEAR(height, 0.0, 1e-9);

    bones[0].currentTranslation[1] += 12.5;  // the performer jumps
    ASSERT_TRUE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
    EXPECT_NEAR(height, 12.5, 1e-9);

    // The left hip lifts its leg forward, level: only the right foot is left that low.
    turn(bones[19], 1.0, 0.0, -90.0);
    ASSERT_TRUE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
    EXPECT_NEAR(height, 12.5, 1e-9);
    // Both: sitting in the air. A level leg holds its foot at hip height (102.5), the knee's
    // forward offset turned up by 2 and the ankle's back down by 2.
    turn(bones[23], 1.0, 0.0, -90.0);
    ASSERT_TRUE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
    EXPECT_NEAR(height, 106.5 - 4.0 + 2.0 - 2.0, 1e-9);

    // Upside down: the feet are the highest joints, and still the ones measured; the ankles,
    // with the toes above them, are the lowest of them.
    turn(bones[19], 1.0, 0.0, 0.0);
    turn(bones[23], 1.0, 0.0, 0.0);
    turn(bones[0], 0.0, 1.0, 180.0);
    ASSERT_TRUE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
    EXPECT_NEAR(height, 106.5 + 4.0 + 40.0 + 40.0, 1e-9);
}

TEST(FloorHeight, RecordsWithoutFeetOrWithAParentAfterItsChildGiveNoHeight) {
    const TulvexDataHandler handler;
    std::vector<SkeletonNodeInfo> bones = handler.GetSkeletonDataChannels();
    double height = 0.0;
    EXPECT_FALSE(FloorHeight::lowestFoot(bones.data(), 19, height));
    bones[21].parentIndex = 22;
    EXPECT_FALSE(FloorHeight::lowestFoot(bones.data(), bones.size(), height));
}

}  // namespace
