// Reading the plug-in's "TulvexDeviceStatus" answer.
#include <gtest/gtest.h>

#include "DeviceStatus.h"

namespace {

std::vector<std::string> answer() {
    return {"state",
            "streaming",
            "live",
            "1",
            "port",
            "12351",
            "detectedRate",
            "60",
            "recording",
            "0",
            "takeSeconds",
            "0.00",
            "datagramsReceived",
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
            "127.0.0.1:50000",
            "bakedCurves",
            "162",
            "bakedKeysPerCurve",
            "49",
            "bakedFilledPerCurve",
            "2",
            "bakedFirstTime",
            "1.00",
            "bakedLastTime",
            "49.00",
            "samplesWithoutPose",
            "4"};
}

TEST(DeviceStatusTest, ReadsEveryCountItKnowsAndSkipsTheRest) {
    const std::optional<DeviceStatus> parsed = DeviceStatus::parse(answer());
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->datagramsReceived, 1200U);
    EXPECT_EQ(parsed->framesApplied, 1180U);
    EXPECT_EQ(parsed->definitionsAccepted, 2U);
    EXPECT_EQ(parsed->datagramsRejected, 7U);
    EXPECT_EQ(parsed->blocksPushed, 900U);
    EXPECT_EQ(parsed->samplesWithoutPose, 4U);
    EXPECT_EQ(parsed->blocksSuperseded, 281U);
    EXPECT_DOUBLE_EQ(parsed->secondsSinceLastDatagram, 0.016);
    EXPECT_EQ(parsed->state, "streaming");
    EXPECT_EQ(parsed->detectedRate, 60U);
    EXPECT_EQ(parsed->bakedCurves, 162U);
    EXPECT_EQ(parsed->bakedKeysPerCurve, 49U);
    EXPECT_EQ(parsed->bakedFilledPerCurve, 2U);
    EXPECT_DOUBLE_EQ(parsed->bakedFirstTime, 1.0);
    EXPECT_DOUBLE_EQ(parsed->bakedLastTime, 49.0);
}

TEST(DeviceStatusTest, ReadsANodeThatReceivedNothing) {
    std::vector<std::string> fresh = answer();
    for (std::size_t i = 13; i < 28; i += 2) {
        fresh[i] = "0";
    }
    fresh[29] = "-1.000";
    fresh[31] = "";
    const std::optional<DeviceStatus> parsed = DeviceStatus::parse(fresh);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->datagramsReceived, 0U);
    EXPECT_LT(parsed->secondsSinceLastDatagram, 0.0);
}

TEST(DeviceStatusTest, CountsBeyondThirtyTwoBitsReadWhole) {
    std::vector<std::string> big = answer();
    big[13] = "8589934592";  // 2^33
    EXPECT_EQ(DeviceStatus::parse(big)->datagramsReceived, 8589934592ULL);
}

TEST(DeviceStatusTest, RefusesWhatIsNotNamesAndValues) {
    std::vector<std::string> odd = answer();
    odd.pop_back();
    EXPECT_FALSE(DeviceStatus::parse(odd).has_value());
    EXPECT_FALSE(DeviceStatus::parse({}).has_value());

    std::vector<std::string> missing = answer();
    missing.erase(missing.begin() + 22, missing.begin() + 24);  // no blocksSuperseded
    EXPECT_FALSE(DeviceStatus::parse(missing).has_value());

    for (const char* bad : {"", "12x", "-3", "1.5", " 7"}) {
        std::vector<std::string> wrong = answer();
        wrong[19] = bad;  // datagramsRejected
        EXPECT_FALSE(DeviceStatus::parse(wrong).has_value()) << "'" << bad << "'";
    }
    std::vector<std::string> seconds = answer();
    seconds[29] = "soon";
    EXPECT_FALSE(DeviceStatus::parse(seconds).has_value());
}

}  // namespace
