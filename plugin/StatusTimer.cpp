#include "StatusTimer.h"

#include <maya/MGlobal.h>
#include <maya/MTimerMessage.h>

#include "EntryPointGuard.h"

MCallbackId StatusTimer::sCallback = 0;

MStatus StatusTimer::start() {
    if (sCallback != 0) {
        return MStatus::kSuccess;
    }
    MStatus status;
    const MCallbackId callback =
        MTimerMessage::addTimerCallback(kPeriodSeconds, &StatusTimer::tick, nullptr, &status);
    if (status == MStatus::kSuccess) {
        sCallback = callback;
    }
    return status;
}

void StatusTimer::stop() {
    if (sCallback != 0) {
        MMessage::removeCallback(sCallback);
        sCallback = 0;
    }
}

bool StatusTimer::running() {
    return sCallback != 0;
}

void StatusTimer::tick(float /*elapsedTime*/, float /*lastTime*/, void* /*clientData*/) {
    EntryPointGuard::onMainThread(
        "The status timer", [] { return MGlobal::executeCommandOnIdle(kRefreshCommand, false); });
}
