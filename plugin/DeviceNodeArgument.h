#pragma once

#include <maya/MArgList.h>

#include <array>

#include "SkeletonNodeInfo.h"
#include "TulvexDataHandler.h"

class TulvexDeviceNode;

// The one argument of the commands that address a device node: its name. Main thread.
class DeviceNodeArgument {
public:
    // The device node named by the only argument, or null after showing the error: wrong
    // number of arguments, no node of that name, or a node of another type.
    static TulvexDeviceNode* resolve(const MArgList& args);

    using Pose = std::array<SkeletonNodeInfo, TulvexDataHandler::kNumBones>;
    // The current pose of the node `args` name, as the capture shows it; false after
    // showing the error, as `resolve`.
    static bool currentPose(const MArgList& args, Pose& pose);

    DeviceNodeArgument() = delete;
};
