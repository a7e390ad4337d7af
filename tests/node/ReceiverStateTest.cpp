// The capture thread's rules over real loopback datagrams: which datagrams are applied in
// which state, the 1000 ms silence rule, and one pushed block per handled datagram.
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "NodeFixture.h"
#include "OneEuroFilter.h"

namespace nodetest {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

const std::string kBindButton = "enableBindButton 0 1";
const std::string kDataReceived =
    "displayMessage \"Data received. Press Bind to Character button\" 0";

class ReceiverStateTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        goLive(freeUdpPort());
    }

    // Root x of a pushed block, in the handler's scaled units.
    static double rootX(const Block& block) { return block[0].currentTranslation[0]; }

    Block sendDefinition(float base) { return sendAndPop(zmf::encode(makeDefinition(base))); }
    Block sendFrame(float rootValue, double timestamp = 0.0) {
        return sendAndPop(zmf::encode(makeFrame(++mFrameNumber, timestamp, rootValue)));
    }
    // From waiting for a definition to streaming: a new definition, then the binding.
    void reachStreaming() {
        sendDefinition(0.25F);
        device().CharacterizationComplete();
        mayahost::takeIdleCommands();
    }
    void pauseMoreThanASecond() { ManualClock::advance(milliseconds(1000) + nanoseconds(1)); }

    std::int32_t mFrameNumber = 0;
};

TEST_F(ReceiverStateTest, WaitingForDefinitionIgnoresFramesButPushesABlockForEach) {
    const Block before = sendFrame(3.0F);
    EXPECT_EQ(rootX(before), 0.0);  // default skeleton
    EXPECT_EQ(before[0].currentTranslation[1], 94.0);
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
}

TEST_F(ReceiverStateTest, NewDefinitionAsksForABinding) {
    const Block block = sendDefinition(0.25F);
    EXPECT_EQ(block[0].restTranslation[0], 25.0);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_FALSE(device().hasBeenCharacterized());
    EXPECT_EQ(mayahost::takeIdleCommands(), (std::vector<std::string>{kBindButton, kDataReceived}));
}

TEST_F(ReceiverStateTest, WaitingForBindingIgnoresFramesAndDefinitions) {
    sendDefinition(0.25F);
    mayahost::takeIdleCommands();
    EXPECT_EQ(rootX(sendFrame(3.0F)), 25.0);
    const Block block = sendDefinition(0.5F);  // differs from the held one, still ignored
    EXPECT_EQ(block[0].restTranslation[0], 25.0);
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
}

TEST_F(ReceiverStateTest, StreamingAppliesFramesAndIgnoresDefinitions) {
    reachStreaming();
    EXPECT_EQ(rootX(sendFrame(3.0F)), 300.0);
    EXPECT_EQ(rootX(sendFrame(4.0F)), 400.0);
    EXPECT_EQ(sendDefinition(0.5F)[0].restTranslation[0], 25.0);
    EXPECT_TRUE(device().hasBeenCharacterized());
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
}

TEST_F(ReceiverStateTest, PauseThenFrameResynchronisesAndIgnoresFramesUntilADefinition) {
    reachStreaming();
    EXPECT_EQ(rootX(sendFrame(3.0F)), 300.0);
    pauseMoreThanASecond();
    EXPECT_EQ(rootX(sendFrame(4.0F)), 300.0);
    EXPECT_EQ(rootX(sendFrame(5.0F)), 300.0);
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
    EXPECT_TRUE(device().hasBeenCharacterized());
}

TEST_F(ReceiverStateTest, ResynchronisingWithTheSameDefinitionResumesWithoutABinding) {
    reachStreaming();
    pauseMoreThanASecond();
    sendDefinition(0.25F);  // a repeat of the held definition
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_EQ(rootX(sendFrame(6.0F)), 600.0);
}

TEST_F(ReceiverStateTest, ResynchronisingWithANewDefinitionNeedsANewBinding) {
    reachStreaming();
    pauseMoreThanASecond();
    EXPECT_EQ(sendDefinition(0.5F)[0].restTranslation[0], 50.0);
    EXPECT_FALSE(device().hasBeenCharacterized());
    EXPECT_EQ(mayahost::takeIdleCommands(), (std::vector<std::string>{kBindButton, kDataReceived}));
    EXPECT_EQ(rootX(sendFrame(6.0F)), 50.0);  // ignored until bound again
    device().CharacterizationComplete();
    EXPECT_EQ(rootX(sendFrame(7.0F)), 700.0);
}

TEST_F(ReceiverStateTest, RepeatedDefinitionWhileWaitingForDefinitionNeedsNoButton) {
    sendDefinition(0.25F);
    mayahost::takeIdleCommands();
    pauseMoreThanASecond();  // waiting for binding becomes waiting for definition
    EXPECT_EQ(rootX(sendFrame(1.0F)), 25.0);
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
    sendDefinition(0.25F);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
    EXPECT_EQ(rootX(sendFrame(2.0F)), 25.0);  // still waiting for the binding
}

TEST_F(ReceiverStateTest, AGapOfExactlyOneSecondChangesNothing) {
    reachStreaming();
    ManualClock::advance(milliseconds(1000));
    EXPECT_EQ(rootX(sendFrame(3.0F)), 300.0);
    ManualClock::advance(milliseconds(999));
    EXPECT_EQ(rootX(sendFrame(4.0F)), 400.0);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
}

TEST_F(ReceiverStateTest, OneBlockPerHandledDatagram) {
    reachStreaming();
    constexpr int kDatagrams = 12;
    for (int i = 0; i < kDatagrams; ++i) {
        mSender.send(mPort, zmf::encode(makeFrame(++mFrameNumber, 0.0, static_cast<float>(i))));
        Block block{};
        ASSERT_TRUE(popBlock(block)) << "datagram " << i;
        EXPECT_EQ(rootX(block), 100.0 * i);
    }
    Block extra{};
    EXPECT_FALSE(popBlock(extra, milliseconds(100)));
}

TEST_F(ReceiverStateTest, ANodeThatWasOffForMoreThanASecondWaitsForADefinition) {
    reachStreaming();
    ASSERT_EQ(mayahost::setLive(nodeObject(), false), MStatus::kSuccess);
    pauseMoreThanASecond();
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    EXPECT_EQ(rootX(sendFrame(8.0F)), 25.0);
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
}

TEST_F(ReceiverStateTest, SmoothingFiltersEveryFrameOnTheStreamsClockOnlyWhileOn) {
    reachStreaming();
    const double first = rootX(sendFrame(1.0F, 0.0));
    const double second = rootX(sendFrame(2.0F, 1.0 / 60.0));
    ASSERT_NE(first, second);

    plug(TulvexDeviceNode::mSmoothing).setBool(true);
    plug(TulvexDeviceNode::mSmoothingBeta).setDouble(0.5);
    // The frame after turning it on passes as it is and starts the filter.
    EXPECT_EQ(rootX(sendFrame(1.0F, 2.0 / 60.0)), first);
    OneEuroFilter reference;
    reference.filter(first, 2.0 / 60.0, 1.0, 0.5);
    const double expected = reference.filter(second, 3.0 / 60.0, 1.0, 0.5);
    EXPECT_GT(expected, first);
    EXPECT_LT(expected, second);
    EXPECT_DOUBLE_EQ(rootX(sendFrame(2.0F, 3.0 / 60.0)), expected);
    // Arrival times change nothing: the same frame time sent again holds the result.
    ManualClock::advance(milliseconds(300));
    EXPECT_DOUBLE_EQ(rootX(sendFrame(7.0F, 3.0 / 60.0)), expected);

    plug(TulvexDeviceNode::mSmoothing).setBool(false);
    EXPECT_EQ(rootX(sendFrame(2.0F, 4.0 / 60.0)), second);
}

}  // namespace
}  // namespace nodetest
