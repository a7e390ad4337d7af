#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "RecordCompare.h"
#include "TulvexDataHandler.h"

namespace {

TEST(DefaultSkeleton, FreshHandlerHoldsTheDefaultPose) {
    TulvexDataHandler handler;
    ASSERT_EQ(handler.GetNumBones(), 27);
    ASSERT_EQ(handler.GetSkeletonDataChannels().size(), 27U);
    EXPECT_EQ(handler.getDetectedAppFps(), 50);

    const SkeletonNodeInfo& root = handler.GetSkeletonDataChannels()[0];
    EXPECT_STREQ(root.name, "root");
    EXPECT_EQ(root.parentIndex, -1);
    EXPECT_EQ(root.restTranslation[1], 94.0);
    EXPECT_EQ(root.currentTranslation[1], 94.0);
    EXPECT_EQ(root.currentTranslation[0], 0.0);
    EXPECT_EQ(root.currentTranslation[2], 0.0);
}

TEST(DefaultSkeleton, HierarchyAndOffsetsMatchTheReferenceSkeleton) {
    TulvexDataHandler handler;
    const auto& bones = handler.GetSkeletonDataChannels();
    // Parents always come before children, shoulders hang from torso_7, legs from the root.
    for (int i = 1; i < 27; ++i) {
        EXPECT_LT(bones[i].parentIndex, i) << bones[i].name;
        EXPECT_GE(bones[i].parentIndex, 0) << bones[i].name;
    }
    EXPECT_STREQ(bones[11].name, "l_shoulder");
    EXPECT_EQ(bones[11].parentIndex, 7);
    EXPECT_EQ(bones[15].parentIndex, 7);
    EXPECT_EQ(bones[19].parentIndex, 0);
    EXPECT_EQ(bones[23].parentIndex, 0);
    EXPECT_STREQ(bones[26].name, "r_toes");
    EXPECT_EQ(bones[26].parentIndex, 25);
    EXPECT_EQ(bones[22].currentTranslation[2], 13.0);
    EXPECT_EQ(bones[16].currentTranslation[0], -12.0);
    EXPECT_EQ(bones[21].currentTranslation[2], -2.0);
}

TEST(DefaultSkeleton, RestPairEqualsCurrentPairAndArmsAreTurned) {
    TulvexDataHandler handler;
    const auto& bones = handler.GetSkeletonDataChannels();
    for (int i = 0; i < 27; ++i) {
        EXPECT_TRUE(recordcompare::sameBits(bones[i].restTranslation, bones[i].currentTranslation))
            << bones[i].name;
        EXPECT_TRUE(recordcompare::sameBits(bones[i].restRotation, bones[i].currentRotation))
            << bones[i].name;
        const double* q = bones[i].currentRotation;
        if (i == 12) {
            EXPECT_EQ((std::array<double, 4>{q[0], q[1], q[2], q[3]}),
                      (std::array<double, 4>{0, 0, 0.707, 0.707}));
        } else if (i == 16) {
            EXPECT_EQ((std::array<double, 4>{q[0], q[1], q[2], q[3]}),
                      (std::array<double, 4>{0, 0, 0.707, -0.707}));
        } else {
            EXPECT_EQ((std::array<double, 4>{q[0], q[1], q[2], q[3]}),
                      (std::array<double, 4>{0, 0, 0, 1}))
                << bones[i].name;
        }
    }
}

TEST(DefaultSkeleton, RecordsSurviveARawByteRoundTrip) {
    TulvexDataHandler handler;
    EXPECT_EQ(handler.GetBoneInfoByIndex(0), handler.GetSkeletonDataChannels().data());

    std::array<char, 3456> block{};
    static_assert(sizeof(block) == 27 * sizeof(SkeletonNodeInfo));
    std::memcpy(block.data(), handler.GetSkeletonDataChannels().data(), block.size());

    std::array<SkeletonNodeInfo, 27> copy{};
    std::memcpy(copy.data(), block.data(), block.size());
    for (int i = 0; i < 27; ++i) {
        const SkeletonNodeInfo& original = handler.GetSkeletonDataChannels()[i];
        EXPECT_EQ(std::string(copy[i].name), std::string(original.name));
        EXPECT_EQ(copy[i].parentIndex, original.parentIndex);
        EXPECT_TRUE(recordcompare::sameRecord(copy[i], original));
    }
}

}  // namespace
