// Playback never shows a time outside the playback range, whatever the step and loop mode:
// a step past the end wraps to the start, turns back or stops on the last frame.
#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>

#include <chrono>
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

using namespace std::chrono_literals;
constexpr std::chrono::nanoseconds kFilmFrame = std::chrono::nanoseconds(1s) / 24;

class TimelineRangeTest : public HostFixture {
protected:
    // The times `steps` passes show, after `playbackOptions <options>` from the range start.
    std::vector<double> played(const std::string& options, int steps,
                               std::chrono::nanoseconds elapsed = kFilmFrame) {
        EXPECT_TRUE(MGlobal::executeCommand(("playbackOptions " + options).c_str())) << options;
        mayahost::setSceneTime(mayahost::playbackOptions().minTime);
        mayahost::startPlayback();
        std::vector<double> times;
        for (int i = 0; i < steps; ++i) {
            mayahost::stepPlayback(elapsed);
            times.push_back(mayahost::sceneTime());
        }
        return times;
    }
};

TEST_F(TimelineRangeTest, AStepPastTheEndWrapsTurnsBackOrStops) {
    EXPECT_EQ(played("-min 1 -max 10 -by 2 -ps 0 -loop continuous", 7),
              (std::vector<double>{3, 5, 7, 9, 1, 3, 5}));
    EXPECT_EQ(played("-min 1 -max 10 -by 2 -ps 0 -loop oscillate", 10),
              (std::vector<double>{3, 5, 7, 9, 7, 5, 3, 1, 3, 5}));
    EXPECT_EQ(played("-min 1 -max 10 -by 2 -ps 0 -loop once", 6),
              (std::vector<double>{3, 5, 7, 9, 10, 10}));
    EXPECT_FALSE(MAnimControl::isPlaying());
    // A step that lands on the end is shown; the next one wraps or turns back from it.
    EXPECT_EQ(played("-min 1 -max 10 -by 3 -ps 0 -loop continuous", 5),
              (std::vector<double>{4, 7, 10, 1, 4}));
    EXPECT_EQ(played("-min 1 -max 10 -by 3 -ps 0 -loop oscillate", 7),
              (std::vector<double>{4, 7, 10, 7, 4, 1, 4}));
    // A range shorter than one step holds its frames.
    EXPECT_EQ(played("-min 1 -max 2 -by 5 -ps 0 -loop continuous", 3),
              (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(played("-min 1 -max 2 -by 5 -ps 0 -loop oscillate", 3),
              (std::vector<double>{1, 1, 1}));
}

TEST_F(TimelineRangeTest, EveryStepAndModeStaysInTheRange) {
    for (const char* loop : {"once", "continuous", "oscillate"}) {
        for (const char* by : {"0.5", "1", "2", "2.5", "3", "4", "7", "9", "10", "15"}) {
            // Every frame, and real time falling behind by two and a half frames a pass.
            for (const auto elapsed : {kFilmFrame, kFilmFrame * 5 / 2}) {
                for (const char* speed : {"0", "1"}) {
                    const std::string options = std::string("-min 1 -max 10 -loop ") + loop +
                                                " -by " + by + " -ps " + speed;
                    SCOPED_TRACE(options);
                    for (const double time : played(options, 60, elapsed)) {
                        EXPECT_GE(time, 1.0);
                        EXPECT_LE(time, 10.0);
                    }
                }
            }
        }
    }
}

}  // namespace
