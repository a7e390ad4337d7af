// Record: Recording ticked while the timeline plays; stopping keeps the take while recording
// and live are on; switching Recording off, or Live off, bakes it into six curves per bone
// keyed at the scene's whole frames.
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

class RecordFlow : public FlowTest {
protected:
    // The root's x curve: keys at whole frames in order, following the frames.
    void expectRootCurve() {
        const std::vector<mayahost::CurveKey> keys =
            mayahost::animCurveKeys("tulvexCharacter0_Skeleton_root_tx");
        ASSERT_GE(keys.size(), 10U);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            EXPECT_EQ(keys[k].time, std::round(keys[k].time)) << "key " << k;
            if (k > 0) {
                EXPECT_GT(keys[k].time, keys[k - 1].time);
                EXPECT_GE(keys[k].value, keys[k - 1].value) << "frames go forward";
            }
        }
        EXPECT_GE(keys.front().time, 1.0);
        EXPECT_LE(keys.back().time, 1.0 + 2 * 24.0);
    }
};

int curveCount() {
    int count = 0;
    for (const std::string& name : mayahost::animCurveNames()) {
        count += name.rfind("tulvexCharacter0_Skeleton_", 0) == 0 ? 1 : 0;
    }
    return count;
}

TEST_F(RecordFlow, SwitchingRecordingOffBakesTheTake) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    click(panelControlName("recording", 0));
    EXPECT_EQ(mel("getAttr tulvexDevice0.recording"), "1");
    playFor(std::chrono::seconds(1));
    // Stopped, with recording and live still on: the take waits.
    for (int i = 0; i < 10; ++i) {
        pump();
    }
    EXPECT_EQ(curveCount(), 0);
    click(panelControlName("recording", 0));
    ASSERT_TRUE(pumpUntil([] { return curveCount() == 162; })) << curveCount() << " curves";
    expectRootCurve();
    EXPECT_EQ(mel("getAttr tulvexDevice0.live"), "1");
    EXPECT_TRUE(mayahost::takeScriptErrors().empty());
}

TEST_F(RecordFlow, SwitchingLiveOffWhileRecordingBakesTheTake) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    click(panelControlName("recording", 0));
    playFor(std::chrono::seconds(1));
    click(panelControlName("live", 0));
    ASSERT_TRUE(pumpUntil([] { return curveCount() == 162; })) << curveCount() << " curves";
    expectRootCurve();
    EXPECT_FALSE(panelControl("live", 0).value);
    EXPECT_TRUE(panelControl("recording", 0).value);
    EXPECT_EQ(mel("getAttr tulvexDevice0.live"), "0");
}

}  // namespace
}  // namespace flowtest
