#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <mutex>
#include <string>

#include "AttributeRecord.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MFnDependencyNode::MFnDependencyNode() = default;

MFnDependencyNode::MFnDependencyNode(MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnDependencyNode::MFnDependencyNode(const MObject& object, MStatus* ReturnStatus) {
    MStatus status = setObject(object);
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
}

MFnDependencyNode::~MFnDependencyNode() = default;

MFn::Type MFnDependencyNode::type() const {
    return MFn::kDependencyNode;
}

namespace {

using mayahost::NodeRecord;

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

// The attached node if it still exists.
NodeRecord* liveNode(const MFnBase& fn, MStatus* ReturnStatus) {
    auto* node = dynamic_cast<NodeRecord*>(hostimpl::HostAccess::attached(fn));
    bool alive = false;
    if (node != nullptr) {
        std::lock_guard<std::mutex> lock(node->mutex);
        alive = node->alive;
    }
    report(ReturnStatus, alive ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return alive ? node : nullptr;
}

}  // namespace

MObject MFnDependencyNode::create(const MString& type, MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnDependencyNode::create");
    mayahost::HostState& host = mayahost::hostState();
    const mayahost::NodeType* nodeType = host.types.find(type.asChar());
    if (nodeType == nullptr) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    MStatus status;
    NodeRecord* node = host.scene.create(*nodeType, "", status);
    report(ReturnStatus, status);
    if (node == nullptr) {
        return MObject();
    }
    hostimpl::HostAccess::attach(*this, node);
    return hostimpl::HostAccess::makeObject(node);
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::typeId");
    const NodeRecord* node = liveNode(*this, ReturnStatus);
    return node != nullptr ? MTypeId(node->type.id) : MTypeId();
}

MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::typeName");
    const NodeRecord* node = liveNode(*this, ReturnStatus);
    return node != nullptr ? MString(node->type.name.c_str()) : MString();
}

MString MFnDependencyNode::name(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::name");
    const NodeRecord* node = liveNode(*this, ReturnStatus);
    return node != nullptr ? MString(mayahost::hostState().scene.nameOf(node).c_str()) : MString();
}

MString MFnDependencyNode::setName(const MString& name, bool /*createNamespace*/,
                                   MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnDependencyNode::setName");
    NodeRecord* node = liveNode(*this, ReturnStatus);
    if (node == nullptr) {
        return MString();
    }
    if (name.length() == 0) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MString(mayahost::hostState().scene.nameOf(node).c_str());
    }
    return MString(mayahost::hostState().scene.rename(node, name.asChar()).c_str());
}

MString MFnDependencyNode::setName(const MString& name, MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnDependencyNode::setName");
    return setName(name, false, ReturnStatus);
}

bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::hasAttribute");
    const NodeRecord* node = liveNode(*this, ReturnStatus);
    return node != nullptr && node->type.find(name.asChar()) != nullptr;
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool /*wantNetworkedPlug*/,
                                  MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::findPlug");
    NodeRecord* node = liveNode(*this, ReturnStatus);
    const mayahost::AttributeRecord* attribute =
        node != nullptr ? node->type.find(attrName.asChar()) : nullptr;
    if (attribute == nullptr) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    return MPlug(
        hostimpl::HostAccess::makeObject(node),
        hostimpl::HostAccess::makeObject(const_cast<mayahost::AttributeRecord*>(attribute)));
}

MPxNode* MFnDependencyNode::userNode(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnDependencyNode::userNode");
    NodeRecord* node = liveNode(*this, ReturnStatus);
    if (node != nullptr && node->user == nullptr) {
        report(ReturnStatus, MStatus::kFailure);
    }
    return node != nullptr ? node->user : nullptr;
}

OPENMAYA_NAMESPACE_CLOSE
