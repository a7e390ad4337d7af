// Animation curves: nodes made by MFnAnimCurve, their names and lifetime, keys in time
// order, replacement, large appends, units, evaluation, driving a plug, undo of key changes.
#define MNoVersionString
#include <maya/MAnimControl.h>
#include <maya/MAnimCurveChange.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

class TargetNode : public MPxNode {
public:
    static void* creator() { return new TargetNode; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        height = fn.create("height", "h", MFnNumericData::kDouble, 0.0);
        return addAttribute(height);
    }
    static MTypeId id;
    static MObject height;
};

MTypeId TargetNode::id(0x7f011);
MObject TargetNode::height;

class AnimCurveTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostTargetNode", TargetNode::id, TargetNode::creator,
                                    TargetNode::initialize));
    }

    static MObject newCurve(MFnAnimCurve& fn,
                            MFnAnimCurve::AnimCurveType type = MFnAnimCurve::kAnimCurveTL) {
        MStatus status;
        MObject curve = fn.create(type, nullptr, &status);
        EXPECT_TRUE(status);
        return curve;
    }

    static std::vector<double> keyTimes(const MFnAnimCurve& fn) {
        std::vector<double> times;
        for (unsigned int i = 0; i < fn.numKeys(); ++i) {
            times.push_back(fn.time(i).as(MTime::uiUnit()));
        }
        return times;
    }
};

// ---- Nodes

TEST_F(AnimCurveTest, CreateMakesUniquelyNamedUnconnectedCurveNodes) {
    MFnAnimCurve first;
    MObject a = newCurve(first);
    ASSERT_FALSE(a.isNull());
    EXPECT_TRUE(first.object() == a);
    EXPECT_TRUE(a.hasFn(MFn::kAnimCurve));
    EXPECT_EQ(a.apiType(), MFn::kAnimCurveTimeToDistance);
    EXPECT_EQ(mayahost::nodeName(a), "animCurveTL1");
    EXPECT_EQ(std::string(first.typeName().asChar()), "animCurveTL");
    EXPECT_EQ(first.animCurveType(), MFnAnimCurve::kAnimCurveTL);
    EXPECT_EQ(first.numKeys(), 0u);

    MFnAnimCurve second;
    MObject b = newCurve(second);
    MFnAnimCurve angular;
    MObject c = newCurve(angular, MFnAnimCurve::kAnimCurveTA);
    MFnAnimCurve unitless;
    MObject d = newCurve(unitless, MFnAnimCurve::kAnimCurveUU);
    EXPECT_EQ(mayahost::nodeName(b), "animCurveTL2");
    EXPECT_EQ(mayahost::nodeName(c), "animCurveTA1");
    EXPECT_EQ(c.apiType(), MFn::kAnimCurveTimeToAngular);
    EXPECT_EQ(mayahost::nodeName(d), "animCurveUU1");
    EXPECT_EQ(unitless.animCurveType(), MFnAnimCurve::kAnimCurveUU);
    EXPECT_EQ(
        mayahost::animCurveNames(),
        (std::vector<std::string>{"animCurveTL1", "animCurveTL2", "animCurveTA1", "animCurveUU1"}));
}

TEST_F(AnimCurveTest, CurvesAreOrdinarySceneNodes) {
    MFnAnimCurve fn;
    MObject curve = newCurve(fn);
    MSelectionList list;
    ASSERT_TRUE(list.add("animCurveTL1"));
    MObject found;
    ASSERT_TRUE(list.getDependNode(0, found));
    EXPECT_TRUE(found == curve);

    MStatus status;
    EXPECT_EQ(std::string(fn.setName("hips_translateX", false, &status).asChar()),
              "hips_translateX");
    EXPECT_TRUE(status);
    EXPECT_FALSE(MSelectionList().add("animCurveTL1"));
    MSelectionList renamed;
    EXPECT_TRUE(renamed.add("hips_translateX"));
    ASSERT_TRUE(fn.addKeyframe(MTime(1, MTime::kFilm), 2.0));
    EXPECT_EQ(mayahost::animCurveKeys("hips_translateX").size(), 1u);

    MDGModifier modifier;
    ASSERT_TRUE(modifier.deleteNode(curve));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_TRUE(mayahost::animCurveNames().empty());
    EXPECT_TRUE(mayahost::animCurveKeys("hips_translateX").empty());
    EXPECT_TRUE(mayahost::findNode("hips_translateX").isNull());
    fn.numKeys(&status);
    EXPECT_FALSE(status);  // the function set's node is gone
    EXPECT_FALSE(fn.addKeyframe(MTime(2, MTime::kFilm), 1.0));

    // Its name is free again.
    MFnAnimCurve next;
    EXPECT_EQ(mayahost::nodeName(newCurve(next)), "animCurveTL1");
}

TEST_F(AnimCurveTest, TheFunctionSetAcceptsOnlyCurves) {
    MStatus status;
    MFnAnimCurve onTime(mayahost::findNode("time1"), &status);
    EXPECT_FALSE(status);
    onTime.numKeys(&status);
    EXPECT_FALSE(status);

    MFnAnimCurve fn;
    EXPECT_TRUE(fn.create(MFnAnimCurve::kAnimCurveUnknown, nullptr, &status).isNull());
    EXPECT_FALSE(status);
    EXPECT_TRUE(mayahost::animCurveNames().empty());

    // Made by type name too, as any node can be, with keys of its own.
    MObject byName = mayahost::createNode("animCurveTU");
    MFnAnimCurve attached(byName, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(attached.animCurveType(), MFnAnimCurve::kAnimCurveTU);
    EXPECT_TRUE(attached.addKeyframe(MTime(3, MTime::kFilm), 1.0));
}

TEST_F(AnimCurveTest, ResetAndFileNewRemoveCurves) {
    MFnAnimCurve fn;
    newCurve(fn);
    mayahost::fileNew();
    EXPECT_TRUE(mayahost::animCurveNames().empty());
    newCurve(fn);
    mayahost::resetHost();
    EXPECT_TRUE(mayahost::animCurveNames().empty());
}

// ---- Keys

TEST_F(AnimCurveTest, KeysStayInTimeOrderAndSameTimeReplaces) {
    MFnAnimCurve fn;
    newCurve(fn);
    ASSERT_TRUE(fn.addKeyframe(MTime(10, MTime::kFilm), 3.0));
    ASSERT_TRUE(fn.addKeyframe(MTime(5, MTime::kFilm), 1.0));
    EXPECT_EQ(fn.addKey(MTime(7, MTime::kFilm), 2.0), 1u);
    EXPECT_EQ(keyTimes(fn), (std::vector<double>{5, 7, 10}));
    EXPECT_EQ(fn.value(0), 1.0);
    EXPECT_EQ(fn.value(1), 2.0);
    EXPECT_EQ(fn.value(2), 3.0);

    // The same instant in another unit is the same key.
    EXPECT_EQ(fn.addKey(MTime(7.0 / 24.0, MTime::kSeconds), 20.0), 1u);
    EXPECT_EQ(fn.numKeys(), 3u);
    EXPECT_EQ(fn.value(1), 20.0);

    unsigned int index = 99;
    EXPECT_TRUE(fn.find(MTime(10, MTime::kFilm), index));
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(fn.find(MTime(8, MTime::kFilm), index));
    EXPECT_EQ(index, 2u);

    MStatus status;
    fn.value(3, &status);
    EXPECT_FALSE(status);
    fn.time(3, &status);
    EXPECT_FALSE(status);
    fn.value(2, &status);
    EXPECT_TRUE(status);

    const std::vector<mayahost::CurveKey> keys = mayahost::animCurveKeys("animCurveTL1");
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[1].time, 7.0);
    EXPECT_EQ(keys[1].value, 20.0);
}

TEST_F(AnimCurveTest, KeysRejectTimesWithoutAFixedUnit) {
    MFnAnimCurve fn;
    newCurve(fn);
    EXPECT_FALSE(fn.addKeyframe(MTime(1, MTime::kUserDef), 1.0));
    EXPECT_FALSE(fn.addKeyframe(MTime(std::nan(""), MTime::kFilm), 1.0));
    EXPECT_FALSE(fn.addKeyframe(MTime(INFINITY, MTime::kFilm), 1.0));
    EXPECT_EQ(fn.numKeys(), 0u);
    MStatus status;
    fn.evaluate(MTime(1, MTime::kInvalid), &status);
    EXPECT_FALSE(status);
}

TEST_F(AnimCurveTest, TimesReadBackAsKeyedInTheUiUnit) {
    ASSERT_TRUE(MTime::setUIUnit(MTime::k29_97FPS));
    MFnAnimCurve fn;
    newCurve(fn);
    const double uiTimes[] = {7.3, 1234.567, 0.1, 1e6 + 1.0 / 3.0};
    for (double t : uiTimes) {
        ASSERT_TRUE(fn.addKeyframe(MTime(t, MTime::uiUnit()), t));
    }
    for (unsigned int i = 0; i < fn.numKeys(); ++i) {
        EXPECT_EQ(fn.time(i).as(MTime::uiUnit()), fn.value(i));
    }
    // A key in another unit lands at the same instant.
    ASSERT_TRUE(fn.addKeyframe(MTime(2, MTime::kSeconds), -1.0));
    unsigned int index = 0;
    ASSERT_TRUE(fn.find(MTime(2, MTime::kSeconds), index));
    EXPECT_TRUE(fn.time(index) == MTime(2, MTime::kSeconds));
    EXPECT_DOUBLE_EQ(mayahost::animCurveKeys("animCurveTL1")[index].time, 2 * 30000.0 / 1001);
}

TEST_F(AnimCurveTest, LargeOrderedAppendStaysCorrect) {
    MFnAnimCurve fn;
    newCurve(fn);
    constexpr unsigned int kCount = 100000;
    for (unsigned int i = 0; i < kCount; ++i) {
        ASSERT_EQ(fn.addKey(MTime(i * 0.5, MTime::kFilm), i), i);
    }
    EXPECT_EQ(fn.numKeys(), kCount);
    EXPECT_EQ(fn.time(kCount - 1).as(MTime::kFilm), (kCount - 1) * 0.5);
    EXPECT_EQ(fn.value(54321), 54321.0);
    unsigned int index = 0;
    ASSERT_TRUE(fn.find(MTime(20000, MTime::kFilm), index));
    EXPECT_EQ(index, 40000u);
    EXPECT_DOUBLE_EQ(fn.evaluate(MTime(20000.25, MTime::kFilm)), 40000.5);

    // One late key in the middle keeps the order.
    EXPECT_EQ(fn.addKey(MTime(0.25, MTime::kFilm), -7.0), 1u);
    EXPECT_EQ(fn.numKeys(), kCount + 1);
    const std::vector<mayahost::CurveKey> keys = mayahost::animCurveKeys("animCurveTL1");
    ASSERT_EQ(keys.size(), kCount + 1);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end(),
                               [](const auto& a, const auto& b) { return a.time <= b.time; }));
    EXPECT_EQ(keys[1].value, -7.0);
    EXPECT_EQ(keys[2].value, 1.0);
}

TEST_F(AnimCurveTest, OutOfOrderKeysInsertInOrder) {
    MFnAnimCurve fn;
    newCurve(fn);
    std::vector<int> frames(2000);
    std::iota(frames.begin(), frames.end(), -1000);
    std::shuffle(frames.begin(), frames.end(), std::mt19937(7));
    for (int frame : frames) {
        ASSERT_TRUE(fn.addKeyframe(MTime(frame, MTime::kFilm), frame * 10.0));
    }
    // Half of them again, replacing.
    for (std::size_t k = 0; k < frames.size(); k += 2) {
        ASSERT_TRUE(fn.addKeyframe(MTime(frames[k], MTime::kFilm), frames[k] * 100.0));
    }
    ASSERT_EQ(fn.numKeys(), 2000u);
    std::vector<bool> replaced(2000, false);
    for (std::size_t k = 0; k < frames.size(); k += 2) {
        const int slot = frames[k] + 1000;
        replaced[static_cast<std::size_t>(slot)] = true;
    }
    for (unsigned int i = 0; i < 2000; ++i) {
        const double frame = static_cast<double>(i) - 1000;
        ASSERT_EQ(fn.time(i).as(MTime::kFilm), frame);
        ASSERT_EQ(fn.value(i), frame * (replaced[i] ? 100.0 : 10.0));
    }
}

TEST_F(AnimCurveTest, EvaluatesLinearlyAndHoldsBeyondTheEnds) {
    MFnAnimCurve fn;
    newCurve(fn);
    EXPECT_EQ(fn.evaluate(MTime(3, MTime::kFilm)), 0.0);
    ASSERT_TRUE(fn.addKeyframe(MTime(10, MTime::kFilm), 100.0));
    EXPECT_EQ(fn.evaluate(MTime(-5, MTime::kFilm)), 100.0);
    ASSERT_TRUE(fn.addKeyframe(MTime(20, MTime::kFilm), 50.0));
    EXPECT_EQ(fn.evaluate(MTime(0, MTime::kFilm)), 100.0);
    EXPECT_EQ(fn.evaluate(MTime(10, MTime::kFilm)), 100.0);
    EXPECT_DOUBLE_EQ(fn.evaluate(MTime(16, MTime::kFilm)), 70.0);
    EXPECT_DOUBLE_EQ(fn.evaluate(MTime(0.75, MTime::kSeconds)), 60.0);  // frame 18
    EXPECT_EQ(fn.evaluate(MTime(20, MTime::kFilm)), 50.0);
    EXPECT_EQ(fn.evaluate(MTime(1, MTime::kHours)), 50.0);
}

// ---- Driving plugs

TEST_F(AnimCurveTest, ACurveCreatedOnAPlugDrivesItAtTheCurrentTime) {
    MObject target = mayahost::createNode("hostTargetNode");
    const MPlug height(target, TargetNode::height);
    MFnAnimCurve fn;
    MStatus status;
    MObject curve = fn.create(height, MFnAnimCurve::kAnimCurveTL, nullptr, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(fn.addKeyframe(MTime(0, MTime::kFilm), 0.0));
    ASSERT_TRUE(fn.addKeyframe(MTime(10, MTime::kFilm), 100.0));
    EXPECT_EQ(height.asDouble(), 0.0);

    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(5, MTime::kFilm)));
    EXPECT_TRUE(mayahost::isDirty(height));
    EXPECT_DOUBLE_EQ(height.asDouble(), 50.0);

    // A new key reaches the plug without moving the time.
    ASSERT_TRUE(fn.addKeyframe(MTime(5, MTime::kFilm), -1.0));
    EXPECT_TRUE(mayahost::isDirty(height));
    EXPECT_EQ(height.asDouble(), -1.0);

    MFnAnimCurve found(height, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(found.object() == curve);
    EXPECT_EQ(found.numKeys(), 3u);
}

TEST_F(AnimCurveTest, PlugCurvesWithAModifierConnectOnDoIt) {
    MObject target = mayahost::createNode("hostTargetNode");
    const MPlug height(target, TargetNode::height);
    MDGModifier modifier;
    MFnAnimCurve fn;
    MStatus status;
    fn.create(height, MFnAnimCurve::kAnimCurveTL, &modifier, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(mayahost::animCurveNames().size(), 1u);
    ASSERT_TRUE(fn.addKeyframe(MTime(0, MTime::kFilm), 4.0));
    MFnAnimCurve before(height, &status);
    EXPECT_FALSE(status);
    ASSERT_TRUE(modifier.doIt());
    EXPECT_EQ(height.asDouble(), 4.0);
    ASSERT_TRUE(modifier.undoIt());
    EXPECT_TRUE(mayahost::animCurveNames().empty());

    // A plug that cannot take a connection makes no curve.
    MFnAnimCurve refused;
    refused.create(MPlug(mayahost::findNode("time1"),
                         MFnDependencyNode(mayahost::findNode("time1")).findPlug("outTime", false)),
                   MFnAnimCurve::kAnimCurveTT, nullptr, &status);
    EXPECT_FALSE(status);
    EXPECT_TRUE(mayahost::animCurveNames().empty());
}

// ---- Undo of key changes

TEST_F(AnimCurveTest, CurveChangeUndoesAndRedoesItsKeys) {
    MFnAnimCurve fn;
    newCurve(fn);
    ASSERT_TRUE(fn.addKeyframe(MTime(1, MTime::kFilm), 1.0));
    MAnimCurveChange change;
    ASSERT_TRUE(fn.addKeyframe(MTime(1, MTime::kFilm), 10.0, &change));
    ASSERT_TRUE(fn.addKeyframe(MTime(2, MTime::kFilm), 20.0, &change));
    ASSERT_TRUE(fn.addKeyframe(MTime(2, MTime::kFilm), 30.0, &change));
    ASSERT_TRUE(fn.addKeyframe(MTime(3, MTime::kFilm), 5.0));  // not part of the change

    ASSERT_TRUE(change.undoIt());
    EXPECT_EQ(keyTimes(fn), (std::vector<double>{1, 3}));
    EXPECT_EQ(fn.value(0), 1.0);
    ASSERT_TRUE(change.redoIt());
    EXPECT_EQ(keyTimes(fn), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(fn.value(0), 10.0);
    EXPECT_EQ(fn.value(1), 30.0);
}

}  // namespace
