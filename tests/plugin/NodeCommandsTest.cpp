// "TulvexShowAddresses" and "TulvexDeviceStatus" run through MEL against the real module, as
// a panel or an embedder runs them.
#include <arpa/inet.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include "LoopbackPort.h"
#include "PluginFixture.h"

namespace plugintest {
namespace {

const char* const kArgumentError =
    "This command expects exactly one argument: the name of the node";
const char* const kTypeError = "Node is not of type TulvexDeviceNode";

class NodeCommandsTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_EQ(load(), MStatus::kSuccess);
        mNode = mayahost::createNode("TulvexDeviceNode", "performerA");
        ASSERT_FALSE(mNode.isNull());
        ASSERT_EQ(plugOf("deviceId").setInt(4), MStatus::kSuccess);
        mayahost::takeIdleCommands();
        mayahost::takeDisplayedErrors();
    }

    MPlug plugOf(const char* attribute) const {
        return MFnDependencyNode(mNode).findPlug(attribute, false);
    }
    static MStatus run(const std::string& text) {
        return MGlobal::executeCommand(MString(text.c_str()));
    }
    static std::vector<std::string> queuedAddressLists() {
        std::vector<std::string> lists;
        for (const std::string& command : mayahost::takeIdleCommands()) {
            if (command.rfind("displayAvailableIPs ", 0) == 0) {
                lists.push_back(command);
            }
        }
        return lists;
    }
    // The statistics by name; empty when the command failed.
    static std::map<std::string, std::string> statistics(const std::string& node) {
        MStringArray result;
        if (MGlobal::executeCommand(MString(("TulvexDeviceStatus " + node).c_str()), result) !=
            MStatus::kSuccess) {
            return {};
        }
        std::map<std::string, std::string> byName;
        for (unsigned int i = 0; i + 1 < result.length(); i += 2) {
            byName[result[i].asChar()] = result[i + 1].asChar();
        }
        return byName;
    }

    MObject mNode;
};

TEST_F(NodeCommandsTest, ShowAddressesQueuesTheListForThatNodeEachTimeItIsRun) {
    EXPECT_EQ(run("TulvexShowAddresses performerA"), MStatus::kSuccess);
    EXPECT_EQ(run("TulvexShowAddresses performerA"), MStatus::kSuccess);
    const std::vector<std::string> lists = queuedAddressLists();
    ASSERT_EQ(lists.size(), 2U);
    for (const std::string& list : lists) {
        EXPECT_EQ(list.rfind("displayAvailableIPs \"Your local IPs:", 0), 0U) << list;
        EXPECT_EQ(list.substr(list.size() - 3), "\" 4") << list;
    }
    // An evaluation right after does not list them again.
    mayahost::pullDirtyOutputs(mNode);
    EXPECT_TRUE(queuedAddressLists().empty());
    EXPECT_TRUE(mayahost::takeDisplayedErrors().empty());
}

TEST_F(NodeCommandsTest, BothCommandsNeedOneDeviceNode) {
    for (const char* command : {"TulvexShowAddresses", "TulvexDeviceStatus", "TulvexFloorHeight"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(run(command), MStatus::kFailure);
        EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kArgumentError});
        EXPECT_EQ(run(std::string(command) + " performerA performerA"), MStatus::kFailure);
        EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kArgumentError});
        EXPECT_EQ(run(std::string(command) + " time1"), MStatus::kFailure);
        EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kTypeError});
        EXPECT_EQ(run(std::string(command) + " noSuchNode"), MStatus::kFailure);
        EXPECT_EQ(mayahost::takeDisplayedErrors(), std::vector<std::string>{kTypeError});
    }
    EXPECT_TRUE(queuedAddressLists().empty());
}

TEST_F(NodeCommandsTest, SettingTheFloorPutsTheLowestFootJointOnItInWhatTheNodeShows) {
    const auto height = [] {
        double value = -1.0;
        EXPECT_EQ(MGlobal::executeCommand("TulvexFloorHeight performerA", value),
                  MStatus::kSuccess);
        return value;
    };
    const auto rootHeight = [this] {
        mayahost::pullDirtyOutputs(mNode);
        return mayahost::plugValues(plugOf("outputTranslations").elementByLogicalIndex(0))[1];
    };
    // The default skeleton stands with its toes on the floor.
    EXPECT_NEAR(height(), 0.0, 1e-9);
    const double standing = rootHeight();
    ASSERT_EQ(run("setAttr performerA.floorOffset 7.5"), MStatus::kSuccess);
    EXPECT_NEAR(height(), 7.5, 1e-9);
    EXPECT_NEAR(rootHeight(), standing + 7.5, 1e-5);
    // What the panel's "Set floor" does.
    ASSERT_EQ(run("setAttr performerA.floorOffset (`getAttr performerA.floorOffset` - "
                  "`TulvexFloorHeight performerA`)"),
              MStatus::kSuccess);
    EXPECT_NEAR(height(), 0.0, 1e-9);
    EXPECT_NEAR(rootHeight(), standing, 1e-5);
}

TEST_F(NodeCommandsTest, StatusOfAFreshNodeIsNotLiveWithZerosAndNoSender) {
    MStringArray result;
    ASSERT_EQ(MGlobal::executeCommand("TulvexDeviceStatus performerA", result), MStatus::kSuccess);
    ASSERT_EQ(result.length() % 2, 0U) << "names and values take turns";
    std::map<std::string, std::string> byName;
    for (unsigned int i = 0; i + 1 < result.length(); i += 2) {
        byName[result[i].asChar()] = result[i + 1].asChar();
    }
    EXPECT_EQ(byName.size(), result.length() / 2) << "each name once";
    EXPECT_EQ(byName["state"], "notLive");
    EXPECT_EQ(byName["live"], "0");
    EXPECT_EQ(byName["detectedRate"], "50");
    EXPECT_EQ(byName["recording"], "0");
    EXPECT_EQ(byName["takeSeconds"], "0.00");
    for (const char* name :
         {"datagramsReceived", "framesApplied", "definitionsAccepted", "datagramsRejected",
          "blocksPushed", "blocksSuperseded", "passesWithoutBuffer", "blocksPassedOver",
          "samplesWithoutPose", "bakedCurves", "bakedKeysPerCurve", "bakedFilledPerCurve"}) {
        EXPECT_EQ(byName[name], "0") << name;
    }
    EXPECT_LT(std::stod(byName["secondsSinceLastDatagram"]), 0.0);
    EXPECT_EQ(byName["sender"], "");
}

TEST_F(NodeCommandsTest, StreamStatsCountWhatTheNodeReceived) {
    const int port = loopback::freeUdpPort();
    ASSERT_EQ(plugOf("inputPort").setInt(port), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(mNode, true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    mayahost::pullDirtyOutputs(mNode);  // opens the socket
    testing::internal::GetCapturedStdout();

    const int out = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    zmf::SkeletonDefinition definition;
    for (int bone = 0; bone < 27; ++bone) {
        definition.bones.push_back({{0, 0, 0, 1}, {0.1F, 0.05F, 0.0F}});
    }
    const std::vector<std::vector<std::byte>> datagrams = {
        zmf::encode(definition), std::vector<std::byte>(12, std::byte{0x7F}),
        std::vector<std::byte>(40, std::byte{0x01})};
    for (const std::vector<std::byte>& datagram : datagrams) {
        sendto(out, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof(to));
    }
    close(out);

    std::map<std::string, std::string> stats;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((stats = statistics("performerA"))["datagramsReceived"] != "3" &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(stats["datagramsReceived"], "3");
    EXPECT_EQ(stats["definitionsAccepted"], "1");
    EXPECT_EQ(stats["datagramsRejected"], "2");
    EXPECT_EQ(stats["framesApplied"], "0");
    EXPECT_GE(std::stod(stats["secondsSinceLastDatagram"]), 0.0);
    EXPECT_LT(std::stod(stats["secondsSinceLastDatagram"]), 5.0);
    EXPECT_EQ(stats["sender"].rfind("127.0.0.1:", 0), 0U) << stats["sender"];
    ASSERT_EQ(mayahost::setLive(mNode, false), MStatus::kSuccess);
}

TEST_F(NodeCommandsTest, TheStatusTimerAsksThePanelsToRefreshOnceASecondWhileItRuns) {
    using std::chrono::milliseconds;
    const auto refreshes = [] {
        const std::vector<std::string> queued = mayahost::takeIdleCommands();
        return std::count(queued.begin(), queued.end(), "tulvexRefreshPanels");
    };
    int running = 0;
    ASSERT_EQ(MGlobal::executeCommand("TulvexStatusTimer 1", running), MStatus::kSuccess);
    EXPECT_EQ(running, 1);
    ASSERT_EQ(run("TulvexStatusTimer 1"), MStatus::kSuccess) << "starting twice is harmless";
    mayahost::advanceTimers(milliseconds(600));
    EXPECT_EQ(refreshes(), 0);
    mayahost::advanceTimers(milliseconds(600));
    EXPECT_EQ(refreshes(), 1) << "one timer, however often it was started";
    mayahost::advanceTimers(milliseconds(5000));
    EXPECT_EQ(refreshes(), 1) << "a late loop refreshes once, not five times";

    ASSERT_EQ(MGlobal::executeCommand("TulvexStatusTimer 0", running), MStatus::kSuccess);
    EXPECT_EQ(running, 0);
    mayahost::advanceTimers(milliseconds(3000));
    EXPECT_EQ(refreshes(), 0);
    for (const char* wrong :
         {"TulvexStatusTimer", "TulvexStatusTimer 2", "TulvexStatusTimer 1 1"}) {
        EXPECT_NE(run(wrong), MStatus::kSuccess) << wrong;
    }
}

TEST_F(NodeCommandsTest, UnloadTakesTheCommandsAndTheTimerBack) {
    ASSERT_EQ(run("TulvexStatusTimer 1"), MStatus::kSuccess);
    mayahost::exitHost();
    ASSERT_EQ(unload(), MStatus::kSuccess);
    EXPECT_NE(run("TulvexShowAddresses performerA"), MStatus::kSuccess);
    EXPECT_NE(run("TulvexDeviceStatus performerA"), MStatus::kSuccess);
    EXPECT_NE(run("TulvexStatusTimer 0"), MStatus::kSuccess);
    mayahost::takeScriptErrors();
    mayahost::takeIdleCommands();
    EXPECT_EQ(mayahost::advanceTimers(std::chrono::seconds(2)), 0) << "no callback outlives it";
}

}  // namespace
}  // namespace plugintest
