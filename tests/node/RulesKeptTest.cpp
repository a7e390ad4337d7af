// The node under the host's strict rules: every output cleaned by the one evaluation that
// consumes the waiting blocks, whichever plug Maya asked for; silence measured between arrivals,
// also while the consumer stalls; and a bake whose failed curve takes no other bone's keys.
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MSelectionList.h>
#include <mayahost/HostControl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

using namespace std::chrono_literals;

class RulesKeptTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
    }
    void TearDown() override {
        MAnimControl::stop();
        NodeTest::TearDown();
    }

    // Waits until the capture thread has received `count` datagrams in all.
    // A datagram counts as received before it is applied: each counter is waited for.
    static bool waitForCount(const std::atomic<std::uint64_t>& counter, std::uint64_t count) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (counter.load() < count) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    void waitForQueuedBlocks(long count) const {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (device().threadDataCount() < count && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_EQ(device().threadDataCount(), count);
    }

    static std::vector<double> curveValues(const std::string& name) {
        MSelectionList list;
        if (list.add(MString(name.c_str())) != MStatus::kSuccess) {
            return {};
        }
        std::vector<double> values;
        for (const mayahost::CurveKey& key : mayahost::animCurveKeys(name)) {
            values.push_back(key.value);
        }
        return values;
    }
};

TEST_F(RulesKeptTest, OneRefreshOfTwentySevenConnectedJointsEvaluatesOnceAndShowsTheNewest) {
    goLive(freeUdpPort());
    std::vector<MObject> joints;
    MDGModifier modifier;
    for (unsigned int bone = 0; bone < 27; ++bone) {
        joints.push_back(mayahost::createNode("joint"));
        MFnDependencyNode joint(joints.back());
        modifier.connect(plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(bone),
                         joint.findPlug("translate", false));
        modifier.connect(plug(TulvexDeviceNode::mOutputRotations).elementByLogicalIndex(bone),
                         joint.findPlug("rotate", false));
    }
    ASSERT_EQ(modifier.doIt(), MStatus::kSuccess);
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
    MAnimControl::playForward();

    sendAndPop(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();
    // One at a time, so each gets a block of its own rather than only the newest.
    for (int n = 1; n <= 3; ++n) {
        mSender.send(mPort, zmf::encode(makeFrame(n, 5.0 + n / 60.0, 0.5F * n)));
        waitForQueuedBlocks(n);
    }
    // Three blocks wait: one refresh evaluates once, however many plugs the joints ask for
    // one by one; it takes every waiting block, shows the newest and samples it once.
    const long poppedBefore = mayahost::deviceStats(nodeObject()).popped;
    mayahost::processRefreshes();
    EXPECT_EQ(mayahost::deviceStats(nodeObject()).popped - poppedBefore, 3);
    EXPECT_EQ(device().threadDataCount(), 0);
    EXPECT_EQ(device().counters().blocksPassedOver.load(), 2U);
    for (int bone = 0; bone < 27; ++bone) {
        EXPECT_EQ(device().recordedSampleCount(bone), 1U) << bone;
    }
    // The joints got the values of the newest block: a frame moves the root only.
    EXPECT_EQ(mayahost::plugValues(MFnDependencyNode(joints[0]).findPlug("translate", false)),
              (std::vector<double>{150.0, 100.0, 0.0}));
    EXPECT_EQ(mayahost::plugValues(MFnDependencyNode(joints[2]).findPlug("translate", false)),
              (std::vector<double>{25.0, static_cast<float>(0.05F * 2 * 100.0), 0.0}));
}

TEST_F(RulesKeptTest, AStalledConsumerDoesNotMakeTheStreamWaitForADefinition) {
    goLive(freeUdpPort());
    sendAndPop(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();
    // Nobody pops for two seconds of the node's clock while a frame arrives every 200 ms:
    // the pool fills up, yet each arrival counts and is applied.
    for (int n = 1; n <= 10; ++n) {
        ManualClock::advance(200ms);
        mSender.send(mPort, zmf::encode(makeFrame(n, 1.0 + n / 60.0, 1.0F)));
        ASSERT_TRUE(
            waitForCount(device().counters().datagramsReceived, 1 + static_cast<std::uint64_t>(n)));
    }
    EXPECT_TRUE(waitForCount(device().counters().framesApplied, 10U));
    EXPECT_EQ(device().counters().framesApplied.load(), 10U);
    EXPECT_GT(device().counters().passesWithoutBuffer.load(), 0U);
    Block block{};
    while (popBlock(block, 50ms)) {
    }
    ManualClock::advance(200ms);
    block = sendAndPop(zmf::encode(makeFrame(11, 1.0 + 11 / 60.0, 7.0F)));
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_EQ(block[0].currentTranslation[0], 700.0) << "the stream kept flowing";
}

TEST_F(RulesKeptTest, ACurveThatCannotBeMadeGetsNoKeysAndTakesNoOtherBonesKeys) {
    std::vector<std::byte> buffer(TulvexDeviceNode::kReceiveBufferSize);
    const std::vector<std::byte> definition = zmf::encode(makeDefinition(0.25F));
    std::copy(definition.begin(), definition.end(), buffer.begin());
    device().parseSkeletonData(buffer.data(), buffer.size());
    mayahost::takeIdleCommands();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
    MAnimControl::playForward();
    for (double time : {1.0, 2.0}) {
        ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(time), MStatus::kSuccess);
        mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    }
    MAnimControl::stop();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);
    ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(3.0), MStatus::kSuccess);
    mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));

    // The eighth curve made is torso_1's ty; the root's ty (0) differs from torso_1's (5).
    mayahost::failNext(mayahost::HostCall::CreateAnimCurve, 1, 7);
    mayahost::takeDisplayedErrors();
    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::takeDisplayedErrors(),
              (std::vector<std::string>{"Error creating animation curves"}));
    EXPECT_EQ(mayahost::animCurveNames().size(), 161U);
    EXPECT_TRUE(mayahost::findNode("tulvexCharacter0_Skeleton_torso_1_ty").isNull());
    EXPECT_EQ(curveValues("tulvexCharacter0_Skeleton_root_ty"), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(curveValues("tulvexCharacter0_Skeleton_torso_1_tx"),
              (std::vector<double>{25.0, 25.0}));
    EXPECT_EQ(curveValues("tulvexCharacter0_Skeleton_torso_1_tz").size(), 2U);
}

}  // namespace
}  // namespace nodetest
