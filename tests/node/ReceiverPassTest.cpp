// The capture loop's passes over real loopback datagrams: each pass reads every datagram
// waiting, applies each in arrival order and pushes one block with the newest state; a full
// pool does not stop the reading, and a flood does not keep the node from stopping.
#include <arpa/inet.h>
#include <mayahost/HostControl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "NodeFixture.h"

namespace nodetest {
namespace {

using namespace std::chrono_literals;

const std::string kBindButton = "enableBindButton 0 1";
const std::string kDataReceived =
    "displayMessage \"Data received. Press Bind to Character button\" 0";

// A pass lasts at least 1/frameRate; at 5 the node sleeps 200 ms after each block, long
// enough for a test to put a whole burst into the socket before the next pass reads it.
constexpr double kSlowFrameRate = 5.0;

class ReceiverPassTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        ASSERT_EQ(plug(TulvexDeviceNode::frameRate).setDouble(kSlowFrameRate), MStatus::kSuccess);
        goLive(freeUdpPort());
    }

    static double rootX(const Block& block) { return block[0].currentTranslation[0]; }
    std::vector<std::byte> frame(float rootValue) {
        ++mFrameNumber;
        return zmf::encode(makeFrame(mFrameNumber, mFrameNumber / 60.0, rootValue));
    }
    void reachStreaming() {
        sendAndPop(zmf::encode(makeDefinition(0.25F)));
        device().CharacterizationComplete();
        mayahost::takeIdleCommands();
    }
    // Two datagrams whose blocks are taken at once. The first ends an idle spell, and its
    // pass, which began with the wait, is over at once; the pass of the second then sleeps
    // out its loop period, and whatever is sent next waits in the socket for the pass after.
    void startAPass() {
        sendAndPop(std::vector<std::byte>(16, std::byte{0x33}));
        sendAndPop(std::vector<std::byte>(16, std::byte{0x34}));
    }

    std::uint64_t count(const std::atomic<std::uint64_t>& counter) const { return counter.load(); }
    const StreamCounters& counters() const { return device().counters(); }

    bool waitUntil(const std::function<bool()>& condition) const {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    std::int32_t mFrameNumber = 0;
};

TEST_F(ReceiverPassTest, TheBlockAfterABurstCarriesItsNewestFrame) {
    reachStreaming();
    startAPass();
    const std::uint64_t pushedBefore = count(counters().blocksPushed);
    for (int n = 1; n <= 10; ++n) {
        mSender.send(mPort, frame(static_cast<float>(n)));
    }
    Block block{};
    ASSERT_TRUE(popBlock(block));
    EXPECT_EQ(rootX(block), 1000.0);
    EXPECT_FALSE(popBlock(block, 300ms)) << "one block for the whole burst";
    EXPECT_EQ(count(counters().framesApplied), 10U);
    EXPECT_EQ(count(counters().blocksPushed) - pushedBefore, 1U);
    EXPECT_EQ(count(counters().blocksSuperseded), 9U);
}

TEST_F(ReceiverPassTest, AfterAnIdleSpellTheRestOfABurstIsNotHeldBackALoopPeriod) {
    reachStreaming();
    std::this_thread::sleep_for(300ms);  // longer than a loop period (200 ms)
    // The burst comes in two parts, as Wi-Fi hands them over: the first wakes the node, the
    // rest arrives while it would otherwise be sleeping out its pass.
    const auto sent = std::chrono::steady_clock::now();
    mSender.send(mPort, frame(1.0F));
    std::this_thread::sleep_for(20ms);
    for (int n = 2; n <= 10; ++n) {
        mSender.send(mPort, frame(static_cast<float>(n)));
    }
    Block block{};
    while (popBlock(block, 1s) && rootX(block) != 1000.0) {
    }
    EXPECT_EQ(rootX(block), 1000.0);
    // The pass the first datagram ended waited longer than its period, so the next pass
    // reads the rest at once rather than a period later.
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 150ms);
}

TEST_F(ReceiverPassTest, ADefinitionInsideABurstIsProcessed) {
    startAPass();
    // Awaiting a definition: the frame before it is ignored, the one after it waits for
    // the binding; the definition itself is taken and asks for a binding.
    mSender.send(mPort, frame(3.0F));
    mSender.send(mPort, zmf::encode(makeDefinition(0.5F)));
    mSender.send(mPort, frame(4.0F));
    Block block{};
    ASSERT_TRUE(popBlock(block));
    EXPECT_EQ(block[0].restTranslation[0], 50.0);
    EXPECT_EQ(rootX(block), 50.0);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_FALSE(device().hasBeenCharacterized());
    EXPECT_EQ(mayahost::takeIdleCommands(), (std::vector<std::string>{kBindButton, kDataReceived}));
    EXPECT_EQ(count(counters().definitionsAccepted), 1U);
    EXPECT_EQ(count(counters().framesApplied), 0U);
    EXPECT_EQ(count(counters().blocksSuperseded), 0U) << "one change, one block";
}

TEST_F(ReceiverPassTest, ABurstAfterASilenceResynchronisesOnTheDefinitionInIt) {
    reachStreaming();
    startAPass();
    ManualClock::advance(2s);
    // The first datagram finds the silence and is ignored; the repeated definition ends the
    // wait without a new binding; the frames after it are applied.
    mSender.send(mPort, frame(3.0F));
    mSender.send(mPort, zmf::encode(makeDefinition(0.25F)));
    mSender.send(mPort, frame(4.0F));
    mSender.send(mPort, frame(5.0F));
    Block block{};
    ASSERT_TRUE(popBlock(block));
    EXPECT_EQ(rootX(block), 500.0);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_TRUE(device().hasBeenCharacterized());
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
    EXPECT_EQ(count(counters().framesApplied), 2U);
    EXPECT_EQ(count(counters().blocksSuperseded), 1U);
}

TEST_F(ReceiverPassTest, AFullPoolDoesNotStopTheReadingAndTheNextFreeBufferGetsTheNewest) {
    reachStreaming();
    // Three blocks that nobody takes fill the pool.
    for (int n = 1; n <= 3; ++n) {
        const std::uint64_t pushed = count(counters().blocksPushed);
        mSender.send(mPort, frame(static_cast<float>(n)));
        ASSERT_TRUE(waitUntil([&] { return count(counters().blocksPushed) > pushed; }));
    }
    const std::uint64_t received = count(counters().datagramsReceived);
    for (int n = 4; n <= 10; ++n) {
        mSender.send(mPort, frame(static_cast<float>(n)));
    }
    ASSERT_TRUE(waitUntil([&] { return count(counters().framesApplied) == 10; }));
    EXPECT_EQ(count(counters().datagramsReceived) - received, 7U);
    ASSERT_TRUE(waitUntil([&] { return count(counters().passesWithoutBuffer) > 0; }));

    // The waiting blocks come out oldest first; the buffer the first one frees gets the
    // newest state without another datagram arriving.
    std::vector<double> roots;
    Block block{};
    while (popBlock(block, 500ms)) {
        roots.push_back(rootX(block));
    }
    EXPECT_EQ(roots, (std::vector<double>{100.0, 200.0, 300.0, 1000.0}));
    EXPECT_EQ(count(counters().blocksSuperseded), 6U);
}

// Sends one datagram over and over, as fast as it can, until destroyed or `limit` has passed.
class Flood {
public:
    Flood(int port, std::vector<std::byte> datagram, std::chrono::milliseconds limit)
        : mDatagram(std::move(datagram)), mThread([this, port, limit] { run(port, limit); }) {}
    ~Flood() {
        mRunning.store(false);
        mThread.join();
    }
    Flood(const Flood&) = delete;
    Flood& operator=(const Flood&) = delete;

private:
    void run(int port, std::chrono::milliseconds limit) {
        const int out = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const auto end = std::chrono::steady_clock::now() + limit;
        while (mRunning.load() && std::chrono::steady_clock::now() < end) {
            // Failures (nobody listening any more) do not matter to a flood.
            sendto(out, mDatagram.data(), mDatagram.size(), 0,
                   reinterpret_cast<const sockaddr*>(&to), sizeof(to));
        }
        close(out);
    }

    std::vector<std::byte> mDatagram;
    std::atomic<bool> mRunning{true};
    std::thread mThread;
};

// The manual clock, read slowly: the capture thread then handles a datagram more slowly than
// a flood sends the next, so its socket never runs empty while the flood lasts.
TulvexDeviceNode::SteadyTime slowClock() {
    std::this_thread::sleep_for(20us);
    return ManualClock::now();
}

// At the node's usual pace.
class ReceiverFloodTest : public NodeTest {};

TEST_F(ReceiverFloodTest, AFloodDoesNotKeepTheNodeFromStopping) {
    goLive(freeUdpPort());
    sendAndPop(zmf::encode(makeDefinition(0.25F)));
    device().CharacterizationComplete();
    device().setClock(&slowClock);
    const StreamCounters& counters = device().counters();
    std::chrono::steady_clock::duration stopTook{};
    {
        // A node that read until its socket is empty would push nothing more, and stop only
        // when the flood ends.
        Flood flood(mPort, zmf::encode(makeFrame(1, 0.0, 1.0F)), 4s);
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (counters.datagramsReceived.load() < 4000 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_GE(counters.datagramsReceived.load(), 4000U) << "the flood never got going";
        EXPECT_GE(counters.blocksPushed.load(), 3U) << "blocks kept coming during the flood";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(mayahost::deleteNode(nodeObject()), MStatus::kSuccess);
        stopTook = std::chrono::steady_clock::now() - start;
    }
    EXPECT_LT(stopTook, 1s);
}

TEST_F(ReceiverPassTest, StatisticsNameEveryCounterAndTheSender) {
    std::map<std::string, std::string> fresh;
    for (const auto& [name, value] : device().deviceStatus()) {
        EXPECT_EQ(fresh.count(name), 0U) << "each name once: " << name;
        fresh[name] = value;
    }
    EXPECT_EQ(fresh["datagramsReceived"], "0");
    EXPECT_LT(std::stod(fresh["secondsSinceLastDatagram"]), 0.0);
    EXPECT_EQ(fresh["sender"], "");
    EXPECT_EQ(fresh["rateMeasured"], "0");

    reachStreaming();
    sendAndPop(frame(1.0F));
    mFrameNumber += 3;  // three frames lost on the way
    sendAndPop(frame(2.0F));
    sendAndPop(std::vector<std::byte>(8, std::byte{0x01}));
    ManualClock::advance(1500ms);
    std::map<std::string, std::string> byName;
    for (const auto& [name, value] : device().deviceStatus()) {
        byName[name] = value;
    }
    EXPECT_EQ(byName["datagramsReceived"], "4");
    EXPECT_EQ(byName["framesApplied"], "2");
    EXPECT_EQ(byName["framesMissed"], "3");
    // Frame 1 at 1/60 s follows the empty header before any frame (number 0 at 0 s).
    EXPECT_EQ(byName["rateMeasured"], "1");
    EXPECT_EQ(byName["definitionsAccepted"], "1");
    EXPECT_EQ(byName["datagramsRejected"], "1");
    EXPECT_EQ(byName["blocksPushed"], "4");
    EXPECT_EQ(byName["blocksSuperseded"], "0");
    EXPECT_EQ(byName["passesWithoutBuffer"], "0");
    EXPECT_EQ(byName["blocksPassedOver"], "0");
    EXPECT_EQ(byName["secondsSinceLastDatagram"], "1.500");
    EXPECT_EQ(byName["sender"].rfind("127.0.0.1:", 0), 0U) << byName["sender"];
    EXPECT_GT(std::stoi(byName["sender"].substr(10)), 0);
}

}  // namespace
}  // namespace nodetest
