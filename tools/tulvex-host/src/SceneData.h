#pragma once

#include <array>
#include <string>
#include <vector>

// A take as plain data: what the Maya ASCII writer needs and nothing of the host.
struct SceneData {
    struct Joint {
        std::string name;
        std::string parent;  // empty: directly under the skeleton's transform
        std::array<double, 3> translation{};
    };

    struct Skeleton {
        std::string name;  // also the name of the transform above its joints
        std::vector<Joint> joints;
    };

    struct Key {
        double time;  // film frames
        double value;
    };

    // A time-to-distance or time-to-angle curve driving one attribute of a joint. Values are
    // Maya's internal units, as the curve holds them: centimetres, or radians.
    struct Curve {
        std::string name;
        std::vector<Key> keys;
        std::string targetNode;
        std::string targetAttribute;  // "tx", "ry", ...
        bool angular = false;         // an angle curve, not a distance curve
    };

    std::vector<Skeleton> skeletons;
    std::vector<Curve> curves;
};
