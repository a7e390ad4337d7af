#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "SceneData.h"

// Reads a baked take out of the host into plain scene data: a node's skeleton from its
// outputs, and which curves of the scene drive which joints.
class SceneCollector {
public:
    static constexpr int kCurvesPerNode = 27 * 6;

    // The joints of one node: the root at its position, every other bone at its offset from
    // its parent, as the node's outputTranslations hold them.
    static SceneData::Skeleton skeletonOf(int deviceId,
                                          const std::vector<std::array<double, 3>>& translations);

    // The joint attribute a baked curve drives, from its name
    // "<skeleton>_<bone>_<tx|ty|tz|rx|ry|rz>"; none for a curve of another skeleton or an
    // unknown bone. The keys are left empty.
    static std::optional<SceneData::Curve> curveTarget(const std::string& skeleton,
                                                       const std::string& curveName);

    // Every baked curve of that node in the scene, in creation order, without its keys: they
    // stay in the scene and are read from there as they are written (AnimCurveKeySource).
    static std::vector<SceneData::Curve> bakedCurves(int deviceId);

    SceneCollector() = delete;
};
