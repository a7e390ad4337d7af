// Dependency graph: attributes, plugs, dirty propagation, compute on pull, array outputs and
// connections, through a small plug-in node.
#define MNoVersionString
#include <maya/MArrayDataBuilder.h>
#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

class GraphNode : public MPxNode {
public:
    static void* creator() { return new GraphNode; }
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MTypeId id;
    static MObject input, factor, flag, mid, result, vector, values, perElement, stubborn, lazy;
    // Test thread only: attribute names compute was asked for, in order, and the logical
    // index of each requested element (-1 for a plug that is no element).
    static std::vector<std::string> computed;
    static std::vector<int> requestedElements;

    double inputSeenInCompute = 0.0;
    unsigned int elementCount = 0;
    bool jumpedToPresent = false;
    bool jumpedToMissing = false;
};

MTypeId GraphNode::id(0x7f001);
MObject GraphNode::input, GraphNode::factor, GraphNode::flag, GraphNode::mid, GraphNode::result,
    GraphNode::vector, GraphNode::values, GraphNode::perElement, GraphNode::stubborn,
    GraphNode::lazy;
std::vector<std::string> GraphNode::computed;
std::vector<int> GraphNode::requestedElements;

MStatus GraphNode::initialize() {
    MFnNumericAttribute fn;
    input = fn.create("input", "in", MFnNumericData::kDouble, 1.5);
    factor = fn.create("factor", "fac", MFnNumericData::kInt, 2);
    flag = fn.create("flag", "fl", MFnNumericData::kBoolean, 0);
    mid = fn.create("mid", "md", MFnNumericData::kDouble, 0);
    fn.setWritable(false);
    result = fn.create("result", "res", MFnNumericData::kDouble, 0);
    fn.setWritable(false);
    vector = fn.create("vector", "vec", MFnNumericData::k3Float, 0);
    fn.setHidden(true);
    values = fn.create("values", "vals", MFnNumericData::k3Float, -1);
    fn.setArray(true);
    fn.setUsesArrayDataBuilder(true);
    perElement = fn.create("perElement", "pe", MFnNumericData::kDouble, 0);
    fn.setArray(true);
    fn.setUsesArrayDataBuilder(true);
    stubborn = fn.create("stubborn", "stb", MFnNumericData::kDouble, 0);
    lazy = fn.create("lazy", "lz", MFnNumericData::kDouble, 0);
    for (MObject* a :
         {&input, &factor, &flag, &mid, &result, &vector, &values, &perElement, &stubborn, &lazy}) {
        CHECK_MSTATUS_AND_RETURN_IT(addAttribute(*a));
    }
    attributeAffects(input, mid);
    attributeAffects(mid, result);
    attributeAffects(factor, result);
    attributeAffects(input, vector);
    attributeAffects(factor, vector);
    attributeAffects(flag, vector);
    attributeAffects(input, values);
    attributeAffects(input, perElement);
    attributeAffects(input, stubborn);
    return attributeAffects(input, lazy);
}

MStatus GraphNode::compute(const MPlug& plug, MDataBlock& block) {
    computed.emplace_back(MFnAttribute(plug.attribute()).name().asChar());
    requestedElements.push_back(plug.isElement() ? static_cast<int>(plug.logicalIndex()) : -1);
    if (plug == mid) {
        block.outputValue(mid).setDouble(block.inputValue(input).asDouble() * 10.0);
        return block.setClean(plug);
    }
    if (plug == result) {
        // Reading a plug of this very node from compute must not deadlock.
        inputSeenInCompute = MPlug(thisMObject(), input).asDouble();
        const double m = block.inputValue(mid).asDouble();
        block.outputValue(result).asDouble() = m * block.inputValue(factor).asInt();
        return block.setClean(plug);
    }
    if (plug == vector || plug.parent() == vector) {
        const float in = static_cast<float>(block.inputValue(input).asDouble());
        block.outputValue(vector).set3Float(in,
                                            static_cast<float>(block.inputValue(factor).asInt()),
                                            block.inputValue(flag).asBool() ? 1.0F : 0.0F);
        return block.setClean(plug);
    }
    if (plug == values) {
        const float in = static_cast<float>(block.inputValue(input).asDouble());
        MStatus status;
        MArrayDataHandle array = block.outputArrayValue(values, &status);
        CHECK_MSTATUS_AND_RETURN_IT(status);
        MArrayDataBuilder builder = array.builder(&status);
        CHECK_MSTATUS_AND_RETURN_IT(status);
        for (unsigned int i : {0U, 5U, 2U}) {
            float3& v = builder.addElement(i).asFloat3();
            v[0] = static_cast<float>(i);
            v[1] = static_cast<float>(i) * in;
            v[2] = 0.0F;
        }
        CHECK_MSTATUS_AND_RETURN_IT(array.set(builder));
        elementCount = array.elementCount();
        jumpedToPresent = array.jumpToElement(5) == MStatus::kSuccess;
        jumpedToMissing = array.jumpToElement(3) == MStatus::kSuccess;
        return array.setClean();
    }
    if (plug == perElement) {
        // Writes every element, but cleans only the plug asked for.
        MArrayDataHandle array = block.outputArrayValue(perElement);
        MArrayDataBuilder builder = array.builder();
        for (unsigned int i = 0; i < 3; ++i) {
            builder.addElement(i).asDouble() = static_cast<double>(computed.size());
        }
        array.set(builder);
        return block.setClean(plug);
    }
    if (plug == lazy) {
        block.outputValue(lazy).setDouble(block.inputValue(input).asDouble() + 1.0);
        return MStatus::kSuccess;  // forgets setClean
    }
    return MStatus::kUnknownParameter;
}

class GraphTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        // Graph semantics in DG mode: the test node names what it computes through function
        // sets, which only the main thread may use.
        mayahost::setEvaluationMode(mayahost::EvaluationMode::Off);
        MFnPlugin fn(plugin, "Tester", "1.0");
        ASSERT_TRUE(fn.registerNode("hostGraphNode", GraphNode::id, GraphNode::creator,
                                    GraphNode::initialize));
        GraphNode::computed.clear();
        GraphNode::requestedElements.clear();
    }

    static MPlug plug(const MObject& node, const MObject& attribute) {
        return MPlug(node, attribute);
    }
    static GraphNode& user(const MObject& node) {
        return *static_cast<GraphNode*>(mayahost::userNode(node));
    }
};

TEST_F(GraphTest, NewNumericAttributeHasMayasDefaultFlags) {
    MFnNumericAttribute fn;
    MStatus status;
    MObject attribute = fn.create("weight", "w", MFnNumericData::kFloat, 0.25, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(fn.isReadable());
    EXPECT_TRUE(fn.isWritable());
    EXPECT_TRUE(fn.isConnectable());
    EXPECT_TRUE(fn.isStorable());
    EXPECT_TRUE(fn.isCached());
    EXPECT_FALSE(fn.isArray());
    EXPECT_TRUE(fn.indexMatters());
    EXPECT_FALSE(fn.usesArrayDataBuilder());
    EXPECT_FALSE(fn.isKeyable());
    EXPECT_FALSE(fn.isHidden());
    EXPECT_EQ(fn.unitType(), MFnNumericData::kFloat);
    double def = 0;
    ASSERT_TRUE(fn.getDefault(def));
    EXPECT_DOUBLE_EQ(def, 0.25);
    EXPECT_TRUE(attribute.hasFn(MFn::kAttribute));
    EXPECT_EQ(attribute.apiType(), MFn::kNumericAttribute);
}

TEST_F(GraphTest, Float3CompoundHasNamedChildrenThatShareItsFlags) {
    MObject node = mayahost::createNode("hostGraphNode");
    MFnDependencyNode fn(node);
    for (const char* name : {"vector0", "vector1", "vector2", "vec0", "vec1", "vec2"}) {
        EXPECT_TRUE(fn.hasAttribute(name)) << name;
    }
    EXPECT_FALSE(fn.hasAttribute("vector3"));
    MPlug child = fn.findPlug("vec1", false);
    MFnAttribute childFn(child.attribute());
    EXPECT_TRUE(childFn.isHidden());  // setHidden on the compound reached its children
    EXPECT_EQ(std::string(childFn.name().asChar()), "vector1");
    EXPECT_TRUE(child.parent() == GraphNode::vector);
    MStatus status;
    plug(node, GraphNode::input).parent(&status);
    EXPECT_FALSE(status);
}

TEST_F(GraphTest, NumericSettersConvertToTheAttributeType) {
    MObject node = mayahost::createNode("hostGraphNode");
    MPlug in = plug(node, GraphNode::input);
    EXPECT_DOUBLE_EQ(in.asDouble(), 1.5);  // default
    ASSERT_TRUE(in.setInt(80));
    EXPECT_DOUBLE_EQ(in.asDouble(), 80.0);
    MPlug fac = plug(node, GraphNode::factor);
    ASSERT_TRUE(fac.setDouble(2.7));
    EXPECT_EQ(fac.asInt(), 2);
    MPlug fl = plug(node, GraphNode::flag);
    ASSERT_TRUE(fl.setValue(0.25));
    EXPECT_TRUE(fl.asBool());
    EXPECT_DOUBLE_EQ(fl.asDouble(), 1.0);
    EXPECT_FALSE(in.setValue("text"));
    MString text;
    EXPECT_FALSE(in.getValue(text));
}

TEST_F(GraphTest, ReadingADirtyOutputComputesOnceUntilAnInputChanges) {
    MObject node = mayahost::createNode("hostGraphNode");
    MPlug res = plug(node, GraphNode::result);
    EXPECT_TRUE(mayahost::isDirty(res));
    EXPECT_DOUBLE_EQ(res.asDouble(), 1.5 * 10.0 * 2);
    EXPECT_FALSE(mayahost::isDirty(res));
    EXPECT_EQ(GraphNode::computed, (std::vector<std::string>{"result", "mid"}));
    EXPECT_DOUBLE_EQ(res.asDouble(), 30.0);
    EXPECT_EQ(GraphNode::computed.size(), 2U);
    EXPECT_DOUBLE_EQ(user(node).inputSeenInCompute, 1.5);

    ASSERT_TRUE(plug(node, GraphNode::factor).setInt(3));
    EXPECT_TRUE(mayahost::isDirty(res));
    EXPECT_FALSE(mayahost::isDirty(plug(node, GraphNode::mid)));  // factor does not affect mid
    EXPECT_DOUBLE_EQ(res.asDouble(), 45.0);
}

TEST_F(GraphTest, DirtinessFollowsAttributeAffectsTransitively) {
    MObject node = mayahost::createNode("hostGraphNode");
    MPlug res = plug(node, GraphNode::result);
    res.asDouble();
    ASSERT_FALSE(mayahost::isDirty(res));
    // input affects only mid; mid affects result.
    ASSERT_TRUE(plug(node, GraphNode::input).setDouble(4.0));
    EXPECT_TRUE(mayahost::isDirty(plug(node, GraphNode::mid)));
    EXPECT_TRUE(mayahost::isDirty(res));
    EXPECT_DOUBLE_EQ(res.asDouble(), 80.0);
}

TEST_F(GraphTest, OutputStaysDirtyWhenComputeDeclinesOrDoesNotClean) {
    MObject node = mayahost::createNode("hostGraphNode");
    MPlug stb = plug(node, GraphNode::stubborn);
    stb.asDouble();
    stb.asDouble();
    EXPECT_TRUE(mayahost::isDirty(stb));
    EXPECT_EQ(GraphNode::computed, (std::vector<std::string>{"stubborn", "stubborn"}));

    MPlug lz = plug(node, GraphNode::lazy);
    EXPECT_DOUBLE_EQ(lz.asDouble(), 2.5);  // the value written is kept
    EXPECT_TRUE(mayahost::isDirty(lz));
}

TEST_F(GraphTest, ComputeReceivesTheChildPlugThatWasRead) {
    MObject node = mayahost::createNode("hostGraphNode");
    ASSERT_TRUE(plug(node, GraphNode::flag).setBool(true));
    MFnDependencyNode fn(node);
    MPlug y = fn.findPlug("vector1", false);
    EXPECT_FLOAT_EQ(y.asFloat(), 2.0F);
    EXPECT_EQ(GraphNode::computed, (std::vector<std::string>{"vector1"}));
    EXPECT_EQ(mayahost::plugValues(plug(node, GraphNode::vector)),
              (std::vector<double>{1.5, 2.0, 1.0}));
}

TEST_F(GraphTest, ArrayOutputIsBuiltWithSparseLogicalIndices) {
    MObject node = mayahost::createNode("hostGraphNode");
    ASSERT_TRUE(plug(node, GraphNode::input).setDouble(3.0));
    MPlug array = plug(node, GraphNode::values);
    EXPECT_TRUE(array.isArray());
    EXPECT_EQ(mayahost::logicalIndices(array), (std::vector<unsigned int>{0, 2, 5}));
    GraphNode& n = user(node);
    EXPECT_EQ(n.elementCount, 3U);
    EXPECT_TRUE(n.jumpedToPresent);
    EXPECT_FALSE(n.jumpedToMissing);

    MPlug element = array.elementByLogicalIndex(5);
    EXPECT_TRUE(element.isElement());
    EXPECT_EQ(element.logicalIndex(), 5U);
    EXPECT_TRUE(element == GraphNode::values);  // compares the attribute, whatever the element
    EXPECT_EQ(mayahost::plugValues(element), (std::vector<double>{5.0, 15.0, 0.0}));
    // An element the builder never added reads as the attribute's default.
    EXPECT_EQ(mayahost::plugValues(array.elementByLogicalIndex(1)),
              (std::vector<double>{-1.0, -1.0, -1.0}));
    MStatus status;
    plug(node, GraphNode::input).elementByLogicalIndex(0, &status);
    EXPECT_FALSE(status);
}

TEST_F(GraphTest, PlugsOfAnArrayNeedAnElement) {
    MObject node = mayahost::createNode("hostGraphNode");
    MFnDependencyNode fn(node);
    MPlug array = fn.findPlug("values", false);
    MPlug childPlug = fn.findPlug("vals2", false);
    MStatus status;
    // A child of an array compound needs an element to live in.
    EXPECT_FALSE(childPlug.setDouble(1.0));
    EXPECT_DOUBLE_EQ(array.asDouble(&status), 0.0);
    EXPECT_FALSE(status);
}

TEST_F(GraphTest, ConnectionCarriesTheSourceValueOnPull) {
    MObject a = mayahost::createNode("hostGraphNode");
    MObject b = mayahost::createNode("hostGraphNode");
    MDGModifier modifier;
    ASSERT_TRUE(modifier.connect(a, GraphNode::result, b, GraphNode::input));
    EXPECT_DOUBLE_EQ(plug(b, GraphNode::input).asDouble(), 1.5);  // registered, not made yet
    ASSERT_TRUE(modifier.doIt());

    EXPECT_DOUBLE_EQ(plug(b, GraphNode::mid).asDouble(), 300.0);  // a.result = 30
    ASSERT_TRUE(plug(a, GraphNode::input).setDouble(0.5));
    EXPECT_TRUE(mayahost::isDirty(plug(b, GraphNode::input)));
    EXPECT_TRUE(mayahost::isDirty(plug(b, GraphNode::result)));
    EXPECT_DOUBLE_EQ(plug(b, GraphNode::result).asDouble(), 10.0 * 10.0 * 2);

    MDGModifier second;
    ASSERT_TRUE(second.connect(MPlug(a, GraphNode::mid), MPlug(b, GraphNode::input)));
    EXPECT_FALSE(second.doIt());  // b.input already has an incoming connection

    ASSERT_TRUE(modifier.undoIt());
    ASSERT_TRUE(plug(a, GraphNode::input).setDouble(7.0));
    EXPECT_FALSE(mayahost::isDirty(plug(b, GraphNode::input)));
    EXPECT_DOUBLE_EQ(plug(b, GraphNode::input).asDouble(), 10.0);  // last value pulled
}

// What a change reaches is worked out once per change of the connections: a connection made
// or broken after an earlier change of the same input counts from then on.
TEST_F(GraphTest, DirtinessFollowsConnectionsMadeAndBrokenAfterAnEarlierChange) {
    MObject a = mayahost::createNode("hostGraphNode");
    MObject b = mayahost::createNode("hostGraphNode");
    MObject c = mayahost::createNode("hostGraphNode");
    MDGModifier ab;
    ASSERT_TRUE(ab.connect(a, GraphNode::result, b, GraphNode::input));
    ASSERT_TRUE(ab.doIt());
    ASSERT_TRUE(plug(a, GraphNode::input).setDouble(2.0));
    plug(c, GraphNode::result).asDouble();
    ASSERT_FALSE(mayahost::isDirty(plug(c, GraphNode::result)));

    MDGModifier bc;
    ASSERT_TRUE(bc.connect(b, GraphNode::result, c, GraphNode::input));
    ASSERT_TRUE(bc.doIt());
    plug(c, GraphNode::result).asDouble();
    ASSERT_TRUE(plug(a, GraphNode::input).setDouble(3.0));
    EXPECT_TRUE(mayahost::isDirty(plug(c, GraphNode::input)));
    EXPECT_TRUE(mayahost::isDirty(plug(c, GraphNode::result)));

    ASSERT_TRUE(bc.undoIt());
    plug(c, GraphNode::result).asDouble();
    ASSERT_TRUE(plug(a, GraphNode::input).setDouble(4.0));
    EXPECT_TRUE(mayahost::isDirty(plug(b, GraphNode::result)));
    EXPECT_FALSE(mayahost::isDirty(plug(c, GraphNode::result)));
}

TEST_F(GraphTest, ConnectionsRespectWritability) {
    MObject a = mayahost::createNode("hostGraphNode");
    MObject b = mayahost::createNode("hostGraphNode");
    MDGModifier modifier;
    ASSERT_TRUE(modifier.connect(a, GraphNode::input, b, GraphNode::result));
    EXPECT_FALSE(modifier.doIt());  // result is not writable
    EXPECT_FALSE(mayahost::isDirty(plug(b, GraphNode::input)));
}

TEST_F(GraphTest, SceneTimeReachesWhatIsConnectedToTime1) {
    MObject time = mayahost::findNode("time1");
    ASSERT_FALSE(time.isNull());
    MObject node = mayahost::createNode("hostGraphNode");
    MDGModifier modifier;
    ASSERT_TRUE(modifier.connect(MFnDependencyNode(time).findPlug("outTime", false),
                                 plug(node, GraphNode::input)));
    ASSERT_TRUE(modifier.doIt());
    mayahost::setSceneTime(12.0);
    EXPECT_DOUBLE_EQ(mayahost::sceneTime(), 12.0);
    EXPECT_TRUE(mayahost::isDirty(plug(node, GraphNode::result)));
    EXPECT_DOUBLE_EQ(plug(node, GraphNode::result).asDouble(), 12.0 * 10.0 * 2);
}

TEST_F(GraphTest, PullDirtyOutputsComputesEachDirtyOutputOnce) {
    MObject node = mayahost::createNode("hostGraphNode");
    // mid, result, vector, values, perElement, stubborn and lazy start dirty.
    EXPECT_EQ(mayahost::pullDirtyOutputs(node), 7);
    // stubborn and lazy stay dirty, so they compute again; perElement was asked for as a
    // whole, and its compute cleaned that plug.
    EXPECT_EQ(mayahost::pullDirtyOutputs(node), 2);
}

// Connects element `index` of `attribute` on `from` to the input of a new node.
MObject drive(const MObject& from, const MObject& attribute, unsigned int index) {
    MObject reader = mayahost::createNode("hostGraphNode");
    MDGModifier modifier;
    modifier.connect(MPlug(from, attribute).elementByLogicalIndex(index),
                     MPlug(reader, GraphNode::input));
    modifier.doIt();
    return reader;
}

TEST_F(GraphTest, EachConnectedElementIsRequestedOnItsOwn) {
    MObject node = mayahost::createNode("hostGraphNode");
    for (unsigned int i = 0; i < 3; ++i) {
        drive(node, GraphNode::perElement, i);
    }
    GraphNode::computed.clear();
    EXPECT_EQ(mayahost::pullDirtyOutputs(node), 9);
    // perElement cleans the element it was asked for, so each of the three is computed.
    std::vector<int> elements;
    for (std::size_t k = 0; k < GraphNode::computed.size(); ++k) {
        if (GraphNode::computed[k] == "perElement") {
            elements.push_back(GraphNode::requestedElements[k]);
        }
    }
    EXPECT_EQ(elements, (std::vector<int>{0, 1, 2}));
}

TEST_F(GraphTest, SetCleanOnAnElementLeavesTheOtherElementsDirty) {
    MObject node = mayahost::createNode("hostGraphNode");
    MPlug array = plug(node, GraphNode::perElement);
    EXPECT_EQ(mayahost::plugValues(array.elementByLogicalIndex(1)), (std::vector<double>{1.0}));
    EXPECT_FALSE(mayahost::isDirty(array.elementByLogicalIndex(1)));
    EXPECT_TRUE(mayahost::isDirty(array.elementByLogicalIndex(2)));
    EXPECT_TRUE(mayahost::isDirty(array));  // the array plug is a plug of its own
    // Reading element 2 computes again; element 1 keeps the value of the first compute.
    EXPECT_EQ(mayahost::plugValues(array.elementByLogicalIndex(2)), (std::vector<double>{2.0}));
    EXPECT_EQ(GraphNode::requestedElements, (std::vector<int>{1, 2}));
}

TEST_F(GraphTest, ArrayHandleSetCleanCleansEveryElement) {
    MObject node = mayahost::createNode("hostGraphNode");
    for (unsigned int i : {0U, 2U, 5U}) {
        drive(node, GraphNode::values, i);
    }
    GraphNode::computed.clear();
    GraphNode::requestedElements.clear();
    mayahost::pullDirtyOutputs(node);
    std::vector<int> elements;
    for (std::size_t k = 0; k < GraphNode::computed.size(); ++k) {
        if (GraphNode::computed[k] == "values") {
            elements.push_back(GraphNode::requestedElements[k]);
        }
    }
    // The first connected element is asked for; its compute cleans the whole array.
    EXPECT_EQ(elements, (std::vector<int>{0}));
    EXPECT_FALSE(mayahost::isDirty(plug(node, GraphNode::values).elementByLogicalIndex(5)));
}

}  // namespace
