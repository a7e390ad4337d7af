#include <maya/MPxNode.h>

#include "AttributeRecord.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

MObject builtin(mayahost::AttributeRecord* mayahost::TypeRegistry::Builtins::*member) {
    return hostimpl::HostAccess::makeObject(mayahost::hostState().types.builtins().*member);
}

// Attributes named in MPxNode's static calls must belong to the type being initialized.
mayahost::AttributeRecord* initializingAttribute(const MObject& attr) {
    mayahost::NodeType* type = mayahost::TypeRegistry::initializing();
    mayahost::AttributeRecord* record = hostimpl::HostAccess::attribute(attr);
    return type != nullptr && record != nullptr && type->owns(record) ? record : nullptr;
}

}  // namespace

MObject MPxNode::message = builtin(&mayahost::TypeRegistry::Builtins::message);
MObject MPxNode::isHistoricallyInteresting =
    builtin(&mayahost::TypeRegistry::Builtins::isHistoricallyInteresting);
MObject MPxNode::caching = builtin(&mayahost::TypeRegistry::Builtins::caching);
MObject MPxNode::state = builtin(&mayahost::TypeRegistry::Builtins::state);
MObject MPxNode::frozen = builtin(&mayahost::TypeRegistry::Builtins::frozen);

MPxNode::MPxNode() : fNodeRecord(nullptr) {}
MPxNode::~MPxNode() = default;

void MPxNode::postConstructor() {}

MStatus MPxNode::compute(const MPlug& /*plug*/, MDataBlock& /*dataBlock*/) {
    return MStatus::kUnknownParameter;
}

MPxNode::Type MPxNode::type() const {
    return kDependNode;
}

MPxNode::SchedulingType MPxNode::schedulingType() const {
    return kSerial;
}

// Caching allowed, nothing monitored: what a node that says nothing gets.
void MPxNode::getCacheSetup(const MEvaluationNode& /*evalNode*/,
                            MNodeCacheDisablingInfo& /*disablingInfo*/,
                            MNodeCacheSetupInfo& /*cacheSetupInfo*/,
                            MObjectArray& /*monitoredAttributes*/) const {}

MStatus MPxNode::addAttribute(const MObject& attr) {
    mayahost::HostRules::mainThreadCall("MPxNode::addAttribute");
    mayahost::NodeType* type = mayahost::TypeRegistry::initializing();
    mayahost::AttributeRecord* record = hostimpl::HostAccess::attribute(attr);
    if (type == nullptr) {
        return MStatus::kFailure;  // only a node type's initialize function adds attributes
    }
    if (record == nullptr || record->parent != nullptr) {
        return MStatus::kInvalidParameter;  // children come with their compound
    }
    return type->add(record) ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    mayahost::HostRules::mainThreadCall("MPxNode::attributeAffects");
    const mayahost::AttributeRecord* from = initializingAttribute(whenChanges);
    const mayahost::AttributeRecord* to = initializingAttribute(isAffected);
    if (from == nullptr || to == nullptr) {
        return MStatus::kInvalidParameter;
    }
    mayahost::TypeRegistry::initializing()->addAffects(from, to);
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected,
                                  bool /*affectsTopology*/) {
    mayahost::HostRules::mainThreadCall("MPxNode::attributeAffects");
    return attributeAffects(whenChanges, isAffected);
}

MTypeId MPxNode::typeId() const {
    mayahost::HostRules::evaluationCall("MPxNode::typeId");
    const mayahost::NodeRecord* node = hostimpl::HostAccess::nodeOf(*this);
    return node != nullptr ? MTypeId(node->type.id) : MTypeId();
}

MString MPxNode::typeName() const {
    mayahost::HostRules::evaluationCall("MPxNode::typeName");
    const mayahost::NodeRecord* node = hostimpl::HostAccess::nodeOf(*this);
    return node != nullptr ? MString(node->type.name.c_str()) : MString();
}

MString MPxNode::name() const {
    mayahost::HostRules::mainThreadCall("MPxNode::name");
    const mayahost::NodeRecord* node = hostimpl::HostAccess::nodeOf(*this);
    return node != nullptr ? MString(mayahost::hostState().scene.nameOf(node).c_str()) : MString();
}

MObject MPxNode::thisMObject() const {
    mayahost::HostRules::evaluationCall("MPxNode::thisMObject");
    return hostimpl::HostAccess::makeObject(hostimpl::HostAccess::nodeOf(*this));
}

OPENMAYA_NAMESPACE_CLOSE
