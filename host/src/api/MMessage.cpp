#include <maya/MCallbackIdArray.h>
#include <maya/MMessage.h>

#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MStatus MMessage::removeCallback(MCallbackId id) {
    mayahost::HostRules::mainThreadCall("MMessage::removeCallback");
    return mayahost::hostState().callbacks.remove(id) ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MMessage::removeCallbacks(MCallbackIdArray& ids) {
    mayahost::HostRules::mainThreadCall("MMessage::removeCallbacks");
    MStatus result;
    for (unsigned int i = 0; i < ids.length(); ++i) {
        if (!removeCallback(ids[i])) {
            result = MStatus::kFailure;
        }
    }
    return result;
}

OPENMAYA_NAMESPACE_CLOSE
