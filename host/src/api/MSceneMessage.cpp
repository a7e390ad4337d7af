#include <maya/MSceneMessage.h>

#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MCallbackId MSceneMessage::addCallback(Message msg, MMessage::MBasicFunction func, void* clientData,
                                       MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MSceneMessage::addCallback");
    if (func == nullptr) {
        if (ReturnStatus != nullptr) {
            *ReturnStatus = MStatus::kInvalidParameter;
        }
        return 0;
    }
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
    return mayahost::hostState().callbacks.add(msg, func, clientData);
}

OPENMAYA_NAMESPACE_CLOSE
