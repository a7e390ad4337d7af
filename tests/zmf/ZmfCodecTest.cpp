#include <gtest/gtest.h>
#include <zmf/ZmfCodec.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "ZmfTestPackets.h"

namespace {

using zmf_test::sampleDefinition;
using zmf_test::sampleFrame;

// Bit-at-a-time CRC-32, independent of the table-driven one under test.
std::uint32_t referenceCrc32(const std::byte* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= std::to_integer<std::uint32_t>(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1U) ^ (0xEDB88320U & (0U - (crc & 1U)));
        }
    }
    return ~crc;
}

std::uint32_t crcOf(std::string_view text) {
    return zmf::crc32(reinterpret_cast<const std::byte*>(text.data()), text.size());
}

// Appends fields in the order docs/wire-format.md lists them, without the codec's offsets,
// so that a layout mistake shared by encoder and decoder still shows.
class ByteBuilder {
public:
    ByteBuilder& raw(std::string_view text) {
        for (char c : text) {
            bytes_.push_back(static_cast<std::byte>(c));
        }
        return *this;
    }
    ByteBuilder& u8(std::uint8_t value) { return little(value, 1); }
    ByteBuilder& u16(std::uint16_t value) { return little(value, 2); }
    ByteBuilder& u32(std::uint32_t value) { return little(value, 4); }
    ByteBuilder& u64(std::uint64_t value) { return little(value, 8); }
    ByteBuilder& f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    ByteBuilder& f64(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return u64(bits);
    }
    ByteBuilder& pose(const zmf::BonePose& bone) {
        for (float v : bone.rotation) {
            f32(v);
        }
        for (float v : bone.translation) {
            f32(v);
        }
        return *this;
    }
    std::vector<std::byte> sealed() const {
        std::vector<std::byte> packet = bytes_;
        const std::uint32_t crc = referenceCrc32(packet.data(), packet.size());
        for (int i = 0; i < 4; ++i) {
            packet.push_back(static_cast<std::byte>(crc >> (8 * i)));
        }
        return packet;
    }

private:
    ByteBuilder& little(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes_.push_back(static_cast<std::byte>(value >> (8 * i)));
        }
        return *this;
    }

    std::vector<std::byte> bytes_;
};

// Encoding writes every field bit for bit, so equal re-encodings mean equal values, NaN
// payloads and signed zeros included; the layout tests pin the encoding itself.
template <typename Packet>
void expectRoundTrip(const Packet& original) {
    const std::vector<std::byte> packet = zmf::encode(original);
    const std::vector<std::byte> buffer = zmf_test::inReceiveBuffer(packet);
    Packet decoded;
    ASSERT_TRUE(zmf::decode(buffer.data(), static_cast<std::int32_t>(buffer.size()), decoded));
    EXPECT_EQ(zmf::encode(decoded), packet);
}

TEST(Crc32, MatchesKnownVectors) {
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926U);
    EXPECT_EQ(crcOf(""), 0x00000000U);
    EXPECT_EQ(crcOf("a"), 0xE8B7BE43U);
    EXPECT_EQ(crcOf("The quick brown fox jumps over the lazy dog"), 0x414FA339U);
}

TEST(Crc32, MatchesBitwiseReferenceForEveryLengthAndAlignment) {
    // Lengths around the 8-byte stride and start addresses off the 8-byte grid exercise the
    // sliced loop and the byte-wise tail together.
    std::vector<std::byte> data(200);
    std::uint32_t state = 12345;
    for (std::byte& b : data) {
        state = state * 1103515245U + 12345U;
        b = static_cast<std::byte>(state >> 16U);
    }
    for (std::size_t start = 0; start < 8; ++start) {
        for (std::size_t size = 0; size + start <= 80; ++size) {
            ASSERT_EQ(zmf::crc32(data.data() + start, size),
                      referenceCrc32(data.data() + start, size))
                << "start " << start << " size " << size;
        }
    }
}

TEST(ZmfCodec, EncodesDefinitionInTheDocumentedLayout) {
    const zmf::SkeletonDefinition definition = sampleDefinition(2);
    ByteBuilder expected;
    expected.raw("ZMFP").u16(1).u8(1).u8(0).u32(32 + 2 * 28);
    expected.u64(definition.skeletonId)
        .u32(static_cast<std::uint32_t>(definition.revision))
        .u32(2)
        .u64(definition.createdMicros)
        .u64(definition.flags);
    expected.pose(definition.bones[0]).pose(definition.bones[1]);
    EXPECT_EQ(zmf::encode(definition), expected.sealed());
}

TEST(ZmfCodec, EncodesFrameInTheDocumentedLayout) {
    const zmf::FramePacket frame = sampleFrame(2);
    ByteBuilder expected;
    expected.raw("ZMFP").u16(1).u8(2).u8(0).u32(32 + 2 * 32);
    expected.u64(static_cast<std::uint64_t>(frame.captureMicros))
        .u32(static_cast<std::uint32_t>(frame.revision))
        .u32(static_cast<std::uint32_t>(frame.frameNumber))
        .f32(frame.confidence)
        .f64(frame.timestamp)
        .u32(2);
    for (int i = 0; i < 2; ++i) {
        expected.u32(static_cast<std::uint32_t>(frame.boneIds[i])).pose(frame.bones[i]);
    }
    EXPECT_EQ(zmf::encode(frame), expected.sealed());
}

TEST(ZmfCodec, RoundTripsDefinitions) {
    for (int bones : {0, 1, 27, zmf_test::kMaxDefinitionBones}) {
        SCOPED_TRACE(bones);
        expectRoundTrip(sampleDefinition(bones));
    }
    // The largest count really is the largest that fits the receive buffer.
    EXPECT_LE(zmf::encode(sampleDefinition(zmf_test::kMaxDefinitionBones)).size(), 4096U);
    EXPECT_GT(zmf::encode(sampleDefinition(zmf_test::kMaxDefinitionBones + 1)).size(), 4096U);

    zmf::SkeletonDefinition extremes = sampleDefinition(1);
    extremes.skeletonId = std::numeric_limits<std::uint64_t>::max();
    extremes.revision = std::numeric_limits<std::int32_t>::min();
    extremes.createdMicros = 0;
    extremes.flags = std::numeric_limits<std::uint64_t>::max();
    expectRoundTrip(extremes);
}

TEST(ZmfCodec, RoundTripsFrames) {
    for (int bones : {0, 1, 27, zmf_test::kMaxFrameBones}) {
        SCOPED_TRACE(bones);
        expectRoundTrip(sampleFrame(bones));
    }
    EXPECT_EQ(zmf::encode(sampleFrame(27)).size(), 912U);
    EXPECT_LE(zmf::encode(sampleFrame(zmf_test::kMaxFrameBones)).size(), 4096U);
    EXPECT_GT(zmf::encode(sampleFrame(zmf_test::kMaxFrameBones + 1)).size(), 4096U);

    // Non-finite and negative-zero values travel bit for bit.
    zmf::FramePacket special = sampleFrame(1);
    special.captureMicros = std::numeric_limits<std::int64_t>::min();
    special.frameNumber = -1;
    special.confidence = std::numeric_limits<float>::quiet_NaN();
    special.timestamp = -0.0;
    special.bones[0].rotation[0] = std::numeric_limits<float>::infinity();
    special.bones[0].translation[2] = -std::numeric_limits<float>::denorm_min();
    expectRoundTrip(special);
}

TEST(ZmfCodec, DecodeOfTheOtherKindFailsAndLeavesOutputAlone) {
    const std::vector<std::byte> frameBuffer =
        zmf_test::inReceiveBuffer(zmf::encode(sampleFrame(3)));
    const std::vector<std::byte> definitionBuffer =
        zmf_test::inReceiveBuffer(zmf::encode(sampleDefinition(3)));

    zmf::SkeletonDefinition definition = sampleDefinition(5, 9);
    EXPECT_FALSE(zmf::decode(frameBuffer.data(), 4096, definition));
    EXPECT_EQ(definition.skeletonId, sampleDefinition(5, 9).skeletonId);
    EXPECT_EQ(definition.bones.size(), 5U);

    zmf::FramePacket frame = sampleFrame(5, 9);
    EXPECT_FALSE(zmf::decode(definitionBuffer.data(), 4096, frame));
    EXPECT_EQ(frame.frameNumber, sampleFrame(5, 9).frameNumber);
    EXPECT_EQ(frame.boneIds.size(), 5U);

    EXPECT_EQ(zmf::classify(frameBuffer.data(), 4096), zmf::PacketKind::Frame);
    EXPECT_EQ(zmf::classify(definitionBuffer.data(), 4096), zmf::PacketKind::SkeletonDefinition);
}

TEST(ZmfCodec, RefusesFramesWhoseIdsAndBonesDiffer) {
    zmf::FramePacket frame = sampleFrame(3);
    frame.boneIds.pop_back();
    EXPECT_THROW(zmf::encode(frame), std::invalid_argument);
}

}  // namespace
