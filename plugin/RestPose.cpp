#include "RestPose.h"

#include "TulvexDeviceNode.h"

std::vector<double> RestPose::eulerDegrees(const SkeletonNodeInfo* bones, std::size_t count) {
    std::vector<double> angles;
    angles.reserve(3 * count);
    for (std::size_t i = 0; i < count; ++i) {
        double euler[3] = {0.0, 0.0, 0.0};
        // The conversion the outputs use, so the stance is the pose the stream would show.
        TulvexDeviceNode::quaternionToVector(bones[i].restRotation, euler);
        angles.insert(angles.end(), euler, euler + 3);
    }
    return angles;
}
