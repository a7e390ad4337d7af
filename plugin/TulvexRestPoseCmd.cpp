#include "TulvexRestPoseCmd.h"

#include <maya/MDoubleArray.h>

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "RestPose.h"

void* TulvexRestPoseCmd::creator() {
    return new TulvexRestPoseCmd();
}

MStatus TulvexRestPoseCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] {
        DeviceNodeArgument::Pose bones{};
        if (!DeviceNodeArgument::currentPose(args, bones)) {
            return MStatus(MStatus::kFailure);
        }
        MDoubleArray result;
        for (const double angle : RestPose::eulerDegrees(bones.data(), bones.size())) {
            result.append(angle);
        }
        clearResult();
        setResult(result);
        return MStatus(MStatus::kSuccess);
    });
}
