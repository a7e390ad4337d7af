#include "NodeFixture.h"

#include <arpa/inet.h>
#include <maya/MFnPlugin.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "TulvexDeviceIdleCmd.h"
#include "ZarnMotionFormat.h"

namespace nodetest {

std::atomic<std::int64_t> ManualClock::sNanoseconds{0};

TulvexDeviceNode::SteadyTime ManualClock::now() {
    return TulvexDeviceNode::SteadyTime(std::chrono::nanoseconds(sNanoseconds.load()));
}

void ManualClock::set(std::chrono::nanoseconds sinceEpoch) {
    sNanoseconds.store(sinceEpoch.count());
}

void ManualClock::advance(std::chrono::nanoseconds step) {
    sNanoseconds.fetch_add(step.count());
}

UdpSender::UdpSender() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
    if (mSocket < 0) {
        throw std::runtime_error("no UDP socket for the sender");
    }
}

UdpSender::~UdpSender() {
    close(mSocket);
}

void UdpSender::send(int port, const std::vector<std::byte>& datagram) const {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const ssize_t sent = sendto(mSocket, datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&to), sizeof(to));
    ASSERT_EQ(sent, static_cast<ssize_t>(datagram.size()));
}

zmf::SkeletonDefinition makeDefinition(float translationBase, int bones) {
    zmf::SkeletonDefinition definition;
    for (int i = 0; i < bones; ++i) {
        definition.bones.push_back(
            {{0.0F, 0.0F, 0.0F, 1.0F}, {translationBase, 0.05F * static_cast<float>(i), 0.0F}});
    }
    return definition;
}

zmf::FramePacket makeFrame(std::int32_t number, double timestamp, float rootX, int bones) {
    zmf::FramePacket frame;
    frame.frameNumber = number;
    frame.timestamp = timestamp;
    for (int i = 0; i < bones; ++i) {
        frame.boneIds.push_back(i);
        frame.bones.push_back({{0.0F, 0.0F, 0.0F, 1.0F}, {rootX, 1.0F, 0.0F}});
    }
    return frame;
}

void NodeTest::SetUp() {
    mayahost::resetHost();
    ZarnMotionFormat::Shutdown();
    ZarnMotionFormat::Initialize(TULVEX_TEST_PLUGIN_DIR);
    ASSERT_TRUE(ZarnMotionFormat::IsBound());

    MObject pluginObject = mayahost::pluginObject("TulvexMayaPlugin", TULVEX_TEST_PLUGIN_DIR);
    MFnPlugin plugin(pluginObject);
    ASSERT_EQ(
        plugin.registerNode("TulvexDeviceNode", TulvexDeviceNode::id, &TulvexDeviceNode::creator,
                            &TulvexDeviceNode::initialize, MPxNode::kThreadedDeviceNode),
        MStatus::kSuccess);
    ASSERT_EQ(plugin.registerCommand(TulvexDeviceNode::kIdleCommand, TulvexDeviceIdleCmd::creator),
              MStatus::kSuccess);
    mNode = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(mNode.isNull());
    mDevice = dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(mNode));
    ASSERT_NE(mDevice, nullptr);
    ManualClock::set(std::chrono::seconds(100));
    mDevice->setClock(&ManualClock::now);
    mayahost::takeIdleCommands();
}

void NodeTest::TearDown() {
    mayahost::resetHost();
    ZarnMotionFormat::Shutdown();
}

void NodeTest::goLive(int port) {
    mPort = port;
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(mNode, true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(mDevice->openStreamSocket(), MStatus::kSuccess);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Initializing Socket " + std::to_string(port) + "\n");
}

bool NodeTest::popBlock(Block& block, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (mDevice->threadDataCount() == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        mayahost::waitForRefresh(std::chrono::milliseconds(20));
    }
    MCharBuffer buffer;
    if (mDevice->popThreadData(buffer) != MStatus::kSuccess) {
        return false;
    }
    EXPECT_EQ(buffer.size(), static_cast<long>(sizeof(Block)));
    std::memcpy(block.data(), buffer.ptr(), sizeof(Block));
    mDevice->releaseDataStorage(buffer);
    return true;
}

Block NodeTest::sendAndPop(const std::vector<std::byte>& datagram) {
    Block block{};
    mSender.send(mPort, datagram);
    EXPECT_TRUE(popBlock(block)) << "no block pushed for a datagram";
    return block;
}

}  // namespace nodetest
