#include "TulvexDeviceIdleCmd.h"

#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexDeviceIdleCmd::creator() {
    return new TulvexDeviceIdleCmd();
}

MStatus TulvexDeviceIdleCmd::doIt(const MArgList& /*args*/) {
    return EntryPointGuard::onMainThread(TulvexDeviceNode::kIdleCommand, [] {
        TulvexDeviceNode::runIdleWork();
        return MStatus::kSuccess;
    });
}
