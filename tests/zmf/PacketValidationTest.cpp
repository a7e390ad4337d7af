#include <gtest/gtest.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "ZmfTestPackets.h"

namespace {

using zmf_test::reseal;

// Validates from a heap block of exactly `size` bytes, so a sanitizer build flags any read
// past the end instead of it landing in a larger buffer.
std::optional<zmf::PacketKind> classifyExact(const std::vector<std::byte>& bytes,
                                             std::size_t size) {
    const auto block = std::make_unique<std::byte[]>(size);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), block.get());
    return zmf::classify(block.get(), static_cast<std::int32_t>(size));
}

std::optional<zmf::PacketKind> classifyInBuffer(const std::vector<std::byte>& packet) {
    const std::vector<std::byte> buffer = zmf_test::inReceiveBuffer(packet);
    return zmf::classify(buffer.data(), static_cast<std::int32_t>(buffer.size()));
}

std::vector<std::byte> frame27() {
    return zmf::encode(zmf_test::sampleFrame(27));
}
std::vector<std::byte> definition27() {
    return zmf::encode(zmf_test::sampleDefinition(27));
}

constexpr std::size_t kFrameBoneCountAt = 12 + 28;
constexpr std::size_t kDefinitionBoneCountAt = 12 + 12;

TEST(PacketValidation, RejectsMissingOrShortInput) {
    const std::vector<std::byte> packet = frame27();
    EXPECT_FALSE(zmf::classify(nullptr, 4096));
    EXPECT_FALSE(zmf::classify(packet.data(), 0));
    EXPECT_FALSE(zmf::classify(packet.data(), -1));
    EXPECT_FALSE(zmf::classify(packet.data(), std::numeric_limits<std::int32_t>::min()));
    // Every truncation, down to less than a header: the declared length no longer fits.
    for (std::size_t size = 1; size < packet.size(); ++size) {
        ASSERT_FALSE(classifyExact(packet, size)) << "size " << size;
    }
    EXPECT_EQ(classifyExact(packet, packet.size()), zmf::PacketKind::Frame);
}

TEST(PacketValidation, IgnoresBytesAfterThePacket) {
    std::vector<std::byte> packet = definition27();
    const std::size_t packetSize = packet.size();
    std::vector<std::byte> buffer = zmf_test::inReceiveBuffer(packet);
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(packetSize), buffer.end(),
              std::byte{0xA5});
    EXPECT_EQ(zmf::classify(buffer.data(), 4096), zmf::PacketKind::SkeletonDefinition);
    packet.push_back(std::byte{0xFF});
    EXPECT_EQ(classifyExact(packet, packet.size()), zmf::PacketKind::SkeletonDefinition);
}

TEST(PacketValidation, RejectsWrongHeaderFieldsEvenWithAMatchingCrc) {
    struct Change {
        const char* what;
        std::size_t offset;
        std::uint8_t value;
    };
    const Change changes[] = {
        {"magic byte 0", 0, 'z'}, {"magic byte 3", 3, 'Q'},    {"version 0", 4, 0},
        {"version 2", 4, 2},      {"version high byte", 5, 1}, {"kind 0", 6, 0},
        {"kind 3", 6, 3},         {"kind 255", 6, 255},        {"reserved", 7, 1},
    };
    for (const Change& change : changes) {
        std::vector<std::byte> packet = frame27();
        packet[change.offset] = std::byte{change.value};
        reseal(packet);
        EXPECT_FALSE(classifyInBuffer(packet)) << change.what;
    }
}

TEST(PacketValidation, RejectsPayloadLengthsThatDoNotFitOrDoNotMatch) {
    const std::uint32_t lengths[] = {
        0xFFFFFFFFU,    // far past the buffer
        0xFFFFFFF0U,    // 16 + L wraps to 0 in 32 bits
        4096 - 16 + 1,  // one byte past the receive buffer
        31,             // shorter than the fixed fields
        0,
    };
    for (std::uint32_t length : lengths) {
        for (const std::vector<std::byte>& original : {frame27(), definition27()}) {
            std::vector<std::byte> packet = original;
            zmf_test::putU32(packet, 8, length);
            reseal(packet);
            EXPECT_FALSE(classifyInBuffer(packet)) << "length " << length;
        }
    }
}

TEST(PacketValidation, RejectsBoneCountsThatDisagreeWithThePayload) {
    struct Case {
        const char* what;
        std::uint32_t boneCount;
    };
    // Counts around 27 and counts whose byte size wraps to the real payload in 32-bit math:
    // 32 * 2^27 and 28 * 2^30 are both multiples of 2^32.
    const Case frameCases[] = {
        {"-1", 0xFFFFFFFFU},         {"min int", 0x80000000U}, {"26", 26}, {"28", 28}, {"0", 0},
        {"2^27+27", (1U << 27) + 27}};
    for (const Case& c : frameCases) {
        std::vector<std::byte> packet = frame27();
        zmf_test::putU32(packet, kFrameBoneCountAt, c.boneCount);
        reseal(packet);
        EXPECT_FALSE(classifyInBuffer(packet)) << "frame bone count " << c.what;
    }
    const Case definitionCases[] = {
        {"-1", 0xFFFFFFFFU},         {"min int", 0x80000000U}, {"26", 26}, {"28", 28}, {"0", 0},
        {"2^30+27", (1U << 30) + 27}};
    for (const Case& c : definitionCases) {
        std::vector<std::byte> packet = definition27();
        zmf_test::putU32(packet, kDefinitionBoneCountAt, c.boneCount);
        reseal(packet);
        EXPECT_FALSE(classifyInBuffer(packet)) << "definition bone count " << c.what;
    }
}

TEST(PacketValidation, RejectsEverySingleByteCorruption) {
    // Each packet is first accepted, so a remembered CRC must not vouch for altered bytes.
    const std::vector<std::byte> original = frame27();
    for (std::size_t offset = 0; offset < original.size(); ++offset) {
        ASSERT_EQ(classifyInBuffer(original), zmf::PacketKind::Frame);
        ASSERT_FALSE(classifyInBuffer(zmf_test::withFlippedBit(original, offset)))
            << "flipped bit at offset " << offset;
    }
}

TEST(PacketValidation, RejectsACrcComputedWithoutTheFinalXor) {
    std::vector<std::byte> packet = definition27();
    const std::size_t covered = packet.size() - 4;
    zmf_test::putU32(packet, covered, ~zmf::crc32(packet.data(), covered));
    EXPECT_FALSE(classifyInBuffer(packet));
}

}  // namespace
