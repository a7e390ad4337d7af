// The road of one stream through the real module, as Maya and the scripts would drive it:
// load, create a node, live, a skeleton definition, binding through "TulvexDidCharacterize",
// frames, a recorded take, the bake, unload.
#include <arpa/inet.h>
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "LoopbackPort.h"
#include "PluginFixture.h"

namespace plugintest {
namespace {

using Clock = std::chrono::steady_clock;

// A phone on loopback: the definition, then frames at 60 per second.
class Phone {
public:
    explicit Phone(int port) : mThread([this, port] { run(port); }) {}
    ~Phone() {
        mRunning.store(false);
        mThread.join();
    }
    Phone(const Phone&) = delete;
    Phone& operator=(const Phone&) = delete;

private:
    void run(int port) {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const auto send = [&](const std::vector<std::byte>& packet) {
            sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                   sizeof(to));
        };
        zmf::SkeletonDefinition definition;
        for (int bone = 0; bone < 27; ++bone) {
            definition.bones.push_back({{0, 0, 0, 1}, {0.1F, 0.05F, 0.0F}});
        }
        send(zmf::encode(definition));
        auto next = Clock::now();
        for (std::int32_t n = 1; mRunning.load(); ++n) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
            zmf::FramePacket frame;
            frame.frameNumber = n;
            frame.timestamp = 50.0 + n / 60.0;
            for (int bone = 0; bone < 27; ++bone) {
                frame.boneIds.push_back(bone);
                frame.bones.push_back(
                    {{0, 0, 0, 1}, {0.01F * static_cast<float>(n % 50), 0.9F, 0}});
            }
            send(zmf::encode(frame));
        }
        close(fd);
    }

    std::atomic<bool> mRunning{true};
    std::thread mThread;
};

TEST_F(PluginTest, WholeRoadOfOneStream) {
    ASSERT_EQ(load(), MStatus::kSuccess);
    mayahost::runIdleQueue();

    // What the shelf button does: a node on a free port, driven by the scene time.
    MObject node = mayahost::createNode("TulvexDeviceNode");
    ASSERT_FALSE(node.isNull());
    const std::string name = mayahost::nodeName(node);
    MFnDependencyNode fn(node);
    const int port = loopback::freeUdpPort();
    ASSERT_EQ(fn.findPlug("inputPort", false).setInt(port), MStatus::kSuccess);
    MDGModifier modifier;
    modifier.connect(MFnDependencyNode(mayahost::findNode("time1")).findPlug("outTime", false),
                     fn.findPlug("time", false));
    ASSERT_EQ(modifier.doIt(), MStatus::kSuccess);

    testing::internal::CaptureStdout();
    ASSERT_EQ(mayahost::setLive(node, true), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(node);
    Phone phone(port);

    // Maya's loop: refresh, idle queue; the scripts bind when the node asks for it.
    bool bound = false;
    const auto loopOnce = [&] {
        mayahost::waitForRefresh(std::chrono::milliseconds(20));
        mayahost::processRefreshes();
        const std::vector<std::string> queued = mayahost::pendingIdleCommands();
        mayahost::runIdleQueue();
        if (std::find(queued.begin(), queued.end(), "enableBindButton 0 1") != queued.end()) {
            bound = MGlobal::executeCommand(MString(("TulvexDidCharacterize " + name).c_str())) ==
                    MStatus::kSuccess;
        }
    };
    const MPlug root = fn.findPlug("outputTranslations", false).elementByLogicalIndex(0);
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline &&
           !(bound && fn.findPlug("frameRate", false).asDouble() == 90.0 &&
             mayahost::plugValues(root).at(1) == 90.0)) {
        loopOnce();
    }
    ASSERT_TRUE(bound);
    EXPECT_EQ(mayahost::plugValues(root).at(1), 90.0) << "the root follows the frames";
    EXPECT_EQ(fn.findPlug("frameRate", false).asDouble(), 90.0);

    // One second of take at film rate, then stop and switch recording off: the bake.
    ASSERT_EQ(fn.findPlug("recording", false).setBool(true), MStatus::kSuccess);
    MAnimControl::playForward();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(1)) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        MAnimControl::setCurrentTime(MTime(1.0 + elapsed * 24.0, MTime::uiUnit()));
        loopOnce();
    }
    MAnimControl::stop();
    ASSERT_EQ(fn.findPlug("recording", false).setBool(false), MStatus::kSuccess);
    deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline &&
           mayahost::findNode("tulvexCharacter0_Skeleton_r_toes_rz").isNull()) {
        loopOnce();
    }
    int curves = 0;
    for (const std::string& nodeName : mayahost::nodeNames()) {
        curves += nodeName.rfind("tulvexCharacter0_Skeleton_", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(curves, 162);

    ASSERT_EQ(mayahost::setLive(node, false), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(node);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Closing socket \n"), std::string::npos);
    ASSERT_EQ(mayahost::deleteNode(node), MStatus::kSuccess);
    EXPECT_EQ(unload(), MStatus::kSuccess);
}

}  // namespace
}  // namespace plugintest
