// Evaluation in the stand-in host: the not-live and live branches, the port-in-use path, the
// frame-rate write, and the outputs.
#include <arpa/inet.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

class ComputeTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
    }

    std::vector<double> element(const MObject& attribute, unsigned int index) const {
        return mayahost::plugValues(plug(attribute).elementByLogicalIndex(index));
    }

    // Switches live on through the host and lets the first evaluation open the socket.
    void switchLiveOn(int port) {
        mPort = port;
        ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
        ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
        testing::internal::CaptureStdout();
        mayahost::pullDirtyOutputs(nodeObject());
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Initializing Socket " + std::to_string(port) + "\n");
        ASSERT_TRUE(device().isStreamSocketOpen());
    }

    // Sends a datagram and evaluates once the capture thread has pushed its block.
    int sendAndEvaluate(const std::vector<std::byte>& datagram) {
        mSender.send(mPort, datagram);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (device().threadDataCount() == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "no block pushed";
                return 0;
            }
            mayahost::waitForRefresh(std::chrono::milliseconds(20));
        }
        return mayahost::processRefreshes();
    }
};

TEST_F(ComputeTest, NotLiveEvaluationPutsOutTheHandlersPose) {
    EXPECT_GT(mayahost::pullDirtyOutputs(nodeObject()), 0);
    EXPECT_EQ(mayahost::logicalIndices(plug(TulvexDeviceNode::mOutputTranslations)).size(), 27U);
    EXPECT_EQ(element(TulvexDeviceNode::mOutputTranslations, 0), (std::vector<double>{0, 94, 0}));
    EXPECT_EQ(element(TulvexDeviceNode::mOutputTranslations, 13), (std::vector<double>{0, -28, 0}));
    const std::vector<double> leftArm = element(TulvexDeviceNode::mOutputRotations, 12);
    const std::vector<double> rightArm = element(TulvexDeviceNode::mOutputRotations, 16);
    ASSERT_EQ(leftArm.size(), 3U);
    // The reference pose's 0.707 is not quite a unit quaternion: close to a quarter turn,
    // in radians, Maya's internal angle unit.
    constexpr double degree = TulvexDeviceNode::kRadiansPerDegree;
    EXPECT_NEAR(leftArm[2], 90.0 * degree, 0.02 * degree);
    EXPECT_NEAR(rightArm[2], -90.0 * degree, 0.02 * degree);
    EXPECT_EQ(element(TulvexDeviceNode::mOutputRotations, 0), (std::vector<double>{0, 0, 0}));

    // outputTranslate is only the refresh trigger: never written, cleaned when asked for.
    EXPECT_EQ(mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate)),
              (std::vector<double>{0, 0, 0}));
    EXPECT_FALSE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputTranslate)));

    const std::vector<std::string> queued = mayahost::takeIdleCommands();
    ASSERT_FALSE(queued.empty());
    EXPECT_EQ(queued.back().rfind("displayAvailableIPs \"Your local IPs:", 0), 0U);
}

TEST_F(ComputeTest, InputsDoNotDirtyTheOutputsButLiveFrameRateTimeAndFloorOffsetDo) {
    mayahost::pullDirtyOutputs(nodeObject());
    const MPlug rotations = plug(TulvexDeviceNode::mOutputRotations);
    ASSERT_FALSE(mayahost::isDirty(rotations));
    plug(TulvexDeviceNode::mInputPort).setInt(13000);
    plug(TulvexDeviceNode::mInputRecording).setBool(true);
    plug(TulvexDeviceNode::mDeviceId).setInt(4);
    plug(TulvexDeviceNode::mSmoothing).setBool(true);
    plug(TulvexDeviceNode::mContinuousRotations).setBool(true);
    EXPECT_FALSE(mayahost::isDirty(rotations));
    // The floor offset moves the root at once, live or not.
    plug(TulvexDeviceNode::mFloorOffset).setDouble(2.0);
    EXPECT_TRUE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputTranslations)));
    mayahost::pullDirtyOutputs(nodeObject());
    plug(TulvexDeviceNode::mTime).setDouble(3.0);
    EXPECT_TRUE(mayahost::isDirty(rotations));
    mayahost::pullDirtyOutputs(nodeObject());
    plug(TulvexDeviceNode::frameRate).setDouble(70.0);
    EXPECT_TRUE(mayahost::isDirty(rotations));
}

TEST_F(ComputeTest, LiveWithoutABlockFailsWritesNothingAndStaysDirty) {
    switchLiveOn(freeUdpPort());
    EXPECT_TRUE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputRotations)));
    EXPECT_TRUE(mayahost::logicalIndices(plug(TulvexDeviceNode::mOutputTranslations)).empty());
    const std::vector<std::string> queued = mayahost::takeIdleCommands();
    EXPECT_NE(std::find(queued.begin(), queued.end(),
                        "displayMessage \"Awaiting Skeleton Definition\" 0"),
              queued.end());
    // Later evaluations do not open the socket again.
    testing::internal::CaptureStdout();
    mayahost::pullDirtyOutputs(nodeObject());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(ComputeTest, PortInUseReportsSwitchesLiveOffAndFallsBackToNotLive) {
    const int holder = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    socklen_t length = sizeof(address);
    ASSERT_EQ(getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(ntohs(address.sin_port)),
              MStatus::kSuccess);

    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    mayahost::pullDirtyOutputs(nodeObject());
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Bind failed [", 0), 0U);

    // Compute writes no plug and runs no MEL itself: all of it waits for idle time.
    const std::string message =
        "Port in Use. Socket Initialization failed. Try using a different port.";
    EXPECT_TRUE(uiCalls().empty());
    EXPECT_TRUE(plug(TulvexDeviceNode::live).asBool());
    EXPECT_EQ(
        mayahost::pendingIdleCommands(),
        (std::vector<std::string>{"error \"" + message + "\"",
                                  "displayMessage \"" + message + "\" 0", "TulvexDeviceIdle"}));
    // Until then, evaluations do not try the port again.
    testing::internal::CaptureStderr();
    mayahost::pullDirtyOutputs(nodeObject());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::takeScriptErrors(), (std::vector<std::string>{message}));
    EXPECT_EQ(uiCalls(), (std::vector<std::string>{"displayMessage " + message + "|0",
                                                   "updateLiveCheckbox 0 0"}));
    EXPECT_FALSE(plug(TulvexDeviceNode::live).asBool());

    // The next evaluation is a not-live one and puts out the pose.
    mayahost::pullDirtyOutputs(nodeObject());
    EXPECT_EQ(mayahost::logicalIndices(plug(TulvexDeviceNode::mOutputTranslations)).size(), 27U);
    EXPECT_FALSE(device().isStreamSocketOpen());
    close(holder);
}

TEST_F(ComputeTest, TheStatusTellsHowOldTheShownPosesWereAndHowSteadyTheFramesCame) {
    switchLiveOn(freeUdpPort());
    sendAndEvaluate(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();
    // Twenty frames 20 ms apart, each shown 5 ms after it came but every fourth 9 ms after.
    int shownAfter = 0;
    for (int n = 1; n <= 20; ++n) {
        ManualClock::advance(std::chrono::milliseconds(20 - shownAfter));
        mSender.send(mPort, zmf::encode(makeFrame(n, 10.0 + n / 50.0, 1.0F)));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (device().threadDataCount() == 0 && std::chrono::steady_clock::now() < deadline) {
            mayahost::waitForRefresh(std::chrono::milliseconds(20));
        }
        shownAfter = n % 4 == 0 ? 9 : 5;
        ManualClock::advance(std::chrono::milliseconds(shownAfter));
        ASSERT_EQ(mayahost::processRefreshes(), 1);
    }
    std::map<std::string, std::string> status;
    for (const auto& [name, value] : device().deviceStatus()) {
        status[name] = value;
    }
    EXPECT_EQ(status["poseAgeMedianMs"], "5.0");
    EXPECT_EQ(status["poseAge95Ms"], "9.0");
    EXPECT_EQ(status["decodedRate"], "20");
    EXPECT_EQ(status["frameJitterMs"], "0.0");
}

TEST_F(ComputeTest, StreamedBlocksDriveOutputsAndTheFrameRateChangesOnce) {
    switchLiveOn(freeUdpPort());
    sendAndEvaluate(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();

    zmf::FramePacket frame = makeFrame(1, 10.0, 3.0F);
    frame.bones[0].rotation[2] = std::sqrt(0.5F);  // a quarter turn about z
    frame.bones[0].rotation[3] = std::sqrt(0.5F);
    sendAndEvaluate(zmf::encode(frame));
    const std::vector<double> root = element(TulvexDeviceNode::mOutputTranslations, 0);
    EXPECT_EQ(root, (std::vector<double>{300, 100, 0}));
    // Other bones keep the definition's offsets, whatever the frame says.
    EXPECT_EQ(
        element(TulvexDeviceNode::mOutputTranslations, 2),
        (std::vector<double>{
            25, static_cast<double>(static_cast<float>(static_cast<double>(0.05F * 2.0F) * 100.0)),
            0}));
    EXPECT_NEAR(element(TulvexDeviceNode::mOutputRotations, 0)[2],
                90.0 * TulvexDeviceNode::kRadiansPerDegree,
                1e-3 * TulvexDeviceNode::kRadiansPerDegree);
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 80.0);

    // Thirty frames per second: frameRate goes to 60 once, at idle time, and stays without
    // new writes.
    const int startsBefore = mayahost::captureThreadStarts(nodeObject());
    for (int n = 2; n < 8; ++n) {
        sendAndEvaluate(zmf::encode(makeFrame(n, 10.0 + n / 30.0, 3.0F)));
    }
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 80.0);
    EXPECT_EQ(mayahost::pendingIdleCommands().back(), "TulvexDeviceIdle");
    mayahost::runIdleQueue();
    EXPECT_EQ(plug(TulvexDeviceNode::frameRate).asDouble(), 60.0);
    EXPECT_EQ(mayahost::captureThreadStarts(nodeObject()), startsBefore + 1);
    sendAndEvaluate(zmf::encode(makeFrame(8, 10.0 + 8 / 30.0, 3.0F)));
    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::captureThreadStarts(nodeObject()), startsBefore + 1);
}

TEST_F(ComputeTest, GoingOffClosesTheSocketAndShowsTheAddresses) {
    switchLiveOn(freeUdpPort());
    mayahost::takeIdleCommands();
    ASSERT_EQ(mayahost::setLive(nodeObject(), false), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    mayahost::pullDirtyOutputs(nodeObject());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Closing socket \n");
    EXPECT_FALSE(device().isStreamSocketOpen());
    const std::vector<std::string> queued = mayahost::takeIdleCommands();
    ASSERT_FALSE(queued.empty());
    for (const std::string& command : queued) {
        EXPECT_EQ(command.rfind("displayAvailableIPs ", 0), 0U) << command;
    }
}

TEST(QuaternionToVector, GivesDegreesAndZeroForNaN) {
    double angles[3] = {1, 1, 1};
    const double identity[4] = {0, 0, 0, 1};
    TulvexDeviceNode::quaternionToVector(identity, angles);
    EXPECT_EQ(angles[0], 0.0);
    EXPECT_EQ(angles[1], 0.0);
    EXPECT_EQ(angles[2], 0.0);

    const double quarterZ[4] = {0, 0, std::sqrt(0.5), std::sqrt(0.5)};
    TulvexDeviceNode::quaternionToVector(quarterZ, angles);
    EXPECT_NEAR(angles[2], 90.0, 1e-9);

    const double broken[4] = {std::nan(""), 0, 0, 1};
    TulvexDeviceNode::quaternionToVector(broken, angles);
    EXPECT_EQ(angles[0], 0.0);
    EXPECT_EQ(angles[1], 0.0);
    EXPECT_EQ(angles[2], 0.0);
}

}  // namespace
}  // namespace nodetest
