#pragma once

#include <maya/MTime.h>

#include <atomic>

namespace mayahost {

class Scene;
class TypeRegistry;

// The UI time unit, the current time (time1.outTime, in UI units) and playback.
class Timeline {
public:
    Timeline(Scene& scene, const TypeRegistry& types);

    MTime::Unit uiUnit() const;
    // Fails on a unit without a fixed rate. The current time stays the same instant, so
    // time1.outTime is rescaled into the new unit.
    bool setUIUnit(MTime::Unit unit);

    // time1.outTime, 0 when the scene has no time1.
    double current() const;
    // Sets time1.outTime and dirties what it drives, animation curve outputs included.
    void moveTo(double uiValue);

    void play();
    void stop();
    bool playing() const;
    // Moves the current time by `uiUnits` while playing; false (and no move) when stopped.
    bool advance(double uiUnits);

    // Film, stopped, time 0.
    void reset();

private:
    Scene& scene_;
    const TypeRegistry& types_;
    std::atomic<int> uiUnit_{MTime::kFilm};  // any host thread reads; main thread writes
    std::atomic<bool> playing_{false};       // any host thread reads; main thread writes
};

}  // namespace mayahost
