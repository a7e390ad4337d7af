#include "TulvexDeviceIdleCmd.h"

#include "TulvexDeviceNode.h"

void* TulvexDeviceIdleCmd::creator() {
    return new TulvexDeviceIdleCmd();
}

MStatus TulvexDeviceIdleCmd::doIt(const MArgList& /*args*/) {
    TulvexDeviceNode::runIdleWork();
    return MStatus::kSuccess;
}
