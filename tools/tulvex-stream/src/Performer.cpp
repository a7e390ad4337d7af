#include "Performer.h"

#include <cmath>

namespace {

constexpr std::uint64_t kSkeletonIdBase = 0x5456'0000'0000'0001ULL;

// Spread over a few per cent without a table: sines of an irrational step never repeat.
Skeleton skeletonFor(int index) {
    const double bodyScale = 1.0 + 0.06 * std::sin(2.399963 * index);
    const double limbScale = 1.0 + 0.04 * std::sin(1.303 * index);
    return Skeleton(bodyScale, limbScale);
}

double phaseFor(int index) {
    return 0.618034 * index;
}

}  // namespace

Performer::Performer(int index, std::uint64_t createdMicros, double spinDegreesPerSecond)
    : index_(index),
      createdMicros_(createdMicros),
      skeleton_(skeletonFor(index)),
      walk_(skeleton_, phaseFor(index)),
      spinDegreesPerSecond_(spinDegreesPerSecond) {}

std::uint64_t Performer::skeletonId() const {
    return kSkeletonIdBase + static_cast<std::uint64_t>(index_);
}

zmf::SkeletonDefinition Performer::definition() const {
    return skeleton_.definition(skeletonId(), kRevision, createdMicros_);
}

zmf::FramePacket Performer::frame(const FrameSchedule& schedule, std::int64_t index) const {
    const double seconds = schedule.offsetSeconds(index);
    WalkCycle::Pose pose = walk_.poseAt(seconds);
    if (spinDegreesPerSecond_ != 0.0) {
        constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
        pose.rotations[Skeleton::kRoot] =
            Quaternion::fromAxisAngle({0, 1, 0},
                                      spinDegreesPerSecond_ * seconds * kRadiansPerDegree) *
            pose.rotations[Skeleton::kRoot];
    }
    zmf::FramePacket f;
    f.timestamp = schedule.timestamp(index);
    f.captureMicros = std::llround(f.timestamp * 1e6);
    f.revision = kRevision;
    f.frameNumber = schedule.frameNumber(index);
    f.confidence = 1.0F;
    f.boneIds.reserve(Skeleton::kBoneCount);
    f.bones.reserve(Skeleton::kBoneCount);
    for (int bone = 0; bone < Skeleton::kBoneCount; ++bone) {
        const Quaternion& q = pose.rotations[bone];
        // Only the root's translation moves; the others carry their rest offsets.
        const Vec3 t = bone == Skeleton::kRoot ? pose.rootPositionMetres
                                               : Vec3{skeleton_.offsetCm(bone)[0] / 100.0,
                                                      skeleton_.offsetCm(bone)[1] / 100.0,
                                                      skeleton_.offsetCm(bone)[2] / 100.0};
        f.boneIds.push_back(bone);
        f.bones.push_back(
            {{static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z),
              static_cast<float>(q.w)},
             {static_cast<float>(t[0]), static_cast<float>(t[1]), static_cast<float>(t[2])}});
    }
    return f;
}
