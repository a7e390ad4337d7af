// Reading the plug-in's "TulvexStreamStats" answer.
#include <gtest/gtest.h>

#include "StreamStatistics.h"

namespace {

std::vector<std::string> answer() {
    return {"datagramsReceived",
            "1200",
            "framesApplied",
            "1180",
            "definitionsAccepted",
            "2",
            "datagramsRejected",
            "7",
            "blocksPushed",
            "900",
            "blocksSuperseded",
            "281",
            "passesWithoutBuffer",
            "0",
            "blocksPassedOver",
            "3",
            "secondsSinceLastDatagram",
            "0.016",
            "sender",
            "127.0.0.1:50000"};
}

TEST(StreamStatisticsTest, ReadsEveryCountItKnowsAndSkipsTheRest) {
    const std::optional<StreamStatistics> parsed = StreamStatistics::parse(answer());
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->datagramsReceived, 1200U);
    EXPECT_EQ(parsed->framesApplied, 1180U);
    EXPECT_EQ(parsed->definitionsAccepted, 2U);
    EXPECT_EQ(parsed->datagramsRejected, 7U);
    EXPECT_EQ(parsed->blocksPushed, 900U);
    EXPECT_EQ(parsed->blocksSuperseded, 281U);
    EXPECT_DOUBLE_EQ(parsed->secondsSinceLastDatagram, 0.016);
}

TEST(StreamStatisticsTest, ReadsANodeThatReceivedNothing) {
    std::vector<std::string> fresh = answer();
    for (std::size_t i = 1; i < 16; i += 2) {
        fresh[i] = "0";
    }
    fresh[17] = "-1.000";
    fresh[19] = "";
    const std::optional<StreamStatistics> parsed = StreamStatistics::parse(fresh);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->datagramsReceived, 0U);
    EXPECT_LT(parsed->secondsSinceLastDatagram, 0.0);
}

TEST(StreamStatisticsTest, CountsBeyondThirtyTwoBitsReadWhole) {
    std::vector<std::string> big = answer();
    big[1] = "8589934592";  // 2^33
    EXPECT_EQ(StreamStatistics::parse(big)->datagramsReceived, 8589934592ULL);
}

TEST(StreamStatisticsTest, RefusesWhatIsNotNamesAndValues) {
    std::vector<std::string> odd = answer();
    odd.pop_back();
    EXPECT_FALSE(StreamStatistics::parse(odd).has_value());
    EXPECT_FALSE(StreamStatistics::parse({}).has_value());

    std::vector<std::string> missing = answer();
    missing.erase(missing.begin() + 10, missing.begin() + 12);  // no blocksSuperseded
    EXPECT_FALSE(StreamStatistics::parse(missing).has_value());

    for (const char* bad : {"", "12x", "-3", "1.5", " 7"}) {
        std::vector<std::string> wrong = answer();
        wrong[7] = bad;
        EXPECT_FALSE(StreamStatistics::parse(wrong).has_value()) << "'" << bad << "'";
    }
    std::vector<std::string> seconds = answer();
    seconds[17] = "soon";
    EXPECT_FALSE(StreamStatistics::parse(seconds).has_value());
}

}  // namespace
