#include "TulvexStatusTimerCmd.h"

#include <maya/MArgList.h>

#include "EntryPointGuard.h"
#include "StatusTimer.h"

void* TulvexStatusTimerCmd::creator() {
    return new TulvexStatusTimerCmd();
}

MStatus TulvexStatusTimerCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] { return switchTimer(args); });
}

MStatus TulvexStatusTimerCmd::switchTimer(const MArgList& args) {
    MStatus parsed;
    const int on = args.length() == 1 ? args.asInt(0, &parsed) : 0;
    if (args.length() != 1 || parsed != MStatus::kSuccess || (on != 0 && on != 1)) {
        displayError(
            "This command expects exactly one argument: 1 to start the timer, 0 to stop it", false);
        return MStatus::kFailure;
    }
    MStatus status = MStatus::kSuccess;
    if (on == 1) {
        status = StatusTimer::start();
    } else {
        StatusTimer::stop();
    }
    clearResult();
    setResult(StatusTimer::running());
    return status;
}
