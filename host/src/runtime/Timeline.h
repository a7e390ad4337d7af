#pragma once

#include <maya/MTime.h>
#include <mayahost/HostControl.h>

#include <chrono>
#include <cstdint>

namespace mayahost {

class Scene;
class TypeRegistry;

// The UI time unit, the current time and playback. time1.outTime holds the time in Maya's
// DG time unit (1/6000 s), so a change of the UI unit keeps the instant. Main thread only,
// as Maya's timeline is.
class Timeline {
public:
    Timeline(Scene& scene, const TypeRegistry& types);

    MTime::Unit uiUnit() const;
    // Fails on a unit without a fixed rate. The current time stays the same instant.
    bool setUIUnit(MTime::Unit unit);

    // The current time in UI units, 0 when the scene has no time1.
    double current() const;
    // Sets time1.outTime and dirties what it drives, animation curve outputs included.
    void moveTo(double uiValue);

    const PlaybackOptions& options() const { return options_; }
    // Fails, changing nothing, on an empty range, a step that is not positive or a negative
    // speed.
    bool setOptions(const PlaybackOptions& options);

    // Starting outside the playback range starts at its first frame.
    void play();
    void stop();
    bool playing() const;
    // R4: playback moves in whole steps of `by` frames at the UI rate, within the playback
    // range. Playing every frame (speed 0), each step moves one step; in real time the
    // time moves to the frame the elapsed time reaches, skipping frames when evaluation
    // falls behind. At the end of the range it loops, stops or turns back.
    bool step(std::chrono::nanoseconds elapsed);
    // Frames real-time playback passed over because the host reached them late, since reset.
    std::uint64_t framesSkipped() const { return skipped_; }

    // Film, stopped, time 0, the default playback options.
    void reset();

private:
    double framesPerSecond() const;
    double next(double time);

    Scene& scene_;
    const TypeRegistry& types_;
    MTime::Unit uiUnit_ = MTime::kFilm;
    bool playing_ = false;
    int direction_ = 1;     // -1 while an oscillating playback runs backwards
    double pending_ = 0.0;  // real-time playback: frames elapsed but not stepped yet
    std::uint64_t skipped_ = 0;
    PlaybackOptions options_;
};

}  // namespace mayahost
