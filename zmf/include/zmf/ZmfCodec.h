#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Encoder and decoder of ZMF packets, the datagrams the capture phone sends. The byte layout is
// described in docs/wire-format.md; zmf/WireLayout.h holds the offsets.
namespace zmf {

inline constexpr int kHeaderSize = 12;
inline constexpr int kCrcSize = 4;
inline constexpr std::uint16_t kVersion = 1;

// The plug-in receives into a buffer of this size, so no packet longer than this reaches it.
inline constexpr int kMaxDatagramSize = 4096;

enum class PacketKind : std::uint8_t { SkeletonDefinition = 1, Frame = 2 };

struct BonePose {
    float rotation[4];     // quaternion x, y, z, w
    float translation[3];  // x, y, z
};

struct SkeletonDefinition {
    std::uint64_t skeletonId = 0;
    std::int32_t revision = 0;
    std::uint64_t createdMicros = 0;
    std::uint64_t flags = 0;
    std::vector<BonePose> bones;
};

struct FramePacket {
    std::int64_t captureMicros = 0;
    std::int32_t revision = 0;
    std::int32_t frameNumber = 0;
    float confidence = 0;
    double timestamp = 0;               // seconds
    std::vector<std::int32_t> boneIds;  // same length as bones
    std::vector<BonePose> bones;
};

// Whole packets, header to CRC. Throw std::invalid_argument when a frame's boneIds and bones
// differ in length and std::length_error when the bones do not fit the wire's counters.
std::vector<std::byte> encode(const SkeletonDefinition& definition);
std::vector<std::byte> encode(const FramePacket& frame);

std::uint32_t crc32(const std::byte* data, std::size_t size);

// The kind of a packet that passes every check, including the CRC; nullopt otherwise. Bytes
// after the packet's end are ignored. Never reads outside [data, data + size).
std::optional<PacketKind> classify(const std::byte* data, std::int32_t size);

// On success overwrite out; on failure (invalid packet or other kind) leave it untouched.
bool decode(const std::byte* data, std::int32_t size, SkeletonDefinition& out);
bool decode(const std::byte* data, std::int32_t size, FramePacket& out);

}  // namespace zmf
