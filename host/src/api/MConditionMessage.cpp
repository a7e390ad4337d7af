#include <maya/MConditionMessage.h>

#include <string>

#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

// The conditions the stand-in keeps; any other name is refused, as Maya refuses an unknown one.
bool known(const MString& name) {
    return std::string(name.asChar()) == "playingBack";
}

}  // namespace

MCallbackId MConditionMessage::addConditionCallback(const MString& conditionName,
                                                    MMessage::MStateFunction func, void* clientData,
                                                    MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MConditionMessage::addConditionCallback");
    const bool valid = known(conditionName) && func != nullptr;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = valid ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return valid ? mayahost::hostState().callbacks.addCondition(conditionName.asChar(), func,
                                                                clientData)
                 : 0;
}

bool MConditionMessage::getConditionState(const MString& name, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MConditionMessage::getConditionState");
    if (ReturnStatus != nullptr) {
        *ReturnStatus = known(name) ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return known(name) && mayahost::hostState().callbacks.condition(name.asChar());
}

OPENMAYA_NAMESPACE_CLOSE
