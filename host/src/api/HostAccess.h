#pragma once

#include <maya/MEvaluationNode.h>

// The one door from the host's implementation into the private parts of the API classes.

#include <maya/MAnimCurveChange.h>
#include <maya/MArgList.h>
#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MCommandResult.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "HostObject.h"

namespace mayahost {
class AttributeRecord;
class BlockState;
class DeviceState;
class NodeRecord;
class PluginRecord;
struct PlugRef;
}  // namespace mayahost

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace hostimpl {

struct HostAccess {
    static HostObject* object(const MObject& object) { return object.fObject; }
    static MObject makeObject(HostObject* record) {
        MObject made;
        made.fObject = record;
        return made;
    }
    static mayahost::NodeRecord* node(const MObject& object);
    static mayahost::AttributeRecord* attribute(const MObject& object);
    static mayahost::PluginRecord* plugin(const MObject& object);

    static MEvaluationNode makeEvaluationNode(const MObject& node) {
        MEvaluationNode made;
        made.fNode = node;
        return made;
    }
    static HostObject* attached(const MFnBase& fn) { return fn.fObject; }
    static void attach(MFnBase& fn, HostObject* record) { fn.fObject = record; }

    static MPlug makePlug(const mayahost::PlugRef& ref);
    // Resolves a plug of a node that is alive, of an attribute its type has.
    static MStatus resolve(const MPlug& plug, mayahost::PlugRef& ref);

    static MDataBlock makeBlock(mayahost::BlockState* state) {
        MDataBlock block;
        block.fBlock = state;
        return block;
    }
    static mayahost::BlockState* block(const MDataBlock& block) {
        return static_cast<mayahost::BlockState*>(block.fBlock);
    }
    static MDataHandle makeHandle(void* value) {
        MDataHandle handle;
        handle.fValue = value;
        return handle;
    }
    static void* handleValue(const MDataHandle& handle) { return handle.fValue; }
    static MArrayDataHandle makeArrayHandle(void* slot) {
        MArrayDataHandle handle;
        handle.fSlot = slot;
        return handle;
    }
    static MArrayDataBuilder makeBuilder(void* builder) {
        MArrayDataBuilder made;
        made.fBuilder = builder;
        return made;
    }
    static void* builder(const MArrayDataBuilder& builder) { return builder.fBuilder; }

    static mayahost::NodeRecord* nodeOf(const MPxNode& node);
    static void bind(MPxNode& node, mayahost::NodeRecord* record);
    static mayahost::DeviceState* device(MPxThreadedDeviceNode& node) {
        return static_cast<mayahost::DeviceState*>(node.fDevice);
    }

    static void* args(const MArgList& list) { return list.fArgs; }
    static void* changes(const MAnimCurveChange& change) { return change.fChanges; }
    static void* result(const MCommandResult& result) { return result.fData; }
};

}  // namespace hostimpl
OPENMAYA_NAMESPACE_CLOSE

namespace mayahost {
using HostAccess = Autodesk::Maya::OpenMaya20220000::hostimpl::HostAccess;
}  // namespace mayahost
