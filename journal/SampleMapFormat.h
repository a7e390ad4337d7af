#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The take's per-sample map, the sidecar's binary companion: for every sample, its timeline
// time, the journal index of the datagram whose frame it showed, and the values the take
// holds for each bone. The values come along because a sample is more than its datagram: the
// rest pose came with a definition that may predate the take, and bones a frame leaves out
// keep older values. Little-endian; pure byte building and checked reading.
//
//   header (24 bytes): "TVXSMAP\0", u32 version, u32 bone count, u32 record bytes, u32 0
//   record: f64 time, i64 datagram index (-1: none of this journal), then per bone
//           f64 translation[3], f64 rotation[3] (Euler XYZ degrees), f64 quaternion w,x,y,z
class SampleMapFormat {
public:
    struct Bone {
        double translation[3];
        double rotation[3];
        double quaternion[4];  // w, x, y, z
    };
    struct Sample {
        double time = 0.0;
        std::int64_t datagramIndex = -1;
        std::vector<Bone> bones;
    };

    static constexpr std::uint32_t kVersion = 1;
    static constexpr std::size_t kHeaderBytes = 24;
    static constexpr std::size_t kBoneBytes = 10 * 8;
    static constexpr std::size_t kRecordHeadBytes = 16;
    static constexpr char kMagic[8] = {'T', 'V', 'X', 'S', 'M', 'A', 'P', '\0'};

    static std::size_t recordBytes(std::uint32_t boneCount) {
        return kRecordHeadBytes + kBoneBytes * boneCount;
    }
    static void appendHeader(std::vector<std::byte>& out, std::uint32_t boneCount);
    static void appendRecord(std::vector<std::byte>& out, double time, std::int64_t datagramIndex,
                             const Bone* bones, std::uint32_t boneCount);

    // The bone count the header at `data` declares; false, with the reason in `error`, when
    // it is not a sample map this version reads.
    static bool readHeader(const std::byte* data, std::size_t size, std::uint32_t& boneCount,
                           const char*& error);
    // Decodes the record at `data`, which must hold recordBytes(boneCount) bytes.
    static Sample readRecord(const std::byte* data, std::uint32_t boneCount);

    SampleMapFormat() = delete;
};
