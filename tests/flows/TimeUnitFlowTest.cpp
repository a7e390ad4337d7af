// The scene's time unit changed after the node was made: Maya keeps the rate a conversion
// had when it was made, so the scripts make the node's time connection again, and a take
// recorded afterwards is keyed at the scene's whole frames.
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(FlowTest, AfterATimeUnitChangeTheNodeRecordsInTheScenesFrames) {
    loadPlugin();
    const std::string node = streamAndBind();
    ASSERT_FALSE(HasFailure());
    mel("currentTime 10");
    EXPECT_DOUBLE_EQ(melNumber("getAttr " + node + ".time"), 10.0);

    mel("currentUnit -time ntsc; currentTime 10");
    // Until Maya is idle, the connection still converts at film's rate: 10 ntsc frames read
    // as 8 film frames. This is what the scripts' job puts right.
    EXPECT_DOUBLE_EQ(melNumber("getAttr " + node + ".time"), 8.0);
    idle();
    EXPECT_DOUBLE_EQ(melNumber("getAttr " + node + ".time"), 10.0);
    const std::vector<std::string> conversions = melList("ls -type timeToUnitConversion");
    ASSERT_EQ(conversions.size(), 1U);
    EXPECT_DOUBLE_EQ(melNumber("getAttr " + conversions[0] + ".conversionFactor"), 1.0 / 200.0);

    // Record a second of playback at 30 frames a second and bake it.
    click(panelControlName("recording", 0));
    mel("playbackOptions -min 1 -max 1000 -loop \"once\"; currentTime 1; play");
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    double lastFrame = 1.0;
    while (Clock::now() - start < std::chrono::seconds(1)) {
        const Clock::time_point now = Clock::now();
        mayahost::stepPlayback(now - last);
        last = now;
        pump();
        lastFrame = mayahost::sceneTime();
    }
    mel("play -state off");
    click(panelControlName("recording", 0));
    ASSERT_TRUE(pumpUntil(
        [] { return !mayahost::animCurveKeys("tulvexCharacter0_Skeleton_r_toes_rz").empty(); }));
    const std::vector<mayahost::CurveKey> keys =
        mayahost::animCurveKeys("tulvexCharacter0_Skeleton_root_tx");
    ASSERT_GE(keys.size(), 10U);
    for (const mayahost::CurveKey& key : keys) {
        EXPECT_EQ(key.time, std::round(key.time)) << "a key off the scene's frames";
        EXPECT_GE(key.time, 1.0);
        EXPECT_LE(key.time, lastFrame);
    }
    // A second at 30 frames a second: the keys span most of the frames played.
    EXPECT_GE(keys.back().time - keys.front().time, 0.8 * (lastFrame - 1.0) - 2.0);
}

TEST_F(FlowTest, ATimeConnectionTheUserMadeElsewhereIsLeftAlone) {
    loadPlugin();
    clickNewDevice();
    mel("createNode -n clock transform; connectAttr -force clock.tx tulvexDevice0.time");
    mel("currentUnit -time pal");
    idle();
    EXPECT_EQ(melList("listConnections -s 1 -d 0 -p 1 tulvexDevice0.time"),
              std::vector<std::string>{"clock.translateX"});
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

}  // namespace
}  // namespace flowtest
