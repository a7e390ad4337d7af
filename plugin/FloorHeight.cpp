#include "FloorHeight.h"

#include <cstring>
#include <vector>

namespace {

struct Quaternion {
    double x, y, z, w;
};

Quaternion multiply(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

// v turned by the unit quaternion q.
void rotate(const Quaternion& q, const double v[3], double out[3]) {
    const Quaternion turned =
        multiply(multiply(q, {v[0], v[1], v[2], 0.0}), {-q.x, -q.y, -q.z, q.w});
    out[0] = turned.x;
    out[1] = turned.y;
    out[2] = turned.z;
}

bool isFootOrToes(const char* name) {
    static const char* const kNames[] = {"l_foot", "l_toes", "r_foot", "r_toes"};
    for (const char* foot : kNames) {
        if (name != nullptr && std::strcmp(name, foot) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool FloorHeight::lowestFoot(const SkeletonNodeInfo* bones, std::size_t count, double& height) {
    std::vector<Quaternion> orientation(count);
    std::vector<double> position(count * 3);
    bool found = false;
    for (std::size_t b = 0; b < count; ++b) {
        const SkeletonNodeInfo& bone = bones[b];
        const Quaternion local{bone.currentRotation[0], bone.currentRotation[1],
                               bone.currentRotation[2], bone.currentRotation[3]};
        double* at = &position[b * 3];
        if (bone.parentIndex < 0) {
            std::memcpy(at, bone.currentTranslation, sizeof(bone.currentTranslation));
            orientation[b] = local;
        } else {
            const auto parent = static_cast<std::size_t>(bone.parentIndex);
            if (parent >= b) {
                return false;  // parents come first in the records
            }
            rotate(orientation[parent], bone.restTranslation, at);
            for (int c = 0; c < 3; ++c) {
                at[c] += position[parent * 3 + static_cast<std::size_t>(c)];
            }
            orientation[b] = multiply(orientation[parent], local);
        }
        if (isFootOrToes(bone.name) && (!found || at[1] < height)) {
            height = at[1];
            found = true;
        }
    }
    return found;
}
