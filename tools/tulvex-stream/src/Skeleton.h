#pragma once

#include <zmf/ZmfCodec.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "Quaternion.h"

// The 27-bone skeleton the plug-in expects, with a performer's proportions applied to the
// default offsets. Offsets are kept in centimetres like the plug-in's table; the wire wants
// metres.
class Skeleton {
public:
    static constexpr int kBoneCount = 27;

    enum Bone : int {
        kRoot = 0,
        kTorso1 = 1,
        kTorso7 = 7,
        kNeck1 = 8,
        kNeck2 = 9,
        kHead = 10,
        kLeftShoulder = 11,
        kLeftUpArm = 12,
        kLeftLowArm = 13,
        kLeftHand = 14,
        kRightShoulder = 15,
        kRightUpArm = 16,
        kRightLowArm = 17,
        kRightHand = 18,
        kLeftUpLeg = 19,
        kLeftLowLeg = 20,
        kLeftFoot = 21,
        kLeftToes = 22,
        kRightUpLeg = 23,
        kRightLowLeg = 24,
        kRightFoot = 25,
        kRightToes = 26,
    };

    // bodyScale scales every offset, limbScale additionally the arms and legs.
    explicit Skeleton(double bodyScale = 1.0, double limbScale = 1.0);

    static int parent(int bone);
    static std::string_view name(int bone);

    const Vec3& offsetCm(int bone) const { return offsetsCm_.at(bone); }
    // Hip joint to ankle with the leg straight, in metres.
    double legLengthMetres() const;

    // Rest pose: identity rotations, offsets in metres.
    zmf::SkeletonDefinition definition(std::uint64_t skeletonId, std::int32_t revision,
                                       std::uint64_t createdMicros) const;

private:
    std::vector<Vec3> offsetsCm_;
};
