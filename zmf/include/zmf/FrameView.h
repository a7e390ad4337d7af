#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "zmf/PacketView.h"

namespace zmf {

// Typed reader of a validated frame packet; borrows the caller's bytes.
class FrameView {
public:
    static std::optional<FrameView> from(const std::byte* data, std::int32_t size) noexcept;

    std::int64_t captureMicros() const noexcept {
        return packet_.i64(wire::kFrameCaptureMicrosOffset);
    }
    std::int32_t revision() const noexcept { return packet_.i32(wire::kFrameRevisionOffset); }
    std::int32_t frameNumber() const noexcept { return packet_.i32(wire::kFrameNumberOffset); }
    float confidence() const noexcept { return packet_.f32(wire::kFrameConfidenceOffset); }
    double timestamp() const noexcept { return packet_.f64(wire::kFrameTimestampOffset); }
    std::int32_t boneCount() const noexcept { return packet_.boneCount(); }
    // index < boneCount()
    std::int32_t boneId(std::size_t index) const noexcept {
        return packet_.i32(recordOffset(index) + wire::kFrameBoneIdOffset);
    }
    BonePose bone(std::size_t index) const noexcept {
        return packet_.pose(recordOffset(index) + wire::kFramePoseOffset);
    }

private:
    explicit FrameView(const PacketView& packet) noexcept : packet_(packet) {}

    static std::size_t recordOffset(std::size_t index) noexcept {
        return wire::kFrameFixedBytes + wire::kFrameBoneBytes * index;
    }

    PacketView packet_;
};

}  // namespace zmf
