// Baking a journaled take again with other smoothing or floor offset: the capture's frames
// are decoded again and each sample takes its own frame's pose.
#include <gtest/gtest.h>
#include <mayahost/HostControl.h>
#include <zmf/ZmfCodec.h>

#include <cmath>
#include <vector>

#include "JournalReplay.h"
#include "TulvexDeviceNode.h"
#include "ZarnMotionFormat.h"

namespace {

constexpr int kBones = 27;

zmf::FramePacket frame(int number, float rootHeight, float turn) {
    zmf::FramePacket packet;
    packet.frameNumber = number;
    packet.timestamp = number / 60.0;
    for (int b = 0; b < kBones; ++b) {
        packet.boneIds.push_back(100 + b);
        // About the y axis: (0, sin, 0, cos) of half the turn.
        packet.bones.push_back(
            {{0.0F, std::sin(turn / 2), 0.0F, std::cos(turn / 2)}, {0.25F, rootHeight, -0.5F}});
    }
    return packet;
}

zmf::SkeletonDefinition definition() {
    zmf::SkeletonDefinition skeleton;
    skeleton.skeletonId = 7;
    for (int b = 0; b < kBones; ++b) {
        skeleton.bones.push_back({{0.0F, 0.0F, 0.0F, 1.0F}, {0.0F, 0.1F * b, 0.0F}});
    }
    return skeleton;
}

// The root's height as the capture shows it: the library's metres as centimetres, rounded.
float shownHeight(float metres, double floorOffset = 0.0) {
    return static_cast<float>(static_cast<double>(metres) * 100.0 + floorOffset);
}

// A recorded sample with values no decode gives, so that what was redone shows.
SampleMapFormat::Sample recorded(double time, std::int64_t datagram) {
    SampleMapFormat::Sample sample;
    sample.time = time;
    sample.datagramIndex = datagram;
    sample.bones.assign(
        kBones,
        SampleMapFormat::Bone{{-7.0, -7.0, -7.0}, {-7.0, -7.0, -7.0}, {-7.0, -7.0, -7.0, -7.0}});
    return sample;
}

class JournalReplayTest : public ::testing::Test {
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

    std::size_t replay(std::vector<std::vector<std::byte>> payloads,
                       std::vector<SampleMapFormat::Sample>& samples,
                       const JournalReplay::Options& options) {
        return JournalReplay::replay(payloads, samples, options,
                                     TulvexDeviceNode::kReceiveBufferSize,
                                     &TulvexDeviceNode::quaternionToVector);
    }
};

TEST_F(JournalReplayTest, EachSampleTakesItsOwnFramesPoseAndTheRestKeepTheirs) {
    // A definition, then frames turning 0.1 rad each; datagram 3 arrived late, after 4.
    const std::vector<std::vector<std::byte>> payloads = {
        zmf::encode(definition()), zmf::encode(frame(1, 1.0F, 0.1F)),
        zmf::encode(frame(2, 1.0F, 0.2F)), zmf::encode(frame(4, 1.0F, 0.4F)),
        zmf::encode(frame(3, 1.0F, 0.3F))};
    std::vector<SampleMapFormat::Sample> samples = {
        recorded(1.0, -1),  // shown before the capture began
        recorded(2.0, 0),   // the definition
        recorded(3.0, 1),  recorded(4.0, 3), recorded(5.0, 2), recorded(6.0, 3), recorded(7.0, 4)};
    JournalReplay::Options options;
    options.floorOffset = 4.5;
    ASSERT_EQ(replay(payloads, samples, options), 5U);

    for (const std::size_t kept : {0, 1}) {
        EXPECT_EQ(samples[kept].bones[0].rotation[1], -7.0) << "sample " << kept;
        EXPECT_EQ(samples[kept].bones[5].quaternion[0], -7.0) << "sample " << kept;
    }
    const double turns[] = {0, 0, 0.1, 0.4, 0.2, 0.4, 0.3};
    for (std::size_t s = 2; s < samples.size(); ++s) {
        const float turn = static_cast<float>(turns[s]);
        for (int b = 0; b < kBones; ++b) {
            const SampleMapFormat::Bone& bone = samples[s].bones[static_cast<std::size_t>(b)];
            // w, x, y, z as decoded, and the angles rounded as compute shows them.
            EXPECT_EQ(bone.quaternion[0], static_cast<double>(std::cos(turn / 2)));
            EXPECT_EQ(bone.quaternion[2], static_cast<double>(std::sin(turn / 2)));
            EXPECT_NEAR(bone.rotation[1], turns[s] * 180.0 / M_PI, 1e-4);
            EXPECT_EQ(bone.rotation[1], static_cast<float>(bone.rotation[1]));
            // Only the root's translation is redone, with the offset added before rounding.
            if (b == 0) {
                EXPECT_EQ(bone.translation[1], shownHeight(1.0F, 4.5));
                EXPECT_EQ(bone.translation[0], shownHeight(0.25F));
            } else {
                EXPECT_EQ(bone.translation[1], -7.0);
            }
        }
    }
}

// The phone repeats its definition; a block pushed for a repeat carries the last frame's pose
// and is tagged with the repeat. Baked again, its sample takes that frame's pose too, or a
// new floor offset would leave it at the old height.
TEST_F(JournalReplayTest, ASampleTaggedWithARepeatedDefinitionTakesTheFrameBefore) {
    const std::vector<std::vector<std::byte>> payloads = {
        zmf::encode(definition()), zmf::encode(frame(1, 1.0F, 0.1F)), zmf::encode(definition()),
        zmf::encode(frame(2, 1.0F, 0.2F))};
    std::vector<SampleMapFormat::Sample> samples = {recorded(1.0, 1), recorded(2.0, 2),
                                                    recorded(3.0, 3)};
    JournalReplay::Options options;
    options.floorOffset = 9.0;
    ASSERT_EQ(replay(payloads, samples, options), 3U);
    const double turns[] = {0.1, 0.1, 0.2};
    for (std::size_t s = 0; s < samples.size(); ++s) {
        const SampleMapFormat::Bone& root = samples[s].bones[0];
        EXPECT_EQ(root.translation[1], shownHeight(1.0F, 9.0)) << "sample " << s;
        EXPECT_NEAR(root.rotation[1], turns[s] * 180.0 / M_PI, 1e-4) << "sample " << s;
    }
}

TEST_F(JournalReplayTest, SmoothingCalmsANoisyPoseAndStartsAgainAfterANewSkeleton) {
    std::vector<std::vector<std::byte>> payloads;
    std::vector<SampleMapFormat::Sample> samples;
    for (int f = 0; f < 120; ++f) {
        if (f == 60) {
            zmf::SkeletonDefinition other = definition();
            other.bones[3].translation[1] = 9.0F;
            payloads.push_back(zmf::encode(other));
        }
        // Half a centimetre of noise on a standing root.
        const float noise = f % 2 == 0 ? 0.005F : -0.005F;
        payloads.push_back(zmf::encode(frame(f + 1, 1.0F + noise, 0.0F)));
        samples.push_back(recorded(f, static_cast<std::int64_t>(payloads.size() - 1)));
    }
    const auto spread = [&samples](std::size_t from, std::size_t to) {
        double low = 1e9;
        double high = -1e9;
        for (std::size_t s = from; s < to; ++s) {
            low = std::min(low, samples[s].bones[0].translation[1]);
            high = std::max(high, samples[s].bones[0].translation[1]);
        }
        return high - low;
    };

    ASSERT_EQ(replay(payloads, samples, {}), samples.size());
    EXPECT_NEAR(spread(30, 60), 1.0, 1e-3);  // raw: the whole centimetre

    JournalReplay::Options smoothed;
    smoothed.smoothing = true;
    ASSERT_EQ(replay(payloads, samples, smoothed), samples.size());
    EXPECT_LT(spread(30, 60), 0.2);
    // The first frame of each skeleton passes through as it came.
    EXPECT_EQ(samples[0].bones[0].translation[1], shownHeight(1.0F + 0.005F));
    EXPECT_EQ(samples[60].bones[0].translation[1], shownHeight(1.0F + 0.005F));
    EXPECT_NE(samples[61].bones[0].translation[1], shownHeight(1.0F - 0.005F));
}

}  // namespace
