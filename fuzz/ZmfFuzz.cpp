// libFuzzer target: every input goes to all five entry points at the start of a zeroed receive
// buffer, as the plug-in delivers it, and in a block of exactly its own size, so that
// AddressSanitizer catches any read past `size`; then both again with the CRC made to match.
// Besides memory errors it checks that the entry points agree with each other and that
// whatever decodes re-encodes to the same bytes.
#include <zmf/ZmfCodec.h>
#include <zmf/ZmfEntryPoints.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kReceiveBufferSize = zmf::kMaxDatagramSize;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "zmf_fuzz: %s\n", what);
        std::abort();
    }
}

// Reads every element, so a short array shows up as a heap overflow.
float touchAll(std::int32_t count, float* const* runs, std::size_t runCount) {
    float sum = 0;
    for (std::size_t r = 0; r < runCount; ++r) {
        require(runs[r] != nullptr, "null array after a successful convert");
        for (std::int32_t i = 0; i < count; ++i) {
            sum += runs[r][i];
        }
    }
    return sum;
}

// The packet, re-encoded from what decoded, must be the leading bytes of the input.
void requireReencodes(const std::vector<std::byte>& encoded, const std::byte* data,
                      std::int32_t size) {
    require(encoded.size() <= static_cast<std::size_t>(size), "re-encoded packet is longer");
    require(std::memcmp(encoded.data(), data, encoded.size()) == 0,
            "re-encoded packet differs from the input");
}

void checkDefinition(const std::byte* data, std::int32_t size, bool expected) {
    std::uint64_t skeletonId = 0;
    std::uint64_t createdMicros = 0;
    std::uint64_t flags = 0;
    std::int32_t revision = 0;
    std::int32_t boneCount = -1;
    float* runs[7] = {};
    const bool converted = ConvertBytesToSkeletonDefinition(
        size, data, &skeletonId, &revision, &boneCount, &createdMicros, &flags, &runs[0], &runs[1],
        &runs[2], &runs[3], &runs[4], &runs[5], &runs[6]);
    require(converted == expected, "ConvertBytesToSkeletonDefinition disagrees");
    if (!converted) {
        require(boneCount == -1 && runs[0] == nullptr, "failed convert wrote its outputs");
        return;
    }
    require(boneCount >= 0, "negative bone count");
    static_cast<void>(touchAll(boneCount, runs, 7));

    zmf::SkeletonDefinition definition;
    require(zmf::decode(data, size, definition), "codec rejects a definition the module took");
    require(definition.skeletonId == skeletonId && definition.revision == revision &&
                definition.bones.size() == static_cast<std::size_t>(boneCount),
            "codec and module decode a definition differently");
    requireReencodes(zmf::encode(definition), data, size);
}

void checkFrame(const std::byte* data, std::int32_t size, bool expected) {
    std::int64_t captureMicros = 0;
    std::int32_t revision = 0;
    std::int32_t frameNumber = 0;
    float confidence = 0;
    double timestamp = 0;
    std::int32_t boneCount = -1;
    std::int32_t* boneIds = nullptr;
    float* runs[7] = {};
    const bool converted = ConvertBytesToFrameData(
        size, data, &captureMicros, &revision, &frameNumber, &confidence, &timestamp, &boneCount,
        &boneIds, &runs[0], &runs[1], &runs[2], &runs[3], &runs[4], &runs[5], &runs[6]);
    require(converted == expected, "ConvertBytesToFrameData disagrees");
    if (!converted) {
        require(boneCount == -1 && boneIds == nullptr, "failed convert wrote its outputs");
        return;
    }
    require(boneCount >= 0 && boneIds != nullptr, "bad frame outputs");
    std::int64_t idSum = 0;
    for (std::int32_t i = 0; i < boneCount; ++i) {
        idSum += boneIds[i];
    }
    static_cast<void>(idSum);
    static_cast<void>(touchAll(boneCount, runs, 7));

    zmf::FramePacket frame;
    require(zmf::decode(data, size, frame), "codec rejects a frame the module took");
    require(frame.frameNumber == frameNumber && frame.captureMicros == captureMicros &&
                frame.boneIds.size() == static_cast<std::size_t>(boneCount) &&
                std::equal(frame.boneIds.begin(), frame.boneIds.end(), boneIds),
            "codec and module decode a frame differently");
    requireReencodes(zmf::encode(frame), data, size);
}

void exercise(const std::byte* data, std::int32_t size) {
    const bool isZmf = IsZmfBytes(size, data);
    const bool isDefinition = IsSkeletonDefinitionBytes(size, data);
    const bool isFrame = IsFrameDataBytes(size, data);
    require(!(isDefinition && isFrame), "packet is both kinds");
    require(isZmf == (isDefinition || isFrame), "IsZmfBytes disagrees with the kind checks");
    checkDefinition(data, size, isDefinition);
    checkFrame(data, size, isFrame);
}

// Random bytes rarely carry a matching CRC; writing the right one where the header says it
// belongs lets the fuzzer reach the decoding that follows the CRC check.
void exerciseResealed(const std::byte* bytes, std::size_t size) {
    if (size < 12) {
        return;
    }
    std::uint32_t payloadSize = 0;
    std::memcpy(&payloadSize, bytes + 8, sizeof payloadSize);
    const std::uint64_t packetSize = 16ULL + payloadSize;
    if (packetSize > kReceiveBufferSize) {
        return;
    }
    std::vector<std::byte> buffer(kReceiveBufferSize);
    std::copy(bytes, bytes + size, buffer.begin());
    const std::size_t covered = packetSize - 4;
    const std::uint32_t crc = zmf::crc32(buffer.data(), covered);
    for (std::size_t i = 0; i < 4; ++i) {
        buffer[covered + i] = static_cast<std::byte>(crc >> (8 * i));
    }
    exercise(buffer.data(), static_cast<std::int32_t>(buffer.size()));

    const auto exact = std::make_unique<std::byte[]>(packetSize);
    std::copy(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(packetSize),
              exact.get());
    exercise(exact.get(), static_cast<std::int32_t>(packetSize));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size > kReceiveBufferSize) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const std::byte*>(input);

    std::vector<std::byte> buffer(kReceiveBufferSize);
    std::copy(bytes, bytes + size, buffer.begin());
    exercise(buffer.data(), static_cast<std::int32_t>(buffer.size()));

    const auto exact = std::make_unique<std::byte[]>(size);
    std::copy(bytes, bytes + size, exact.get());
    exercise(exact.get(), static_cast<std::int32_t>(size));

    exerciseResealed(bytes, size);
    return 0;
}
