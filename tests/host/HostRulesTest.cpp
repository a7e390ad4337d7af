// The rules Maya holds a plug-in to, as the stand-in enforces them: a small node breaks one
// rule at a time and the process stops with a message naming the rule, the call and the
// thread; the calls the rules allow go through.
#define MNoVersionString
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>
#include <maya/MTime.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "HostFixture.h"

namespace {

using namespace std::chrono_literals;

// What the nodes below do where Maya's rules draw their lines. Set by the test thread
// before the node exists or goes live.
enum class Act {
    Nothing,
    ThreadApiOnly,   // capture thread: the thread API and executeCommandOnIdle
    ReadPlug,        // capture thread
    LookUpString,    // capture thread
    SetPlug,         // compute
    CreateCurve,     // compute
    ModifierDoIt,    // compute
    Rename,          // compute
    RunMel,          // compute
    QueueMelAndRead  // compute: what compute may do
};
std::atomic<Act> gAct{Act::Nothing};
std::atomic<int> gAllowedLoops{0};

class RuleDevice : public MPxThreadedDeviceNode {
public:
    static void* creator() { return new RuleDevice; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        count = fn.create("count", "cnt", MFnNumericData::kInt, 0);
        return addAttribute(count);
    }
    void postConstructor() override {
        self = thisMObject();
        createMemoryPools(2, 1, 8);
        MPlug(self, frameRate).setDouble(1000.0);
    }
    ~RuleDevice() override { destroyMemoryPools(); }
    void threadHandler() override {
        setDone(false);
        while (!isDone()) {
            if (!isLive()) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            MCharBuffer buffer;
            if (acquireDataStorage(buffer) != MStatus::kSuccess) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            beginThreadLoop();
            MString text("queued from the capture thread");  // plain data, allowed anywhere
            MStatus status;
            switch (gAct.load()) {
                case Act::ReadPlug:
                    MPlug(self, count).asInt();
                    break;
                case Act::LookUpString:
                    MStringResource::getString(MStringResourceId("hostRules", "KEY", text), status);
                    break;
                case Act::ThreadApiOnly:
                    MGlobal::executeCommandOnIdle("print \"ok\"");
                    ++gAllowedLoops;
                    break;
                default:
                    break;
            }
            pushThreadData(buffer);
            endThreadLoop();
        }
        setDone(true);
    }

    static MObject count;
    MObject self;  // made in postConstructor, before the thread starts
};
MObject RuleDevice::count;

class RuleNode : public MPxNode {
public:
    static void* creator() { return new RuleNode; }
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
        MFnDependencyNode fn(thisMObject());
        MFnAnimCurve curve;
        MDGModifier modifier;
        switch (gAct.load()) {
            case Act::SetPlug:
                MPlug(thisMObject(), input).setDouble(3.0);
                break;
            case Act::CreateCurve:
                curve.create(MFnAnimCurve::kAnimCurveTL);
                break;
            case Act::ModifierDoIt:
                modifier.createNode("transform");
                modifier.doIt();
                break;
            case Act::Rename:
                fn.setName("renamedInCompute");
                break;
            case Act::RunMel:
                MGlobal::executeCommand("print \"now\"");
                break;
            case Act::QueueMelAndRead:
                MGlobal::executeCommandOnIdle("print \"later\"");
                block.outputValue(output).setDouble(block.inputValue(input).asDouble() +
                                                    MFnDependencyNode(mayahost::findNode("time1"))
                                                        .findPlug("outTime", false)
                                                        .asDouble());
                break;
            default:
                break;
        }
        return block.setClean(plug);
    }
    static MObject input, output;
};
MObject RuleNode::input, RuleNode::output;

class HostRulesDeathTest : public HostFixture {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        HostFixture::SetUp();
        gAct = Act::Nothing;
        gAllowedLoops = 0;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostRuleDevice", 0x7f030, RuleDevice::creator,
                                    RuleDevice::initialize, MPxNode::kThreadedDeviceNode));
        ASSERT_TRUE(
            fn.registerNode("hostRuleNode", 0x7f031, RuleNode::creator, RuleNode::initialize));
    }

    // A live device node whose capture thread does `act` on every loop, for a while.
    static void streamWhileDoing(Act act) {
        gAct = act;
        MObject node = mayahost::createNode("hostRuleDevice");
        mayahost::setLive(node, true);
        for (int i = 0; i < 200 && gAllowedLoops < 20; ++i) {
            std::this_thread::sleep_for(10ms);
            MPxThreadedDeviceNode* device = static_cast<RuleDevice*>(mayahost::userNode(node));
            MCharBuffer buffer;
            while (device->popThreadData(buffer) == MStatus::kSuccess) {
                device->releaseDataStorage(buffer);
            }
        }
    }

    // Reads the output of a new node, so its compute does `act`.
    static double computeWhileDoing(Act act) {
        gAct = act;
        return MPlug(mayahost::createNode("hostRuleNode"), RuleNode::output).asDouble();
    }

    template <typename F>
    static void onAnotherThread(F work) {
        std::thread other(work);
        other.join();
    }
};

TEST_F(HostRulesDeathTest, CaptureThreadReadingAPlugIsCaught) {
    EXPECT_DEATH(streamWhileDoing(Act::ReadPlug),
                 "rule R2 broken: MPlug::asInt called on the capture thread of hostRuleDevice1");
}

TEST_F(HostRulesDeathTest, CaptureThreadLookingUpAStringIsCaught) {
    EXPECT_DEATH(streamWhileDoing(Act::LookUpString),
                 "rule R2 broken: MStringResource::getString called on the capture thread of "
                 "hostRuleDevice1");
}

TEST_F(HostRulesDeathTest, CaptureThreadMayUseTheThreadApiAndQueueMel) {
    streamWhileDoing(Act::ThreadApiOnly);
    EXPECT_GE(gAllowedLoops.load(), 20);
    EXPECT_GE(mayahost::pendingIdleCommands().size(), 20U);
}

TEST_F(HostRulesDeathTest, ThreadsOtherThanMainAreCaught) {
    MObject node = mayahost::createNode("hostRuleDevice");
    EXPECT_DEATH(onAnotherThread([node] { mayahost::setLive(node, true); }),
                 "rule R2 broken: MPlug::setBool called on thread [0-9]+, which is not Maya's "
                 "main thread");
    EXPECT_DEATH(onAnotherThread([] { MGlobal::executeCommand("print \"x\""); }),
                 "rule R2 broken: MGlobal::executeCommand called on thread");
    EXPECT_DEATH(onAnotherThread([] { MTime::uiUnit(); }),
                 "rule R2 broken: MTime::uiUnit called on thread");
    EXPECT_DEATH(onAnotherThread([] { MAnimControl::isPlaying(); }),
                 "rule R2 broken: MAnimControl::isPlaying called on thread");
}

TEST_F(HostRulesDeathTest, OtherThreadsMayQueueMel) {
    onAnotherThread([] { MGlobal::executeCommandOnIdle("print \"from a worker\""); });
    EXPECT_EQ(mayahost::pendingIdleCommands(),
              (std::vector<std::string>{"print \"from a worker\""}));
}

TEST_F(HostRulesDeathTest, ComputeChangingTheGraphIsCaught) {
    EXPECT_DEATH(computeWhileDoing(Act::SetPlug),
                 "rule R1 broken: MPlug::setDouble called inside the compute of hostRuleNode1");
    EXPECT_DEATH(computeWhileDoing(Act::CreateCurve),
                 "rule R1 broken: MFnAnimCurve::create called inside the compute");
    EXPECT_DEATH(computeWhileDoing(Act::ModifierDoIt),
                 "rule R1 broken: MDGModifier::doIt called inside the compute");
    EXPECT_DEATH(computeWhileDoing(Act::Rename),
                 "rule R1 broken: MFnDependencyNode::setName called inside the compute");
    EXPECT_DEATH(computeWhileDoing(Act::RunMel),
                 "rule R1 broken: MGlobal::executeCommand called inside the compute");
}

TEST_F(HostRulesDeathTest, ComputeMayQueueMelAndReadPlugs) {
    mayahost::setSceneTime(5.0);  // 250 DG time units (1/6000 s) a film frame
    EXPECT_DOUBLE_EQ(computeWhileDoing(Act::QueueMelAndRead), 2.0 + 5.0 * 250.0);
    EXPECT_EQ(mayahost::pendingIdleCommands(), (std::vector<std::string>{"print \"later\""}));
    // Outside compute the same calls are fine again.
    MFnAnimCurve curve;
    MStatus status;
    curve.create(MFnAnimCurve::kAnimCurveTL, nullptr, &status);
    EXPECT_TRUE(status);
}

}  // namespace
