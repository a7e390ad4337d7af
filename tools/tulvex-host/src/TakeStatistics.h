#pragma once

#include <vector>

#include "KeySource.h"
#include "SceneData.h"

// Numbers of the end-of-run summary that are derived rather than read from the host.
class TakeStatistics {
public:
    // The phone's stream rate behind the node's frameRate (60, 80 and 90 stand for 30, 50
    // and 60 fps); 0 for any other value, which means none was detected.
    static int detectedStreamRate(double frameRate);

    // Keys the bake filled across a gap: those exactly one frame after the key before.
    static int filledKeyCount(const KeySource& keys);
    static int filledKeyCount(const std::vector<SceneData::Key>& keys);

    TakeStatistics() = delete;
};
