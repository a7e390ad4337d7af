#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "zmf/PacketView.h"

namespace zmf {

// Typed reader of a validated skeleton-definition packet; borrows the caller's bytes.
class SkeletonDefinitionView {
public:
    static std::optional<SkeletonDefinitionView> from(const std::byte* data,
                                                      std::int32_t size) noexcept;

    std::uint64_t skeletonId() const noexcept { return packet_.u64(wire::kSkeletonIdOffset); }
    std::int32_t revision() const noexcept { return packet_.i32(wire::kSkeletonRevisionOffset); }
    std::uint64_t createdMicros() const noexcept {
        return packet_.u64(wire::kSkeletonCreatedMicrosOffset);
    }
    std::uint64_t flags() const noexcept { return packet_.u64(wire::kSkeletonFlagsOffset); }
    std::int32_t boneCount() const noexcept { return packet_.boneCount(); }
    // index < boneCount()
    BonePose bone(std::size_t index) const noexcept {
        return packet_.pose(wire::kSkeletonFixedBytes + wire::kSkeletonBoneBytes * index);
    }

private:
    explicit SkeletonDefinitionView(const PacketView& packet) noexcept : packet_(packet) {}

    PacketView packet_;
};

}  // namespace zmf
