// The stream socket's one owner: a capture run borrows it, one run at a time, and a close
// takes it back before closing it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "CaptureWaker.h"
#include "StreamSocketSlot.h"

namespace {

int udpSocket() {
    return socket(AF_INET, SOCK_DGRAM, 0);
}

TEST(StreamSocketSlot, OneRunBorrowsAtATimeAndAskingWakesItWhenHandedBack) {
    StreamSocketSlot slot;
    CaptureWaker waker;
    const int descriptor = udpSocket();
    ASSERT_GT(descriptor, 0);
    EXPECT_EQ(slot.borrow(), 0) << "nothing to lend yet";
    ASSERT_TRUE(slot.install(descriptor));
    const int second = udpSocket();
    EXPECT_FALSE(slot.install(second)) << "one socket per node";
    close(second);

    EXPECT_EQ(slot.borrow(), descriptor);
    EXPECT_EQ(slot.borrow(), 0) << "a second run waits for it";
    slot.giveBack(waker);
    EXPECT_EQ(waker.waitForWake(std::chrono::milliseconds(0)), CaptureWaker::WaitResult::Woken);
    EXPECT_EQ(slot.borrow(), descriptor);
    slot.giveBack(waker);
    EXPECT_EQ(waker.waitForWake(std::chrono::milliseconds(0)), CaptureWaker::WaitResult::TimedOut)
        << "nobody asked meanwhile";
    EXPECT_TRUE(slot.close(waker));
    EXPECT_FALSE(slot.isOpen());
    EXPECT_FALSE(slot.close(waker));
}

TEST(StreamSocketSlot, CloseWaitsForTheBorrowerWhichStopsReading) {
    StreamSocketSlot slot;
    CaptureWaker waker;
    ASSERT_TRUE(slot.install(udpSocket()));
    const int lent = slot.borrow();
    ASSERT_GT(lent, 0);

    std::atomic<bool> closed{false};
    std::thread closer([&] {
        slot.close(waker);
        closed.store(true);
    });
    // The borrower, waiting for data, is woken and sees the recall.
    EXPECT_EQ(waker.waitReadable(lent, std::chrono::seconds(5)), CaptureWaker::WaitResult::Woken);
    while (!slot.recalled()) {
        std::this_thread::yield();
    }
    EXPECT_EQ(slot.borrow(), 0) << "nothing is lent while a close waits";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(closed.load()) << "not closed under the borrower";
    char byte = 0;
    EXPECT_EQ(recv(lent, &byte, 1, MSG_DONTWAIT), -1);
    EXPECT_EQ(errno, EAGAIN) << "still this run's open socket";
    slot.giveBack(waker);
    closer.join();
    EXPECT_TRUE(closed.load());
    EXPECT_FALSE(slot.recalled());
    EXPECT_FALSE(slot.isOpen());
}

}  // namespace
