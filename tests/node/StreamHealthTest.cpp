#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "RecentEvents.h"
#include "StreamHealth.h"

namespace {

using Events = std::vector<std::pair<std::int64_t, std::int64_t>>;
constexpr std::int64_t kMs = 1000000;

TEST(StreamHealthTest, AgesGiveMedianAndNearestRank95thAndFramesGiveRateAndJitter) {
    Events ages;
    for (int i = 1; i <= 20; ++i) {
        ages.emplace_back(i * kMs, i * kMs);  // 1..20 ms
    }
    // 61 frames a steady 16 ms apart but for one 32 ms gap and one 0 ms pair.
    Events frames;
    std::int64_t at = 0;
    for (int i = 0; i < 61; ++i) {
        at += i == 30 ? 32 * kMs : (i == 31 ? 0 : 16 * kMs);
        frames.emplace_back(at, 0);
    }
    const StreamHealth::Figures f = StreamHealth::summarise(ages, frames, 1000 * kMs);
    EXPECT_EQ(f.posesShown, 20);
    EXPECT_DOUBLE_EQ(f.ageMedianMs, 10.0);
    EXPECT_DOUBLE_EQ(f.age95Ms, 19.0);
    EXPECT_DOUBLE_EQ(f.decodedRate, 61.0);
    // Intervals: 58 of 16 ms, one of 32 and one of 0: mean 16, variance 2 * 256 / 60.
    EXPECT_NEAR(f.jitterMs, std::sqrt(512.0 / 60.0), 1e-9);

    const StreamHealth::Figures quiet = StreamHealth::summarise({}, {}, 1000 * kMs);
    EXPECT_EQ(quiet.posesShown, 0);
    EXPECT_EQ(quiet.ageMedianMs, 0.0);
    EXPECT_EQ(quiet.decodedRate, 0.0);
    EXPECT_EQ(quiet.jitterMs, 0.0);
}

TEST(StreamHealthTest, RecentEventsKeepTheLastLapAndReadWhileWritten) {
    RecentEvents events;
    for (std::int64_t i = 1; i <= 1000; ++i) {
        events.note(i, -i);
    }
    Events out;
    events.collect(0, out);
    ASSERT_EQ(out.size(), RecentEvents::kCapacity);
    EXPECT_EQ(out.front(), (std::pair<std::int64_t, std::int64_t>{1000 - 511, -(1000 - 511)}));
    EXPECT_EQ(out.back(), (std::pair<std::int64_t, std::int64_t>{1000, -1000}));
    events.collect(996, out);
    EXPECT_EQ(out.size(), 5U);

    // A reader beside the writer sees only whole events it can make sense of.
    RecentEvents live;
    std::thread writer([&live] {
        for (std::int64_t i = 1; i <= 200000; ++i) {
            live.note(i, 2 * i);
        }
    });
    for (int read = 0; read < 200; ++read) {
        live.collect(0, out);
        for (const auto& [at, value] : out) {
            ASSERT_EQ(value, 2 * at);
        }
    }
    writer.join();
}

}  // namespace
