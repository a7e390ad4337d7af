#include "NodeRecord.h"

#include "AnimCurveKeys.h"
#include "AttributeRecord.h"
#include "CaptureThread.h"
#include "NodeType.h"

namespace mayahost {

NodeRecord::NodeRecord(const NodeType& nodeType) : type(nodeType) {}

NodeRecord::~NodeRecord() = default;

MFn::Type NodeRecord::apiType() const {
    return type.apiType;
}

bool NodeRecord::Slot::isDirty(const PlugKey& plug) const {
    if (!dirty || cleaned.count(plug) != 0) {
        return false;
    }
    // A cleaned compound covers its children.
    return plug.second < 0 || cleaned.count({plug.first, -1}) == 0;
}

void NodeRecord::Slot::markDirty() {
    dirty = true;
    cleaned.clear();
    ++generation;
}

void NodeRecord::Slot::clean(const PlugKey& plug, bool array) {
    if (!array && plug == kWholePlug) {
        cleanAll();
    } else if (dirty) {
        cleaned.insert(plug);
    }
}

void NodeRecord::Slot::cleanAll() {
    dirty = false;
    cleaned.clear();
}

NodeRecord::Cell NodeRecord::defaultCell(const AttributeRecord* root) {
    Cell cell;
    if (root->isCompound()) {
        for (const AttributeRecord* child : root->children) {
            cell.v[child->childIndex] = child->defaultValue;
        }
    } else {
        cell.v[0] = root->defaultValue;
    }
    return cell;
}

void NodeRecord::initializeStorage() {
    std::lock_guard<std::mutex> lock(mutex);
    for (const AttributeRecord* root : type.roots()) {
        Slot& slot = slots[root];
        slot.value = defaultCell(root);
        slot.dirty = type.isComputed(root);
    }
}

}  // namespace mayahost
