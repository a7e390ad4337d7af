#pragma once

#include <maya/MTime.h>

#include <vector>

#include "AnimCurveKeys.h"

namespace mayahost {

class NodeRecord;

// Key changes collected by one MAnimCurveChange, taken back and made again in order.
// Used by the thread that owns the MAnimCurveChange, so it carries no lock.
class CurveChangeLog {
public:
    void record(NodeRecord* node, const MTime& time, double value,
                const AnimCurveKeys::Change& change);
    bool undo();
    bool redo();

private:
    struct Entry {
        NodeRecord* node;  // arena-owned, so never dangling; skipped once deleted
        MTime time;
        double value;
        bool replaced;
        double previous;
    };
    std::vector<Entry> entries_;
};

}  // namespace mayahost
