// Refresh of live device nodes: the capture thread pushes data and asks for a refresh, the
// calling thread (standing for Maya's evaluation thread) dirties and computes the outputs.
#define MNoVersionString
#include <maya/MArrayDataBuilder.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxThreadedDeviceNode.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

class StreamNode : public MPxThreadedDeviceNode {
public:
    static void* creator() { return new StreamNode; }
    static MStatus initialize();
    void postConstructor() override;
    void threadHandler() override;
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject sample, samples;
    // Capture threads only, one at a time; the old thread may still push once after `live`
    // switches on and before the restart stops it, so the count is kept per node.
    std::atomic<int> sequence{0};
    std::mutex mutex;  // compute (test thread) writes, the test reads; guards the two below
    std::vector<std::thread::id> computeThreads;
    std::vector<float> written;
};

MObject StreamNode::sample, StreamNode::samples;

MStatus StreamNode::initialize() {
    MFnNumericAttribute fn;
    sample = fn.create("sample", "sa", MFnNumericData::k3Float, 0);
    fn.setHidden(true);
    samples = fn.create("samples", "sas", MFnNumericData::k3Float, 0);
    fn.setArray(true);
    fn.setUsesArrayDataBuilder(true);
    addAttribute(sample);
    addAttribute(samples);
    attributeAffects(live, sample);
    attributeAffects(live, samples);
    return attributeAffects(sample, samples);
}

void StreamNode::postConstructor() {
    MObjectArray refresh;
    refresh.append(sample);
    setRefreshOutputAttributes(refresh);
    createMemoryPools(3, 1, sizeof(int));
    MPlug(thisMObject(), frameRate).setDouble(500.0);
}

void StreamNode::threadHandler() {
    setDone(false);
    while (!isDone()) {
        MCharBuffer buffer;
        if (!isLive() || !acquireDataStorage(buffer)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        beginThreadLoop();
        const int counter = sequence++;
        std::memcpy(buffer.ptr(), &counter, sizeof counter);
        pushThreadData(buffer);
        endThreadLoop();
    }
}

MStatus StreamNode::compute(const MPlug& plug, MDataBlock& block) {
    if (plug != sample && plug != samples) {
        return MStatus::kUnknownParameter;
    }
    float value = -1.0F;
    if (isLive()) {
        MCharBuffer buffer;
        if (!popThreadData(buffer)) {
            return MStatus::kFailure;
        }
        int counter = 0;
        std::memcpy(&counter, buffer.ptr(), sizeof counter);
        releaseDataStorage(buffer);
        value = static_cast<float>(counter);
    }
    MArrayDataHandle array = block.outputArrayValue(samples);
    MArrayDataBuilder builder = array.builder();
    builder.addElement(0).set3Float(value, 0.0F, 0.0F);
    array.set(builder);
    {
        std::lock_guard<std::mutex> lock(mutex);
        computeThreads.push_back(std::this_thread::get_id());
        written.push_back(value);
    }
    return block.setClean(plug);
}

class RefreshTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostStream", 0x7f030, StreamNode::creator,
                                    StreamNode::initialize, MPxNode::kThreadedDeviceNode));
        object = mayahost::createNode("hostStream");
        node = static_cast<StreamNode*>(mayahost::userNode(object));
        ASSERT_NE(node, nullptr);
    }

    MObject object;
    StreamNode* node = nullptr;
};

// Off (DG) mode computes on the thread that processes the refresh; parallel evaluation (the
// default) on the workers, never on the calling thread.
TEST_F(RefreshTest, RefreshesComputeOnTheCallingThreadInDgModeAndOnWorkersInParallel) {
    mayahost::setEvaluationMode(mayahost::EvaluationMode::Off);
    ASSERT_TRUE(mayahost::setLive(object, true));
    int computes = 0;
    for (int round = 0; round < 200 && computes < 6; ++round) {
        ASSERT_TRUE(mayahost::waitForRefresh(std::chrono::seconds(20)));
        computes += mayahost::processRefreshes();
    }
    EXPECT_GE(computes, 6);
    {
        std::lock_guard<std::mutex> lock(node->mutex);
        for (std::thread::id id : node->computeThreads) {
            EXPECT_EQ(id, std::this_thread::get_id());
        }
        node->computeThreads.clear();
    }
    mayahost::setEvaluationMode(mayahost::EvaluationMode::Parallel);
    computes = 0;
    for (int round = 0; round < 200 && computes < 3; ++round) {
        ASSERT_TRUE(mayahost::waitForRefresh(std::chrono::seconds(20)));
        computes += mayahost::processRefreshes();
    }
    EXPECT_GE(computes, 3);
    std::lock_guard<std::mutex> lock(node->mutex);
    ASSERT_FALSE(node->computeThreads.empty());
    for (std::thread::id id : node->computeThreads) {
        EXPECT_NE(id, std::this_thread::get_id());
    }
    // Each successful compute popped the oldest block: the counters only grow.
    float last = -1.0F;
    for (float value : node->written) {
        EXPECT_GT(value, last);
        last = value;
    }
    EXPECT_GE(last, 0.0F);
}

TEST_F(RefreshTest, RefreshedValuesReachTheArrayOutput) {
    ASSERT_TRUE(mayahost::setLive(object, true));
    int computes = 0;
    while (computes == 0) {
        ASSERT_TRUE(mayahost::waitForRefresh(std::chrono::seconds(20)));
        computes = mayahost::processRefreshes();
    }
    std::vector<double> element =
        mayahost::plugValues(MPlug(object, StreamNode::samples).elementByLogicalIndex(0));
    ASSERT_EQ(element.size(), 3U);
    std::lock_guard<std::mutex> lock(node->mutex);
    EXPECT_DOUBLE_EQ(element[0], static_cast<double>(node->written.back()));
}

TEST_F(RefreshTest, PendingRefreshOfANodeNoLongerLiveIsDropped) {
    ASSERT_TRUE(mayahost::setLive(object, true));
    ASSERT_TRUE(mayahost::waitForRefresh(std::chrono::seconds(20)));
    // The setter joins the capture thread, so no loop runs after it returns.
    ASSERT_TRUE(mayahost::setLive(object, false));
    EXPECT_EQ(mayahost::processRefreshes(), 0);
    EXPECT_FALSE(mayahost::waitForRefresh(std::chrono::milliseconds(0)));
}

TEST_F(RefreshTest, PullAfterLiveChangesComputesEachDirtyOutputOnce) {
    EXPECT_EQ(mayahost::pullDirtyOutputs(object), 2);
    EXPECT_EQ(mayahost::pullDirtyOutputs(object), 0);
    ASSERT_TRUE(mayahost::setLive(object, true));
    ASSERT_TRUE(mayahost::setLive(object, false));
    EXPECT_EQ(mayahost::pullDirtyOutputs(object), 2);
    std::lock_guard<std::mutex> lock(node->mutex);
    EXPECT_EQ(node->written, (std::vector<float>{-1.0F, -1.0F, -1.0F, -1.0F}));
}

}  // namespace
