#pragma once

#include <zmf/ZmfCodec.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FrameSchedule.h"
#include "Skeleton.h"
#include "WalkCycle.h"

// One emulated phone: a skeleton of its own proportions walking at its own phase, and the
// packets it sends. Performer 0 has the default proportions.
class Performer {
public:
    static constexpr std::int32_t kRevision = 1;

    // spinDegreesPerSecond turns the whole performer about the vertical as it walks.
    Performer(int index, std::uint64_t createdMicros, double spinDegreesPerSecond = 0.0);

    int index() const { return index_; }
    std::uint64_t skeletonId() const;
    const Skeleton& skeleton() const { return skeleton_; }
    const WalkCycle& walk() const { return walk_; }

    zmf::SkeletonDefinition definition() const;
    // The frame due at this index, its pose taken at its offset from the stream's start.
    zmf::FramePacket frame(const FrameSchedule& schedule, std::int64_t index) const;

    std::vector<std::byte> definitionPacket() const { return zmf::encode(definition()); }
    std::vector<std::byte> framePacket(const FrameSchedule& schedule, std::int64_t index) const {
        return zmf::encode(frame(schedule, index));
    }

private:
    int index_;
    std::uint64_t createdMicros_;
    Skeleton skeleton_;
    WalkCycle walk_;
    double spinDegreesPerSecond_;
};
