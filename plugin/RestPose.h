#pragma once

#include <cstddef>
#include <vector>

#include "SkeletonNodeInfo.h"

// The rest pose of a skeleton definition as the joints take it: per bone, Euler angles X, Y, Z
// in degrees for rotate order xyz, from the records' rest quaternions. Pure.
class RestPose {
public:
    static std::vector<double> eulerDegrees(const SkeletonNodeInfo* bones, std::size_t count);

    RestPose() = delete;
};
