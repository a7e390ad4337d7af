#include "zmf/ZmfCodec.h"

#include <limits>
#include <stdexcept>
#include <utility>

#include "Crc32.h"
#include "PacketWriter.h"
#include "zmf/FrameView.h"
#include "zmf/PacketView.h"
#include "zmf/SkeletonDefinitionView.h"
#include "zmf/WireLayout.h"

namespace zmf {
namespace {

// The bone count travels as an i32 and the payload length as a u32.
std::size_t payloadSizeFor(std::size_t boneCount, std::size_t fixedBytes, std::size_t boneBytes) {
    constexpr std::size_t kMaxPayload = std::numeric_limits<std::uint32_t>::max();
    if (boneCount > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) ||
        boneCount > (kMaxPayload - fixedBytes) / boneBytes) {
        throw std::length_error("zmf: too many bones for one packet");
    }
    return fixedBytes + boneBytes * boneCount;
}

}  // namespace

std::vector<std::byte> encode(const SkeletonDefinition& definition) {
    const std::size_t boneCount = definition.bones.size();
    PacketWriter writer(
        PacketKind::SkeletonDefinition,
        payloadSizeFor(boneCount, wire::kSkeletonFixedBytes, wire::kSkeletonBoneBytes));
    writer.u64(wire::kSkeletonIdOffset, definition.skeletonId);
    writer.i32(wire::kSkeletonRevisionOffset, definition.revision);
    writer.i32(wire::kSkeletonBoneCountOffset, static_cast<std::int32_t>(boneCount));
    writer.u64(wire::kSkeletonCreatedMicrosOffset, definition.createdMicros);
    writer.u64(wire::kSkeletonFlagsOffset, definition.flags);
    for (std::size_t i = 0; i < boneCount; ++i) {
        writer.pose(wire::kSkeletonFixedBytes + wire::kSkeletonBoneBytes * i, definition.bones[i]);
    }
    return std::move(writer).finish();
}

std::vector<std::byte> encode(const FramePacket& frame) {
    const std::size_t boneCount = frame.bones.size();
    if (frame.boneIds.size() != boneCount) {
        throw std::invalid_argument("zmf: a frame needs one bone id per bone");
    }
    PacketWriter writer(PacketKind::Frame,
                        payloadSizeFor(boneCount, wire::kFrameFixedBytes, wire::kFrameBoneBytes));
    writer.i64(wire::kFrameCaptureMicrosOffset, frame.captureMicros);
    writer.i32(wire::kFrameRevisionOffset, frame.revision);
    writer.i32(wire::kFrameNumberOffset, frame.frameNumber);
    writer.f32(wire::kFrameConfidenceOffset, frame.confidence);
    writer.f64(wire::kFrameTimestampOffset, frame.timestamp);
    writer.i32(wire::kFrameBoneCountOffset, static_cast<std::int32_t>(boneCount));
    for (std::size_t i = 0; i < boneCount; ++i) {
        const std::size_t record = wire::kFrameFixedBytes + wire::kFrameBoneBytes * i;
        writer.i32(record + wire::kFrameBoneIdOffset, frame.boneIds[i]);
        writer.pose(record + wire::kFramePoseOffset, frame.bones[i]);
    }
    return std::move(writer).finish();
}

std::uint32_t crc32(const std::byte* data, std::size_t size) {
    return Crc32::compute(data, size);
}

std::optional<PacketKind> classify(const std::byte* data, std::int32_t size) {
    const std::optional<PacketView> packet = PacketView::validate(data, size);
    if (!packet) {
        return std::nullopt;
    }
    return packet->kind();
}

bool decode(const std::byte* data, std::int32_t size, SkeletonDefinition& out) {
    const std::optional<SkeletonDefinitionView> view = SkeletonDefinitionView::from(data, size);
    if (!view) {
        return false;
    }
    const auto boneCount = static_cast<std::size_t>(view->boneCount());
    std::vector<BonePose> bones(boneCount);
    for (std::size_t i = 0; i < boneCount; ++i) {
        bones[i] = view->bone(i);
    }
    out.skeletonId = view->skeletonId();
    out.revision = view->revision();
    out.createdMicros = view->createdMicros();
    out.flags = view->flags();
    out.bones = std::move(bones);
    return true;
}

bool decode(const std::byte* data, std::int32_t size, FramePacket& out) {
    const std::optional<FrameView> view = FrameView::from(data, size);
    if (!view) {
        return false;
    }
    const auto boneCount = static_cast<std::size_t>(view->boneCount());
    std::vector<std::int32_t> boneIds(boneCount);
    std::vector<BonePose> bones(boneCount);
    for (std::size_t i = 0; i < boneCount; ++i) {
        boneIds[i] = view->boneId(i);
        bones[i] = view->bone(i);
    }
    out.captureMicros = view->captureMicros();
    out.revision = view->revision();
    out.frameNumber = view->frameNumber();
    out.confidence = view->confidence();
    out.timestamp = view->timestamp();
    out.boneIds = std::move(boneIds);
    out.bones = std::move(bones);
    return true;
}

}  // namespace zmf
