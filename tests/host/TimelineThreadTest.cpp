// The timeline and curves seen from other host threads: playback state, UI unit and current
// time read while the main thread changes them, and keys read while another thread bakes.
#include <maya/MAnimControl.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MTime.h>

#include <atomic>
#include <thread>
#include <vector>

#include "HostFixture.h"

namespace {

class TimelineThreadTest : public HostFixture {};

TEST_F(TimelineThreadTest, OtherThreadsReadPlaybackUnitAndTimeWhileTheyChange) {
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> badUnits{0};
    std::thread reader([&] {
        while (!done) {
            const MTime::Unit unit = MTime::uiUnit();
            if (unit != MTime::kFilm && unit != MTime::kNTSCFrame) {
                ++badUnits;
            }
            MAnimControl::isPlaying();
            MAnimControl::currentTime();
            ++reads;
        }
    });
    for (int i = 0; i < 500; ++i) {
        MAnimControl::playForward();
        MTime::setUIUnit(i % 2 == 0 ? MTime::kNTSCFrame : MTime::kFilm);
        MAnimControl::setCurrentTime(MTime(i, MTime::kFilm));
        MAnimControl::stop();
    }
    // Make sure the reader overlapped at least the end of the changes.
    while (reads < 10) {
        std::this_thread::yield();
    }
    done = true;
    reader.join();
    EXPECT_EQ(badUnits, 0);
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);  // the last change, i = 499
    EXPECT_DOUBLE_EQ(mayahost::sceneTime(), 499.0);
    EXPECT_FALSE(MAnimControl::isPlaying());
}

TEST_F(TimelineThreadTest, KeysCanBeReadWhileAnotherThreadBakes) {
    MFnAnimCurve fn;
    MStatus status;
    fn.create(MFnAnimCurve::kAnimCurveTA, nullptr, &status);
    ASSERT_TRUE(status);
    const MObject curve = fn.object();
    constexpr unsigned int kKeys = 20000;
    std::thread baker([curve] {
        MFnAnimCurve bake(curve);
        for (unsigned int i = 0; i < kKeys; ++i) {
            bake.addKeyframe(MTime(i, MTime::kFilm), i * 0.5);
        }
    });
    std::size_t seen = 0;
    bool ordered = true;
    bool shrank = false;  // keys only ever get added
    while (seen < kKeys && !shrank) {
        const std::vector<mayahost::CurveKey> keys = mayahost::animCurveKeys("animCurveTA1");
        for (std::size_t k = 1; k < keys.size(); ++k) {
            ordered = ordered && keys[k - 1].time < keys[k].time;
        }
        shrank = keys.size() < seen;
        seen = keys.size();
    }
    baker.join();
    EXPECT_TRUE(ordered);
    EXPECT_FALSE(shrank);
    EXPECT_EQ(fn.numKeys(), kKeys);
    EXPECT_EQ(fn.value(kKeys - 1), (kKeys - 1) * 0.5);
}

}  // namespace
