// The summary's derived numbers, its table, and the naming that ties curves to joints.
#include <gtest/gtest.h>

#include <sstream>

#include "BoneTable.h"
#include "MayaAsciiWriter.h"
#include "SceneCollector.h"
#include "SummaryTable.h"
#include "TakeStatistics.h"

namespace {

TEST(TakeStatisticsTest, StreamRateFollowsTheNodesFrameRate) {
    EXPECT_EQ(TakeStatistics::detectedStreamRate(60.0), 30);
    EXPECT_EQ(TakeStatistics::detectedStreamRate(80.0), 50);
    EXPECT_EQ(TakeStatistics::detectedStreamRate(90.0), 60);
    // Anything else is not a rate the node detected.
    for (const double other : {0.0, 24.0, 30.0, 50.0, 79.999, 120.0}) {
        EXPECT_EQ(TakeStatistics::detectedStreamRate(other), 0) << other;
    }
}

TEST(TakeStatisticsTest, FilledKeysAreThoseExactlyOneFrameAfterTheKeyBefore) {
    // Samples at 1.3 and 4.8 with the two filled keys between them, made as the baker makes
    // them: by adding 1.0 to the key before.
    std::vector<SceneData::Key> keys{{1.3, 0}};
    keys.push_back({keys.back().time + 1.0, 0});
    keys.push_back({keys.back().time + 1.0, 0});
    keys.push_back({4.8, 0});
    keys.push_back({5.2, 0});
    EXPECT_EQ(TakeStatistics::filledKeyCount(keys), 2);

    // A sample that happens to land about one frame on is not a filled key.
    EXPECT_EQ(TakeStatistics::filledKeyCount({{1.0, 0}, {2.0000001, 0}, {2.5, 0}}), 0);
    EXPECT_EQ(TakeStatistics::filledKeyCount({}), 0);
    EXPECT_EQ(TakeStatistics::filledKeyCount({{7.0, 1}}), 0);
}

TEST(SummaryTableTest, AlignsColumnsNumbersToTheRight) {
    SummaryTable table({"node", "datagrams", "rate"});
    table.addRow({"TulvexDeviceNode1", "812", "60"});
    table.addRow({"TulvexDeviceNode2", "12034", "-"});
    table.addRow({"N3"});
    std::istringstream lines(table.text());
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[0], "node               datagrams  rate");
    EXPECT_EQ(rows[1], "TulvexDeviceNode1        812    60");
    EXPECT_EQ(rows[2], "TulvexDeviceNode2      12034     -");
    EXPECT_EQ(rows[3], "N3");
}

TEST(SceneCollectorTest, TiesEachCurveToTheJointAndChannelInItsName) {
    const std::string skeleton = BoneTable::skeletonName(0);
    const auto rotation = SceneCollector::curveTarget(skeleton, skeleton + "_l_up_arm_rz");
    ASSERT_TRUE(rotation.has_value());
    EXPECT_EQ(rotation->targetNode, "tulvexCharacter0_Skeleton_l_up_arm");
    EXPECT_EQ(rotation->targetAttribute, "rz");
    EXPECT_TRUE(rotation->degrees);

    const auto translation = SceneCollector::curveTarget(skeleton, skeleton + "_root_tx");
    ASSERT_TRUE(translation.has_value());
    EXPECT_EQ(translation->targetNode, "tulvexCharacter0_Skeleton_root");
    EXPECT_FALSE(translation->degrees);
}

TEST(SceneCollectorTest, IgnoresCurvesOfOtherSkeletonsBonesAndChannels) {
    const std::string one = BoneTable::skeletonName(1);
    EXPECT_FALSE(SceneCollector::curveTarget(one, "tulvexCharacter10_Skeleton_root_tx"));
    EXPECT_FALSE(SceneCollector::curveTarget(one, "tulvexCharacter0_Skeleton_root_tx"));
    EXPECT_FALSE(SceneCollector::curveTarget(one, one + "_tail_tx"));
    EXPECT_FALSE(SceneCollector::curveTarget(one, one + "_root_sx"));
    EXPECT_FALSE(SceneCollector::curveTarget(one, one + "_tx"));
    EXPECT_FALSE(SceneCollector::curveTarget(one, "unrelated"));
}

TEST(SceneCollectorTest, BuildsTheSkeletonFromTheNodesOutputs) {
    std::vector<std::array<double, 3>> translations(BoneTable::kBoneCount, {0.0, 5.0, 0.0});
    translations[0] = {12.0, 95.0, -3.0};
    const SceneData::Skeleton skeleton = SceneCollector::skeletonOf(2, translations);
    ASSERT_EQ(skeleton.joints.size(), 27U);
    EXPECT_EQ(skeleton.name, "tulvexCharacter2_Skeleton");
    EXPECT_EQ(skeleton.joints[0].name, "tulvexCharacter2_Skeleton_root");
    EXPECT_TRUE(skeleton.joints[0].parent.empty());
    EXPECT_EQ(skeleton.joints[0].translation, translations[0]);
    EXPECT_EQ(skeleton.joints[15].name, "tulvexCharacter2_Skeleton_r_shoulder");
    EXPECT_EQ(skeleton.joints[15].parent, "tulvexCharacter2_Skeleton_torso_7");
    EXPECT_EQ(skeleton.joints[26].parent, "tulvexCharacter2_Skeleton_r_foot");
    EXPECT_EQ(skeleton.joints[26].translation[1], 5.0);

    // The writer accepts the hierarchy as it comes.
    SceneData scene;
    scene.skeletons.push_back(skeleton);
    std::ostringstream out;
    EXPECT_NO_THROW(MayaAsciiWriter::write(scene, out));
}

}  // namespace
