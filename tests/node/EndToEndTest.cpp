// The whole road of one stream in the stand-in host, over real loopback datagrams: live,
// definition, binding, frames at 60 per second, the refresh rate following the stream, a
// two-second take recorded while the timeline plays, and the bake when playback stops.
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MSelectionList.h>
#include <maya/MTime.h>
#include <mayahost/HostControl.h>

#include <atomic>
#include <thread>

#include "NodeFixture.h"

namespace nodetest {
namespace {

using Clock = std::chrono::steady_clock;

class EndToEndTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        device().setClock(nullptr);  // the real steady clock: datagrams really are 1/60 s apart
        for (const char* name :
             {"enableBindButton", "displayMessage", "updateLiveCheckbox", "displayAvailableIPs"}) {
            mayahost::registerProcedure(name, [](const std::vector<std::string>&,
                                                 const std::string&) { return MStatus(); });
        }
        // The scene time drives the node's time, as the shelf button connects it.
        MFnDependencyNode time1(mayahost::findNode("time1"));
        MDGModifier modifier;
        ASSERT_EQ(modifier.connect(time1.findPlug("outTime", false), plug(TulvexDeviceNode::mTime)),
                  MStatus::kSuccess);
        ASSERT_EQ(modifier.doIt(), MStatus::kSuccess);
    }
    void TearDown() override {
        mSending.store(false);
        if (mPhone.joinable()) {
            mPhone.join();
        }
        MAnimControl::stop();
        NodeTest::TearDown();
    }

    // The phone: a definition, then frames at 60 per second until told to stop.
    void startPhone(int port) {
        mPhone = std::thread([this, port] {
            UdpSender out;
            out.send(port, zmf::encode(makeDefinition(0.25F)));
            auto next = Clock::now();
            for (std::int32_t n = 1; mSending.load(); ++n) {
                next += std::chrono::microseconds(16667);
                std::this_thread::sleep_until(next);
                mLastRoot.store(n % 100);
                out.send(port,
                         zmf::encode(makeFrame(n, 100.0 + n / 60.0, static_cast<float>(n % 100))));
            }
        });
    }

    // One pass of the host's loop: refresh live nodes, run the idle queue, and bind when the
    // node asks for it, as the scripts would.
    void hostLoopOnce() {
        mayahost::waitForRefresh(std::chrono::milliseconds(20));
        mayahost::processRefreshes();
        mayahost::runIdleQueue();
        for (const mayahost::ProcedureCall& call : mayahost::takeProcedureCalls()) {
            if (call.text == "enableBindButton 0 1") {
                device().CharacterizationComplete();
            }
        }
    }

    template <typename Done>
    bool runHostUntil(Done done, std::chrono::seconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (!done()) {
            if (Clock::now() > deadline) {
                return false;
            }
            hostLoopOnce();
        }
        return true;
    }

    std::atomic<bool> mSending{true};
    std::atomic<int> mLastRoot{0};
    std::thread mPhone;
};

unsigned int keyCount(const std::string& curveName, double* first, double* last) {
    MSelectionList list;
    if (list.add(MString(curveName.c_str())) != MStatus::kSuccess) {
        return 0;
    }
    MObject object;
    list.getDependNode(0, object);
    MFnAnimCurve curve(object);
    const unsigned int count = curve.numKeys();
    if (count > 0) {
        *first = curve.time(0).as(MTime::uiUnit());
        *last = curve.time(count - 1).as(MTime::uiUnit());
    }
    return count;
}

TEST_F(EndToEndTest, StreamsRecordsAndBakesOverLoopback) {
    const int port = freeUdpPort();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(nodeObject());  // the UI asks: the socket opens
    ASSERT_TRUE(device().isStreamSocketOpen());
    startPhone(port);

    // Bound and streaming: the root follows the frames, the refresh rate the stream.
    const MPlug rootPlug = plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0);
    ASSERT_TRUE(runHostUntil(
        [&] {
            return device().hasBeenCharacterized() &&
                   plug(TulvexDeviceNode::frameRate).asDouble() == 90.0 &&
                   mayahost::plugValues(rootPlug).at(0) > 0.0;
        },
        std::chrono::seconds(10)));
    const double rootX = mayahost::plugValues(rootPlug).at(0);
    EXPECT_EQ(static_cast<int>(rootX) % 100, 0) << "root x is a streamed value x 100";

    // Two seconds of take while the timeline plays at film rate.
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
    const double startFrame = 100.0;
    MAnimControl::setCurrentTime(MTime(startFrame, MTime::uiUnit()));
    MAnimControl::playForward();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(2)) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        MAnimControl::setCurrentTime(MTime(startFrame + elapsed * 24.0, MTime::uiUnit()));
        hostLoopOnce();
    }
    MAnimControl::stop();
    EXPECT_TRUE(device().hasRecordedData());
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);

    // The next refresh bakes.
    ASSERT_TRUE(runHostUntil([&] { return !device().hasRecordedData(); }, std::chrono::seconds(5)));
    testing::internal::GetCapturedStdout();

    double first = 0.0;
    double last = 0.0;
    const unsigned int rootKeys = keyCount("tulvexCharacter0_Skeleton_root_tx", &first, &last);
    // About 60 blocks a second for two seconds; the UI time advances 24 units a second.
    EXPECT_GE(rootKeys, 80U);
    EXPECT_LE(rootKeys, 130U);
    EXPECT_GE(first, startFrame);
    EXPECT_LE(last, startFrame + 49.0);
    int curves = 0;
    for (const std::string& name : mayahost::nodeNames()) {
        if (name.rfind("tulvexCharacter0_Skeleton_", 0) == 0) {
            ++curves;
            double a = 0.0;
            double b = 0.0;
            EXPECT_EQ(keyCount(name, &a, &b), rootKeys) << name;
        }
    }
    EXPECT_EQ(curves, 162);
}

}  // namespace
}  // namespace nodetest
