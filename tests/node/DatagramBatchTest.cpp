// Reading what a socket holds several datagrams at a time: each one whole and in order, a
// short read saying the socket is empty, an oversized one cut at the buffer's size.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "DatagramBatch.h"

namespace {

class DatagramBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        receiver_ = socket(AF_INET, SOCK_DGRAM, 0);
        sender_ = socket(AF_INET, SOCK_DGRAM, 0);
        ASSERT_GT(receiver_, 0);
        ASSERT_GT(sender_, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(receiver_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        socklen_t length = sizeof(address_);
        ASSERT_EQ(getsockname(receiver_, reinterpret_cast<sockaddr*>(&address_), &length), 0);
        ASSERT_EQ(bind(sender_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        length = sizeof(senderAddress_);
        ASSERT_EQ(getsockname(sender_, reinterpret_cast<sockaddr*>(&senderAddress_), &length), 0);
    }
    void TearDown() override {
        close(receiver_);
        close(sender_);
    }
    void send(const std::string& bytes) {
        ASSERT_EQ(sendto(sender_, bytes.data(), bytes.size(), 0,
                         reinterpret_cast<const sockaddr*>(&address_), sizeof(address_)),
                  static_cast<ssize_t>(bytes.size()));
    }
    static std::string text(const DatagramBatch& batch, int index) {
        return std::string(reinterpret_cast<const char*>(batch.data(index)), batch.length(index));
    }

    int receiver_ = -1;
    int sender_ = -1;
    sockaddr_in address_{};
    sockaddr_in senderAddress_{};
};

TEST_F(DatagramBatchTest, ReadsWhatWaitsInOrderAndAShortReadMeansNoMore) {
    DatagramBatch batch;
    EXPECT_EQ(batch.read(receiver_, 1), DatagramBatch::Result::Empty);
    EXPECT_EQ(batch.count(), 0);

    std::vector<std::string> sent;
    for (int i = 0; i < DatagramBatch::kCapacity + 2; ++i) {
        sent.push_back("datagram " + std::to_string(i) +
                       std::string(static_cast<std::size_t>(i), '+'));
        send(sent.back());
    }
    std::vector<std::string> read;
    for (;;) {
        const DatagramBatch::Result result = batch.read(receiver_, DatagramBatch::kCapacity);
        if (result == DatagramBatch::Result::Empty) {
            break;
        }
        ASSERT_EQ(result, DatagramBatch::Result::Read);
        ASSERT_GE(batch.count(), 1);
        ASSERT_LE(batch.count(), DatagramBatch::kCapacity);
        for (int i = 0; i < batch.count(); ++i) {
            read.push_back(text(batch, i));
            EXPECT_EQ(batch.sender(i).sin_port, senderAddress_.sin_port);
            EXPECT_EQ(batch.sender(i).sin_addr.s_addr, senderAddress_.sin_addr.s_addr);
        }
        if (batch.count() < DatagramBatch::kCapacity) {
            // Short: nothing else was waiting.
            EXPECT_EQ(batch.read(receiver_, DatagramBatch::kCapacity),
                      DatagramBatch::Result::Empty);
            break;
        }
    }
    EXPECT_EQ(read, sent);
}

TEST_F(DatagramBatchTest, AnEmptyDatagramCountsAndAnOversizedOneIsCutAtTheBuffer) {
    send(std::string());
    send(std::string(DatagramBatch::kDatagramCapacity + 100, 'x'));
    DatagramBatch batch;
    std::vector<std::size_t> lengths;
    while (lengths.size() < 2) {
        ASSERT_EQ(batch.read(receiver_, 1), DatagramBatch::Result::Read);
        ASSERT_EQ(batch.count(), 1);
        lengths.push_back(batch.length(0));
    }
    EXPECT_EQ(lengths[0], 0U);
    EXPECT_EQ(lengths[1], DatagramBatch::kDatagramCapacity);
    EXPECT_EQ(text(batch, 0), std::string(DatagramBatch::kDatagramCapacity, 'x'));
}

TEST_F(DatagramBatchTest, AskingForNoneOrTooManyOrReadingAClosedSocketFails) {
    DatagramBatch batch;
    send("waiting");
    errno = 0;
    EXPECT_EQ(batch.read(receiver_, 0), DatagramBatch::Result::Failed);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(batch.read(receiver_, DatagramBatch::kCapacity + 1), DatagramBatch::Result::Failed);
    EXPECT_EQ(batch.count(), 0);
    const int closed = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GT(closed, 0);
    close(closed);
    EXPECT_EQ(batch.read(closed, 1), DatagramBatch::Result::Failed);
    EXPECT_EQ(errno, EBADF);
    // The datagram asked for wrongly is still there.
    ASSERT_EQ(batch.read(receiver_, 1), DatagramBatch::Result::Read);
    EXPECT_EQ(text(batch, 0), "waiting");
}

}  // namespace
