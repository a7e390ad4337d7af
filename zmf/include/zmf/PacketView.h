#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "zmf/LittleEndian.h"
#include "zmf/WireLayout.h"
#include "zmf/ZmfCodec.h"

namespace zmf {

// A packet that passed every check: framing, CRC, and a payload length that matches its bone
// count exactly. Only validate() creates one, so the readers need no bounds checks of their
// own. The view borrows the caller's bytes.
class PacketView {
public:
    static std::optional<PacketView> validate(const std::byte* data, std::int32_t size) noexcept;

    PacketKind kind() const noexcept { return kind_; }
    std::int32_t boneCount() const noexcept { return boneCount_; }
    std::size_t payloadSize() const noexcept { return payloadSize_; }
    std::size_t packetSize() const noexcept { return wire::kFramingBytes + payloadSize_; }

    // Payload fields by offset within the payload.
    std::uint64_t u64(std::size_t offset) const noexcept { return le::loadU64(payload_ + offset); }
    std::int64_t i64(std::size_t offset) const noexcept { return le::loadI64(payload_ + offset); }
    std::int32_t i32(std::size_t offset) const noexcept { return le::loadI32(payload_ + offset); }
    float f32(std::size_t offset) const noexcept { return le::loadF32(payload_ + offset); }
    double f64(std::size_t offset) const noexcept { return le::loadF64(payload_ + offset); }
    BonePose pose(std::size_t offset) const noexcept {
        const std::byte* record = payload_ + offset;
        BonePose bone{};
        for (std::size_t i = 0; i < 4; ++i) {
            bone.rotation[i] = le::loadF32(record + wire::kPoseRotationOffset + 4 * i);
        }
        for (std::size_t i = 0; i < 3; ++i) {
            bone.translation[i] = le::loadF32(record + wire::kPoseTranslationOffset + 4 * i);
        }
        return bone;
    }

private:
    PacketView(const std::byte* payload, std::size_t payloadSize, PacketKind kind,
               std::int32_t boneCount) noexcept
        : payload_(payload), payloadSize_(payloadSize), kind_(kind), boneCount_(boneCount) {}

    const std::byte* payload_;
    std::size_t payloadSize_;
    PacketKind kind_;
    std::int32_t boneCount_;
};

}  // namespace zmf
