// Time: unit conversions and comparisons, the UI unit, the current time and playback, and
// the scene time reaching the nodes connected to it.
#define MNoVersionString
#include <maya/MAngle.h>
#include <maya/MAnimControl.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTime.h>
#include <maya/MTimeArray.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

using namespace std::chrono_literals;
constexpr std::chrono::nanoseconds kFilmFrame = std::chrono::nanoseconds(1s) / 24;

// ---- Conversions and comparisons (no scene needed beyond the UI unit)

class TimeUnitTest : public HostFixture {};

TEST_F(TimeUnitTest, ConvertsBetweenClockAndFrameUnits) {
    EXPECT_EQ(MTime(48, MTime::kFilm).as(MTime::kSeconds), 2.0);
    EXPECT_EQ(MTime(2, MTime::kSeconds).as(MTime::kFilm), 48.0);
    EXPECT_EQ(MTime(1, MTime::kHours).as(MTime::kMinutes), 60.0);
    EXPECT_EQ(MTime(90, MTime::kMinutes).as(MTime::kHours), 1.5);
    EXPECT_EQ(MTime(1.5, MTime::kSeconds).as(MTime::kMilliseconds), 1500.0);
    EXPECT_EQ(MTime(30, MTime::kNTSCFrame).as(MTime::kSeconds), 1.0);
    EXPECT_EQ(MTime(25, MTime::kPALFrame).as(MTime::kShowScan), 48.0);
    EXPECT_EQ(MTime(60, MTime::kNTSCField).as(MTime::kGames), 15.0);
    EXPECT_EQ(MTime(1, MTime::kSeconds).as(MTime::k44100FPS), 44100.0);
    EXPECT_EQ(MTime(3, MTime::kSeconds).as(MTime::k90FPS), 270.0);
    EXPECT_EQ(MTime(7, MTime::kSeconds).as(MTime::k375FPS), 2625.0);
}

TEST_F(TimeUnitTest, NtscDerivedRatesAreThousandOverThousandAndOne) {
    EXPECT_DOUBLE_EQ(MTime(30, MTime::k29_97FPS).as(MTime::kSeconds), 1.001);
    EXPECT_DOUBLE_EQ(MTime(30, MTime::k29_97DF).as(MTime::kSeconds), 1.001);
    EXPECT_DOUBLE_EQ(MTime(24, MTime::k23_976FPS).as(MTime::kSeconds), 1.001);
    EXPECT_DOUBLE_EQ(MTime(1.001, MTime::kSeconds).as(MTime::k47_952FPS), 48.0);
    EXPECT_DOUBLE_EQ(MTime(60, MTime::k59_94FPS).as(MTime::kNTSCField), 60.06);
    // 1000 frames at 29.97 fps last as long as 1001 frames at 30 fps.
    EXPECT_DOUBLE_EQ(MTime(1000, MTime::k29_97FPS).as(MTime::kNTSCFrame), 1001.0);
}

TEST_F(TimeUnitTest, EveryFixedUnitRoundTripsAndUndefinedUnitsGiveZero) {
    for (int u = MTime::kHours; u < MTime::kUserDef; ++u) {
        const auto unit = static_cast<MTime::Unit>(u);
        const double inUnit = MTime(1.25, MTime::kSeconds).as(unit);
        EXPECT_GT(inUnit, 0.0) << "unit " << u;
        EXPECT_DOUBLE_EQ(MTime(inUnit, unit).as(MTime::kSeconds), 1.25) << "unit " << u;
    }
    EXPECT_EQ(MTime(5, MTime::kSeconds).as(MTime::kUserDef), 0.0);
    EXPECT_EQ(MTime(5, MTime::kSeconds).as(MTime::kInvalid), 0.0);
    EXPECT_EQ(MTime(5, MTime::kInvalid).as(MTime::kSeconds), 0.0);
    EXPECT_EQ(MTime(5, MTime::kLast).as(MTime::kSeconds), 0.0);
}

TEST_F(TimeUnitTest, ValueAndUnitAreKeptAsGiven) {
    MTime t(12.5, MTime::kPALFrame);
    EXPECT_EQ(t.unit(), MTime::kPALFrame);
    EXPECT_EQ(t.value(), 12.5);
    EXPECT_TRUE(t.setValue(-3.0));
    EXPECT_EQ(t.value(), -3.0);
    EXPECT_EQ(t.unit(), MTime::kPALFrame);
}

TEST_F(TimeUnitTest, ComparesActualTimesAcrossUnits) {
    EXPECT_TRUE(MTime(2, MTime::kSeconds) == MTime(48, MTime::kFilm));
    EXPECT_TRUE(MTime(1, MTime::kMinutes) == MTime(3600, MTime::kNTSCField));
    // Equal to the tick, though 0.1 s and 2.4 film differ in their last bits as doubles.
    EXPECT_TRUE(MTime(2.4, MTime::kFilm) == MTime(0.1, MTime::kSeconds));
    EXPECT_FALSE(MTime(2.4, MTime::kFilm) != MTime(0.1, MTime::kSeconds));

    const MTime filmFrame(1, MTime::kFilm);       // 1/24 s
    const MTime ntscFrame(1, MTime::kNTSCFrame);  // 1/30 s
    EXPECT_TRUE(ntscFrame < filmFrame);
    EXPECT_TRUE(filmFrame > ntscFrame);
    EXPECT_FALSE(filmFrame < ntscFrame);
    EXPECT_FALSE(ntscFrame > filmFrame);
    EXPECT_TRUE(filmFrame != ntscFrame);
    EXPECT_TRUE(MTime(1, MTime::k29_97FPS) > ntscFrame);
    EXPECT_FALSE(filmFrame < filmFrame);
    EXPECT_TRUE(MTime(-1, MTime::kSeconds) < MTime(0, MTime::kHours));
}

TEST_F(TimeUnitTest, UiUnitStartsAsFilmAndIsWhatTheDefaultTimeUses) {
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_EQ(MTime().unit(), MTime::kFilm);
    EXPECT_EQ(MTime().value(), 0.0);

    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    EXPECT_EQ(MTime::uiUnit(), MTime::kNTSCFrame);
    EXPECT_EQ(MTime().unit(), MTime::kNTSCFrame);
    // The implicit conversion from a number still means film, whatever the UI unit.
    const MTime implicit = 5.0;
    EXPECT_EQ(implicit.unit(), MTime::kFilm);

    EXPECT_FALSE(MTime::setUIUnit(MTime::kUserDef));
    EXPECT_FALSE(MTime::setUIUnit(MTime::kInvalid));
    EXPECT_FALSE(MTime::setUIUnit(MTime::kLast));
    EXPECT_EQ(MTime::uiUnit(), MTime::kNTSCFrame);
}

TEST_F(TimeUnitTest, PrintsValueAndUnit) {
    std::ostringstream text;
    text << MTime(48, MTime::kFilm) << " / " << MTime(1.5, MTime::kSeconds);
    EXPECT_EQ(text.str(), "48 film / 1.5 seconds");
}

TEST_F(TimeUnitTest, TimeArrayHoldsTimesInOrder) {
    MTimeArray times;
    times.append(MTime(1, MTime::kSeconds));
    times.append(MTime(3, MTime::kFilm));
    MTimeArray copy(times);
    times[0] = MTime(9, MTime::kFilm);
    ASSERT_EQ(copy.length(), 2u);
    EXPECT_TRUE(copy[0] == MTime(24, MTime::kFilm));
    EXPECT_EQ(copy[1].value(), 3.0);
    EXPECT_EQ(times[0].value(), 9.0);
    EXPECT_TRUE(copy.clear());
    EXPECT_EQ(copy.length(), 0u);
}

TEST(AngleTest, ConvertsBetweenAngleUnits) {
    EXPECT_DOUBLE_EQ(MAngle(3.14159265358979323846).asDegrees(), 180.0);
    EXPECT_DOUBLE_EQ(MAngle(90, MAngle::kDegrees).asRadians(), 3.14159265358979323846 / 2);
    EXPECT_DOUBLE_EQ(MAngle(90, MAngle::kAngMinutes).asDegrees(), 1.5);
    EXPECT_DOUBLE_EQ(MAngle(7200, MAngle::kAngSeconds).asDegrees(), 2.0);
    EXPECT_EQ(MAngle(90, MAngle::kDegrees).value(), 90.0);
    EXPECT_EQ(MAngle(90, MAngle::kDegrees).unit(), MAngle::kDegrees);
}

// ---- Current time and playback

class ClockNode : public MPxNode {
public:
    static void* creator() { return new ClockNode; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        time = fn.create("time", "tm", MFnNumericData::kDouble, 0.0);
        frame = fn.create("frame", "fr", MFnNumericData::kDouble, 0.0);
        fn.setWritable(false);
        CHECK_MSTATUS_AND_RETURN_IT(addAttribute(time));
        CHECK_MSTATUS_AND_RETURN_IT(addAttribute(frame));
        return attributeAffects(time, frame);
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug != frame) {
            return MStatus::kUnknownParameter;
        }
        ++computes;
        block.outputValue(frame).setDouble(block.inputValue(time).asDouble() * 2.0);
        return block.setClean(plug);
    }

    static MTypeId id;
    static MObject time, frame;
    static int computes;  // test thread only
};

MTypeId ClockNode::id(0x7f010);
MObject ClockNode::time, ClockNode::frame;
int ClockNode::computes = 0;

class TimelineTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        ClockNode::computes = 0;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostClockNode", ClockNode::id, ClockNode::creator,
                                    ClockNode::initialize));
    }
};

TEST_F(TimelineTest, CurrentTimeIsTime1OutTimeInUiUnits) {
    EXPECT_TRUE(MAnimControl::currentTime() == MTime(0, MTime::kFilm));
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(2, MTime::kSeconds)));
    EXPECT_EQ(mayahost::sceneTime(), 48.0);
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::kFilm);
    EXPECT_EQ(MAnimControl::currentTime().value(), 48.0);

    mayahost::setSceneTime(10.0);
    EXPECT_EQ(MAnimControl::currentTime().value(), 10.0);
    EXPECT_FALSE(MAnimControl::setCurrentTime(MTime(3, MTime::kUserDef)));
    EXPECT_EQ(mayahost::sceneTime(), 10.0);
}

TEST_F(TimelineTest, ChangingTheUiUnitKeepsTheCurrentInstant) {
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(48, MTime::kFilm)));
    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    EXPECT_DOUBLE_EQ(mayahost::sceneTime(), 60.0);
    EXPECT_TRUE(MAnimControl::currentTime() == MTime(2, MTime::kSeconds));
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::kNTSCFrame);
}

TEST_F(TimelineTest, MovingTheCurrentTimeDirtiesAConnectedAttribute) {
    MObject node = mayahost::createNode("hostClockNode");
    ASSERT_TRUE(mayahost::connectSceneTime(node, "time"));
    const MPlug frame(node, ClockNode::frame);
    EXPECT_EQ(frame.asDouble(), 0.0);
    const int before = ClockNode::computes;
    EXPECT_FALSE(mayahost::isDirty(frame));

    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(0.5, MTime::kSeconds)));
    EXPECT_TRUE(mayahost::isDirty(frame));
    EXPECT_EQ(frame.asDouble(), 24.0);  // 12 film frames, doubled by compute
    EXPECT_EQ(ClockNode::computes, before + 1);
    EXPECT_EQ(frame.asDouble(), 24.0);  // clean now: no second compute
    EXPECT_EQ(ClockNode::computes, before + 1);
}

TEST_F(TimelineTest, ConnectSceneTimeRejectsWhatItCannotConnect) {
    MObject node = mayahost::createNode("hostClockNode");
    EXPECT_FALSE(mayahost::connectSceneTime(node, "noSuchAttribute"));
    EXPECT_FALSE(mayahost::connectSceneTime(node, "frame"));  // not writable
    EXPECT_FALSE(mayahost::connectSceneTime(MObject(), "time"));
    ASSERT_TRUE(mayahost::connectSceneTime(node, "time"));
    EXPECT_FALSE(mayahost::connectSceneTime(node, "time"));  // already driven
}

TEST_F(TimelineTest, PlaybackMovesTheTimeOnlyWhilePlaying) {
    MObject node = mayahost::createNode("hostClockNode");
    ASSERT_TRUE(mayahost::connectSceneTime(node, "time"));
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(3, MTime::kFilm)));
    EXPECT_FALSE(MAnimControl::isPlaying());
    EXPECT_FALSE(mayahost::stepPlayback(1s));
    EXPECT_EQ(mayahost::sceneTime(), 3.0);

    ASSERT_TRUE(MAnimControl::playForward());
    EXPECT_TRUE(MAnimControl::isPlaying());
    EXPECT_TRUE(mayahost::stepPlayback(kFilmFrame));
    EXPECT_EQ(mayahost::sceneTime(), 4.0);
    EXPECT_EQ(MPlug(node, ClockNode::frame).asDouble(), 8.0);

    ASSERT_TRUE(MAnimControl::stop());
    EXPECT_FALSE(MAnimControl::isPlaying());
    EXPECT_FALSE(mayahost::stepPlayback(kFilmFrame));
    EXPECT_EQ(mayahost::sceneTime(), 4.0);
}

// The times a playback of `steps` steps shows, with the given options, from the range start.
std::vector<double> playedTimes(const mayahost::PlaybackOptions& options, int steps,
                                std::chrono::nanoseconds elapsed = kFilmFrame) {
    EXPECT_TRUE(mayahost::setPlaybackOptions(options));
    mayahost::setSceneTime(options.minTime);
    mayahost::startPlayback();
    std::vector<double> times;
    for (int i = 0; i < steps; ++i) {
        mayahost::stepPlayback(elapsed);
        times.push_back(mayahost::sceneTime());
    }
    return times;
}

mayahost::PlaybackOptions range(double first, double last, mayahost::PlaybackLoop loop,
                                double speed = 0.0, double by = 1.0) {
    mayahost::PlaybackOptions options;
    options.minTime = first;
    options.maxTime = last;
    options.loop = loop;
    options.playbackSpeed = speed;
    options.by = by;
    return options;
}

TEST_F(TimelineTest, PlaybackStepsByWholeFramesAndEndsTheRangeAsItsLoopModeSays) {
    using mayahost::PlaybackLoop;
    EXPECT_EQ(playedTimes(range(1, 4, PlaybackLoop::Continuous), 6),
              (std::vector<double>{2, 3, 4, 1, 2, 3}));
    EXPECT_EQ(playedTimes(range(1, 3, PlaybackLoop::Oscillate), 6),
              (std::vector<double>{2, 3, 2, 1, 2, 3}));
    EXPECT_EQ(playedTimes(range(1, 3, PlaybackLoop::Once), 4), (std::vector<double>{2, 3, 3, 3}));
    EXPECT_FALSE(MAnimControl::isPlaying()) << "once: stopped at the end";
    EXPECT_EQ(playedTimes(range(0, 6, PlaybackLoop::Continuous, 0.0, 2.0), 5),
              (std::vector<double>{2, 4, 6, 0, 2}));
}

TEST_F(TimelineTest, RealTimePlaybackSkipsFramesEveryFramePlaybackDoesNot) {
    using mayahost::PlaybackLoop;
    // Three and a half film frames pass between evaluations.
    const auto slow = kFilmFrame * 7 / 2;
    EXPECT_EQ(playedTimes(range(1, 100, PlaybackLoop::Continuous, 1.0), 4, slow),
              (std::vector<double>{4, 8, 11, 15}));
    EXPECT_EQ(playedTimes(range(1, 100, PlaybackLoop::Continuous, 0.0), 4, slow),
              (std::vector<double>{2, 3, 4, 5}));
    // Faster than the frame rate, real time waits for the next whole frame.
    mayahost::setPlaybackOptions(range(1, 100, PlaybackLoop::Continuous, 1.0));
    mayahost::setSceneTime(1);
    mayahost::startPlayback();
    EXPECT_FALSE(mayahost::stepPlayback(kFilmFrame / 2));
    EXPECT_TRUE(mayahost::stepPlayback(kFilmFrame / 2));
    EXPECT_EQ(mayahost::sceneTime(), 2.0);
}

TEST_F(TimelineTest, PlaybackStartsInsideItsRangeAndRefusesBrokenOptions) {
    mayahost::setPlaybackOptions(range(10, 20, mayahost::PlaybackLoop::Continuous));
    mayahost::setSceneTime(3.0);
    mayahost::startPlayback();
    EXPECT_EQ(mayahost::sceneTime(), 10.0);
    EXPECT_FALSE(mayahost::setPlaybackOptions(range(5, 4, mayahost::PlaybackLoop::Once)));
    EXPECT_FALSE(mayahost::setPlaybackOptions(range(1, 4, mayahost::PlaybackLoop::Once, 0.0, 0.0)));
    EXPECT_EQ(mayahost::playbackOptions().minTime, 10.0);
}

TEST_F(TimelineTest, ResetHostBringsBackFilmStoppedAtZero) {
    ASSERT_TRUE(MTime::setUIUnit(MTime::kPALFrame));
    ASSERT_TRUE(MAnimControl::playForward());
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(7, MTime::kPALFrame)));
    mayahost::resetHost();
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_FALSE(MAnimControl::isPlaying());
    EXPECT_EQ(mayahost::sceneTime(), 0.0);
}

}  // namespace
