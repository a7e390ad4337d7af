#include "TulvexFloorHeightCmd.h"

#include <maya/MGlobal.h>

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "FloorHeight.h"

void* TulvexFloorHeightCmd::creator() {
    return new TulvexFloorHeightCmd();
}

MStatus TulvexFloorHeightCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] {
        DeviceNodeArgument::Pose bones{};
        if (!DeviceNodeArgument::currentPose(args, bones)) {
            return MStatus(MStatus::kFailure);
        }
        double height = 0.0;
        if (!FloorHeight::lowestFoot(bones.data(), bones.size(), height)) {
            MGlobal::displayError("TulvexFloorHeight: the skeleton has no foot or toe joint.");
            return MStatus(MStatus::kFailure);
        }
        clearResult();
        setResult(height);
        return MStatus(MStatus::kSuccess);
    });
}
