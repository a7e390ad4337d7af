// The capture thread of threaded device nodes: start after postConstructor, restart on a
// change of `live` or `frameRate`, stop before the node
// goes away, at File > New and at exit, and throttling that a stop cuts short.
#define MNoVersionString
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MSceneMessage.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

using Clock = std::chrono::steady_clock;

// What capture threads report to the test thread.
struct Probe {
    std::mutex mutex;  // capture threads and the test thread; guards every field below
    std::condition_variable changed;
    int starts = 0;
    int exits = 0;
    int shutdowns = 0;
    bool doneAtEntry = true;
    bool postConstructedAtEntry = false;
    bool sawLive = false;
    bool inEndThreadLoop = false;
    bool exitedBeforeDestruction = false;
    std::vector<Clock::time_point> loopEnds;

    void reset() {
        std::lock_guard<std::mutex> lock(mutex);
        starts = exits = shutdowns = 0;
        doneAtEntry = true;
        postConstructedAtEntry = sawLive = inEndThreadLoop = exitedBeforeDestruction = false;
        loopEnds.clear();
    }
    // Waits (bounded) until `condition` holds; true if it did.
    bool waitFor(const std::function<bool()>& condition) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), condition);
    }
    template <typename F>
    void update(F change) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            change();
        }
        changed.notify_all();
    }
};

Probe probe;

class DeviceNode : public MPxThreadedDeviceNode {
public:
    ~DeviceNode() override {
        probe.update([] { probe.exitedBeforeDestruction = probe.exits == probe.starts; });
    }
    static void* creator() { return new DeviceNode; }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        out = fn.create("out", "out", MFnNumericData::kDouble, 0);
        addAttribute(out);
        return attributeAffects(live, out);
    }
    void postConstructor() override {
        doneInPostConstructor = isDone();
        postConstructed = true;
    }
    void threadHandler() override {
        const bool doneNow = isDone();
        probe.update([&] {
            ++probe.starts;
            probe.doneAtEntry = doneNow;
            probe.postConstructedAtEntry = postConstructed;
        });
        setDone(false);
        while (!isDone()) {
            if (!isLive()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            probe.update([] { probe.sawLive = true; });
            beginThreadLoop();
            probe.update([] { probe.inEndThreadLoop = true; });
            endThreadLoop();
            probe.update([] {
                probe.inEndThreadLoop = false;
                probe.loopEnds.push_back(Clock::now());
            });
        }
        probe.update([] { ++probe.exits; });
    }
    void threadShutdownHandler() override {
        probe.update([] { ++probe.shutdowns; });
        if (politeShutdown) {
            setDone(true);
        }
    }
    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug != out) {
            return MStatus::kUnknownParameter;
        }
        block.outputValue(out).setDouble(1.0);
        return block.setClean(plug);
    }

    static MObject out;
    static bool politeShutdown;  // test thread only, between nodes
    bool doneInPostConstructor = true;
    bool postConstructed = false;  // written before the thread starts
};

MObject DeviceNode::out;
bool DeviceNode::politeShutdown = true;

class DeviceThreadTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        probe.reset();
        DeviceNode::politeShutdown = true;
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostDevice", 0x7f010, DeviceNode::creator,
                                    DeviceNode::initialize, MPxNode::kThreadedDeviceNode));
    }

    MObject makeNode() {
        MObject node = mayahost::createNode("hostDevice");
        EXPECT_TRUE(probe.waitFor([] { return probe.starts >= 1; }));
        return node;
    }
};

TEST_F(DeviceThreadTest, ThreadStartsOnceAfterPostConstructor) {
    MObject node = makeNode();
    EXPECT_EQ(node.apiType(), MFn::kPluginThreadedDevice);
    auto* user = static_cast<DeviceNode*>(mayahost::userNode(node));
    EXPECT_FALSE(user->doneInPostConstructor);
    std::lock_guard<std::mutex> lock(probe.mutex);
    EXPECT_EQ(probe.starts, 1);
    EXPECT_TRUE(probe.postConstructedAtEntry);
    EXPECT_FALSE(probe.doneAtEntry);
    EXPECT_EQ(mayahost::captureThreadStarts(node), 1);
}

TEST_F(DeviceThreadTest, InheritedAttributesHaveMayasDefaults) {
    MObject node = makeNode();
    EXPECT_FALSE(MPlug(node, MPxThreadedDeviceNode::live).asBool());
    EXPECT_DOUBLE_EQ(MPlug(node, MPxThreadedDeviceNode::frameRate).asDouble(), 15.0);
    MFnDependencyNode fn(node);
    EXPECT_TRUE(fn.hasAttribute("lv"));
    EXPECT_TRUE(fn.hasAttribute("fr"));
    EXPECT_TRUE(MFnAttribute(MPxThreadedDeviceNode::output).isHidden());
}

TEST_F(DeviceThreadTest, ChangingLiveOrFrameRateRestartsTheThread) {
    MObject node = makeNode();
    ASSERT_TRUE(mayahost::setLive(node, true));
    {
        // The old thread was shut down and joined before the setter returned.
        std::lock_guard<std::mutex> lock(probe.mutex);
        EXPECT_EQ(probe.shutdowns, 1);
        EXPECT_EQ(probe.exits, 1);
    }
    EXPECT_TRUE(probe.waitFor([] { return probe.starts == 2 && probe.sawLive; }));

    ASSERT_TRUE(mayahost::setLive(node, true));  // no change, no restart
    EXPECT_EQ(mayahost::captureThreadStarts(node), 2);

    MPlug rate(node, MPxThreadedDeviceNode::frameRate);
    ASSERT_TRUE(rate.setInt(80));
    EXPECT_DOUBLE_EQ(rate.asDouble(), 80.0);
    EXPECT_TRUE(probe.waitFor([] { return probe.starts == 3; }));
    EXPECT_EQ(mayahost::captureThreadStarts(node), 3);
}

TEST_F(DeviceThreadTest, DeletingANodeStopsItsThreadAndUndoStartsItAgain) {
    MObject node = makeNode();
    ASSERT_TRUE(mayahost::deleteNode(node));
    {
        std::lock_guard<std::mutex> lock(probe.mutex);
        EXPECT_EQ(probe.shutdowns, 1);
        EXPECT_EQ(probe.exits, 1);
        EXPECT_FALSE(probe.exitedBeforeDestruction) << "not destroyed: kept for undo";
    }
    ASSERT_TRUE(mayahost::undo());
    EXPECT_TRUE(probe.waitFor([] { return probe.starts == 2; }));
    EXPECT_EQ(mayahost::nodeName(node), "hostDevice1");

    ASSERT_TRUE(mayahost::deleteNode(node));
    mayahost::flushUndo();
    std::lock_guard<std::mutex> lock(probe.mutex);
    EXPECT_EQ(probe.exits, 2);
    EXPECT_TRUE(probe.exitedBeforeDestruction);
}

TEST_F(DeviceThreadTest, FileNewStopsThreadsAfterTheBeforeNewCallbacks) {
    makeNode();
    int exitsSeenByCallback = -1;
    MSceneMessage::addCallback(
        MSceneMessage::kBeforeNew,
        [](void* data) {
            std::lock_guard<std::mutex> lock(probe.mutex);
            *static_cast<int*>(data) = probe.exits;
        },
        &exitsSeenByCallback);
    mayahost::fileNew();
    EXPECT_EQ(exitsSeenByCallback, 0);
    std::lock_guard<std::mutex> lock(probe.mutex);
    EXPECT_EQ(probe.exits, 1);
    EXPECT_TRUE(probe.exitedBeforeDestruction);
    EXPECT_EQ(mayahost::nodeNames(), std::vector<std::string>{"time1"});
}

TEST_F(DeviceThreadTest, ExitStopsThreads) {
    makeNode();
    makeNode();
    EXPECT_TRUE(probe.waitFor([] { return probe.starts == 2; }));
    mayahost::exitHost();
    std::lock_guard<std::mutex> lock(probe.mutex);
    EXPECT_EQ(probe.shutdowns, 2);
    EXPECT_EQ(probe.exits, 2);
}

TEST_F(DeviceThreadTest, EndThreadLoopMakesEachLoopLastAFramePeriod) {
    MObject node = makeNode();
    ASSERT_TRUE(MPlug(node, MPxThreadedDeviceNode::frameRate).setDouble(40.0));
    ASSERT_TRUE(mayahost::setLive(node, true));
    EXPECT_TRUE(mayahost::waitForRefresh(std::chrono::seconds(20)));
    ASSERT_TRUE(probe.waitFor([] { return probe.loopEnds.size() >= 4; }));
    std::lock_guard<std::mutex> lock(probe.mutex);
    for (std::size_t i = 1; i < probe.loopEnds.size(); ++i) {
        EXPECT_GE(probe.loopEnds[i] - probe.loopEnds[i - 1], std::chrono::milliseconds(25));
    }
}

TEST_F(DeviceThreadTest, StopCutsAThrottlingWaitShort) {
    MObject node = makeNode();
    ASSERT_TRUE(MPlug(node, MPxThreadedDeviceNode::frameRate).setDouble(0.001));  // 1000 s
    ASSERT_TRUE(mayahost::setLive(node, true));
    ASSERT_TRUE(probe.waitFor([] { return probe.inEndThreadLoop; }));
    const Clock::time_point before = Clock::now();
    ASSERT_TRUE(mayahost::deleteNode(node));
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(100));
}

TEST_F(DeviceThreadTest, HostStopsAThreadWhoseShutdownHandlerSetsNothing) {
    DeviceNode::politeShutdown = false;
    MObject node = makeNode();
    ASSERT_TRUE(mayahost::setLive(node, true));
    EXPECT_TRUE(probe.waitFor([] { return probe.starts == 2; }));
    ASSERT_TRUE(mayahost::deleteNode(node));
    std::lock_guard<std::mutex> lock(probe.mutex);
    EXPECT_EQ(probe.exits, 2);
}

}  // namespace
