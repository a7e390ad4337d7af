#include "SceneCollector.h"

#include <mayahost/HostControl.h>

#include "BoneTable.h"

SceneData::Skeleton SceneCollector::skeletonOf(
    int deviceId, const std::vector<std::array<double, 3>>& translations) {
    SceneData::Skeleton skeleton;
    skeleton.name = BoneTable::skeletonName(deviceId);
    for (int bone = 0; bone < BoneTable::kBoneCount; ++bone) {
        const BoneTable::Bone& entry = BoneTable::bones()[static_cast<std::size_t>(bone)];
        SceneData::Joint joint;
        joint.name = BoneTable::jointName(skeleton.name, bone);
        if (entry.parent != BoneTable::kNoParent) {
            joint.parent = BoneTable::jointName(skeleton.name, entry.parent);
        }
        if (static_cast<std::size_t>(bone) < translations.size()) {
            joint.translation = translations[static_cast<std::size_t>(bone)];
        }
        skeleton.joints.push_back(joint);
    }
    return skeleton;
}

std::optional<SceneData::Curve> SceneCollector::curveTarget(const std::string& skeleton,
                                                            const std::string& curveName) {
    static constexpr const char* kChannels[] = {"tx", "ty", "tz", "rx", "ry", "rz"};
    const std::string prefix = skeleton + "_";
    // "_" + channel after at least one character of bone name.
    if (curveName.size() < prefix.size() + 4 || curveName.compare(0, prefix.size(), prefix) != 0 ||
        curveName[curveName.size() - 3] != '_') {
        return std::nullopt;
    }
    const std::string channel = curveName.substr(curveName.size() - 2);
    const std::string joint = curveName.substr(0, curveName.size() - 3);
    bool knownChannel = false;
    for (const char* candidate : kChannels) {
        knownChannel = knownChannel || channel == candidate;
    }
    bool knownBone = false;
    for (int bone = 0; bone < BoneTable::kBoneCount; ++bone) {
        knownBone = knownBone || joint == BoneTable::jointName(skeleton, bone);
    }
    if (!knownChannel || !knownBone) {
        return std::nullopt;
    }
    SceneData::Curve curve;
    curve.name = curveName;
    curve.targetNode = joint;
    curve.targetAttribute = channel;
    curve.angular = channel[0] == 'r';
    return curve;
}

std::vector<SceneData::Curve> SceneCollector::bakedCurves(int deviceId) {
    const std::string skeleton = BoneTable::skeletonName(deviceId);
    std::vector<SceneData::Curve> curves;
    for (const std::string& name : mayahost::animCurveNames()) {
        std::optional<SceneData::Curve> curve = curveTarget(skeleton, name);
        if (curve) {
            curves.push_back(std::move(*curve));
        }
    }
    return curves;
}
