// The node class in the stand-in host: attributes, defaults, frame-rate mapping, sockets.
#include <arpa/inet.h>
#include <dirent.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

int openDescriptorCount() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    while (readdir(dir) != nullptr) {
        ++count;
    }
    closedir(dir);
    return count;
}

using DeviceNodeTest = NodeTest;

TEST_F(DeviceNodeTest, FreshNodeHasItsDefaults) {
    EXPECT_EQ(plug(TulvexDeviceNode::mInputPort).asInt(), 12351);
    EXPECT_EQ(plug(TulvexDeviceNode::mDeviceId).asInt(), 0);
    EXPECT_FALSE(plug(TulvexDeviceNode::mInputRecording).asBool());
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 80.0);
    EXPECT_FALSE(plug(TulvexDeviceNode::live).asBool());
    EXPECT_FALSE(device().isStreamSocketOpen());
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
    EXPECT_FALSE(device().hasBeenCharacterized());

    MFnDependencyNode fn(nodeObject());
    EXPECT_EQ(fn.typeId().id(), 528465U);
    EXPECT_EQ(fn.typeName(), MString("TulvexDeviceNode"));
    EXPECT_EQ(mayahost::captureThreadStarts(nodeObject()), 1);
}

TEST_F(DeviceNodeTest, AttributesCarryTheirFlags) {
    struct Expected {
        const MObject* attribute;
        const char* name;
        bool hidden;
        bool array;
    };
    const Expected expected[] = {
        {&TulvexDeviceNode::mInputPort, "inputPort", false, false},
        {&TulvexDeviceNode::mTime, "time", true, false},
        {&TulvexDeviceNode::mInputRecording, "recording", false, false},
        {&TulvexDeviceNode::mDeviceId, "deviceId", true, false},
        {&TulvexDeviceNode::mOutputTranslate, "outputTranslate", true, false},
        {&TulvexDeviceNode::mOutputTranslations, "outputTranslations", false, true},
        {&TulvexDeviceNode::mOutputRotations, "outputRotations", false, true},
    };
    for (const Expected& e : expected) {
        MFnAttribute attribute(*e.attribute);
        EXPECT_EQ(attribute.name(), MString(e.name));
        EXPECT_EQ(attribute.isHidden(), e.hidden) << e.name;
        EXPECT_EQ(attribute.isArray(), e.array) << e.name;
        EXPECT_EQ(attribute.usesArrayDataBuilder(), e.array) << e.name;
        EXPECT_TRUE(attribute.isWritable()) << e.name;
    }
}

TEST_F(DeviceNodeTest, FrameRateFollowsTheStreamRateTable) {
    device().setPluginFpsFromAppFps(30);
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 60.0);
    device().setPluginFpsFromAppFps(60);
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 90.0);
    device().setPluginFpsFromAppFps(50);
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 80.0);
    // A rate outside the table leaves frameRate as it is.
    device().setPluginFpsFromAppFps(25);
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 80.0);
    // Each write of frameRate restarts the capture thread, as Maya does.
    EXPECT_EQ(mayahost::captureThreadStarts(nodeObject()), 4);
}

TEST_F(DeviceNodeTest, PortHeldByAnotherSocketFailsToBindAndLeavesNoSocket) {
    const int holder = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    socklen_t length = sizeof(address);
    getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);

    int descriptor = 42;
    testing::internal::CaptureStderr();
    EXPECT_EQ(device().openSocketConnection(descriptor, port), MStatus::kFailure);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("Bind failed [") + std::strerror(EADDRINUSE) + "]\n");
    EXPECT_EQ(descriptor, 0);

    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(device().openStreamSocket(), MStatus::kFailure);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Initializing Socket " + std::to_string(port) + "\n");
    EXPECT_FALSE(device().isStreamSocketOpen());
    close(holder);
}

TEST_F(DeviceNodeTest, NodesReleaseTheirDescriptors) {
    const int before = openDescriptorCount();
    MObject other = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(other.isNull());
    EXPECT_EQ(mayahost::deleteNode(other), MStatus::kSuccess);
    mayahost::flushUndo();
    EXPECT_EQ(openDescriptorCount(), before);

    other = mayahost::createNode("TulvexDeviceNode");
    auto* device = dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(other));
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(MPlug(other, TulvexDeviceNode::mInputPort).setInt(freeUdpPort()), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(device->openStreamSocket(), MStatus::kSuccess);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(mayahost::deleteNode(other), MStatus::kSuccess);
    // The socket goes as the node leaves the graph; the rest when the undo queue lets go.
    EXPECT_EQ(openDescriptorCount(), before + 2) << "the wake pipe of the node kept for undo";
    mayahost::flushUndo();
    EXPECT_EQ(openDescriptorCount(), before);
}

TEST_F(DeviceNodeTest, ADeletedLiveNodeFreesItsPortAndUndoBringsItBack) {
    ASSERT_TRUE(defineUiProcedures());
    const int port = freeUdpPort();
    goLive(port);
    ASSERT_EQ(mayahost::deleteNode(nodeObject()), MStatus::kSuccess);
    EXPECT_FALSE(device().isStreamSocketOpen()) << "the port goes as the node leaves the graph";

    // A new node takes the port at once and streams on it.
    MObject successor = mayahost::createNode("TulvexDeviceNode");
    auto* next = dynamic_cast<TulvexDeviceNode*>(mayahost::userNode(successor));
    ASSERT_NE(next, nullptr);
    ASSERT_EQ(MPlug(successor, TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(successor, true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(next->openStreamSocket(), MStatus::kSuccess);
    testing::internal::GetCapturedStdout();
    mSender.send(port, zmf::encode(makeDefinition(0.25F)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (next->threadDataCount() == 0 && std::chrono::steady_clock::now() < deadline) {
        mayahost::waitForRefresh(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(next->threadDataCount(), 1);

    // Undo brings the first node back, live, its thread running again; it opens its port as
    // usual, finds it taken by the successor and says so.
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(mayahost::nodeName(successor), "TulvexDeviceNode1") << "took the free name";
    EXPECT_EQ(mayahost::nodeName(nodeObject()), "TulvexDeviceNode2");
    EXPECT_TRUE(plug(TulvexDeviceNode::live).asBool());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    mayahost::pullDirtyOutputs(nodeObject());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Bind failed [", 0), 0U);
    mayahost::runIdleQueue();
    EXPECT_FALSE(plug(TulvexDeviceNode::live).asBool());

    // With the successor gone, the port is the first node's again.
    ASSERT_EQ(mayahost::deleteNode(successor), MStatus::kSuccess);
    mayahost::flushUndo();
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    mayahost::pullDirtyOutputs(nodeObject());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(device().isStreamSocketOpen());
    EXPECT_EQ(mayahost::captureThreadStarts(nodeObject()), 5)
        << "created, live on, deleted and undone, live off, live on";
}

TEST_F(DeviceNodeTest, StopEndsACaptureThreadBlockedOnASilentSocket) {
    goLive(freeUdpPort());
    // Give the thread time to block in its wait; the delete must still come back.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(mayahost::deleteNode(nodeObject()), MStatus::kSuccess);
    EXPECT_TRUE(mayahost::findNode("TulvexDeviceNode1").isNull());
}

}  // namespace
}  // namespace nodetest
