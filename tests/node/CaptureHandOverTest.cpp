// The stream's socket and the capture runs while live is switched quickly and the node is
// deleted and undone: no descriptor is closed under a read and every live spell gets a run
// that reads. The host starts a restarted thread without waiting for the old one, so the old
// run may still be reading as compute closes the socket, and both runs share one done flag.
#include <maya/MPlug.h>
#include <mayahost/HostControl.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "NodeFixture.h"

namespace nodetest {
namespace {

using Clock = std::chrono::steady_clock;

// Sends frames to a port from a thread of its own until destroyed.
class Flood {
public:
    explicit Flood(int port)
        : mThread([this, port] {
              const std::vector<std::byte> frame = zmf::encode(makeFrame(1, 0.0, 1.0F));
              const UdpSender sender;
              while (!mStop.load()) {
                  sender.send(port, frame);
              }
          }) {}
    ~Flood() {
        mStop.store(true);
        mThread.join();
    }
    Flood(const Flood&) = delete;
    Flood& operator=(const Flood&) = delete;

private:
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

class CaptureHandOverTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        mayahost::setCaptureRestartWaits(false);
        mPort = freeUdpPort();
        ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(mPort), MStatus::kSuccess);
    }

    // Live on, as the user switches it: the first evaluation opens the port.
    void switchOn(const MObject& node) {
        ASSERT_EQ(mayahost::setLive(node, true), MStatus::kSuccess);
        mayahost::pullDirtyOutputs(node);
    }
    void switchOff(const MObject& node) {
        ASSERT_EQ(mayahost::setLive(node, false), MStatus::kSuccess);
        mayahost::pullDirtyOutputs(node);
    }

    // True once the node's capture run has read more datagrams: a run is reading.
    bool readsAgain(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const std::uint64_t before = device().counters().datagramsReceived.load();
        const auto deadline = Clock::now() + timeout;
        while (device().counters().datagramsReceived.load() < before + 2) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return true;
    }
};

TEST_F(CaptureHandOverTest, LiveSwitchedAThousandTimesUnderAFloodReadsOnlyItsOpenSocket) {
    const Flood flood(mPort);
    testing::internal::CaptureStdout();
    int spellsRead = 0;
    for (int i = 0; i < 1000; ++i) {
        switchOn(nodeObject());
        ASSERT_TRUE(device().isStreamSocketOpen()) << "spell " << i;
        if (i % 50 == 0) {
            spellsRead += readsAgain() ? 1 : 0;
        }
        switchOff(nodeObject());
        ASSERT_FALSE(device().isStreamSocketOpen()) << "spell " << i;
        if (i % 100 == 0) {
            mayahost::takeIdleCommands();
        }
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(spellsRead, 20) << "a live spell whose capture run never read";
    // The port is free at once: nothing kept it open behind the node's back.
    int descriptor = 0;
    ASSERT_EQ(device().openSocketConnection(descriptor, mPort), MStatus::kSuccess);
    device().closeSocketConnection(descriptor);
}

TEST_F(CaptureHandOverTest, LiveSwitchedWhileTheNodeIsDeletedAndUndoneKeepsOneRunReading) {
    const Flood flood(mPort);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int spellsRead = 0;
    const int spells = 60;
    for (int i = 0; i < spells; ++i) {
        switchOn(nodeObject());
        ASSERT_EQ(mayahost::deleteNode(nodeObject()), MStatus::kSuccess);
        EXPECT_FALSE(device().isStreamSocketOpen()) << "the port goes with the node";
        ASSERT_TRUE(mayahost::undo());
        // Back in the graph, still live: its next evaluation opens the port again.
        mayahost::pullDirtyOutputs(nodeObject());
        ASSERT_TRUE(device().isStreamSocketOpen()) << "spell " << i;
        spellsRead += readsAgain() ? 1 : 0;
        // Quick switches: each restarts the thread before the last run has left.
        ASSERT_EQ(mayahost::setLive(nodeObject(), false), MStatus::kSuccess);
        ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
        spellsRead += readsAgain() ? 1 : 0;
        switchOff(nodeObject());
        mayahost::takeIdleCommands();
    }
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(spellsRead, 2 * spells) << "a live spell whose capture run never read";
}

}  // namespace
}  // namespace nodetest
