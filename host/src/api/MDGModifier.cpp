#include <maya/MDGModifier.h>
#include <maya/MPlug.h>

#include <string>
#include <vector>

#include "AttributeRecord.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"
#include "UnitConversion.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::AttributeRecord;
using mayahost::PlugRef;

namespace {

struct Operation {
    enum class Kind { Create, Delete, Connect, Disconnect, Rename };
    Kind kind;
    MObject node;
    MPlug source;
    MPlug destination;
    bool done;
    std::string name;  // Rename: the name asked for, then the one it replaced
};

// Registered changes; doIt makes those not made yet, undoIt takes back those made.
struct Operations {
    std::vector<Operation> list;
};

Operations& operationsOf(void* data) {
    return *static_cast<Operations*>(data);
}

bool connectable(const PlugRef& ref, bool asDestination) {
    const AttributeRecord* attribute = ref.attribute;
    if (attribute->kind != AttributeRecord::Kind::Numeric || !attribute->connectable) {
        return false;
    }
    return asDestination ? attribute->writable : attribute->readable;
}

MStatus connectNow(const MPlug& source, const MPlug& destination) {
    PlugRef from;
    PlugRef to;
    if (!hostimpl::HostAccess::resolve(source, from) ||
        !hostimpl::HostAccess::resolve(destination, to) || !connectable(from, false) ||
        !connectable(to, true) || (from.node == to.node && from.attribute == to.attribute)) {
        return MStatus::kInvalidParameter;
    }
    return mayahost::UnitConversion::connect(from, to);
}

// Breaks source -> destination, looking through a conversion node between them as
// disconnectAttr does; fails when the destination is fed by anything else or by nothing.
MStatus disconnectNow(const MPlug& source, const MPlug& destination) {
    PlugRef from;
    PlugRef to;
    if (!hostimpl::HostAccess::resolve(source, from) ||
        !hostimpl::HostAccess::resolve(destination, to)) {
        return MStatus::kInvalidParameter;
    }
    mayahost::HostState& host = mayahost::hostState();
    mayahost::Graph::Connection driven;
    if (!host.graph.input(to, driven)) {
        return MStatus::kFailure;
    }
    PlugRef current = driven.source;
    if (current.node->type.conversion) {
        PlugRef input;
        input.node = current.node;
        input.attribute = host.types.builtins().conversionInput;
        mayahost::Graph::Connection fed;
        if (host.graph.input(input, fed)) {
            current = fed.source;
        }
    }
    const bool same = current.node == from.node && current.attribute == from.attribute &&
                      current.hasIndex == from.hasIndex &&
                      (!current.hasIndex || current.index == from.index);
    if (!same || !mayahost::UnitConversion::disconnectInput(to)) {
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}

// Renames the node, keeping in `name` the name it had; a name taken becomes a unique one.
MStatus renameNow(const MObject& node, std::string& name) {
    mayahost::NodeRecord* record = hostimpl::HostAccess::node(node);
    mayahost::Scene& scene = mayahost::hostState().scene;
    if (record == nullptr || scene.find(scene.nameOf(record)) != record) {
        return MStatus::kFailure;  // no longer in the scene
    }
    std::string previous = scene.nameOf(record);
    scene.rename(record, name);
    name = std::move(previous);
    return MStatus::kSuccess;
}

}  // namespace

MDGModifier::MDGModifier() : fOperations(new Operations) {}

MDGModifier::~MDGModifier() {
    delete static_cast<Operations*>(fOperations);
}

MObject MDGModifier::createNode(const MString& type, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MDGModifier::createNode");
    // The node exists at once, as the MObject Maya returns here does; undoIt removes it.
    mayahost::HostState& host = mayahost::hostState();
    const mayahost::NodeType* nodeType = host.types.find(type.asChar());
    MStatus status = MStatus::kInvalidParameter;
    mayahost::NodeRecord* node =
        nodeType != nullptr ? host.scene.create(*nodeType, "", status) : nullptr;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = status;
    }
    if (node == nullptr) {
        return MObject();
    }
    MObject made = hostimpl::HostAccess::makeObject(node);
    operationsOf(fOperations).list.push_back({Operation::Kind::Create, made, {}, {}, true, {}});
    return made;
}

MStatus MDGModifier::deleteNode(const MObject& node) {
    mayahost::HostRules::mainThreadCall("MDGModifier::deleteNode");
    if (hostimpl::HostAccess::node(node) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    operationsOf(fOperations).list.push_back({Operation::Kind::Delete, node, {}, {}, false, {}});
    return MStatus::kSuccess;
}

MStatus MDGModifier::deleteNode(const MObject& node, bool /*includeParents*/) {
    mayahost::HostRules::mainThreadCall("MDGModifier::deleteNode");
    return deleteNode(node);
}

MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttr,
                             const MObject& destNode, const MObject& destAttr) {
    mayahost::HostRules::mainThreadCall("MDGModifier::connect");
    return connect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::connect(const MPlug& source, const MPlug& dest) {
    mayahost::HostRules::mainThreadCall("MDGModifier::connect");
    PlugRef from;
    PlugRef to;
    if (!hostimpl::HostAccess::resolve(source, from) || !hostimpl::HostAccess::resolve(dest, to)) {
        return MStatus::kInvalidParameter;
    }
    operationsOf(fOperations)
        .list.push_back({Operation::Kind::Connect, {}, source, dest, false, {}});
    return MStatus::kSuccess;
}

MStatus MDGModifier::disconnect(const MObject& sourceNode, const MObject& sourceAttr,
                                const MObject& destNode, const MObject& destAttr) {
    mayahost::HostRules::mainThreadCall("MDGModifier::disconnect");
    return disconnect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& dest) {
    mayahost::HostRules::mainThreadCall("MDGModifier::disconnect");
    PlugRef from;
    PlugRef to;
    if (!hostimpl::HostAccess::resolve(source, from) || !hostimpl::HostAccess::resolve(dest, to)) {
        return MStatus::kInvalidParameter;
    }
    operationsOf(fOperations)
        .list.push_back({Operation::Kind::Disconnect, {}, source, dest, false, {}});
    return MStatus::kSuccess;
}

MStatus MDGModifier::renameNode(const MObject& node, const MString& newName) {
    mayahost::HostRules::mainThreadCall("MDGModifier::renameNode");
    if (hostimpl::HostAccess::node(node) == nullptr || newName.length() == 0) {
        return MStatus::kInvalidParameter;
    }
    operationsOf(fOperations)
        .list.push_back({Operation::Kind::Rename, node, {}, {}, false, newName.asChar()});
    return MStatus::kSuccess;
}

MStatus MDGModifier::doIt() {
    mayahost::HostRules::outsideCompute("MDGModifier::doIt");
    MStatus result;
    for (Operation& op : operationsOf(fOperations).list) {
        if (op.done) {
            continue;
        }
        MStatus status;
        if (op.kind == Operation::Kind::Create) {
            // Again after an undo: the very node comes back, keys and all.
            status = mayahost::hostState().scene.restore(hostimpl::HostAccess::node(op.node))
                         ? MStatus::kSuccess
                         : MStatus::kFailure;
        } else if (op.kind == Operation::Kind::Delete) {
            status = mayahost::hostState().scene.remove(hostimpl::HostAccess::node(op.node));
        } else if (op.kind == Operation::Kind::Connect) {
            status = connectNow(op.source, op.destination);
        } else if (op.kind == Operation::Kind::Disconnect) {
            status = disconnectNow(op.source, op.destination);
        } else if (op.kind == Operation::Kind::Rename) {
            status = renameNow(op.node, op.name);
        }
        op.done = status == MStatus::kSuccess;
        if (!status) {
            result = status;
        }
    }
    return result;
}

MStatus MDGModifier::undoIt() {
    mayahost::HostRules::outsideCompute("MDGModifier::undoIt");
    MStatus result;
    std::vector<Operation>& list = operationsOf(fOperations).list;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (!it->done) {
            continue;
        }
        if (it->kind == Operation::Kind::Create) {
            it->done = !mayahost::hostState().scene.remove(hostimpl::HostAccess::node(it->node));
        } else if (it->kind == Operation::Kind::Connect) {
            PlugRef to;
            if (hostimpl::HostAccess::resolve(it->destination, to) &&
                mayahost::UnitConversion::disconnectInput(to)) {
                it->done = false;
            }
        } else if (it->kind == Operation::Kind::Disconnect) {
            if (connectNow(it->source, it->destination)) {
                it->done = false;
            } else {
                result = MStatus::kFailure;
            }
        } else if (it->kind == Operation::Kind::Rename) {
            if (renameNow(it->node, it->name)) {
                it->done = false;
            } else {
                result = MStatus::kFailure;
            }
        } else if (mayahost::hostState().scene.restore(hostimpl::HostAccess::node(it->node))) {
            it->done = false;
        } else {
            result = MStatus::kFailure;
        }
    }
    return result;
}

OPENMAYA_NAMESPACE_CLOSE
