// Deleted nodes on the undo queue, and the conversion nodes that connections between
// plugs of different units get, with factors fixed when the connection is made.
#define MNoVersionString
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MPxCommand.h>
#include <maya/MPxNode.h>
#include <maya/MTime.h>

#include <cmath>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// A source of plain numbers: one double and one three-float value, set by the test.
class SourceNode : public MPxNode {
public:
    static void* creator() { return new SourceNode; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        number = fn.create("number", "num", MFnNumericData::kDouble, 0.0);
        triple = fn.create("triple", "tri", MFnNumericData::k3Float, 0.0);
        addAttribute(number);
        return addAttribute(triple);
    }
    ~SourceNode() override { ++destroyed; }
    static MObject number, triple;
    static int destroyed;  // test thread only
};
MObject SourceNode::number, SourceNode::triple;
int SourceNode::destroyed = 0;

class UndoAndUnitsTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        SourceNode::destroyed = 0;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(
            fn.registerNode("hostSource", 0x7f040, SourceNode::creator, SourceNode::initialize));
    }

    static MPlug plugOf(const MObject& node, const char* name) {
        return MFnDependencyNode(node).findPlug(name, false);
    }
    static MStatus connect(const MPlug& from, const MPlug& to) {
        MDGModifier modifier;
        modifier.connect(from, to);
        return modifier.doIt();
    }
    static std::vector<std::string> nodesOfType(const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& name : mayahost::nodeNames()) {
            if (name.rfind(prefix, 0) == 0) {
                found.push_back(name);
            }
        }
        return found;
    }
    static double factorOf(const std::string& conversion) {
        return plugOf(mayahost::findNode(conversion), "conversionFactor").asDouble();
    }
};

TEST_F(UndoAndUnitsTest, ADeletedNodeWaitsOnTheUndoQueueWithItsConnections) {
    MObject source = mayahost::createNode("hostSource", "src");
    MObject joint = mayahost::createNode("joint");
    ASSERT_TRUE(connect(plugOf(source, "number"), plugOf(joint, "translateX")));
    ASSERT_TRUE(plugOf(source, "number").setDouble(4.0));
    int removals = 0;
    MCallbackId callback = MNodeMessage::addNodePreRemovalCallback(
        source, [](MObject&, void* count) { ++*static_cast<int*>(count); }, &removals);

    ASSERT_TRUE(mayahost::deleteNode(source));
    EXPECT_EQ(removals, 1);
    EXPECT_TRUE(mayahost::findNode("src").isNull());
    EXPECT_EQ(SourceNode::destroyed, 0);
    // The name is free while the node waits; undo then gives it a unique one.
    MObject taker = mayahost::createNode("hostSource", "src");
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(mayahost::nodeName(source), "src1");
    EXPECT_EQ(mayahost::nodeName(taker), "src");
    ASSERT_TRUE(plugOf(source, "number").setDouble(6.0));
    EXPECT_EQ(mayahost::plugValues(plugOf(joint, "translateX")), (std::vector<double>{6.0}))
        << "the connection came back";
    EXPECT_FALSE(mayahost::undo()) << "nothing left to undo";

    ASSERT_TRUE(mayahost::deleteNode(source));
    ASSERT_TRUE(mayahost::deleteNode(taker));
    EXPECT_EQ(SourceNode::destroyed, 0);
    mayahost::flushUndo();
    EXPECT_EQ(SourceNode::destroyed, 2);
    MMessage::removeCallback(callback);
}

// A plug-in command that makes one node through a modifier, undoable or not as asked.
class MakeCmd : public MPxCommand {
public:
    static void* undoable() { return new MakeCmd(true); }
    static void* notUndoable() { return new MakeCmd(false); }
    explicit MakeCmd(bool undoable) : mUndoable(undoable) {}
    MStatus doIt(const MArgList&) override {
        mModifier.createNode("hostSource");
        return mModifier.doIt();
    }
    MStatus undoIt() override { return mModifier.undoIt(); }
    MStatus redoIt() override { return mModifier.doIt(); }
    bool isUndoable() const override { return mUndoable; }

private:
    bool mUndoable;
    MDGModifier mModifier;
};

TEST_F(UndoAndUnitsTest, TheUndoQueueHoldsDeletionsAndUndoableCommandsInOrderAndNothingElse) {
    MFnPlugin fn(plugin);
    ASSERT_TRUE(fn.registerCommand("hostMakeUndoable", MakeCmd::undoable));
    ASSERT_TRUE(fn.registerCommand("hostMakeForever", MakeCmd::notUndoable));
    MObject doomed = mayahost::createNode("hostSource", "doomed");
    ASSERT_TRUE(mayahost::deleteNode(doomed));
    ASSERT_TRUE(MGlobal::executeCommand("hostMakeUndoable"));
    ASSERT_TRUE(MGlobal::executeCommand("hostMakeForever"));
    EXPECT_EQ(nodesOfType("hostSource"), (std::vector<std::string>{"hostSource1", "hostSource2"}));

    // The command that is not undoable is not on the queue: undo passes over its node.
    EXPECT_EQ(mayahost::undoName(), "hostMakeUndoable");
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(nodesOfType("hostSource"), (std::vector<std::string>{"hostSource2"}));
    EXPECT_EQ(mayahost::undoName(), "delete");
    ASSERT_TRUE(MGlobal::executeCommand("undo"));
    EXPECT_FALSE(mayahost::findNode("doomed").isNull());
    ASSERT_TRUE(MGlobal::executeCommand("redo"));
    EXPECT_TRUE(mayahost::findNode("doomed").isNull());
    ASSERT_TRUE(mayahost::redo());
    EXPECT_EQ(nodesOfType("hostSource").size(), 2U) << "the very node back";
    EXPECT_FALSE(mayahost::redo()) << "nothing left to redo";

    // A chunk is one step; a new step ends what could be redone.
    ASSERT_TRUE(MGlobal::executeCommand("undoInfo -openChunk -chunkName \"two\""));
    ASSERT_TRUE(MGlobal::executeCommand("hostMakeUndoable"));
    ASSERT_TRUE(MGlobal::executeCommand("hostMakeUndoable"));
    ASSERT_TRUE(MGlobal::executeCommand("undoInfo -closeChunk"));
    EXPECT_EQ(nodesOfType("hostSource").size(), 4U);
    EXPECT_EQ(MGlobal::executeCommandStringResult("undoInfo -q -undoName"), "two");
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(nodesOfType("hostSource").size(), 2U);

    // Steps of a command that is deregistered leave the queue with it.
    ASSERT_TRUE(fn.deregisterCommand("hostMakeUndoable"));
    EXPECT_EQ(mayahost::undoName(), "delete");
    ASSERT_TRUE(fn.deregisterCommand("hostMakeForever"));
}

TEST_F(UndoAndUnitsTest, FileNewDestroysWhatTheUndoQueueKeeps) {
    ASSERT_TRUE(mayahost::deleteNode(mayahost::createNode("hostSource")));
    EXPECT_EQ(SourceNode::destroyed, 0);
    mayahost::fileNew();
    EXPECT_EQ(SourceNode::destroyed, 1);
    EXPECT_FALSE(mayahost::undo());
}

TEST_F(UndoAndUnitsTest, TimeIntoAPlainDoubleGoesThroughAConversionFixedAtConnectionTime) {
    MObject time = mayahost::findNode("time1");
    MObject source = mayahost::createNode("hostSource");
    ASSERT_TRUE(connect(plugOf(time, "outTime"), plugOf(source, "number")));
    ASSERT_EQ(nodesOfType("timeToUnitConversion"),
              (std::vector<std::string>{"timeToUnitConversion1"}));
    EXPECT_DOUBLE_EQ(factorOf("timeToUnitConversion1"), 0.004);  // film: 24 in 6000
    mayahost::setSceneTime(10.0);
    EXPECT_DOUBLE_EQ(plugOf(source, "number").asDouble(), 10.0);

    // ntsc from now on: the same instant is frame 12.5, but the conversion still says film.
    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    EXPECT_DOUBLE_EQ(mayahost::sceneTime(), 12.5);
    EXPECT_DOUBLE_EQ(plugOf(source, "number").asDouble(), 10.0);

    // A new connection takes the unit of its own time.
    MObject fresh = mayahost::createNode("hostSource");
    ASSERT_TRUE(connect(plugOf(time, "outTime"), plugOf(fresh, "number")));
    EXPECT_DOUBLE_EQ(factorOf("timeToUnitConversion2"), 0.005);
    EXPECT_DOUBLE_EQ(plugOf(fresh, "number").asDouble(), 12.5);
}

TEST_F(UndoAndUnitsTest, UnitlessValuesAndDistanceCurvesIntoAnglesAreReadInTheUiAngleUnit) {
    MObject source = mayahost::createNode("hostSource");
    MObject joint = mayahost::createNode("joint");
    ASSERT_TRUE(connect(plugOf(source, "triple"), plugOf(joint, "rotate")));
    EXPECT_NEAR(factorOf("unitConversion1"), kDegree, 1e-15);
    ASSERT_TRUE(plugOf(source, "tri1").setDouble(90.0));
    const std::vector<double> rotate = mayahost::plugValues(plugOf(joint, "rotate"));
    ASSERT_EQ(rotate.size(), 3U);
    EXPECT_NEAR(rotate[1], 90.0 * kDegree, 1e-12) << "radians inside";

    // A time-to-distance curve on a rotation: the same conversion of the degrees it holds.
    MFnAnimCurve curve;
    MStatus status;
    curve.create(MFnAnimCurve::kAnimCurveTL, nullptr, &status);
    ASSERT_TRUE(status);
    curve.addKeyframe(MTime(0.0, MTime::kFilm), 45.0);
    MObject keyed = mayahost::createNode("joint");
    ASSERT_TRUE(connect(MFnDependencyNode(curve.object()).findPlug("output", false),
                        plugOf(keyed, "rotateZ")));
    EXPECT_NEAR(factorOf("unitConversion2"), kDegree, 1e-15);
    EXPECT_NEAR(plugOf(keyed, "rotateZ").asDouble(), 45.0 * kDegree, 1e-12);

    // In a radian scene the factor would be 1, so no conversion; old ones stay as they were.
    ASSERT_TRUE(mayahost::setCurrentUnit(mayahost::UnitKind::Angle, "rad"));
    MObject other = mayahost::createNode("joint");
    ASSERT_TRUE(connect(plugOf(source, "triple"), plugOf(other, "rotate")));
    EXPECT_EQ(nodesOfType("unitConversion").size(), 2U);
    EXPECT_NEAR(factorOf("unitConversion1"), kDegree, 1e-15);
    EXPECT_NEAR(mayahost::plugValues(plugOf(other, "rotate"))[1], 90.0, 1e-12);

    // Unitless into a distance in centimetres needs none either.
    ASSERT_TRUE(connect(plugOf(source, "triple"), plugOf(joint, "translate")));
    EXPECT_EQ(nodesOfType("unitConversion").size(), 2U);
}

TEST_F(UndoAndUnitsTest, ConversionNodesGoWithTheConnectionTheyServe) {
    MObject source = mayahost::createNode("hostSource");
    MObject joint = mayahost::createNode("joint");
    ASSERT_TRUE(connect(plugOf(source, "triple"), plugOf(joint, "rotate")));
    ASSERT_EQ(nodesOfType("unitConversion").size(), 1U);
    ASSERT_TRUE(mayahost::deleteNode(joint));
    EXPECT_TRUE(nodesOfType("unitConversion").empty());
    ASSERT_TRUE(mayahost::undo());
    EXPECT_EQ(nodesOfType("unitConversion").size(), 1U);
    ASSERT_TRUE(plugOf(source, "tri0").setDouble(30.0));
    EXPECT_NEAR(plugOf(joint, "rotateX").asDouble(), 30.0 * kDegree, 1e-12);

    EXPECT_TRUE(mayahost::disconnectInput(plugOf(joint, "rotate")));
    EXPECT_TRUE(nodesOfType("unitConversion").empty());
    EXPECT_FALSE(mayahost::disconnectInput(plugOf(joint, "rotate")));
}

}  // namespace
