// The whole road of one stream in the stand-in host, over real loopback datagrams: live,
// definition, binding, frames at the phone's rate, the refresh rate following the stream, a
// take recorded while the timeline plays in whole frames (looping or not), and the bake
// when playback stops, checked key by key against the samples the node took.
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MSelectionList.h>
#include <maya/MTime.h>
#include <mayahost/HostControl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <ostream>
#include <thread>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    MTime::Unit sceneUnit;
    double sceneFps;
    int streamFps;
    bool looping;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
    return out << c.sceneFps << " fps scene, " << c.streamFps << " fps stream, "
               << (c.looping ? "looping" : "once");
}

struct Key {
    double time;
    double value;
};

std::vector<Key> curveKeys(const std::string& curveName) {
    MSelectionList list;
    if (list.add(MString(curveName.c_str())) != MStatus::kSuccess) {
        return {};
    }
    MObject object;
    list.getDependNode(0, object);
    MFnAnimCurve curve(object);
    std::vector<Key> keys;
    for (unsigned int i = 0; i < curve.numKeys(); ++i) {
        keys.push_back({curve.time(i).as(MTime::uiUnit()), curve.value(i)});
    }
    return keys;
}

class EndToEndTest : public NodeTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        device().setClock(nullptr);  // the real steady clock: datagrams really are apart
        ASSERT_TRUE(defineUiProcedures());
    }
    void TearDown() override {
        mSending.store(false);
        if (mPhone.joinable()) {
            mPhone.join();
        }
        MAnimControl::stop();
        NodeTest::TearDown();
    }

    // The scene time drives the node's time, as the shelf button connects it; connected
    // after the scene's unit is set, so the conversion reads UI frames of that unit.
    void connectSceneTime() {
        MFnDependencyNode time1(mayahost::findNode("time1"));
        MDGModifier modifier;
        ASSERT_EQ(modifier.connect(time1.findPlug("outTime", false), plug(TulvexDeviceNode::mTime)),
                  MStatus::kSuccess);
        ASSERT_EQ(modifier.doIt(), MStatus::kSuccess);
    }

    // The phone: a definition, then frame n at `fps` with the root at x = n (n x 100 once
    // scaled), until told to stop.
    void startPhone(int port, int fps) {
        mPhone = std::thread([this, port, fps] {
            UdpSender out;
            out.send(port, zmf::encode(makeDefinition(0.25F)));
            auto next = Clock::now();
            const auto period = std::chrono::microseconds(1000000 / fps);
            for (std::int32_t n = 1; mSending.load(); ++n) {
                next += period;
                std::this_thread::sleep_until(next);
                out.send(port, zmf::encode(makeFrame(n, 100.0 + static_cast<double>(n) / fps,
                                                     static_cast<float>(n))));
            }
        });
    }

    // One pass of the host's loop: the timeline moves, live nodes refresh, the idle queue
    // runs, and the node is bound when it asks for it, as the scripts would. Every block a
    // refresh consumes while recording is one sample: its time and root x are noted.
    void hostLoopOnce() {
        const Clock::time_point now = Clock::now();
        mayahost::stepPlayback(now - mLastStep);
        mLastStep = now;
        mayahost::waitForRefresh(std::chrono::milliseconds(5));
        const long popped = mayahost::deviceStats(nodeObject()).popped;
        mayahost::processRefreshes();
        if (mRecording && mayahost::deviceStats(nodeObject()).popped > popped) {
            mSamples.push_back(
                {plug(TulvexDeviceNode::mTime).asDouble(),
                 mayahost::plugValues(
                     plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0))
                     .at(0)});
        }
        const std::vector<std::string> queued = mayahost::pendingIdleCommands();
        const bool askedToBind =
            std::find(queued.begin(), queued.end(), "enableBindButton 0 1") != queued.end();
        mayahost::runIdleQueue();
        if (askedToBind) {
            device().CharacterizationComplete();
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
    std::thread mPhone;
    Clock::time_point mLastStep = Clock::now();
    bool mRecording = false;
    std::vector<Key> mSamples;  // time (UI frames) and root x of each sample, in order
};

TEST_P(EndToEndTest, StreamsRecordsAndBakesKeysAtWholeFramesFromTheLastSampleAtEach) {
    const Case c = GetParam();
    ASSERT_EQ(MTime::setUIUnit(c.sceneUnit), MStatus::kSuccess);
    connectSceneTime();
    const int port = freeUdpPort();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(port), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    mayahost::pullDirtyOutputs(nodeObject());  // the UI asks: the socket opens
    ASSERT_TRUE(device().isStreamSocketOpen());
    startPhone(port, c.streamFps);

    // Bound and streaming: the root follows the frames, the refresh rate the stream.
    const double refreshRate = c.streamFps == 60 ? 90.0 : 60.0;
    const MPlug rootPlug = plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0);
    ASSERT_TRUE(runHostUntil(
        [&] {
            return device().hasBeenCharacterized() &&
                   plug(TulvexDeviceNode::frameRate).asDouble() == refreshRate &&
                   mayahost::plugValues(rootPlug).at(0) > 0.0;
        },
        std::chrono::seconds(10)));

    // A take of a bit more than a second; a looping range is a third of a second long.
    mayahost::PlaybackOptions playback;
    playback.minTime = 1.0;
    playback.maxTime = c.looping ? std::round(c.sceneFps / 3.0) : 10.0 * c.sceneFps;
    playback.loop = c.looping ? mayahost::PlaybackLoop::Continuous : mayahost::PlaybackLoop::Once;
    ASSERT_TRUE(mayahost::setPlaybackOptions(playback));
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(true), MStatus::kSuccess);
    mayahost::setSceneTime(1.0);
    mayahost::startPlayback();
    mRecording = true;
    mLastStep = Clock::now();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(1100)) {
        hostLoopOnce();
    }
    mRecording = false;
    mayahost::stopPlayback();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(false), MStatus::kSuccess);
    ASSERT_TRUE(runHostUntil(
        [&] { return !device().hasRecordedData() && device().takesWaitingForBake() == 0; },
        std::chrono::seconds(5)));
    testing::internal::GetCapturedStdout();
    ASSERT_GE(mSamples.size(), static_cast<std::size_t>(c.streamFps / 2));

    // The last sample taken at each frame is the one keyed there.
    std::map<double, double> lastAt;
    for (const Key& sample : mSamples) {
        EXPECT_EQ(sample.time, std::floor(sample.time)) << "playback moves in whole frames";
        EXPECT_GE(sample.time, playback.minTime);
        EXPECT_LE(sample.time, playback.maxTime);
        lastAt[sample.time] = sample.value;
    }
    const std::vector<Key> keys = curveKeys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_FALSE(keys.empty());
    std::map<double, double> keyed;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(keys[k].time, std::floor(keys[k].time)) << "whole frames";
        EXPECT_TRUE(k == 0 || keys[k].time > keys[k - 1].time) << "one key per time";
        keyed[keys[k].time] = keys[k].value;
    }
    for (const auto& [time, value] : lastAt) {
        ASSERT_EQ(keyed.count(time), 1U) << "no key at sampled frame " << time;
        EXPECT_EQ(keyed[time], value) << "frame " << time;
    }
    // Every frame between the first and last sample has a key, filled where no sample fell.
    EXPECT_EQ(keys.front().time, lastAt.begin()->first);
    EXPECT_EQ(keys.back().time, lastAt.rbegin()->first);
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(keys.back().time - keys.front().time) + 1);
    if (!c.looping) {
        // One pass: filled keys lie between the samples around them.
        for (const Key& key : keys) {
            if (lastAt.count(key.time) != 0) {
                continue;
            }
            const auto after = lastAt.upper_bound(key.time);
            const auto before = std::prev(after);
            EXPECT_GE(key.value, before->second) << key.time;
            EXPECT_LE(key.value, after->second) << key.time;
        }
    }
    int curves = 0;
    for (const std::string& name : mayahost::animCurveNames()) {
        ++curves;
        EXPECT_EQ(curveKeys(name).size(), keys.size()) << name;
    }
    EXPECT_EQ(curves, 162);
}

INSTANTIATE_TEST_SUITE_P(
    SceneAndStreamRates, EndToEndTest,
    ::testing::Values(
        Case{MTime::kFilm, 24.0, 30, false}, Case{MTime::kFilm, 24.0, 60, false},
        Case{MTime::kNTSCFrame, 30.0, 30, false}, Case{MTime::kNTSCFrame, 30.0, 60, false},
        Case{MTime::kNTSCField, 60.0, 30, false}, Case{MTime::kNTSCField, 60.0, 60, false},
        Case{MTime::kFilm, 24.0, 30, true}, Case{MTime::kFilm, 24.0, 60, true},
        Case{MTime::kNTSCFrame, 30.0, 30, true}, Case{MTime::kNTSCFrame, 30.0, 60, true},
        Case{MTime::kNTSCField, 60.0, 30, true}, Case{MTime::kNTSCField, 60.0, 60, true}));

}  // namespace
}  // namespace nodetest
