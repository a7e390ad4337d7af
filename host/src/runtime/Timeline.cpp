#include "Timeline.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Evaluator.h"
#include "NodeRecord.h"
#include "PlugRef.h"
#include "Scene.h"
#include "TimeUnits.h"
#include "TypeRegistry.h"

namespace mayahost {

Timeline::Timeline(Scene& scene, const TypeRegistry& types) : scene_(scene), types_(types) {}

MTime::Unit Timeline::uiUnit() const {
    return uiUnit_;
}

bool Timeline::setUIUnit(MTime::Unit unit) {
    if (!TimeUnits::valid(unit)) {
        return false;
    }
    // time1.outTime holds the instant, not UI units: nothing moves.
    uiUnit_ = unit;
    return true;
}

double Timeline::current() const {
    PlugRef ref;
    ref.node = scene_.timeNode();
    ref.attribute = types_.builtins().outTime;
    std::vector<double> values;
    if (ref.node == nullptr || !Evaluator::readAll(ref, values) || values.empty()) {
        return 0.0;
    }
    return values.front() / TimeUnits::dgUnitsPerUnit(uiUnit_);
}

void Timeline::moveTo(double uiValue) {
    PlugRef ref;
    ref.node = scene_.timeNode();
    ref.attribute = types_.builtins().outTime;
    if (ref.node != nullptr) {
        Evaluator::store(ref, {uiValue * TimeUnits::dgUnitsPerUnit(uiUnit_)});
    }
    // Curves follow the time implicitly, without a connection from time1.
    const AttributeRecord* output = types_.builtins().curveOutput;
    for (NodeRecord* node : scene_.nodes()) {
        if (node->curve != nullptr) {
            Evaluator::markDirty(*node, output);
        }
    }
}

bool Timeline::setOptions(const PlaybackOptions& options) {
    if (!(options.maxTime >= options.minTime) || !(options.by > 0.0) ||
        !(options.playbackSpeed >= 0.0) || !(options.maxPlaybackSpeed >= 0.0)) {
        return false;
    }
    options_ = options;
    return true;
}

void Timeline::play() {
    const double now = current();
    if (now < options_.minTime || now > options_.maxTime) {
        moveTo(options_.minTime);
    }
    playing_ = true;
    direction_ = 1;
    pending_ = 0.0;
}

void Timeline::stop() {
    playing_ = false;
}

bool Timeline::playing() const {
    return playing_;
}

double Timeline::framesPerSecond() const {
    return TimeUnits::convert(1.0, MTime::kSeconds, uiUnit_);
}

bool Timeline::step(std::chrono::nanoseconds elapsed) {
    if (!playing_) {
        return false;
    }
    double steps = 1.0;
    if (options_.playbackSpeed > 0.0) {
        pending_ += std::chrono::duration<double>(elapsed).count() * framesPerSecond() *
                    options_.playbackSpeed;
        // A hair of slack, so elapsed times rounded to nanoseconds still reach their frame.
        steps = std::floor(pending_ / options_.by + 1e-6);
        if (steps < 1.0) {
            return false;
        }
        pending_ = std::max(0.0, pending_ - steps * options_.by);
        skipped_ += static_cast<std::uint64_t>(steps - 1.0);
    }
    // Step by step, so a skipped frame at the end of the range wraps or turns back as a
    // shown one does; only the last is shown.
    double time = current();
    for (double i = 0.0; i < steps && playing_; i += 1.0) {
        time = next(time);
    }
    moveTo(time);
    return true;
}

// One step of `by` frames. Maya never shows a time outside the playback range: a step past
// the end goes to the first frame (continuous), turns back (oscillate) or stops on the last
// frame (once); going backwards, the same at the start.
double Timeline::next(double time) {
    const double first = options_.minTime;
    const double last = options_.maxTime;
    const double stepped = time + direction_ * options_.by;
    if (stepped >= first && stepped <= last) {
        return stepped;
    }
    switch (options_.loop) {
        case PlaybackLoop::Once:
            playing_ = false;
            return direction_ > 0 ? last : first;
        case PlaybackLoop::Continuous:
            return direction_ > 0 ? first : last;
        case PlaybackLoop::Oscillate: {
            direction_ = -direction_;
            const double back = time + direction_ * options_.by;
            // A range shorter than one step holds where it is.
            return back >= first && back <= last ? back : std::clamp(time, first, last);
        }
    }
    return std::clamp(stepped, first, last);
}

void Timeline::reset() {
    playing_ = false;
    direction_ = 1;
    pending_ = 0.0;
    skipped_ = 0;
    uiUnit_ = MTime::kFilm;
    options_ = PlaybackOptions();
    moveTo(0.0);
}

}  // namespace mayahost
