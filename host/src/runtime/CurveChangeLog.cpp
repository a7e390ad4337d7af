#include "CurveChangeLog.h"

#include <mutex>

#include "Evaluator.h"
#include "HostState.h"
#include "NodeRecord.h"

namespace mayahost {

namespace {

// The keys of a curve node that still exists, else null.
AnimCurveKeys* liveKeys(NodeRecord* node) {
    std::lock_guard<std::mutex> lock(node->mutex);
    return node->alive ? node->curve.get() : nullptr;
}

}  // namespace

void CurveChangeLog::record(NodeRecord* node, const MTime& time, double value,
                            const AnimCurveKeys::Change& change) {
    entries_.push_back({node, time, value, change.replaced, change.previous});
}

bool CurveChangeLog::undo() {
    bool all = true;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        AnimCurveKeys* keys = liveKeys(it->node);
        if (keys == nullptr) {
            all = false;
            continue;
        }
        AnimCurveKeys::Change ignored;
        all =
            (it->replaced ? keys->add(it->time, it->previous, ignored) : keys->remove(it->time)) &&
            all;
        Evaluator::touch(*it->node, hostState().types.builtins().curveOutput);
    }
    return all;
}

bool CurveChangeLog::redo() {
    bool all = true;
    for (Entry& entry : entries_) {
        AnimCurveKeys* keys = liveKeys(entry.node);
        if (keys == nullptr) {
            all = false;
            continue;
        }
        AnimCurveKeys::Change ignored;
        all = keys->add(entry.time, entry.value, ignored) && all;
        Evaluator::touch(*entry.node, hostState().types.builtins().curveOutput);
    }
    return all;
}

}  // namespace mayahost
