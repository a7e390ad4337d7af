#include "TulvexRestPoseCmd.h"

#include <maya/MDoubleArray.h>

#include <array>

#include "DeviceNodeArgument.h"
#include "EntryPointGuard.h"
#include "RestPose.h"
#include "TulvexDeviceNode.h"

void* TulvexRestPoseCmd::creator() {
    return new TulvexRestPoseCmd();
}

MStatus TulvexRestPoseCmd::doIt(const MArgList& args) {
    return EntryPointGuard::onMainThread(kName, [this, &args] {
        TulvexDeviceNode* node = DeviceNodeArgument::resolve(args);
        if (node == nullptr) {
            return MStatus(MStatus::kFailure);
        }
        std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones> bones{};
        node->copySkeletonChannels(bones.data());
        MDoubleArray result;
        for (const double angle : RestPose::eulerDegrees(bones.data(), bones.size())) {
            result.append(angle);
        }
        clearResult();
        setResult(result);
        return MStatus(MStatus::kSuccess);
    });
}
