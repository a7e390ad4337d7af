#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "HostAccess.h"
#include "HostMel.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeType.h"
#include "PluginRecord.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::HostCall;
using mayahost::PluginRecord;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

PluginRecord* recordOf(const MFnBase& fn, MStatus* ReturnStatus = nullptr) {
    auto* record = dynamic_cast<PluginRecord*>(hostimpl::HostAccess::attached(fn));
    report(ReturnStatus, record != nullptr ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return record;
}

MString text(const MFnBase& fn, std::string PluginRecord::*member, MStatus* ReturnStatus) {
    const PluginRecord* record = recordOf(fn, ReturnStatus);
    return record != nullptr ? MString((record->*member).c_str()) : MString();
}

}  // namespace

MFnPlugin::MFnPlugin() = default;

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version,
                     const char* requiredApiVersion, MStatus* ReturnStatus) {
    PluginRecord* record = hostimpl::HostAccess::plugin(object);
    if (record == nullptr) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return;
    }
    hostimpl::HostAccess::attach(*this, record);
    if (!record->described) {
        record->described = true;
        record->vendor = vendor != nullptr ? vendor : "";
        record->version = version != nullptr ? version : "";
        record->apiVersion = requiredApiVersion != nullptr ? requiredApiVersion : "";
    }
    report(ReturnStatus, MStatus::kSuccess);
}

MFnPlugin::~MFnPlugin() = default;

MFn::Type MFnPlugin::type() const {
    return MFn::kBase;
}

MString MFnPlugin::vendor(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnPlugin::vendor");
    return text(*this, &PluginRecord::vendor, ReturnStatus);
}
MString MFnPlugin::version(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnPlugin::version");
    return text(*this, &PluginRecord::version, ReturnStatus);
}
MString MFnPlugin::apiVersion(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnPlugin::apiVersion");
    return text(*this, &PluginRecord::apiVersion, ReturnStatus);
}
MString MFnPlugin::name(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnPlugin::name");
    return text(*this, &PluginRecord::name, ReturnStatus);
}
MString MFnPlugin::loadPath(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnPlugin::loadPath");
    return text(*this, &PluginRecord::loadPath, ReturnStatus);
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction /*createSyntaxFunction*/) {
    mayahost::HostRules::outsideCompute("MFnPlugin::registerCommand");
    mayahost::HostState& host = mayahost::hostState();
    if (host.faults.take(HostCall::RegisterCommand)) {
        return MStatus::kFailure;
    }
    const PluginRecord* record = recordOf(*this);
    if (record == nullptr || creatorFunction == nullptr || commandName.length() == 0) {
        return MStatus::kInvalidParameter;
    }
    if (!host.mel->pluginCommands().add(commandName.asChar(), creatorFunction, record)) {
        MGlobal::displayError(MString("Command \"") + commandName + "\" is already registered.");
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    mayahost::HostRules::outsideCompute("MFnPlugin::deregisterCommand");
    mayahost::HostState& host = mayahost::hostState();
    if (host.faults.take(HostCall::DeregisterCommand)) {
        return MStatus::kFailure;
    }
    if (recordOf(*this) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    return host.mel->pluginCommands().remove(commandName.asChar()) ? MStatus::kSuccess
                                                                   : MStatus::kFailure;
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString* /*classification*/) {
    mayahost::HostRules::outsideCompute("MFnPlugin::registerNode");
    mayahost::HostState& host = mayahost::hostState();
    if (host.faults.take(HostCall::RegisterNode)) {
        return MStatus::kFailure;
    }
    PluginRecord* record = recordOf(*this);
    if (record == nullptr || creatorFunction == nullptr || typeName.length() == 0) {
        return MStatus::kInvalidParameter;
    }
    if (host.types.find(typeName.asChar()) != nullptr || host.types.find(typeId.id()) != nullptr) {
        MGlobal::displayError(MString("Node type \"") + typeName + "\" or its id is taken.");
        return MStatus::kFailure;
    }
    mayahost::NodeType* nodeType = host.types.newType(typeName.asChar(), typeId.id(), type);
    nodeType->creator = creatorFunction;
    nodeType->plugin = record;
    if (initFunction != nullptr) {
        mayahost::NodeType*& initializing = mayahost::TypeRegistry::initializing();
        mayahost::NodeType* outer = initializing;
        initializing = nodeType;
        const MStatus status = initFunction();
        initializing = outer;
        if (!status) {
            return MStatus::kFailure;
        }
    }
    return host.types.add(nodeType) ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    mayahost::HostRules::outsideCompute("MFnPlugin::deregisterNode");
    mayahost::HostState& host = mayahost::hostState();
    if (host.faults.take(HostCall::DeregisterNode)) {
        return MStatus::kFailure;
    }
    const PluginRecord* record = recordOf(*this);
    const mayahost::NodeType* nodeType = host.types.find(typeId.id());
    if (record == nullptr || nodeType == nullptr || nodeType->plugin != record) {
        return MStatus::kFailure;
    }
    if (host.scene.countOfType(nodeType) > 0) {
        MGlobal::displayError(MString("Cannot deregister node type \"") + nodeType->name.c_str() +
                              "\" while nodes of it exist.");
        return MStatus::kFailure;
    }
    return host.types.remove(nodeType) ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MFnPlugin::registerUIStrings(MInitializeFunction registerMStringResources,
                                     const MString& pluginStringsProc) {
    mayahost::HostRules::outsideCompute("MFnPlugin::registerUIStrings");
    if (mayahost::hostState().faults.take(HostCall::RegisterUIStrings)) {
        return MStatus::kFailure;
    }
    if (recordOf(*this) == nullptr) {
        return MStatus::kInvalidParameter;
    }
    if (registerMStringResources != nullptr) {
        const MStatus status = registerMStringResources();
        if (!status) {
            return status;
        }
    }
    return MGlobal::executeCommand(pluginStringsProc);
}

MObject MFnPlugin::findPlugin(const MString& pluginName) {
    mayahost::HostRules::mainThreadCall("MFnPlugin::findPlugin");
    return hostimpl::HostAccess::makeObject(
        mayahost::hostState().types.findPlugin(pluginName.asChar()));
}

bool MFnPlugin::isNodeRegistered(const MString& typeName) {
    mayahost::HostRules::mainThreadCall("MFnPlugin::isNodeRegistered");
    return mayahost::hostState().types.find(typeName.asChar()) != nullptr;
}

OPENMAYA_NAMESPACE_CLOSE
