#pragma once

#include <cstddef>

#include "SkeletonNodeInfo.h"

// How high above y = 0 the lowest foot or toe joint of a pose stands, in the records' units
// (cm): the joints placed from the root down the chain as the bound skeleton places them, the
// root at its current translation, every other bone at its rest offset, all turned by their
// current rotations. Pure.
class FloorHeight {
public:
    // False when the records hold no foot or toe bone, or a parent index out of order.
    static bool lowestFoot(const SkeletonNodeInfo* bones, std::size_t count, double& height);

    FloorHeight() = delete;
};
