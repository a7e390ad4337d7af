// Attributes that carry units, angle curves, and the curve keys a Maya ASCII scene sets:
// internal units through the API, UI units in MEL, and no conversion where the units agree.
#define MNoVersionString
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>
#include <maya/MTime.h>

#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

// Outputs as a device's: a double3 of distances and one of angles, set by the test.
class PoseNode : public MPxNode {
public:
    static void* creator() { return new PoseNode; }
    static MStatus initialize() {
        MFnUnitAttribute unit;
        MFnNumericAttribute numeric;
        const MObject tx = unit.create("offsetX", "ofx", MFnUnitAttribute::kDistance);
        const MObject ty = unit.create("offsetY", "ofy", MFnUnitAttribute::kDistance);
        const MObject tz = unit.create("offsetZ", "ofz", MFnUnitAttribute::kDistance);
        offset = numeric.create("offset", "of", tx, ty, tz);
        const MObject rx = unit.create("turnX", "tnx", MFnUnitAttribute::kAngle);
        const MObject ry = unit.create("turnY", "tny", MFnUnitAttribute::kAngle);
        const MObject rz = unit.create("turnZ", "tnz", MFnUnitAttribute::kAngle);
        turn = numeric.create("turn", "tn", rx, ry, rz);
        addAttribute(offset);
        return addAttribute(turn);
    }
    static MObject offset, turn;
};
MObject PoseNode::offset, PoseNode::turn;

class UnitAttributeTest : public MelHostTest {
protected:
    void SetUp() override {
        MelHostTest::SetUp();
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostPose", 0x7f050, PoseNode::creator, PoseNode::initialize));
    }
    static std::vector<std::string> conversions() { return list("ls -type unitConversion"); }
};

TEST_F(UnitAttributeTest, UnitTypeAndRefusals) {
    MFnUnitAttribute unit;
    MStatus status;
    const MObject angle = unit.create("spin", "sp", MFnUnitAttribute::kAngle, 0.5, &status);
    ASSERT_EQ(status, MStatus::kSuccess);
    EXPECT_EQ(unit.unitType(), MFnUnitAttribute::kAngle);
    EXPECT_TRUE(angle.hasFn(MFn::kUnitAttribute));
    EXPECT_TRUE(angle.hasFn(MFn::kAttribute));
    // A unit attribute is not numeric data: Maya's numeric function set refuses it.
    MFnNumericAttribute numeric(angle, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    for (const MFnUnitAttribute::Type bad : {MFnUnitAttribute::kInvalid, MFnUnitAttribute::kLast}) {
        EXPECT_TRUE(unit.create("bad", "bd", bad, 0.0, &status).isNull());
        EXPECT_EQ(status, MStatus::kInvalidParameter);
    }
    // A distance beside an angle makes no double3.
    const MObject length = unit.create("reach", "rc", MFnUnitAttribute::kDistance);
    const MObject other = unit.create("tilt", "tl", MFnUnitAttribute::kAngle);
    EXPECT_TRUE(numeric.create("mixed", "mx", length, other, angle, &status).isNull());
    EXPECT_EQ(status, MStatus::kInvalidParameter);
}

TEST_F(UnitAttributeTest, MatchingUnitsConnectStraightAndShowUiUnitsInEveryScene) {
    mel("createNode -n pose hostPose; createNode -n j joint; createNode -n k joint");
    mel("currentUnit -l m -a rad");
    // Internal units through the API: 150 cm and a quarter turn.
    const MObject pose = mayahost::findNode("pose");
    MFnDependencyNode fn(pose);
    fn.findPlug("offsetY", false).setValue(150.0);
    fn.findPlug("turnZ", false).setValue(90 * kRadiansPerDegree);
    mel("connectAttr pose.offset j.translate; connectAttr pose.turn j.rotate");
    EXPECT_TRUE(conversions().empty());
    EXPECT_DOUBLE_EQ(number("getAttr j.ty"), 1.5) << "150 cm in a metre scene";
    EXPECT_DOUBLE_EQ(number("getAttr j.rz"), 90 * kRadiansPerDegree);
    mel("currentUnit -l cm -a deg");
    EXPECT_DOUBLE_EQ(number("getAttr j.ty"), 150.0);
    EXPECT_NEAR(number("getAttr j.rz"), 90.0, 1e-12);
    // setAttr takes UI units: 2 m is 200 cm inside.
    mel("currentUnit -l m; disconnectAttr pose.offset j.translate; setAttr pose.offsetX 2");
    EXPECT_EQ(mayahost::plugValues(fn.findPlug("offsetX", false)), std::vector<double>{200.0});
}

TEST_F(UnitAttributeTest, AngleCurvesKeyRadiansShowUiAnglesAndDriveRotationsDirectly) {
    mel("createNode -n j joint");
    MFnAnimCurve curve;
    MStatus status;
    curve.create(MFnAnimCurve::kAnimCurveTA, nullptr, &status);
    ASSERT_EQ(status, MStatus::kSuccess);
    curve.setName("spin");
    curve.addKeyframe(MTime(1.0, MTime::uiUnit()), 30 * kRadiansPerDegree);
    curve.addKeyframe(MTime(5.0, MTime::uiUnit()), -90 * kRadiansPerDegree);
    EXPECT_EQ(curve.animCurveType(), MFnAnimCurve::kAnimCurveTA);
    EXPECT_EQ(number("size(`keyframe -q -vc spin`)"), 2.0);
    EXPECT_NEAR(number("float $v[] = `keyframe -q -vc spin`; $v[1]"), -90.0, 1e-12);
    EXPECT_EQ(number("float $t[] = `keyframe -q -tc spin`; $t[1]"), 5.0);
    EXPECT_EQ(number("keyframe -q -kc spin"), 2.0);
    mel("currentUnit -a rad");
    EXPECT_DOUBLE_EQ(number("float $v[] = `keyframe -q -vc spin`; $v[0]"), 30 * kRadiansPerDegree);

    mel("connectAttr spin.output j.rz; currentTime 5");
    EXPECT_TRUE(conversions().empty()) << "an angle curve needs no conversion to a rotation";
    EXPECT_DOUBLE_EQ(number("getAttr j.rz"), -90 * kRadiansPerDegree);
    // The curve is found through the attribute it drives, as Maya's keyframe does.
    EXPECT_EQ(number("keyframe -q -kc j.rz"), 2.0);
    EXPECT_EQ(failure("keyframe -q -vc j.rx"), "keyframe: no animation curve drives 'j.rx'.");
    EXPECT_EQ(failure("keyframe -q -vc j"),
              "keyframe: 'j' is not an animation curve; name an attribute.");
    EXPECT_EQ(failure("keyframe spin"), "keyframe: this host models -query only.");
}

// What a Maya ASCII file holds for a curve: keys in its UI units after the createNode.
TEST_F(UnitAttributeTest, SceneFileKeysAreReadInTheFilesUnitsAndOnlyLinearTangentsAreTaken) {
    mel("requires maya \"2022\"; fileInfo \"application\" \"maya\";"
        "currentUnit -l centimeter -a degree -t film;"
        "createNode animCurveTA -n \"turn\"; setAttr \".tan\" 2; setAttr \".wgt\" no;"
        "setAttr -s 2 \".ktv[0:1]\"  1 45 3 -180;"
        "createNode animCurveTL -n \"lift\";"
        "setAttr -s 2 \".ktv[0:1]\"  1 150 3 0; setAttr -s 2 \".kit[0:1]\"  2 2;");
    MSelectionList selection;
    ASSERT_EQ(selection.add("turn"), MStatus::kSuccess);
    MObject turn;
    selection.getDependNode(0, turn);
    const MFnAnimCurve curve(turn);
    ASSERT_EQ(curve.numKeys(), 2U);
    EXPECT_DOUBLE_EQ(curve.value(0), 45 * kRadiansPerDegree) << "kept in radians";
    EXPECT_EQ(curve.time(1).as(MTime::kFilm), 3.0);
    mel("currentUnit -l m");
    EXPECT_DOUBLE_EQ(number("float $v[] = `keyframe -q -vc lift`; $v[0]"), 1.5);

    EXPECT_EQ(failure("setAttr \"turn.tan\" 18"),
              "setAttr: this host's curves are linear; tangent type 18 is not modelled.");
    EXPECT_EQ(failure("setAttr -s 2 \"turn.ktv[0:1]\" 1 2 3"),
              "setAttr: 'ktv[0:1]' takes 4 value(s); 3 were given.");
    EXPECT_EQ(failure("setAttr \"turn.wgt\" yes"),
              "setAttr: this host models unweighted tangents only.");
    EXPECT_EQ(failure("requires maya \"2024\""),
              "requires: the file needs Maya 2024; this is Maya 2022.");
    EXPECT_EQ(failure("requires \"notLoadedPlugin\" \"1.0\""),
              "requires: the plug-in 'notLoadedPlugin' is not loaded.");
}

}  // namespace
