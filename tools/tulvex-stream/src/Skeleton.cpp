#include "Skeleton.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace {

struct BoneRow {
    std::string_view name;
    int parent;
    Vec3 offsetCm;
    bool limb;
};

// clang-format off
const std::array<BoneRow, Skeleton::kBoneCount> kBones = {{
    {"root",       -1, {0, 94, 0},    false},
    {"torso_1",     0, {0, 5, 0},     false},
    {"torso_2",     1, {0, 5, 0},     false},
    {"torso_3",     2, {0, 5, 0},     false},
    {"torso_4",     3, {0, 5, 0},     false},
    {"torso_5",     4, {0, 5, 0},     false},
    {"torso_6",     5, {0, 7, 0},     false},
    {"torso_7",     6, {0, 10, 0},    false},
    {"neck_1",      7, {0, 4, 0},     false},
    {"neck_2",      8, {0, 4, 0},     false},
    {"head",        9, {0, 4, 0},     false},
    {"l_shoulder",  7, {1, -6, 7},    false},
    {"l_up_arm",   11, {12, 5, 0},    false},
    {"l_low_arm",  12, {0, -28, 0},   true},
    {"l_hand",     13, {0, -23, 0},   true},
    {"r_shoulder",  7, {-1, -6, 7},   false},
    {"r_up_arm",   15, {-12, 5, 0},   false},
    {"r_low_arm",  16, {0, -28, 0},   true},
    {"r_hand",     17, {0, -23, 0},   true},
    {"l_up_leg",    0, {9, -4, 3},    false},
    {"l_low_leg",  19, {0, -40, 2},   true},
    {"l_foot",     20, {0, -40, -2},  true},
    {"l_toes",     21, {0, -10, 13},  false},
    {"r_up_leg",    0, {-9, -4, 3},   false},
    {"r_low_leg",  23, {0, -40, 2},   true},
    {"r_foot",     24, {0, -40, -2},  true},
    {"r_toes",     25, {0, -10, 13},  false},
}};
// clang-format on

}  // namespace

Skeleton::Skeleton(double bodyScale, double limbScale) {
    if (!(bodyScale > 0) || !(limbScale > 0)) {
        throw std::invalid_argument("skeleton scales must be positive");
    }
    offsetsCm_.reserve(kBones.size());
    for (const BoneRow& row : kBones) {
        const double scale = bodyScale * (row.limb ? limbScale : 1.0);
        offsetsCm_.push_back(
            {row.offsetCm[0] * scale, row.offsetCm[1] * scale, row.offsetCm[2] * scale});
    }
    // The root stands on the legs: longer legs lift it so that the soles stay on the floor.
    const double shinAndThighCm =
        -(kBones[kLeftLowLeg].offsetCm[1] + kBones[kLeftFoot].offsetCm[1]);
    offsetsCm_[kRoot][1] += bodyScale * shinAndThighCm * (limbScale - 1.0);
}

int Skeleton::parent(int bone) {
    return kBones.at(bone).parent;
}

std::string_view Skeleton::name(int bone) {
    return kBones.at(bone).name;
}

double Skeleton::legLengthMetres() const {
    double length = 0;
    for (int bone : {kLeftLowLeg, kLeftFoot}) {
        const Vec3& o = offsetsCm_[bone];
        length += std::sqrt(o[0] * o[0] + o[1] * o[1] + o[2] * o[2]);
    }
    return length / 100.0;
}

zmf::SkeletonDefinition Skeleton::definition(std::uint64_t skeletonId, std::int32_t revision,
                                             std::uint64_t createdMicros) const {
    zmf::SkeletonDefinition d;
    d.skeletonId = skeletonId;
    d.revision = revision;
    d.createdMicros = createdMicros;
    d.bones.reserve(offsetsCm_.size());
    for (const Vec3& o : offsetsCm_) {
        zmf::BonePose pose{{0, 0, 0, 1},
                           {static_cast<float>(o[0] / 100.0), static_cast<float>(o[1] / 100.0),
                            static_cast<float>(o[2] / 100.0)}};
        d.bones.push_back(pose);
    }
    return d;
}
