// Recording a take and baking it, with the node not live: the samples come from the data
// handler's pose, the sample times from the `time` attribute.
#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <mayahost/HostControl.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "NodeFixture.h"
#include "UiProcedures.h"

namespace nodetest {
namespace {

struct Key {
    double time;
    double value;
};

class TakeTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_TRUE(defineUiProcedures());
        // A definition and the binding, so frames move the pose.
        apply(zmf::encode(makeDefinition(0.25F)));
        device().CharacterizationComplete();
        mayahost::takeIdleCommands();  // the panel's news of the definition
    }
    void TearDown() override {
        MAnimControl::stop();
        NodeTest::TearDown();
    }

    void apply(const std::vector<std::byte>& packet) {
        std::vector<std::byte> buffer(TulvexDeviceNode::kReceiveBufferSize);
        std::copy(packet.begin(), packet.end(), buffer.begin());
        device().parseSkeletonData(buffer.data(), buffer.size());
    }
    // One evaluation at scene time `time` with the root at x = rootX (library units): the
    // refresh attribute alone is asked for, so compute runs once.
    void evaluateAt(double time, float rootX = 1.0F) {
        apply(zmf::encode(makeFrame(++mFrame, 0.0, rootX)));
        evaluate(time);
    }
    void evaluate(double time) {
        ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(time), MStatus::kSuccess);
        ASSERT_TRUE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputTranslate)));
        mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
        ASSERT_FALSE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputTranslate)));
    }
    void record(bool on) {
        ASSERT_EQ(plug(TulvexDeviceNode::mInputRecording).setBool(on), MStatus::kSuccess);
    }
    // Stops playback and recording and evaluates once, which hands the take over; the bake
    // itself runs at idle time.
    void bake() {
        MAnimControl::stop();
        record(false);
        evaluateAt(mLastTime + 0.5);
        mayahost::runIdleQueue();
    }

    static std::vector<Key> keys(const std::string& curveName) {
        MSelectionList list;
        if (list.add(MString(curveName.c_str())) != MStatus::kSuccess) {
            ADD_FAILURE() << "no curve " << curveName;
            return {};
        }
        MObject object;
        list.getDependNode(0, object);
        MFnAnimCurve curve(object);
        std::vector<Key> result;
        for (unsigned int i = 0; i < curve.numKeys(); ++i) {
            result.push_back({curve.time(i).as(MTime::uiUnit()), curve.value(i)});
        }
        return result;
    }
    static std::vector<double> times(const std::vector<Key>& keyed) {
        std::vector<double> result;
        result.reserve(keyed.size());
        for (const Key& key : keyed) {
            result.push_back(key.time);
        }
        return result;
    }
    std::vector<std::string> curveNames() const {
        std::vector<std::string> names;
        for (const std::string& name : mayahost::nodeNames()) {
            if (name.rfind("tulvexCharacter", 0) == 0) {
                names.push_back(name);
            }
        }
        return names;
    }

    std::int32_t mFrame = 0;
    double mLastTime = 0.0;
};

TEST_F(TakeTest, SamplesOnlyWhileRecordingAndPlaying) {
    record(true);
    evaluateAt(1.0);
    evaluateAt(2.0);
    EXPECT_FALSE(device().hasRecordedData()) << "playback stopped: nothing recorded";

    MAnimControl::playForward();
    for (int n = 0; n < 5; ++n) {
        evaluateAt(3.0 + n);
    }
    for (int bone = 0; bone < 27; ++bone) {
        EXPECT_EQ(device().recordedSampleCount(bone), 5U) << bone;
    }
    record(false);
    evaluateAt(9.0);
    EXPECT_EQ(device().recordedSampleCount(0), 5U) << "recording off: no sample, and no bake "
                                                      "while playback runs";
}

TEST_F(TakeTest, BakeMakesSixNamedCurvesPerBoneAndEmptiesTheTake) {
    ASSERT_EQ(plug(TulvexDeviceNode::mDeviceId).setInt(2), MStatus::kSuccess);
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0, 1.0F);
    evaluateAt(11.0, 2.0F);
    mLastTime = 11.0;
    bake();

    const std::vector<std::string> names = curveNames();
    ASSERT_EQ(names.size(), 162U);
    EXPECT_EQ(names.front(), "tulvexCharacter2_Skeleton_root_tx");
    EXPECT_EQ(names[5], "tulvexCharacter2_Skeleton_root_rz");
    EXPECT_EQ(names[6], "tulvexCharacter2_Skeleton_torso_1_tx");
    EXPECT_EQ(names.back(), "tulvexCharacter2_Skeleton_r_toes_rz");
    EXPECT_FALSE(device().hasRecordedData());

    // One key per sample, with the values the outputs had.
    const std::vector<Key> rootX = keys("tulvexCharacter2_Skeleton_root_tx");
    ASSERT_EQ(rootX.size(), 2U);
    EXPECT_EQ(rootX[0].time, 10.0);
    EXPECT_EQ(rootX[0].value, 100.0);
    EXPECT_EQ(rootX[1].value, 200.0);
    const std::vector<Key> handY = keys("tulvexCharacter2_Skeleton_l_hand_ty");
    ASSERT_EQ(handY.size(), 2U);
    EXPECT_EQ(handY[0].value,
              static_cast<double>(static_cast<float>(static_cast<double>(0.05F * 14.0F) * 100.0)));
}

// True when `value` is a single-precision number of `unit`s stored in internal units: what
// the outputs and keys must hold in every build, whatever the compiler vectorises.
bool isFloatIn(double value, double internalPerUnit) {
    const auto rounded = static_cast<double>(static_cast<float>(value / internalPerUnit));
    return rounded * internalPerUnit == value;
}

TEST_F(TakeTest, OutputsAndKeysHoldSinglePrecisionDegreesAndCentimetresOnEveryAxis) {
    constexpr double kRad = TulvexDeviceNode::kRadiansPerDegree;
    record(true);
    MAnimControl::playForward();
    std::map<double, std::vector<double>> shown;  // time -> the 27 rotations, then the root
    for (int n = 0; n < 24; ++n) {
        // Every bone turned about an axis of its own, so all three Euler angles are non-round.
        zmf::FramePacket frame = makeFrame(++mFrame, 0.0, 0.37F * static_cast<float>(n));
        for (std::size_t b = 0; b < frame.bones.size(); ++b) {
            const double angle = 0.1 + 0.23 * n + 0.05 * static_cast<double>(b);
            const double axis[3] = {std::sin(1.0 + static_cast<double>(b)), std::cos(2.0 * n),
                                    0.3 + std::sin(0.7 * static_cast<double>(b + n))};
            const double length =
                std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
            const double s = std::sin(angle / 2.0) / length;
            frame.bones[b].rotation[0] = static_cast<float>(axis[0] * s);
            frame.bones[b].rotation[1] = static_cast<float>(axis[1] * s);
            frame.bones[b].rotation[2] = static_cast<float>(axis[2] * s);
            frame.bones[b].rotation[3] = static_cast<float>(std::cos(angle / 2.0));
        }
        apply(zmf::encode(frame));
        const double time = 1.0 + n;
        evaluate(time);
        std::vector<double>& values = shown[time];
        for (unsigned int b = 0; b < 27; ++b) {
            const std::vector<double> rotation = mayahost::plugValues(
                plug(TulvexDeviceNode::mOutputRotations).elementByLogicalIndex(b));
            ASSERT_EQ(rotation.size(), 3U);
            for (int c = 0; c < 3; ++c) {
                EXPECT_TRUE(isFloatIn(rotation[c], kRad))
                    << "bone " << b << " axis " << c << ": " << rotation[c];
                values.push_back(rotation[c]);
            }
        }
        const std::vector<double> root = mayahost::plugValues(
            plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0));
        for (double v : root) {
            EXPECT_TRUE(isFloatIn(v, 1.0)) << v;
            values.push_back(v);
        }
    }
    mLastTime = 24.0;
    bake();

    // The keys are the very values the joints were shown, bit for bit.
    const char* const bones[] = {"root", "torso_3", "l_hand", "r_toes"};
    const int indices[] = {0, 3, 14, 26};
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 3; ++c) {
            const std::string curve = std::string("tulvexCharacter0_Skeleton_") + bones[i] + "_r" +
                                      static_cast<char>('x' + c);
            const std::vector<Key> keyed = keys(curve);
            ASSERT_EQ(keyed.size(), 24U) << curve;
            for (const Key& key : keyed) {
                EXPECT_EQ(key.value, shown[key.time][static_cast<std::size_t>(indices[i] * 3 + c)])
                    << curve << " at " << key.time;
            }
        }
    }
    for (const Key& key : keys("tulvexCharacter0_Skeleton_root_tx")) {
        EXPECT_EQ(key.value, shown[key.time][27 * 3]) << key.time;
    }
}

TEST_F(TakeTest, ContinuousRotationsMoveKeysByWholeTurnsOnlyAndFollowATurnPastAHalfTurn) {
    constexpr double kStep = 25.0 * TulvexDeviceNode::kRadiansPerDegree;
    constexpr double kTurn = 2.0 * 3.14159265358979323846;
    // Every bone turns about x, 25 degrees a frame, through two turns.
    const auto takeOfATurn = [this] {
        record(true);
        MAnimControl::playForward();
        for (int n = 0; n < 30; ++n) {
            zmf::FramePacket frame = makeFrame(++mFrame, 0.0, 1.0F);
            for (zmf::BonePose& bone : frame.bones) {
                bone.rotation[0] = static_cast<float>(std::sin(kStep * n / 2.0));
                bone.rotation[1] = bone.rotation[2] = 0.0F;
                bone.rotation[3] = static_cast<float>(std::cos(kStep * n / 2.0));
            }
            apply(zmf::encode(frame));
            evaluate(1.0 + n);
        }
        mLastTime = 30.0;
        bake();
        return keys("tulvexCharacter0_Skeleton_l_hand_rx");
    };
    const std::vector<Key> plain = takeOfATurn();
    ASSERT_EQ(plug(TulvexDeviceNode::mContinuousRotations).setBool(true), MStatus::kSuccess);
    const std::vector<Key> continuous = takeOfATurn();
    ASSERT_EQ(plain.size(), 30U);
    ASSERT_EQ(continuous.size(), 30U);
    int wraps = 0;
    for (std::size_t k = 1; k < plain.size(); ++k) {
        wraps += plain[k].value < plain[k - 1].value ? 1 : 0;
        EXPECT_NEAR(continuous[k].value - continuous[k - 1].value, kStep, 1e-5) << k;
        const double turns = (continuous[k].value - plain[k].value) / kTurn;
        EXPECT_NEAR(turns, std::round(turns), 1e-9) << k;
    }
    EXPECT_EQ(wraps, 2);  // off, the keys are the samples: they jump back at each half turn
    EXPECT_EQ(continuous.front().value, plain.front().value);
    for (const Key& key : keys("tulvexCharacter0_Skeleton_l_hand_ry")) {
        EXPECT_NEAR(key.value, 0.0, 1e-6);
    }
}

TEST_F(TakeTest, GapsOfTwoUnitsOrMoreAreFilledAtWholeUnits) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0, 1.0F);
    evaluateAt(13.0, 4.0F);  // keys at 11 and 12 are filled
    evaluateAt(15.5, 4.0F);  // one at 14
    evaluateAt(16.9, 4.0F);  // none
    evaluateAt(12.0, 2.0F);  // backwards: keyed at its own time, no filling
    mLastTime = 16.9;
    bake();

    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    EXPECT_EQ(times(rootX), (std::vector<double>{10, 11, 12, 13, 14, 15.5, 16.9}))
        << "the late sample at 12 replaced the filled key there";
    EXPECT_DOUBLE_EQ(rootX[1].value, 150.0) << "halfway to the late sample that holds 12";
    EXPECT_DOUBLE_EQ(rootX[2].value, 200.0) << "12 was re-keyed by the backwards sample";
    EXPECT_DOUBLE_EQ(rootX[4].value, 400.0);
    // Every curve of every bone got the same keys.
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_r_toes_rz")), times(rootX));
}

TEST_F(TakeTest, AFilledGapEndsOnTheKeysEitherSideEvenWhenLaterSamplesReplacedThem) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0, 1.0F);
    evaluateAt(10.0, 3.0F);  // the key at 10 holds the last sample there: 300
    evaluateAt(13.0, 4.0F);  // a gap: 11 and 12 are filled
    evaluateAt(13.0, 7.0F);  // and the key at 13 holds 700
    evaluateAt(14.0, 7.0F);
    evaluateAt(10.0, 5.0F);  // the range loops: a later pass takes the key at 10
    mLastTime = 14.0;
    bake();

    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(times(rootX), (std::vector<double>{10, 11, 12, 13, 14}));
    EXPECT_EQ(rootX[0].value, 500.0);
    EXPECT_EQ(rootX[3].value, 700.0);
    // On the line from the key at 10 to the key at 13, with no step at either end.
    EXPECT_DOUBLE_EQ(rootX[1].value, 500.0 + 200.0 / 3.0);
    EXPECT_DOUBLE_EQ(rootX[2].value, 500.0 + 400.0 / 3.0);
}

TEST_F(TakeTest, SeveralSamplesAtOneTimeGiveOneKeyFromTheLastOfThem) {
    // A 60 fps stream on a 24 fps timeline: evaluations within one frame see one time.
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0, 1.0F);
    evaluateAt(1.0, 2.0F);
    evaluateAt(1.0, 3.0F);
    evaluateAt(2.0, 4.0F);
    evaluateAt(2.0, 5.0F);
    mLastTime = 2.0;
    bake();
    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(times(rootX), (std::vector<double>{1, 2}));
    EXPECT_DOUBLE_EQ(rootX[0].value, 300.0);
    EXPECT_DOUBLE_EQ(rootX[1].value, 500.0);
    EXPECT_EQ(keys("tulvexCharacter0_Skeleton_head_rx").size(), 2U);
}

TEST_F(TakeTest, ATakeAcrossALoopKeepsTheLastSampleAtEachTimeAndFillsNoBackwardJump) {
    record(true);
    MAnimControl::playForward();
    for (int frame = 1; frame <= 4; ++frame) {
        evaluateAt(frame, static_cast<float>(frame));
    }
    // The timeline loops back to 1; the second pass skips frame 2.
    evaluateAt(1.0, 5.0F);
    evaluateAt(3.0, 6.0F);
    mLastTime = 4.0;
    bake();
    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(times(rootX), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_DOUBLE_EQ(rootX[0].value, 500.0) << "second pass";
    EXPECT_DOUBLE_EQ(rootX[1].value, 200.0) << "a sample beats the second pass's filled key";
    EXPECT_DOUBLE_EQ(rootX[2].value, 600.0) << "second pass";
    EXPECT_DOUBLE_EQ(rootX[3].value, 400.0) << "only the first pass reached 4";
}

TEST_F(TakeTest, AJumpWiderThanTenSecondsIsNotFilled) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0, 1.0F);
    evaluateAt(250.0, 2.0F);  // 240 film frames: ten seconds, filled
    evaluateAt(1e6, 3.0F);    // a jump of a million frames: keyed, not filled
    mLastTime = 1e6;
    bake();
    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(rootX.size(), 242U);
    EXPECT_EQ(rootX[240].time, 250.0);
    EXPECT_EQ(rootX[241].time, 1e6);
    EXPECT_DOUBLE_EQ(rootX[241].value, 300.0);
}

TEST_F(TakeTest, FilledKeysLieOnTheLineAndOnTheArc) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0, 1.0F);
    // Root turns a quarter about z while it moves from 100 to 400.
    zmf::FramePacket turned = makeFrame(++mFrame, 0.0, 4.0F);
    turned.bones[0].rotation[2] = std::sqrt(0.5F);
    turned.bones[0].rotation[3] = std::sqrt(0.5F);
    apply(zmf::encode(turned));
    evaluate(13.0);
    mLastTime = 13.0;
    bake();

    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(times(rootX), (std::vector<double>{10, 11, 12, 13}));
    EXPECT_DOUBLE_EQ(rootX[1].value, 200.0);
    EXPECT_DOUBLE_EQ(rootX[2].value, 300.0);
    const std::vector<Key> rootRz = keys("tulvexCharacter0_Skeleton_root_rz");
    ASSERT_EQ(rootRz.size(), 4U);
    // An angle curve keys radians; the streamed quaternion is single precision.
    constexpr double degree = TulvexDeviceNode::kRadiansPerDegree;
    EXPECT_NEAR(rootRz[1].value, 30.0 * degree, 1e-5 * degree);
    EXPECT_NEAR(rootRz[2].value, 60.0 * degree, 1e-5 * degree);
    EXPECT_NEAR(rootRz[3].value, 90.0 * degree, 1e-4 * degree);
}

TEST_F(TakeTest, ASecondBakeReplacesTheFirstTakesCurves) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0);
    evaluateAt(2.0);
    evaluateAt(3.0);
    mLastTime = 3.0;
    bake();
    ASSERT_EQ(keys("tulvexCharacter0_Skeleton_root_tx").size(), 3U);

    record(true);
    MAnimControl::playForward();
    evaluateAt(20.0);
    mLastTime = 20.0;
    bake();
    EXPECT_EQ(curveNames().size(), 162U);
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_root_tx")), (std::vector<double>{20.0}));
}

TEST_F(TakeTest, ABakeIsOneUndoStepThatBringsBackWhatItReplacedAndRedoesWithItsKeys) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0);
    evaluateAt(2.0);
    mLastTime = 2.0;
    bake();
    EXPECT_EQ(mayahost::undoName(), TulvexDeviceNode::kIdleCommand);

    record(true);
    MAnimControl::playForward();
    evaluateAt(20.0);
    mLastTime = 20.0;
    bake();
    ASSERT_EQ(times(keys("tulvexCharacter0_Skeleton_root_tx")), (std::vector<double>{20.0}));

    // The second take's curves go, the first take's come back under their names.
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(curveNames().size(), 162U);
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_root_tx")), (std::vector<double>{1.0, 2.0}));
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_r_toes_rz")), (std::vector<double>{1.0, 2.0}));

    ASSERT_TRUE(mayahost::redo());
    EXPECT_EQ(curveNames().size(), 162U);
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_root_tx")), (std::vector<double>{20.0}));

    // Both bakes undone: the scene is as it was before the first.
    ASSERT_TRUE(mayahost::undo());
    ASSERT_TRUE(mayahost::undo());
    EXPECT_TRUE(curveNames().empty());
    EXPECT_EQ(mayahost::undoName(), "");
}

TEST_F(TakeTest, AnIdleRunThatBakedNothingIsNotOnTheUndoQueue) {
    ASSERT_EQ(MGlobal::executeCommand(TulvexDeviceNode::kIdleCommand), MStatus::kSuccess);
    EXPECT_EQ(mayahost::undoName(), "");
}

TEST_F(TakeTest, BakeWaitsForPlaybackToStopAndForRecordingOrLiveToGoOff) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0);
    record(false);
    evaluateAt(2.0);
    EXPECT_TRUE(device().hasRecordedData()) << "no bake while playback runs";
    EXPECT_TRUE(curveNames().empty());

    MAnimControl::stop();
    evaluateAt(3.0);
    // The take has left the node; the curves are made at idle time, outside evaluation.
    EXPECT_FALSE(device().hasRecordedData());
    EXPECT_EQ(device().takesWaitingForBake(), 1U);
    EXPECT_TRUE(curveNames().empty());
    mayahost::runIdleQueue();
    EXPECT_EQ(device().takesWaitingForBake(), 0U);
    EXPECT_EQ(curveNames().size(), 162U);
    // Nothing recorded since: no second bake.
    const std::size_t nodesBefore = mayahost::nodeNames().size();
    evaluateAt(4.0);
    mayahost::runIdleQueue();
    EXPECT_EQ(mayahost::nodeNames().size(), nodesBefore);
}

TEST_F(TakeTest, ATakeRecordedBeforeTheBakeRanIsBakedAfterItOnce) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0, 1.0F);
    evaluateAt(2.0, 1.0F);
    MAnimControl::stop();
    evaluateAt(3.0);  // hands the first take over
    MAnimControl::playForward();
    evaluateAt(10.0, 2.0F);
    MAnimControl::stop();
    record(false);
    evaluateAt(11.0);  // hands the second take over
    EXPECT_EQ(device().takesWaitingForBake(), 2U);
    const std::vector<std::string> queued = mayahost::pendingIdleCommands();
    EXPECT_EQ(std::count(queued.begin(), queued.end(), "TulvexDeviceIdle"), 2);

    // The first command bakes both takes; the second finds nothing left to do.
    mayahost::runIdleQueue();
    // Baked in order: the second take's curves replace the first's, as two bakes in a row do.
    const std::vector<Key> rootX = keys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_EQ(times(rootX), (std::vector<double>{10.0}));
    EXPECT_DOUBLE_EQ(rootX[0].value, 200.0);
    EXPECT_EQ(curveNames().size(), 162U);
    EXPECT_EQ(device().takesWaitingForBake(), 0U);
    // Each take told the panel it was baked, and nothing else is left to do.
    EXPECT_EQ(mayahost::pendingIdleCommands(),
              (std::vector<std::string>{"tulvexTakeBaked 0", "tulvexTakeBaked 0"}));
}

TEST_F(TakeTest, TheStatusSaysHowLongTheTakeIsAndWhatTheBakeMade) {
    const auto status = [this] {
        std::map<std::string, std::string> byName;
        for (const auto& [name, value] : device().deviceStatus()) {
            byName[name] = value;
        }
        return byName;
    };
    record(true);
    MAnimControl::playForward();
    evaluateAt(10.0);
    evaluateAt(13.0);  // two keys filled at 11 and 12
    evaluateAt(12.0);  // a backward jump adds nothing to the length
    evaluateAt(33.0);  // 3 + 21 frames played forward: one second of film
    EXPECT_EQ(status()["recording"], "1");
    EXPECT_EQ(status()["takeSeconds"], "1.00");
    mLastTime = 33.0;
    bake();
    std::map<std::string, std::string> baked = status();
    EXPECT_EQ(baked["recording"], "0");
    EXPECT_EQ(baked["takeSeconds"], "0.00") << "the next take starts from nothing";
    EXPECT_EQ(baked["bakedCurves"], "162");
    EXPECT_EQ(baked["bakedKeysPerCurve"], "24");    // 10 to 33, every frame
    EXPECT_EQ(baked["bakedFilledPerCurve"], "20");  // all but 10, 12, 13 and 33
    EXPECT_EQ(baked["bakedFirstTime"], "10.00");
    EXPECT_EQ(baked["bakedLastTime"], "33.00");
    EXPECT_EQ(keys("tulvexCharacter0_Skeleton_head_rz").size(), 24U);
}

TEST_F(TakeTest, NotLiveWithRecordingOnBakesOncePlaybackStops) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0);
    MAnimControl::stop();
    evaluateAt(2.0);  // recording still on, but the node is not live
    EXPECT_FALSE(device().hasRecordedData());
    mayahost::runIdleQueue();
    EXPECT_EQ(curveNames().size(), 162U);
}

TEST_F(TakeTest, LiveWithRecordingOnWaitsForRecordingToGoOff) {
    // Live, with blocks handed over as the capture thread would hand them.
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(freeUdpPort()), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    testing::internal::CaptureStdout();
    const MStatus opened = device().openStreamSocket();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(opened, MStatus::kSuccess);
    const auto pushBlock = [this] {
        MCharBuffer block;
        ASSERT_EQ(device().acquireDataStorage(block), MStatus::kSuccess);
        device().copySkeletonChannels(reinterpret_cast<SkeletonNodeInfo*>(block.ptr()));
        ASSERT_EQ(device().pushThreadData(block), MStatus::kSuccess);
    };

    record(true);
    MAnimControl::playForward();
    pushBlock();
    evaluate(1.0);
    ASSERT_EQ(device().recordedSampleCount(0), 1U);

    MAnimControl::stop();
    pushBlock();
    evaluate(2.0);
    EXPECT_TRUE(device().hasRecordedData()) << "playback stopped, but recording and live are on";
    EXPECT_TRUE(curveNames().empty());

    record(false);
    // No block waiting: this evaluation hands the take over, then fails for want of data.
    ASSERT_EQ(plug(TulvexDeviceNode::mTime).setDouble(3.0), MStatus::kSuccess);
    mayahost::plugValues(plug(TulvexDeviceNode::mOutputTranslate));
    EXPECT_TRUE(mayahost::isDirty(plug(TulvexDeviceNode::mOutputTranslate)));
    EXPECT_FALSE(device().hasRecordedData());
    mayahost::runIdleQueue();
    EXPECT_EQ(curveNames().size(), 162U);
}

// Evaluations at another time than the current one (getAttr -time, a background cache fill)
// take no block and record nothing; they show the take's sample at that time.
TEST_F(TakeTest, AnEvaluationAtAnotherTimeRecordsNothingAndShowsTheTakesSample) {
    // Driven by the scene time, as users connect it, so another context's time reaches it.
    ASSERT_EQ(mayahost::connectSceneTime(nodeObject(), "time"), MStatus::kSuccess);
    const MPlug root = plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0);
    const auto showAt = [&](double time, float rootX) {
        apply(zmf::encode(makeFrame(++mFrame, 0.0, rootX)));
        mayahost::setSceneTime(time);
        return mayahost::plugValues(root);
    };
    record(true);
    MAnimControl::playForward();
    const std::vector<double> atOne = showAt(1.0, 5.0F);
    const std::vector<double> atTwo = showAt(2.0, 7.0F);
    ASSERT_EQ(device().recordedSampleCount(0), 2U);
    ASSERT_EQ(atOne.size(), 3U);
    ASSERT_NE(atOne, atTwo);

    EXPECT_EQ(mayahost::plugValuesAt(root, 1.0), atOne) << "the take's sample at frame 1";
    EXPECT_EQ(mayahost::plugValuesAt(root, 2.0), atTwo);
    EXPECT_EQ(mayahost::plugValuesAt(root, 50.0), atTwo) << "no sample there: the pose shown";
    EXPECT_EQ(device().recordedSampleCount(0), 2U) << "no sample from another context";
    EXPECT_EQ(mayahost::plugValues(root), atTwo) << "the normal context is left as it was";
    record(false);
    MAnimControl::stop();
}

// Stopping playback ends the take from the main thread, with nothing evaluating the node.
TEST_F(TakeTest, StoppingPlaybackHandsTheTakeOverWithoutAnEvaluation) {
    record(true);
    MAnimControl::playForward();
    evaluateAt(1.0);
    evaluateAt(2.0);
    record(false);
    EXPECT_EQ(device().takesWaitingForBake(), 0U) << "still playing";
    MAnimControl::stop();
    EXPECT_FALSE(device().hasRecordedData());
    EXPECT_EQ(device().takesWaitingForBake(), 1U);
    mayahost::runIdleQueue();
    EXPECT_EQ(curveNames().size(), 162U);
}

// Live switched on while Cached Playback fills in the background stops the fill; no
// evaluation in another context takes a live frame or records, and the next normal one does.
TEST_F(TakeTest, SwitchingLiveOnStopsABackgroundFillAndNoOtherContextTakesALiveFrame) {
    const std::string name = mayahost::nodeName(nodeObject());
    ASSERT_EQ(MGlobal::executeCommand("createNode joint -n tulvexFillJoint"), MStatus::kSuccess);
    ASSERT_EQ(
        MGlobal::executeCommand(MString(
            ("connectAttr " + name + ".outputTranslations[0] tulvexFillJoint.translate").c_str())),
        MStatus::kSuccess);
    mayahost::PlaybackOptions options = mayahost::playbackOptions();
    options.maxTime = 200000.0;  // long enough to be still filling when live goes on
    ASSERT_TRUE(mayahost::setPlaybackOptions(options));
    mayahost::runIdleQueue();
    ASSERT_TRUE(mayahost::cachedPlaybackStatus().filling);

    record(true);
    MAnimControl::playForward();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(freeUdpPort()), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    const mayahost::CachedPlaybackStatus status = mayahost::cachedPlaybackStatus();
    EXPECT_FALSE(status.filling) << "the fill stops as live goes on";
    EXPECT_TRUE(status.safeMode);
    EXPECT_EQ(status.framesCached, 0);

    MCharBuffer block;
    ASSERT_EQ(device().acquireDataStorage(block), MStatus::kSuccess);
    device().copySkeletonChannels(reinterpret_cast<SkeletonNodeInfo*>(block.ptr()));
    ASSERT_EQ(device().pushThreadData(block), MStatus::kSuccess);
    const MPlug root = plug(TulvexDeviceNode::mOutputTranslations).elementByLogicalIndex(0);
    const long popped = mayahost::deviceStats(nodeObject()).popped;
    for (double time : {3.0, 12.0, 40.0}) {
        EXPECT_FALSE(mayahost::plugValuesAt(root, time).empty());
    }
    EXPECT_EQ(mayahost::deviceStats(nodeObject()).popped, popped);
    EXPECT_EQ(device().recordedSampleCount(0), 0U);
    EXPECT_TRUE(mayahost::runIdleQueue() >= 0 && !mayahost::cachedPlaybackStatus().filling)
        << "no fill starts while live";

    testing::internal::CaptureStdout();
    mayahost::plugValues(root);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(mayahost::deviceStats(nodeObject()).popped, popped + 1);
    EXPECT_EQ(device().recordedSampleCount(0), 1U);
    record(false);
    MAnimControl::stop();
    ASSERT_EQ(mayahost::setLive(nodeObject(), false), MStatus::kSuccess);
}

// Live motion cannot be cached: Cached Playback is in safe mode while the node is live, with
// the node's reason shown once, and caches again once live is off.
TEST_F(TakeTest, CachingIsOffWhileLiveWithTheReasonShownAndOnOtherwise) {
    mayahost::runIdleQueue();
    EXPECT_FALSE(mayahost::cachedPlaybackStatus().safeMode);
    mayahost::takeDisplayedWarnings();
    ASSERT_EQ(plug(TulvexDeviceNode::mInputPort).setInt(freeUdpPort()), MStatus::kSuccess);
    ASSERT_EQ(mayahost::setLive(nodeObject(), true), MStatus::kSuccess);
    const mayahost::CachedPlaybackStatus live = mayahost::cachedPlaybackStatus();
    EXPECT_TRUE(live.safeMode);
    EXPECT_EQ(live.reason, TulvexDeviceNode::kCacheDisabledReason);
    EXPECT_EQ(live.mitigation, TulvexDeviceNode::kCacheMitigation);
    const std::vector<std::string> warnings = mayahost::takeDisplayedWarnings();
    ASSERT_EQ(warnings.size(), 1U);
    EXPECT_NE(warnings[0].find(TulvexDeviceNode::kCacheDisabledReason), std::string::npos);
    ASSERT_EQ(mayahost::setLive(nodeObject(), false), MStatus::kSuccess);
    EXPECT_FALSE(mayahost::cachedPlaybackStatus().safeMode);
}

// What the skeleton's curves hold: each curve's keys and the plugs it drives, by name.
struct CurveState {
    std::vector<std::pair<double, double>> keys;
    std::vector<std::string> drives;
    bool operator==(const CurveState& other) const {
        return keys == other.keys && drives == other.drives;
    }
};

class KeptTakeTest : public TakeTest {
protected:
    void SetUp() override {
        TakeTest::SetUp();
        ASSERT_EQ(plug(TulvexDeviceNode::mKeepTakes).setBool(true), MStatus::kSuccess);
    }
    // A take with one sample at each time, the root at x = rootX.
    void bakeTake(std::initializer_list<double> sampleTimes, float rootX) {
        record(true);
        MAnimControl::playForward();
        for (const double time : sampleTimes) {
            evaluateAt(time, rootX);
            mLastTime = time;
        }
        bake();
    }
    std::map<std::string, CurveState> scene() const {
        std::map<std::string, CurveState> state;
        for (const std::string& name : curveNames()) {
            CurveState& curve = state[name];
            for (const Key& key : keys(name)) {
                curve.keys.emplace_back(key.time, key.value);
            }
            MStringArray plugs;
            MGlobal::executeCommand(("listConnections -p 1 -s 0 -d 1 " + name).c_str(), plugs);
            for (unsigned int i = 0; i < plugs.length(); ++i) {
                curve.drives.emplace_back(plugs[i].asChar());
            }
        }
        return state;
    }
    // Each live curve drives a channel of a joint of its own, as playing the take does.
    void driveJoints() {
        static constexpr const char* kChannels[] = {"translateX", "translateY", "translateZ",
                                                    "rotateX",    "rotateY",    "rotateZ"};
        const std::vector<std::string> names = curveNames();
        for (std::size_t c = 0; c < names.size(); ++c) {
            const std::string joint = "drivenJoint" + std::to_string(c / 6);
            if (c % 6 == 0) {
                ASSERT_EQ(MGlobal::executeCommand(("createNode joint -n " + joint).c_str()),
                          MStatus::kSuccess);
            }
            ASSERT_EQ(MGlobal::executeCommand(
                          ("connectAttr " + names[c] + ".output " + joint + "." + kChannels[c % 6])
                              .c_str()),
                      MStatus::kSuccess);
        }
    }
    // The curves of `state` whose names end in `suffix` after the base curve name, by base.
    static std::map<std::string, CurveState> withSuffix(
        const std::map<std::string, CurveState>& state, const std::string& suffix) {
        std::map<std::string, CurveState> found;
        for (const auto& [name, curve] : state) {
            const bool kept = name.find("_take") != std::string::npos;
            if (suffix.empty()
                    ? !kept
                    : name.size() > suffix.size() &&
                          name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                found[name.substr(0, name.size() - suffix.size())] = curve;
            }
        }
        return found;
    }
};

TEST_F(TakeTest, KeepTakesIsOffByDefault) {
    EXPECT_FALSE(plug(TulvexDeviceNode::mKeepTakes).asBool());
}

TEST_F(KeptTakeTest, TheNextBakeKeepsTheTakeDisconnectedUnderANumberedNameAndUndoesAndRedoes) {
    bakeTake({1.0, 2.0}, 1.0F);
    driveJoints();
    const std::map<std::string, CurveState> first = scene();
    ASSERT_EQ(first.size(), 162U);
    ASSERT_EQ(first.begin()->second.drives.size(), 1U);

    bakeTake({20.0}, 2.0F);
    const std::map<std::string, CurveState> second = scene();
    ASSERT_EQ(second.size(), 324U);
    const std::map<std::string, CurveState> kept = withSuffix(second, "_take1");
    const std::map<std::string, CurveState> live = withSuffix(second, "");
    ASSERT_EQ(kept.size(), 162U);
    ASSERT_EQ(live.size(), 162U);
    for (const auto& [name, before] : first) {
        // The first take's keys, driving nothing; the second's, driving what the first did.
        EXPECT_EQ(kept.at(name).keys, before.keys) << name;
        EXPECT_TRUE(kept.at(name).drives.empty()) << name;
        EXPECT_EQ(live.at(name).drives, before.drives) << name;
        EXPECT_EQ(live.at(name).keys.size(), 1U) << name;
    }
    EXPECT_EQ(live.at("tulvexCharacter0_Skeleton_root_tx").keys,
              (std::vector<std::pair<double, double>>{{20.0, 200.0}}));

    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(scene(), first);
    ASSERT_TRUE(mayahost::redo());
    EXPECT_EQ(scene(), second);
}

TEST_F(KeptTakeTest, EachBakeKeepsThePreviousTakeUnderTheNextFreeNumber) {
    bakeTake({1.0}, 1.0F);
    bakeTake({2.0}, 2.0F);
    bakeTake({3.0}, 3.0F);
    const std::map<std::string, CurveState> state = scene();
    EXPECT_EQ(state.size(), 3U * 162U);
    const auto rootX = [&state](const std::string& suffix) {
        return state.at("tulvexCharacter0_Skeleton_root_tx" + suffix).keys;
    };
    using Keys = std::vector<std::pair<double, double>>;
    EXPECT_EQ(rootX("_take1"), (Keys{{1.0, 100.0}}));
    EXPECT_EQ(rootX("_take2"), (Keys{{2.0, 200.0}}));
    EXPECT_EQ(rootX(""), (Keys{{3.0, 300.0}}));

    // A take undone gives its number back; one the user took is passed over.
    ASSERT_TRUE(mayahost::undo());
    ASSERT_EQ(
        MGlobal::executeCommand("createNode joint -n tulvexCharacter0_Skeleton_l_hand_rz_take2"),
        MStatus::kSuccess);
    bakeTake({4.0}, 4.0F);
    EXPECT_EQ(times(keys("tulvexCharacter0_Skeleton_root_tx_take3")), (std::vector<double>{2.0}));
    int taken = 1;
    ASSERT_EQ(MGlobal::executeCommand("objExists tulvexCharacter0_Skeleton_root_tx_take2", taken),
              MStatus::kSuccess);
    EXPECT_EQ(taken, 0);
}

}  // namespace
}  // namespace nodetest
