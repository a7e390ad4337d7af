#include <maya/MNodeMessage.h>

#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MCallbackId MNodeMessage::addAttributeChangedCallback(MObject& node, MAttr2PlugFunction func,
                                                      void* clientData, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MNodeMessage::addAttributeChangedCallback");
    const mayahost::NodeRecord* record = hostimpl::HostAccess::node(node);
    const bool valid = record != nullptr && func != nullptr;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = valid ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return valid ? mayahost::hostState().callbacks.addAttributeChanged(record, func, clientData)
                 : 0;
}

MCallbackId MNodeMessage::addNodePreRemovalCallback(MObject& node, MMessage::MNodeFunction func,
                                                    void* clientData, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MNodeMessage::addNodePreRemovalCallback");
    const mayahost::NodeRecord* record = hostimpl::HostAccess::node(node);
    const bool valid = record != nullptr && func != nullptr;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = valid ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return valid ? mayahost::hostState().callbacks.addNodeRemoval(record, func, clientData) : 0;
}

OPENMAYA_NAMESPACE_CLOSE
