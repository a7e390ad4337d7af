// Maya's API on the Evaluation Manager's workers: compute scheduled there may use its data
// block and the plug it was given, and nothing else that is not documented thread-safe.
// Each forbidden call stops the process naming the rule and the worker.
#define MNoVersionString
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>

#include <atomic>
#include <thread>

#include "HostFixture.h"

namespace {

enum class Call { None, ReadPlug, WritePlug, AnimControl, LookUpString, RunMel, CreateNode };
std::atomic<Call> gCall{Call::None};
std::atomic<bool> gOnCaller{false};

class WorkerNode : public MPxNode {
public:
    static void* creator() { return new WorkerNode; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        input = fn.create("input", "in", MFnNumericData::kDouble, 2.0);
        output = fn.create("output", "out", MFnNumericData::kDouble, 0.0);
        addAttribute(input);
        addAttribute(output);
        return attributeAffects(input, output);
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug != output) {
            return MStatus::kUnknownParameter;
        }
        gOnCaller = std::this_thread::get_id() == sCaller;
        MStatus status;
        switch (gCall.load()) {
            case Call::ReadPlug:
                MPlug(thisMObject(), input).asDouble();
                break;
            case Call::WritePlug:
                MPlug(thisMObject(), input).setDouble(1.0);
                break;
            case Call::AnimControl:
                MAnimControl::isPlaying();
                break;
            case Call::LookUpString:
                MStringResource::getString(MStringResourceId("workerRules", "KEY", "text"), status);
                break;
            case Call::RunMel:
                MGlobal::executeCommand("print \"x\"");
                break;
            case Call::CreateNode: {
                MDGModifier modifier;
                modifier.createNode("transform");
                break;
            }
            case Call::None:
                break;
        }
        // What compute may always do: read inputs from its block, write its output.
        block.outputValue(output).setDouble(block.inputValue(input).asDouble() * 2.0);
        return block.setClean(plug);
    }
    static MObject input, output;
    static std::thread::id sCaller;
};
MObject WorkerNode::input, WorkerNode::output;
std::thread::id WorkerNode::sCaller;

class WorkerRulesTest : public HostFixture {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        HostFixture::SetUp();
        gCall = Call::None;
        WorkerNode::sCaller = std::this_thread::get_id();
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostWorkerNode", 0x7f040, WorkerNode::creator,
                                    WorkerNode::initialize));
    }
    static int evaluateDoing(Call call) {
        gCall = call;
        MObject node = mayahost::createNode("hostWorkerNode");
        return mayahost::pullDirtyOutputs(node);
    }
};

TEST_F(WorkerRulesTest, ScheduledComputeRunsOnAWorkerAndADirectPullOnTheCaller) {
    EXPECT_EQ(mayahost::evaluationMode(), mayahost::EvaluationMode::Parallel);
    MObject node = mayahost::createNode("hostWorkerNode");
    EXPECT_EQ(mayahost::pullDirtyOutputs(node), 1);
    EXPECT_FALSE(gOnCaller.load());
    MPlug(node, WorkerNode::input).setDouble(4.0);
    EXPECT_EQ(mayahost::plugValues(MPlug(node, WorkerNode::output)), std::vector<double>{8.0});
    EXPECT_TRUE(gOnCaller.load()) << "a plug read computes on the thread that reads";

    for (const mayahost::EvaluationMode mode :
         {mayahost::EvaluationMode::Off, mayahost::EvaluationMode::Serial}) {
        mayahost::setEvaluationMode(mode);
        MPlug(node, WorkerNode::input).setDouble(5.0);
        EXPECT_EQ(mayahost::pullDirtyOutputs(node), 1);
        EXPECT_EQ(gOnCaller.load(), mode == mayahost::EvaluationMode::Off);
        EXPECT_EQ(mayahost::plugValues(MPlug(node, WorkerNode::output)), std::vector<double>{10.0});
    }
}

TEST_F(WorkerRulesTest, EachCallMayaDoesNotAllowOnAWorkerIsCaught) {
    EXPECT_DEATH(evaluateDoing(Call::ReadPlug),
                 "Maya rule R2 broken: MPlug::asDouble called on evaluation worker thread");
    EXPECT_DEATH(evaluateDoing(Call::WritePlug), "Maya rule R. broken: MPlug::setDouble");
    EXPECT_DEATH(evaluateDoing(Call::AnimControl), "MAnimControl::isPlaying called on evaluation");
    EXPECT_DEATH(evaluateDoing(Call::LookUpString),
                 "MStringResource::getString called on evaluation");
    EXPECT_DEATH(evaluateDoing(Call::RunMel), "MGlobal::executeCommand called on evaluation");
    EXPECT_DEATH(evaluateDoing(Call::CreateNode), "MDGModifier::createNode called on evaluation");
}

}  // namespace
