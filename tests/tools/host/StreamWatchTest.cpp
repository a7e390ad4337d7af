// When a stream counts as stopped during a take, and for how long.
#include <gtest/gtest.h>

#include "StreamWatch.h"

namespace {

// Looks every tenth of a second from `from` to `to` at a stream that sends 60 a second while
// `sending(t)` holds, counting what it sent since the take began.
class Stream {
public:
    template <typename Sending>
    void run(StreamWatch& watch, double from, double to, Sending sending) {
        for (double t = from; t <= to + 1e-9; t += 0.1) {
            for (; mClock + 1.0 / 60.0 <= t; mClock += 1.0 / 60.0) {
                if (sending(mClock + 1.0 / 60.0)) {
                    mLast = mClock + 1.0 / 60.0;
                    ++mCount;
                }
            }
            watch.observe(t, mCount == 0 ? -1.0 : t - mLast, mCount);
        }
    }

private:
    double mClock = -0.5;  // the stream started before the take
    double mLast = -0.5;
    std::uint64_t mCount = 0;
};

TEST(StreamWatchTest, ASteadyStreamNeverStops) {
    StreamWatch watch;
    Stream().run(watch, 0.0, 10.0, [](double) { return true; });
    watch.end(10.0);
    EXPECT_TRUE(watch.stops().empty());
}

TEST(StreamWatchTest, AStreamThatEndsMidTakeStopsUntilTheEnd) {
    StreamWatch watch;
    Stream().run(watch, 0.0, 5.0, [](double t) { return t <= 2.0; });
    ASSERT_TRUE(watch.current().has_value());
    watch.end(5.0);
    ASSERT_EQ(watch.stops().size(), 1U);
    EXPECT_NEAR(watch.stops()[0].at, 2.0, 1.0 / 60.0);
    EXPECT_NEAR(watch.stops()[0].length, 3.0, 1.0 / 60.0);
    EXPECT_FALSE(watch.stops()[0].resumed);
    EXPECT_FALSE(watch.current().has_value());
}

TEST(StreamWatchTest, APauseLongerThanASecondIsAStopThatEndsWhenDatagramsComeBack) {
    StreamWatch watch;
    Stream().run(watch, 0.0, 6.0, [](double t) { return t <= 1.5 || t >= 3.5; });
    watch.end(6.0);
    ASSERT_EQ(watch.stops().size(), 1U);
    EXPECT_NEAR(watch.stops()[0].at, 1.5, 1.0 / 60.0);
    // Measured to the newest datagram at the first look after: up to a look longer.
    EXPECT_GE(watch.stops()[0].length, 2.0 - 1.0 / 60.0);
    EXPECT_LE(watch.stops()[0].length, 2.1 + 1.0 / 60.0);
    EXPECT_TRUE(watch.stops()[0].resumed);
}

TEST(StreamWatchTest, ASilenceOfASecondOrLessIsNoStop) {
    StreamWatch watch;
    Stream().run(watch, 0.0, 6.0, [](double t) { return t <= 2.0 || t > 2.95; });
    watch.end(6.0);
    EXPECT_TRUE(watch.stops().empty());
}

TEST(StreamWatchTest, EachPauseIsItsOwnStop) {
    StreamWatch watch;
    Stream().run(watch, 0.0, 10.0,
                 [](double t) { return t <= 1.0 || (t >= 3.0 && t <= 5.0) || t >= 7.5; });
    watch.end(10.0);
    ASSERT_EQ(watch.stops().size(), 2U);
    EXPECT_NEAR(watch.stops()[0].at, 1.0, 1.0 / 60.0);
    EXPECT_NEAR(watch.stops()[1].at, 5.0, 1.0 / 60.0);
}

TEST(StreamWatchTest, ANodeThatNeverReceivedAnythingStopsFromTheStart) {
    StreamWatch watch;
    for (double t = 0.0; t <= 3.0; t += 0.1) {
        watch.observe(t, -1.0, 0);
    }
    watch.end(3.0);
    ASSERT_EQ(watch.stops().size(), 1U);
    EXPECT_EQ(watch.stops()[0].at, 0.0);
    EXPECT_NEAR(watch.stops()[0].length, 3.0, 1e-9);
}

TEST(StreamWatchTest, ASilenceThatBeganBeforeTheTakeCountsFromItsStart) {
    StreamWatch watch;
    watch.observe(0.1, 2.6, 500);  // the last datagram came 2.5 s before the take
    watch.end(4.0);
    ASSERT_EQ(watch.stops().size(), 1U);
    EXPECT_EQ(watch.stops()[0].at, 0.0);
    EXPECT_NEAR(watch.stops()[0].length, 4.0, 1e-9);
}

TEST(StreamWatchTest, TheCountNotTheClockEndsAStop) {
    StreamWatch watch;
    watch.observe(3.0, 1.5, 100);
    ASSERT_TRUE(watch.current().has_value());
    // The time since the last datagram reads a little less than before (the two clocks were
    // read a moment apart), but nothing arrived: the stop goes on.
    watch.observe(3.1, 1.599, 100);
    EXPECT_TRUE(watch.current().has_value());
    EXPECT_TRUE(watch.stops().empty());
    watch.observe(3.2, 0.05, 101);
    EXPECT_FALSE(watch.current().has_value());
    ASSERT_EQ(watch.stops().size(), 1U);
    EXPECT_NEAR(watch.stops()[0].at, 1.5, 1e-9);
    EXPECT_NEAR(watch.stops()[0].length, 1.65, 1e-9);
}

}  // namespace
