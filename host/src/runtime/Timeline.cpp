#include "Timeline.h"

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
    return static_cast<MTime::Unit>(uiUnit_.load());
}

bool Timeline::setUIUnit(MTime::Unit unit) {
    if (!TimeUnits::valid(unit)) {
        return false;
    }
    const MTime::Unit previous = static_cast<MTime::Unit>(uiUnit_.exchange(unit));
    if (previous != unit) {
        moveTo(TimeUnits::convert(current(), previous, unit));
    }
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
    return values.front();
}

void Timeline::moveTo(double uiValue) {
    PlugRef ref;
    ref.node = scene_.timeNode();
    ref.attribute = types_.builtins().outTime;
    if (ref.node != nullptr) {
        Evaluator::store(ref, {uiValue});
    }
    // Curves follow the time implicitly, without a connection from time1.
    const AttributeRecord* output = types_.builtins().curveOutput;
    for (NodeRecord* node : scene_.nodes()) {
        if (node->curve != nullptr) {
            Evaluator::markDirty(*node, output);
        }
    }
}

void Timeline::play() {
    playing_ = true;
}

void Timeline::stop() {
    playing_ = false;
}

bool Timeline::playing() const {
    return playing_;
}

bool Timeline::advance(double uiUnits) {
    if (!playing_) {
        return false;
    }
    moveTo(current() + uiUnits);
    return true;
}

void Timeline::reset() {
    playing_ = false;
    uiUnit_ = MTime::kFilm;
    moveTo(0.0);
}

}  // namespace mayahost
