#pragma once

#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Sample packets shared by the zmf tests. Values vary with `seed` so that packets built for
// different threads or bones are told apart.
namespace zmf_test {

inline constexpr int kReceiveBufferSize = zmf::kMaxDatagramSize;
// The largest bone counts whose packets fit the receive buffer.
inline constexpr int kMaxFrameBones = (kReceiveBufferSize - 16 - 32) / 32;
inline constexpr int kMaxDefinitionBones = (kReceiveBufferSize - 16 - 32) / 28;

inline zmf::BonePose samplePose(int seed) {
    const float s = static_cast<float>(seed);
    return {{0.1F + s, -0.2F - s, 0.3F * s, 0.9F}, {s * 0.01F, 1.5F, -2.25F - s}};
}

inline zmf::SkeletonDefinition sampleDefinition(int boneCount, int seed = 1) {
    zmf::SkeletonDefinition definition;
    definition.skeletonId = 0xA1B2C3D4E5F60718ULL + static_cast<std::uint64_t>(seed);
    definition.revision = 3 + seed;
    definition.createdMicros = 1'700'000'000'000'000ULL + static_cast<std::uint64_t>(seed);
    definition.flags = 0x8000000000000001ULL;
    for (int i = 0; i < boneCount; ++i) {
        definition.bones.push_back(samplePose(seed * 1000 + i));
    }
    return definition;
}

inline zmf::FramePacket sampleFrame(int boneCount, int seed = 1) {
    zmf::FramePacket frame;
    frame.captureMicros = -1'234'567'890'123LL - seed;
    frame.revision = 3 + seed;
    frame.frameNumber = 4711 + seed;
    frame.confidence = 0.75F;
    frame.timestamp = 12345.678901234 + seed;
    for (int i = 0; i < boneCount; ++i) {
        frame.boneIds.push_back(100 + i + seed);
        frame.bones.push_back(samplePose(seed * 1000 + i));
    }
    return frame;
}

// The packet at the start of a zeroed receive buffer, as the plug-in hands it over.
inline std::vector<std::byte> inReceiveBuffer(const std::vector<std::byte>& packet) {
    std::vector<std::byte> buffer(std::max<std::size_t>(kReceiveBufferSize, packet.size()));
    std::copy(packet.begin(), packet.end(), buffer.begin());
    return buffer;
}

inline void putU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::byte>(value >> (8 * i));
    }
}

// Rewrites the CRC after a deliberate change, so that only the changed field is wrong.
inline void reseal(std::vector<std::byte>& packet) {
    std::uint32_t payloadSize = 0;
    for (int i = 0; i < 4; ++i) {
        payloadSize |= std::to_integer<std::uint32_t>(packet[8 + i]) << (8 * i);
    }
    const std::size_t covered = std::min<std::size_t>(12 + payloadSize, packet.size() - 4);
    putU32(packet, covered, zmf::crc32(packet.data(), covered));
}

inline std::vector<std::byte> withFlippedBit(std::vector<std::byte> bytes, std::size_t offset) {
    bytes.at(offset) ^= std::byte{0x01};
    return bytes;
}

}  // namespace zmf_test
