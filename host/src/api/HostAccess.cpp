#include "HostAccess.h"

#include <mutex>

#include "AttributeRecord.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"
#include "PluginRecord.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace hostimpl {

mayahost::NodeRecord* HostAccess::node(const MObject& object) {
    return dynamic_cast<mayahost::NodeRecord*>(object.fObject);
}

mayahost::AttributeRecord* HostAccess::attribute(const MObject& object) {
    return dynamic_cast<mayahost::AttributeRecord*>(object.fObject);
}

mayahost::PluginRecord* HostAccess::plugin(const MObject& object) {
    return dynamic_cast<mayahost::PluginRecord*>(object.fObject);
}

MPlug HostAccess::makePlug(const mayahost::PlugRef& ref) {
    MPlug plug;
    plug.fNode = makeObject(ref.node);
    plug.fAttribute = makeObject(const_cast<mayahost::AttributeRecord*>(ref.attribute));
    plug.fHasIndex = ref.hasIndex;
    plug.fIndex = ref.index;
    return plug;
}

MStatus HostAccess::resolve(const MPlug& plug, mayahost::PlugRef& ref) {
    ref.node = node(plug.fNode);
    ref.attribute = attribute(plug.fAttribute);
    ref.hasIndex = plug.fHasIndex;
    ref.index = plug.fIndex;
    if (ref.node == nullptr || ref.attribute == nullptr || !ref.node->type.owns(ref.attribute)) {
        return MStatus::kInvalidParameter;
    }
    std::lock_guard<std::mutex> lock(ref.node->mutex);
    return ref.node->alive ? MStatus::kSuccess : MStatus::kInvalidParameter;
}

mayahost::NodeRecord* HostAccess::nodeOf(const MPxNode& node) {
    return static_cast<mayahost::NodeRecord*>(node.fNodeRecord);
}

void HostAccess::bind(MPxNode& node, mayahost::NodeRecord* record) {
    node.fNodeRecord = record;
}

}  // namespace hostimpl
OPENMAYA_NAMESPACE_CLOSE
