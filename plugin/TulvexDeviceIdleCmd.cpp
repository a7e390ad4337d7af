#include "TulvexDeviceIdleCmd.h"

#include "EntryPointGuard.h"
#include "TulvexDeviceNode.h"

void* TulvexDeviceIdleCmd::creator() {
    return new TulvexDeviceIdleCmd();
}

MStatus TulvexDeviceIdleCmd::doIt(const MArgList& /*args*/) {
    return EntryPointGuard::onMainThread(TulvexDeviceNode::kIdleCommand, [this] {
        mBaked = TulvexDeviceNode::runIdleWork(mCurves);
        return MStatus::kSuccess;
    });
}

MStatus TulvexDeviceIdleCmd::undoIt() {
    return EntryPointGuard::onMainThread(TulvexDeviceNode::kIdleCommand,
                                         [this] { return mCurves.undoIt(); });
}

MStatus TulvexDeviceIdleCmd::redoIt() {
    return EntryPointGuard::onMainThread(TulvexDeviceNode::kIdleCommand,
                                         [this] { return mCurves.doIt(); });
}

bool TulvexDeviceIdleCmd::isUndoable() const {
    return mBaked;
}
