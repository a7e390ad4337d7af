#include <gtest/gtest.h>
#include <mayahost/HostControl.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "RecordCompare.h"
#include "TulvexDataHandler.h"
#include "ZarnMotionFormat.h"

namespace {

constexpr int kReceiveBufferSize = 4096;

// The capture thread hands the whole receive buffer with its capacity, not the datagram size.
std::vector<std::byte> receiveBuffer(const std::vector<std::byte>& packet) {
    std::vector<std::byte> buffer(kReceiveBufferSize);
    std::copy(packet.begin(), packet.end(), buffer.begin());
    return buffer;
}

zmf::SkeletonDefinition makeDefinition(int bones, float translationBase,
                                       float rotationBase = 0.0F) {
    zmf::SkeletonDefinition definition;
    definition.skeletonId = 7;
    for (int i = 0; i < bones; ++i) {
        const float f = static_cast<float>(i);
        definition.bones.push_back({{rotationBase + 0.01F * f, 0.5F, -0.25F, 0.75F},
                                    {translationBase + 0.01F * f, 0.5F + 0.001F * f, -0.125F}});
    }
    return definition;
}

zmf::FramePacket makeFrame(int number, double timestamp, int bones, float base = 0.2F) {
    zmf::FramePacket frame;
    frame.frameNumber = number;
    frame.timestamp = timestamp;
    for (int i = 0; i < bones; ++i) {
        const float f = static_cast<float>(i);
        frame.boneIds.push_back(100 + i);
        frame.bones.push_back({{0.1F, 0.2F + 0.01F * f, 0.3F, 0.9F}, {base + f, -base, 0.0625F}});
    }
    return frame;
}

class TulvexDataHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZarnMotionFormat::Shutdown();
        ZarnMotionFormat::Initialize(TULVEX_TEST_PLUGIN_DIR);
        ASSERT_TRUE(ZarnMotionFormat::IsBound());
    }
    void TearDown() override {
        ZarnMotionFormat::Shutdown();
        mayahost::takeIdleCommands();
    }

    bool applyDefinition(const zmf::SkeletonDefinition& definition) {
        std::vector<std::byte> buffer = receiveBuffer(zmf::encode(definition));
        EXPECT_TRUE(handler.IsSkeletonDefinition(buffer.data(), kReceiveBufferSize));
        EXPECT_FALSE(handler.IsFrameData(buffer.data(), kReceiveBufferSize));
        return handler.ProcessSkeletonDefinitionData(buffer.data(), kReceiveBufferSize);
    }

    void applyFrame(const zmf::FramePacket& frame) {
        std::vector<std::byte> buffer = receiveBuffer(zmf::encode(frame));
        ASSERT_TRUE(handler.IsFrameData(buffer.data(), kReceiveBufferSize));
        ASSERT_FALSE(handler.IsSkeletonDefinition(buffer.data(), kReceiveBufferSize));
        handler.ProcessFrameData(buffer.data(), kReceiveBufferSize);
    }

    std::vector<SkeletonNodeInfo> records() const { return handler.GetSkeletonDataChannels(); }

    TulvexDataHandler handler;
};

using recordcompare::sameRecord;
using recordcompare::sameRecords;

TEST_F(TulvexDataHandlerTest, DefinitionIsScaledIntoBothPoses) {
    const SkeletonNodeInfo* const first = handler.GetBoneInfoByIndex(0);
    ASSERT_TRUE(applyDefinition(makeDefinition(27, 0.5F)));
    EXPECT_EQ(handler.GetBoneInfoByIndex(0), first);
    EXPECT_EQ(handler.GetSkeletonDataChannels().data(), first);

    const std::vector<SkeletonNodeInfo> bones = records();
    const SkeletonNodeInfo& root = bones[0];
    EXPECT_STREQ(root.name, "root");
    EXPECT_EQ(root.parentIndex, -1);
    EXPECT_EQ(root.restTranslation[0], 50.0);  // library unit x 100
    EXPECT_EQ(root.currentTranslation[0], 50.0);
    EXPECT_EQ(root.restTranslation[2], -12.5);
    EXPECT_EQ(root.restRotation[1], 0.5);  // rotations are neither scaled nor normalised
    EXPECT_EQ(root.currentRotation[3], 0.75);
    const SkeletonNodeInfo& last = bones[26];
    EXPECT_EQ(last.restTranslation[0], static_cast<double>(0.5F + 0.01F * 26.0F) * 100.0);
    EXPECT_EQ(last.restRotation[0], static_cast<double>(0.01F * 26.0F));
}

TEST_F(TulvexDataHandlerTest, RepeatedDefinitionsChangeNothing) {
    ASSERT_TRUE(applyDefinition(makeDefinition(27, 0.5F)));
    const std::vector<SkeletonNodeInfo> applied = records();

    EXPECT_FALSE(applyDefinition(makeDefinition(27, 0.5F)));
    EXPECT_TRUE(sameRecords(records(), applied));

    // Other rotations, same translations: still a repeat; rotations stay as they were.
    EXPECT_FALSE(applyDefinition(makeDefinition(27, 0.5F, 0.3F)));
    EXPECT_TRUE(sameRecords(records(), applied));

    // No bones at all counts as a repeat.
    EXPECT_FALSE(applyDefinition(makeDefinition(0, 0.5F)));
    EXPECT_TRUE(sameRecords(records(), applied));

    // New translations are new again.
    EXPECT_TRUE(applyDefinition(makeDefinition(27, 0.6F)));
}

TEST_F(TulvexDataHandlerTest, DefinitionWithMoreThan27BonesAppliesTheFirst27) {
    ASSERT_TRUE(applyDefinition(makeDefinition(40, 0.5F)));
    EXPECT_EQ(records()[26].restTranslation[0], static_cast<double>(0.5F + 0.01F * 26.0F) * 100.0);
    // Compared over the first 27 bones only.
    EXPECT_FALSE(applyDefinition(makeDefinition(27, 0.5F)));
}

TEST_F(TulvexDataHandlerTest, ShortDefinitionKeepsTheRemainingRecords) {
    const std::vector<SkeletonNodeInfo> before = records();
    ASSERT_TRUE(applyDefinition(makeDefinition(5, 0.5F)));
    const std::vector<SkeletonNodeInfo> after = records();
    EXPECT_NE(after[4].restTranslation[0], before[4].restTranslation[0]);
    EXPECT_TRUE(std::equal(after.begin() + 5, after.end(), before.begin() + 5, sameRecord));
}

TEST_F(TulvexDataHandlerTest, FrameWritesOnlyTheCurrentPose) {
    ASSERT_TRUE(applyDefinition(makeDefinition(27, 0.5F)));
    const std::vector<SkeletonNodeInfo> defined = records();
    applyFrame(makeFrame(1, 0.0, 27, 0.5F));

    const std::vector<SkeletonNodeInfo> framed = records();
    for (int i = 0; i < 27; ++i) {
        EXPECT_TRUE(recordcompare::sameBits(framed[i].restTranslation, defined[i].restTranslation))
            << "rest translation of bone " << i << " changed";
        EXPECT_TRUE(recordcompare::sameBits(framed[i].restRotation, defined[i].restRotation))
            << "rest rotation of bone " << i << " changed";
        EXPECT_EQ(framed[i].currentTranslation[0], (0.5 + i) * 100.0);
        EXPECT_EQ(framed[i].currentTranslation[1], -50.0);
        EXPECT_EQ(framed[i].currentRotation[0], static_cast<double>(0.1F));
        EXPECT_EQ(framed[i].currentRotation[3], static_cast<double>(0.9F));
    }
}

TEST_F(TulvexDataHandlerTest, FrameWithFiveBonesChangesRecordsZeroToFour) {
    const std::vector<SkeletonNodeInfo> before = records();
    applyFrame(makeFrame(1, 0.0, 5));
    const std::vector<SkeletonNodeInfo> after = records();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(sameRecord(after[i], before[i])) << i;
    }
    for (int i = 5; i < 27; ++i) {
        EXPECT_TRUE(sameRecord(after[i], before[i])) << i;
    }
}

TEST_F(TulvexDataHandlerTest, FrameWithMoreThan27BonesStaysInsideTheRecords) {
    applyFrame(makeFrame(1, 0.0, 60, 1.0F));
    EXPECT_EQ(records()[26].currentTranslation[0], 2700.0);
}

TEST_F(TulvexDataHandlerTest, RateFollowsConsecutiveFrames) {
    applyFrame(makeFrame(41, 12.5, 27));
    EXPECT_FALSE(handler.hasMeasuredAppFps()) << "one frame measures nothing";
    applyFrame(makeFrame(42, 12.5167, 27));
    EXPECT_TRUE(handler.hasMeasuredAppFps());
    EXPECT_EQ(handler.getDetectedAppFps(), 60);
    applyFrame(makeFrame(43, 12.5367, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 50);

    // A lost frame in between: not measured.
    applyFrame(makeFrame(45, 12.5701, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 50);
    // A pair across a whole second: not measured.
    applyFrame(makeFrame(46, 12.99, 27));
    applyFrame(makeFrame(47, 13.0067, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 50);
    // 25 frames per second never changes the rate.
    applyFrame(makeFrame(48, 13.05, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 50);

    applyFrame(makeFrame(49, 13.0834, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 30);
}

TEST_F(TulvexDataHandlerTest, SkippedFrameNumbersCountAsMissedFrames) {
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    applyFrame(makeFrame(7, 1.0, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U) << "nothing before the first frame";
    applyFrame(makeFrame(8, 1.0167, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    applyFrame(makeFrame(11, 1.0667, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 2U);
    // Late or repeated datagrams, and a restarted phone, lose nothing.
    applyFrame(makeFrame(10, 1.05, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    applyFrame(makeFrame(10, 1.05, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    applyFrame(makeFrame(1, 0.0, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    // A second of frames is the longest loss; a longer jump is another stream.
    applyFrame(makeFrame(1 + 61, 1.0, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), TulvexDataHandler::kMaxMissedFrames);
    applyFrame(makeFrame(62 + 62, 2.0, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
    // Numbers wrap past the largest.
    applyFrame(makeFrame(2147483646, 3.0, 27));
    applyFrame(makeFrame(-2147483647, 3.05, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 2U);
    // A buffer that does not decode leaves the count to the frames around it.
    std::vector<std::byte> corrupt = receiveBuffer(zmf::encode(makeFrame(500, 4.0, 27)));
    corrupt[40] ^= std::byte{0x5A};
    handler.ProcessFrameData(corrupt.data(), kReceiveBufferSize);
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 2U);
    // Frames the node ignores while a new definition waits to be bound are not lost.
    applyDefinition(makeDefinition(27, 0.75F));
    applyFrame(makeFrame(-2147483647 + 30, 3.55, 27));
    EXPECT_EQ(handler.MissedFramesBeforeCurrent(), 0U);
}

TEST_F(TulvexDataHandlerTest, FrameWithNoBonesMeasuresTheRateButWritesNoRecord) {
    applyFrame(makeFrame(41, 12.5, 27));
    const std::vector<SkeletonNodeInfo> before = records();
    applyFrame(makeFrame(42, 12.5167, 0));
    EXPECT_EQ(handler.getDetectedAppFps(), 60);
    EXPECT_TRUE(sameRecords(records(), before));
}

TEST_F(TulvexDataHandlerTest, UndecodableBufferDoesNotShiftTheFrameHeaders) {
    applyFrame(makeFrame(41, 12.5, 27));
    const std::vector<SkeletonNodeInfo> before = records();

    std::vector<std::byte> corrupt = receiveBuffer(zmf::encode(makeFrame(99, 0.3, 27, 9.0F)));
    corrupt[40] ^= std::byte{0x5A};  // breaks the checksum
    EXPECT_FALSE(handler.IsFrameData(corrupt.data(), kReceiveBufferSize));
    handler.ProcessFrameData(corrupt.data(), kReceiveBufferSize);
    EXPECT_FALSE(handler.ProcessSkeletonDefinitionData(corrupt.data(), kReceiveBufferSize));
    EXPECT_TRUE(sameRecords(records(), before));

    // The next good frame is measured against the last good one.
    applyFrame(makeFrame(42, 12.52, 27));
    EXPECT_EQ(handler.getDetectedAppFps(), 50);
}

TEST_F(TulvexDataHandlerTest, BuffersThatAreNoPacketAreDropped) {
    std::vector<std::byte> zeros(kReceiveBufferSize);
    EXPECT_FALSE(handler.IsFrameData(zeros.data(), kReceiveBufferSize));
    EXPECT_FALSE(handler.IsSkeletonDefinition(zeros.data(), kReceiveBufferSize));

    // A packet cut short of its declared length.
    const std::vector<std::byte> packet = zmf::encode(makeFrame(1, 0.0, 27));
    std::vector<std::byte> truncated(packet.begin(), packet.end() - 10);
    EXPECT_FALSE(handler.IsFrameData(truncated.data(), static_cast<int>(truncated.size())));
    const std::vector<SkeletonNodeInfo> before = records();
    handler.ProcessFrameData(truncated.data(), static_cast<int>(truncated.size()));
    EXPECT_TRUE(sameRecords(records(), before));
}

}  // namespace
