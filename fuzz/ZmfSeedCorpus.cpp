// Writes the starting corpus for zmf_fuzz: valid definitions and frames of several bone counts
// and a few damaged packets, one file each, into the directory given as the only argument.
#include <zmf/ZmfCodec.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "SeedCorpus.h"

namespace {

constexpr int kMaxFrameBones = (zmf::kMaxDatagramSize - 16 - 32) / 32;
constexpr int kMaxDefinitionBones = (zmf::kMaxDatagramSize - 16 - 32) / 28;

zmf::BonePose pose(int i) {
    const float f = static_cast<float>(i);
    return {{0.0F, 0.0F, 0.38F, 0.92F}, {0.01F * f, 0.9F, -0.1F * f}};
}

std::vector<std::byte> definition(int bones) {
    zmf::SkeletonDefinition d;
    d.skeletonId = 0x5A4D4650ULL + static_cast<std::uint64_t>(bones);
    d.revision = 2;
    d.createdMicros = 1'700'000'000'000'000ULL;
    d.flags = 1;
    for (int i = 0; i < bones; ++i) {
        d.bones.push_back(pose(i));
    }
    return zmf::encode(d);
}

std::vector<std::byte> frame(int bones) {
    zmf::FramePacket f;
    f.captureMicros = 1'700'000'000'123'456LL;
    f.revision = 2;
    f.frameNumber = bones * 10;
    f.confidence = 0.9F;
    f.timestamp = 1234.5;
    for (int i = 0; i < bones; ++i) {
        f.boneIds.push_back(i);
        f.bones.push_back(pose(i));
    }
    return zmf::encode(f);
}

void putU32(std::vector<std::byte>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::byte>(value >> (8 * i));
    }
}

// A field changed after encoding, with the CRC brought up to date so that the change itself is
// what the decoder has to reject.
std::vector<std::byte> resealed(std::vector<std::byte> packet, std::size_t offset,
                                std::uint32_t value) {
    putU32(packet, offset, value);
    const std::size_t covered = packet.size() - 4;
    putU32(packet, covered, zmf::crc32(packet.data(), covered));
    return packet;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path directory;
    int exitCode = 0;
    if (!SeedCorpus::openFolder(argc, argv, directory, exitCode)) {
        return exitCode;
    }

    bool ok = true;
    for (int bones : {0, 1, 27, kMaxDefinitionBones}) {
        ok = ok &&
             SeedCorpus::write(directory, "definition_" + std::to_string(bones), definition(bones));
    }
    for (int bones : {0, 1, 27, kMaxFrameBones}) {
        ok = ok && SeedCorpus::write(directory, "frame_" + std::to_string(bones), frame(bones));
    }

    std::vector<std::byte> badCrc = frame(27);
    badCrc.back() ^= std::byte{0xFF};
    ok = ok && SeedCorpus::write(directory, "frame_27_bad_crc", badCrc);
    std::vector<std::byte> truncated = frame(27);
    truncated.resize(truncated.size() / 2);
    ok = ok && SeedCorpus::write(directory, "frame_27_truncated", truncated);
    // Bone count one more than the payload holds, and negative.
    ok = ok && SeedCorpus::write(directory, "frame_27_count_28", resealed(frame(27), 12 + 28, 28));
    ok = ok && SeedCorpus::write(directory, "definition_27_count_negative",
                                 resealed(definition(27), 12 + 12, 0xFFFFFFFFU));
    ok = ok &&
         SeedCorpus::write(directory, "frame_1_huge_length", resealed(frame(1), 8, 0xFFFFFFF0U));

    if (!ok) {
        std::fprintf(stderr, "cannot write the corpus into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
