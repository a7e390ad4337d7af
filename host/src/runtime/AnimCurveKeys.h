#pragma once

#include <maya/MTime.h>

#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace mayahost {

// The keys of one animation curve, in time order. Times are kept in the unit of the first key,
// so a time keyed in that unit reads back exactly; keys in other units are converted to it.
// A deque: appending in increasing time is O(1) and never copies the curve, and a key costs
// 16 bytes and a little, so a long take takes no more than its keys.
class AnimCurveKeys {
public:
    struct Key {
        double time;  // in unit()
        double value;
    };
    // What an add did, so it can be taken back.
    struct Change {
        unsigned int index = 0;
        bool replaced = false;
        double previous = 0.0;
    };

    explicit AnimCurveKeys(int curveType);

    int curveType() const { return curveType_; }
    // Adds a key, or sets the value of the key at the same time (to the tick). Fails on a
    // time without a fixed unit or not finite.
    bool add(const MTime& time, double value, Change& change);
    // Removes the key at that time; false when there is none.
    bool remove(const MTime& time);
    unsigned int size() const;
    bool find(const MTime& time, unsigned int& index) const;
    bool keyAt(unsigned int index, MTime& time, double& value) const;
    // Linear between keys, constant beyond the ends, 0 without keys.
    double evaluate(const MTime& time) const;
    // Every key with its time in `unit`.
    std::vector<std::pair<double, double>> keys(MTime::Unit unit) const;
    // Drops every key and gives the memory back (the node was deleted).
    void release();

private:
    // Position of the key at `t` (curve unit) if any, else where it would go.
    std::size_t locateLocked(double t, bool& exact) const;
    bool toCurveUnitLocked(const MTime& time, double& t) const;

    const int curveType_;
    mutable std::mutex mutex_;  // any host thread (keys added by a bake, reads by evaluation
                                // and the embedder); guards keys_ and unit_
    std::deque<Key> keys_;
    MTime::Unit unit_ = MTime::kInvalid;  // set by the first key
};

}  // namespace mayahost
