// What the scripts receive from a node: the command texts as the UI procedures see them.
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <mayahost/HostControl.h>

#include <thread>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

class UiBridgeTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
    }
};

TEST_F(UiBridgeTest, QueuedCommandsCarryTheDeviceId) {
    ASSERT_EQ(plug(TulvexDeviceNode::mDeviceId).setInt(2), MStatus::kSuccess);
    device().enableBindCharacterButton(true);
    device().displayUIMessage("Awaiting Skeleton Definition");
    EXPECT_TRUE(uiCalls().empty()) << "nothing runs before the host is idle";
    EXPECT_EQ(mayahost::pendingIdleCommands(),
              (std::vector<std::string>{"enableBindButton 2 1",
                                        "displayMessage \"Awaiting Skeleton Definition\" 2"}));
    EXPECT_EQ(mayahost::runIdleQueue(), 2);
    EXPECT_EQ(uiCalls(),
              (std::vector<std::string>{"enableBindButton 2 1",
                                        "displayMessage Awaiting Skeleton Definition|2"}));
}

TEST_F(UiBridgeTest, AnIdSetThroughAConnectionReachesTheCaptureThreadsMessages) {
    // Another node's id drives this one's, as a rig or a script might connect it.
    MObject source = mayahost::createNode("TulvexDeviceNode", "idSource");
    ASSERT_FALSE(source.isNull());
    ASSERT_EQ(MGlobal::executeCommand("connectAttr idSource.deviceId " +
                                      MFnDependencyNode(nodeObject()).name() + ".deviceId"),
              MStatus::kSuccess);
    ASSERT_EQ(MPlug(source, TulvexDeviceNode::mDeviceId).setInt(4), MStatus::kSuccess);
    // The evaluation a refresh asks for: the id is pulled through the connection as it runs.
    ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(2.0), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(nodeObject());
    mayahost::takeIdleCommands();
    device().displayUIMessage("Awaiting Skeleton Definition");
    EXPECT_EQ(mayahost::takeIdleCommands(),
              (std::vector<std::string>{"displayMessage \"Awaiting Skeleton Definition\" 4"}));

    ASSERT_EQ(MPlug(source, TulvexDeviceNode::mDeviceId).setInt(6), MStatus::kSuccess);
    ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(3.0), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(nodeObject());
    mayahost::takeIdleCommands();
    device().enableBindCharacterButton(true);
    EXPECT_EQ(mayahost::takeIdleCommands(), (std::vector<std::string>{"enableBindButton 6 1"}));
}

TEST_F(UiBridgeTest, MessageOnDeviceZeroEndsInTheDigit) {
    device().displayUIMessage("Data received. Press Bind to Character button");
    EXPECT_EQ(mayahost::takeIdleCommands(),
              (std::vector<std::string>{
                  "displayMessage \"Data received. Press Bind to Character button\" 0"}));
}

TEST_F(UiBridgeTest, LiveStatusRunsAtOnceAndSetsThePlug) {
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    device().setLiveStatus(false);
    EXPECT_EQ(uiCalls(), std::vector<std::string>{"updateLiveCheckbox 0 0"});
    EXPECT_FALSE(plug(TulvexDeviceNode::live).asBool());
    EXPECT_TRUE(mayahost::pendingIdleCommands().empty());
}

TEST_F(UiBridgeTest, AddressListIsQueuedWithTheHeading) {
    ASSERT_EQ(plug(TulvexDeviceNode::mDeviceId).setInt(5), MStatus::kSuccess);
    device().updateIPTextfield();
    ASSERT_EQ(mayahost::runIdleQueue(), 1);
    const std::vector<std::string> calls = uiCalls();
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(calls[0].rfind("displayAvailableIPs Your local IPs:", 0), 0U) << calls[0];
    EXPECT_EQ(calls[0].find("127.0.0.1"), std::string::npos);
    EXPECT_EQ(calls[0].substr(calls[0].size() - 2), "|5");
}

TEST_F(UiBridgeTest, CharacterizedFlagIsSetByTheHandShakeAndClearedByANewDefinition) {
    EXPECT_FALSE(device().hasBeenCharacterized());
    EXPECT_EQ(device().CharacterizationComplete(), MStatus::kSuccess);
    EXPECT_TRUE(device().hasBeenCharacterized());
    EXPECT_EQ(device().CharacterizationComplete(), MStatus::kSuccess);
    EXPECT_TRUE(device().hasBeenCharacterized());

    std::vector<std::byte> buffer(TulvexDeviceNode::kReceiveBufferSize);
    const std::vector<std::byte> packet = zmf::encode(makeDefinition(0.5F));
    std::copy(packet.begin(), packet.end(), buffer.begin());
    device().parseSkeletonData(buffer.data(), buffer.size());
    EXPECT_FALSE(device().hasBeenCharacterized());
}

TEST_F(UiBridgeTest, ChannelCopyIsConsistentWhileFramesAreApplied) {
    // Streaming state, then one thread applies frames whose bones all carry the same value
    // while this one copies: every copy must come from a single frame.
    std::vector<std::byte> buffer(TulvexDeviceNode::kReceiveBufferSize);
    const std::vector<std::byte> definition = zmf::encode(makeDefinition(0.5F));
    std::copy(definition.begin(), definition.end(), buffer.begin());
    device().parseSkeletonData(buffer.data(), buffer.size());
    device().CharacterizationComplete();

    std::vector<std::vector<std::byte>> frames;
    for (int i = 0; i < 8; ++i) {
        std::vector<std::byte> frame(TulvexDeviceNode::kReceiveBufferSize);
        const std::vector<std::byte> packet =
            zmf::encode(makeFrame(i, 0.0, static_cast<float>(i + 1)));
        std::copy(packet.begin(), packet.end(), frame.begin());
        frames.push_back(std::move(frame));
    }
    std::atomic<bool> stop{false};
    std::thread capture([&] {
        for (std::size_t n = 0; !stop.load(); ++n) {
            device().parseSkeletonData(frames[n % frames.size()].data(),
                                       TulvexDeviceNode::kReceiveBufferSize);
        }
    });
    int mixed = 0;
    for (int copy = 0; copy < 2000; ++copy) {
        Block block{};
        device().copySkeletonChannels(block.data());
        for (const SkeletonNodeInfo& bone : block) {
            mixed += bone.currentTranslation[0] != block[0].currentTranslation[0] ? 1 : 0;
        }
    }
    stop.store(true);
    capture.join();
    EXPECT_EQ(mixed, 0);
}

}  // namespace
}  // namespace nodetest
