// The thread-data pool of a device node: fixed buffers, a queue of pushed buffers, and
// hand-over between the capture thread and the evaluation thread.
#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MPxThreadedDeviceNode.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

// Its capture thread returns at once, so the test thread alone uses the pool unless it says
// otherwise.
class PoolNode : public MPxThreadedDeviceNode {
public:
    static void* creator() { return new PoolNode; }
    static MStatus initialize() { return MStatus::kSuccess; }
    ~PoolNode() override { destroyMemoryPools(); }
};

class MemoryPoolTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        MFnPlugin fn(plugin);
        ASSERT_TRUE(fn.registerNode("hostPool", 0x7f020, PoolNode::creator, PoolNode::initialize,
                                    MPxNode::kThreadedDeviceNode));
        node = static_cast<PoolNode*>(mayahost::userNode(mayahost::createNode("hostPool")));
        ASSERT_NE(node, nullptr);
    }

    static void mark(MCharBuffer& buffer, int value) {
        std::memcpy(buffer.ptr(), &value, sizeof value);
    }
    static int markOf(MCharBuffer& buffer) {
        int value = 0;
        std::memcpy(&value, buffer.ptr(), sizeof value);
        return value;
    }

    PoolNode* node = nullptr;
};

TEST_F(MemoryPoolTest, StatsCountPushesChangedBlocksAndPops) {
    ASSERT_TRUE(node->createMemoryPools(3, 1, 16));
    const MObject object = mayahost::findNode("hostPool1");
    for (const int value : {7, 7, 8}) {
        MCharBuffer buffer;
        ASSERT_TRUE(node->acquireDataStorage(buffer));
        std::memset(buffer.ptr(), 0, 16);
        mark(buffer, value);
        ASSERT_TRUE(node->pushThreadData(buffer));
        MCharBuffer popped;
        ASSERT_TRUE(node->popThreadData(popped));
        ASSERT_TRUE(node->releaseDataStorage(popped));
    }
    const mayahost::DeviceStats stats = mayahost::deviceStats(object);
    EXPECT_EQ(stats.pushed, 3);
    EXPECT_EQ(stats.changed, 2) << "the second block repeats the first";
    EXPECT_EQ(stats.popped, 3);
    EXPECT_EQ(mayahost::deviceStats(MObject()).pushed, 0);
}

TEST_F(MemoryPoolTest, PoolHandsOutItsBuffersThenFailsAtOnce) {
    ASSERT_TRUE(node->createMemoryPools(3, 27, 128));
    MCharBuffer a, b, c, d;
    ASSERT_TRUE(node->acquireDataStorage(a));
    ASSERT_TRUE(node->acquireDataStorage(b));
    ASSERT_TRUE(node->acquireDataStorage(c));
    EXPECT_EQ(a.size(), 27 * 128);
    EXPECT_EQ(std::set<char*>({a.ptr(), b.ptr(), c.ptr()}).size(), 3U);
    EXPECT_FALSE(node->acquireDataStorage(d));
    EXPECT_EQ(d.ptr(), nullptr);
    ASSERT_TRUE(node->releaseDataStorage(b));
    EXPECT_EQ(b.ptr(), nullptr);
    EXPECT_TRUE(node->acquireDataStorage(d));
}

TEST_F(MemoryPoolTest, PopTakesTheOldestPushAndFailsWhenNoneWaits) {
    ASSERT_TRUE(node->createMemoryPools(3, 1, sizeof(int)));
    for (int i = 1; i <= 3; ++i) {
        MCharBuffer buffer;
        ASSERT_TRUE(node->acquireDataStorage(buffer));
        mark(buffer, i * 10);
        ASSERT_TRUE(node->pushThreadData(buffer));
    }
    EXPECT_EQ(node->threadDataCount(), 3);
    for (int expected : {10, 20, 30}) {
        MCharBuffer popped;
        ASSERT_TRUE(node->popThreadData(popped));
        EXPECT_EQ(markOf(popped), expected);
        EXPECT_EQ(popped.size(), static_cast<long>(sizeof(int)));
        ASSERT_TRUE(node->releaseDataStorage(popped));
    }
    EXPECT_EQ(node->threadDataCount(), 0);
    MCharBuffer none;
    EXPECT_FALSE(node->popThreadData(none));
    EXPECT_EQ(none.ptr(), nullptr);
}

TEST_F(MemoryPoolTest, AcquireNeverTakesAQueuedBuffer) {
    ASSERT_TRUE(node->createMemoryPools(1, 16, 1));
    MCharBuffer only;
    ASSERT_TRUE(node->acquireDataStorage(only));
    ASSERT_TRUE(node->pushThreadData(only));
    MCharBuffer another;
    EXPECT_FALSE(node->acquireDataStorage(another));
    EXPECT_FALSE(node->releaseDataStorage(only));  // queued: only a pop takes it back
    MCharBuffer popped;
    ASSERT_TRUE(node->popThreadData(popped));
    ASSERT_TRUE(node->releaseDataStorage(popped));
    EXPECT_FALSE(node->releaseDataStorage(popped));  // already free
    EXPECT_TRUE(node->acquireDataStorage(another));
}

TEST_F(MemoryPoolTest, ForeignOrUnacquiredBuffersAreRefused) {
    ASSERT_TRUE(node->createMemoryPools(2, 8, 1));
    MCharBuffer empty;
    EXPECT_FALSE(node->pushThreadData(empty));
    EXPECT_FALSE(node->releaseDataStorage(empty));
    MCharBuffer held;
    ASSERT_TRUE(node->acquireDataStorage(held));
    ASSERT_TRUE(node->pushThreadData(held));
    EXPECT_FALSE(node->pushThreadData(held));  // queued twice
    EXPECT_EQ(node->threadDataCount(), 1);
}

TEST_F(MemoryPoolTest, PoolsAreMadeOnceAndCanBeDestroyed) {
    EXPECT_FALSE(node->createMemoryPools(0, 1, 1));
    EXPECT_FALSE(node->createMemoryPools(1, 0, 1));
    EXPECT_FALSE(node->createMemoryPools(1, 1, 0));
    MCharBuffer buffer;
    EXPECT_FALSE(node->acquireDataStorage(buffer));  // no pool yet
    ASSERT_TRUE(node->createMemoryPools(2, 4, 4));
    EXPECT_FALSE(node->createMemoryPools(2, 4, 4));
    ASSERT_TRUE(node->acquireDataStorage(buffer));
    ASSERT_TRUE(node->pushThreadData(buffer));
    ASSERT_TRUE(node->destroyMemoryPools());
    EXPECT_EQ(node->threadDataCount(), 0);
    EXPECT_FALSE(node->acquireDataStorage(buffer));
    EXPECT_FALSE(node->destroyMemoryPools());
}

TEST_F(MemoryPoolTest, BuffersCarryDataFromAProducerThreadInOrder) {
    constexpr int kItems = 300;
    ASSERT_TRUE(node->createMemoryPools(3, 1, sizeof(int)));
    std::thread producer([this] {
        for (int i = 0; i < kItems;) {
            MCharBuffer buffer;
            if (!node->acquireDataStorage(buffer)) {
                std::this_thread::yield();
                continue;
            }
            mark(buffer, i++);
            node->pushThreadData(buffer);
        }
    });
    std::vector<int> received;
    while (static_cast<int>(received.size()) < kItems) {
        MCharBuffer buffer;
        if (!node->popThreadData(buffer)) {
            std::this_thread::yield();
            continue;
        }
        received.push_back(markOf(buffer));
        ASSERT_TRUE(node->releaseDataStorage(buffer));
    }
    producer.join();
    for (int i = 0; i < kItems; ++i) {
        ASSERT_EQ(received[static_cast<std::size_t>(i)], i);
    }
}

}  // namespace
