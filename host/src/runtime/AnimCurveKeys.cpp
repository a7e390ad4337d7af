#include "AnimCurveKeys.h"

#include <algorithm>
#include <cmath>

#include "TimeUnits.h"

namespace mayahost {

AnimCurveKeys::AnimCurveKeys(int curveType) : curveType_(curveType) {}

bool AnimCurveKeys::toCurveUnitLocked(const MTime& time, double& t) const {
    if (!TimeUnits::valid(time.unit()) || !std::isfinite(time.value())) {
        return false;
    }
    const MTime::Unit unit = unit_ == MTime::kInvalid ? time.unit() : unit_;
    t = TimeUnits::convert(time.value(), time.unit(), unit);
    return std::isfinite(t);
}

std::size_t AnimCurveKeys::locateLocked(double t, bool& exact) const {
    exact = false;
    const double tick = TimeUnits::ticks(t, unit_);
    // Appending is the common case: look at the last key before searching.
    std::size_t at = keys_.size();
    if (!keys_.empty() && !(keys_.back().time < t)) {
        at = static_cast<std::size_t>(
            std::lower_bound(keys_.begin(), keys_.end(), t,
                             [](const Key& key, double when) { return key.time < when; }) -
            keys_.begin());
    }
    // Keys within half a tick are the same time, on either side of the search position.
    if (at < keys_.size() && TimeUnits::ticks(keys_[at].time, unit_) == tick) {
        exact = true;
        return at;
    }
    if (at > 0 && TimeUnits::ticks(keys_[at - 1].time, unit_) == tick) {
        exact = true;
        return at - 1;
    }
    return at;
}

bool AnimCurveKeys::add(const MTime& time, double value, Change& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    double t = 0.0;
    if (!toCurveUnitLocked(time, t)) {
        return false;
    }
    if (unit_ == MTime::kInvalid) {
        unit_ = time.unit();
    }
    bool exact = false;
    const std::size_t at = locateLocked(t, exact);
    change.index = static_cast<unsigned int>(at);
    change.replaced = exact;
    if (exact) {
        change.previous = keys_[at].value;
        keys_[at].value = value;
    } else if (at == keys_.size()) {
        keys_.push_back({t, value});
    } else {
        keys_.insert(keys_.begin() + static_cast<std::ptrdiff_t>(at), Key{t, value});
    }
    return true;
}

bool AnimCurveKeys::remove(const MTime& time) {
    std::lock_guard<std::mutex> lock(mutex_);
    double t = 0.0;
    bool exact = false;
    if (keys_.empty() || !toCurveUnitLocked(time, t)) {
        return false;
    }
    const std::size_t at = locateLocked(t, exact);
    if (!exact) {
        return false;
    }
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

unsigned int AnimCurveKeys::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<unsigned int>(keys_.size());
}

bool AnimCurveKeys::find(const MTime& time, unsigned int& index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    double t = 0.0;
    bool exact = false;
    if (keys_.empty() || !toCurveUnitLocked(time, t)) {
        return false;
    }
    const std::size_t at = locateLocked(t, exact);
    if (exact) {
        index = static_cast<unsigned int>(at);
    }
    return exact;
}

bool AnimCurveKeys::keyAt(unsigned int index, MTime& time, double& value) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= keys_.size()) {
        return false;
    }
    time = MTime(keys_[index].time, unit_);
    value = keys_[index].value;
    return true;
}

double AnimCurveKeys::evaluate(const MTime& time) const {
    std::lock_guard<std::mutex> lock(mutex_);
    double t = 0.0;
    if (keys_.empty() || !toCurveUnitLocked(time, t)) {
        return keys_.empty() ? 0.0 : keys_.front().value;
    }
    if (t <= keys_.front().time) {
        return keys_.front().value;
    }
    if (t >= keys_.back().time) {
        return keys_.back().value;
    }
    auto after = std::upper_bound(keys_.begin(), keys_.end(), t,
                                  [](double when, const Key& key) { return when < key.time; });
    const Key& b = *after;
    const Key& a = *(after - 1);
    const double f = (t - a.time) / (b.time - a.time);
    return a.value + (b.value - a.value) * f;
}

std::vector<std::pair<double, double>> AnimCurveKeys::keys(MTime::Unit unit) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::pair<double, double>> out;
    out.reserve(keys_.size());
    for (const Key& key : keys_) {
        out.emplace_back(TimeUnits::convert(key.time, unit_, unit), key.value);
    }
    return out;
}

void AnimCurveKeys::release() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::deque<Key>().swap(keys_);
    unit_ = MTime::kInvalid;
}

}  // namespace mayahost
