#include "TulvexFloorHeightCmd.h"

#include <maya/MGlobal.h>

#include <array>

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "FloorHeight.h"
#include "TulvexDeviceNode.h"

void* TulvexFloorHeightCmd::creator() {
    return new TulvexFloorHeightCmd();
}

MStatus TulvexFloorHeightCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] {
        TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
        if (node == nullptr) {
            return MStatus(MStatus::kFailure);
        }
        std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> bones{};
        node->copySkeletonChannels(bones.data());
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
