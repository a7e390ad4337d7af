#include "zmf/PacketView.h"

#include <cstring>

#include "CrcMemo.h"

namespace zmf {
namespace {

struct PayloadShape {
    std::size_t fixedBytes;
    std::size_t boneBytes;
    std::size_t boneCountOffset;
};

std::optional<PayloadShape> shapeOf(std::uint8_t kind) noexcept {
    switch (kind) {
        case static_cast<std::uint8_t>(PacketKind::SkeletonDefinition):
            return PayloadShape{wire::kSkeletonFixedBytes, wire::kSkeletonBoneBytes,
                                wire::kSkeletonBoneCountOffset};
        case static_cast<std::uint8_t>(PacketKind::Frame):
            return PayloadShape{wire::kFrameFixedBytes, wire::kFrameBoneBytes,
                                wire::kFrameBoneCountOffset};
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<PacketView> PacketView::validate(const std::byte* data, std::int32_t size) noexcept {
    if (data == nullptr || size < static_cast<std::int32_t>(wire::kFramingBytes)) {
        return std::nullopt;
    }
    if (std::memcmp(data + wire::kMagicOffset, wire::kMagic, sizeof wire::kMagic) != 0 ||
        le::loadU16(data + wire::kVersionOffset) != kVersion ||
        le::loadU8(data + wire::kReservedOffset) != 0) {
        return std::nullopt;
    }
    const std::uint8_t kindByte = le::loadU8(data + wire::kKindOffset);
    const std::optional<PayloadShape> shape = shapeOf(kindByte);
    if (!shape) {
        return std::nullopt;
    }
    // 64-bit arithmetic: a payload length near 2^32 must not wrap around into range.
    const std::uint64_t payloadSize = le::loadU32(data + wire::kPayloadLengthOffset);
    const std::uint64_t packetSize = wire::kFramingBytes + payloadSize;
    if (packetSize > static_cast<std::uint64_t>(size) || payloadSize < shape->fixedBytes) {
        return std::nullopt;
    }
    const std::byte* payload = data + wire::kHeaderBytes;
    const std::int32_t boneCount = le::loadI32(payload + shape->boneCountOffset);
    if (boneCount < 0 ||
        payloadSize !=
            shape->fixedBytes + shape->boneBytes * static_cast<std::uint64_t>(boneCount)) {
        return std::nullopt;
    }
    if (!CrcMemo::verify(data, static_cast<std::size_t>(packetSize))) {
        return std::nullopt;
    }
    return PacketView(payload, static_cast<std::size_t>(payloadSize),
                      static_cast<PacketKind>(kindByte), boneCount);
}

}  // namespace zmf
