#pragma once

#include <cstddef>

#include "zmf/ZmfCodec.h"

// Byte offsets of the ZMF wire format; docs/wire-format.md is the prose version. Header offsets
// count from the start of the packet, payload and record offsets from the start of their part.
namespace zmf::wire {

inline constexpr char kMagic[4] = {'Z', 'M', 'F', 'P'};

inline constexpr std::size_t kHeaderBytes = kHeaderSize;
inline constexpr std::size_t kCrcBytes = kCrcSize;
inline constexpr std::size_t kFramingBytes = kHeaderBytes + kCrcBytes;

inline constexpr std::size_t kMagicOffset = 0;
inline constexpr std::size_t kVersionOffset = 4;
inline constexpr std::size_t kKindOffset = 6;
inline constexpr std::size_t kReservedOffset = 7;
inline constexpr std::size_t kPayloadLengthOffset = 8;

// A pose record: quaternion x, y, z, w then translation x, y, z, all f32.
inline constexpr std::size_t kPoseRotationOffset = 0;
inline constexpr std::size_t kPoseTranslationOffset = 16;
inline constexpr std::size_t kPoseBytes = 28;

inline constexpr std::size_t kSkeletonIdOffset = 0;
inline constexpr std::size_t kSkeletonRevisionOffset = 8;
inline constexpr std::size_t kSkeletonBoneCountOffset = 12;
inline constexpr std::size_t kSkeletonCreatedMicrosOffset = 16;
inline constexpr std::size_t kSkeletonFlagsOffset = 24;
inline constexpr std::size_t kSkeletonFixedBytes = 32;
inline constexpr std::size_t kSkeletonBoneBytes = kPoseBytes;

inline constexpr std::size_t kFrameCaptureMicrosOffset = 0;
inline constexpr std::size_t kFrameRevisionOffset = 8;
inline constexpr std::size_t kFrameNumberOffset = 12;
inline constexpr std::size_t kFrameConfidenceOffset = 16;
inline constexpr std::size_t kFrameTimestampOffset = 20;  // unaligned f64
inline constexpr std::size_t kFrameBoneCountOffset = 28;
inline constexpr std::size_t kFrameFixedBytes = 32;
inline constexpr std::size_t kFrameBoneIdOffset = 0;
inline constexpr std::size_t kFramePoseOffset = 4;
inline constexpr std::size_t kFrameBoneBytes = 4 + kPoseBytes;

}  // namespace zmf::wire
