#include "PacketWriter.h"

#include <cassert>
#include <cstring>
#include <utility>

#include "Crc32.h"
#include "zmf/LittleEndian.h"
#include "zmf/WireLayout.h"

namespace zmf {

PacketWriter::PacketWriter(PacketKind kind, std::size_t payloadSize)
    : bytes_(wire::kFramingBytes + payloadSize) {
    assert(payloadSize <= UINT32_MAX);
    std::memcpy(bytes_.data() + wire::kMagicOffset, wire::kMagic, sizeof wire::kMagic);
    le::storeU16(bytes_.data() + wire::kVersionOffset, kVersion);
    le::storeU8(bytes_.data() + wire::kKindOffset, static_cast<std::uint8_t>(kind));
    le::storeU8(bytes_.data() + wire::kReservedOffset, 0);
    le::storeU32(bytes_.data() + wire::kPayloadLengthOffset,
                 static_cast<std::uint32_t>(payloadSize));
}

std::byte* PacketWriter::payload(std::size_t offset) noexcept {
    return bytes_.data() + wire::kHeaderBytes + offset;
}

void PacketWriter::u64(std::size_t offset, std::uint64_t value) noexcept {
    le::storeU64(payload(offset), value);
}

void PacketWriter::i64(std::size_t offset, std::int64_t value) noexcept {
    le::storeI64(payload(offset), value);
}

void PacketWriter::i32(std::size_t offset, std::int32_t value) noexcept {
    le::storeI32(payload(offset), value);
}

void PacketWriter::f32(std::size_t offset, float value) noexcept {
    le::storeF32(payload(offset), value);
}

void PacketWriter::f64(std::size_t offset, double value) noexcept {
    le::storeF64(payload(offset), value);
}

void PacketWriter::pose(std::size_t offset, const BonePose& bone) noexcept {
    for (std::size_t i = 0; i < 4; ++i) {
        f32(offset + wire::kPoseRotationOffset + 4 * i, bone.rotation[i]);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        f32(offset + wire::kPoseTranslationOffset + 4 * i, bone.translation[i]);
    }
}

std::vector<std::byte> PacketWriter::finish() && {
    const std::size_t covered = bytes_.size() - wire::kCrcBytes;
    le::storeU32(bytes_.data() + covered, Crc32::compute(bytes_.data(), covered));
    return std::move(bytes_);
}

}  // namespace zmf
