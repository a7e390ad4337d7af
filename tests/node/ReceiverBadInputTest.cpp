// Hostile or broken datagrams: nothing crashes, nothing is written past a buffer (ASan), and
// the unchanged channels are pushed.
#include <mayahost/HostControl.h>

#include <cstring>
#include <random>
#include <vector>

#include "NodeFixture.h"
#include "RecordCompare.h"

namespace nodetest {
namespace {

class ReceiverBadInputTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        goLive(freeUdpPort());
        // Streaming, with a known pose to compare against.
        sendAndPop(zmf::encode(makeDefinition(0.25F)));
        device().CharacterizationComplete();
        mStreamed = sendAndPop(zmf::encode(makeFrame(1, 0.0, 2.0F)));
        ASSERT_EQ(mStreamed[0].currentTranslation[0], 200.0);
        mayahost::takeIdleCommands();
    }

    void expectUnchanged(const Block& block) const {
        EXPECT_TRUE(recordcompare::sameRecords(block, mStreamed));
    }

    Block mStreamed{};
};

TEST_F(ReceiverBadInputTest, RandomBytesAreDropped) {
    std::mt19937 random(1234);
    for (const std::size_t size : {1U, 16U, 911U, 4096U}) {
        std::vector<std::byte> noise(size);
        for (std::byte& b : noise) {
            b = static_cast<std::byte>(random());
        }
        expectUnchanged(sendAndPop(noise));
    }
}

TEST_F(ReceiverBadInputTest, TruncatedPacketIsDropped) {
    std::vector<std::byte> packet = zmf::encode(makeFrame(2, 0.0, 9.0F));
    packet.resize(packet.size() / 2);
    expectUnchanged(sendAndPop(packet));
}

TEST_F(ReceiverBadInputTest, EmptyDatagramIsHandledAsNothing) {
    expectUnchanged(sendAndPop({}));
}

TEST_F(ReceiverBadInputTest, DatagramLongerThanTheBufferIsCutAndDropped) {
    std::vector<std::byte> oversized(6000, std::byte{0x5A});
    expectUnchanged(sendAndPop(oversized));
}

TEST_F(ReceiverBadInputTest, ShorterDatagramNeverReusesBytesOfTheOneBefore) {
    // After a silence the node awaits a definition. A full definition (a repeat) ends the
    // wait; a cut copy of it must not, although the stale bytes behind it would complete it.
    const std::vector<std::byte> definition = zmf::encode(makeDefinition(0.25F));
    ManualClock::advance(std::chrono::seconds(2));
    sendAndPop(definition);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());

    ManualClock::advance(std::chrono::seconds(2));
    sendAndPop(std::vector<std::byte>(definition.begin(), definition.begin() + 100));
    EXPECT_TRUE(device().isAwaitingSkeletonDefinition());
}

TEST_F(ReceiverBadInputTest, DefinitionWithMoreThan27BonesAppliesTheFirst27) {
    ManualClock::advance(std::chrono::seconds(2));
    const Block block = sendAndPop(zmf::encode(makeDefinition(0.75F, 60)));
    EXPECT_EQ(block[26].restTranslation[0], 75.0);
    EXPECT_STREQ(block[26].name, "r_toes");
}

TEST_F(ReceiverBadInputTest, SecondSenderCannotSwapTheSkeletonWhileStreaming) {
    UdpSender intruder;
    intruder.send(mPort, zmf::encode(makeDefinition(0.9F)));
    Block block{};
    ASSERT_TRUE(popBlock(block));
    EXPECT_EQ(block[0].restTranslation[0], 25.0);
    // Interleaved with the performer's own frames, which keep flowing.
    mSender.send(mPort, zmf::encode(makeFrame(2, 0.0, 3.0F)));
    ASSERT_TRUE(popBlock(block));
    EXPECT_EQ(block[0].currentTranslation[0], 300.0);
    EXPECT_FALSE(device().isAwaitingSkeletonDefinition());
    EXPECT_TRUE(mayahost::takeIdleCommands().empty());
}

}  // namespace
}  // namespace nodetest
