#include <maya/MTimerMessage.h>

#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

// Main thread only, as every callback registration is.
MTimerMessage::sleepCallbackPtr gSleepCallback = nullptr;

}  // namespace

MCallbackId MTimerMessage::addTimerCallback(float period, MMessage::MElapsedTimeFunction func,
                                            void* clientData, MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MTimerMessage::addTimerCallback");
    const bool valid = func != nullptr && period > 0.0F;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = valid ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return valid ? mayahost::hostState().callbacks.addTimer(period, func, clientData) : 0;
}

MStatus MTimerMessage::setSleepCallback(sleepCallbackPtr sleepFunc) {
    mayahost::HostRules::mainThreadCall("MTimerMessage::setSleepCallback");
    gSleepCallback = sleepFunc;
    return MStatus::kSuccess;
}

MTimerMessage::sleepCallbackPtr MTimerMessage::sleepCallback() {
    mayahost::HostRules::mainThreadCall("MTimerMessage::sleepCallback");
    return gSleepCallback;
}

OPENMAYA_NAMESPACE_CLOSE
