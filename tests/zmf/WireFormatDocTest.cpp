// docs/wire-format.md is what sender authors build from, so its bone table, its worked hex dumps
// and their field-by-field annotations are read here and held against the receiver's skeleton
// and the codec. An edited byte, value or bone name in the document fails a test.
#include <gtest/gtest.h>
#include <zmf/WireLayout.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "TulvexDataHandler.h"
#include "ZmfTestPackets.h"

namespace {

using Lines = std::vector<std::string>;
using Row = std::vector<std::string>;

// --- The values the document's worked examples state -------------------------------------

zmf::SkeletonDefinition documentedDefinition() {
    zmf::SkeletonDefinition definition;
    definition.skeletonId = 0x1122334455667788ULL;
    definition.revision = 3;
    definition.createdMicros = 86'500'000ULL;
    definition.flags = 0;
    definition.bones = {{{0.0F, 0.0F, 0.0F, 1.0F}, {0.0F, 0.94F, 0.0F}},
                        {{0.0F, 0.0F, 0.0F, 1.0F}, {0.0F, 0.05F, 0.0F}}};
    return definition;
}

zmf::FramePacket documentedFrame() {
    zmf::FramePacket frame;
    frame.captureMicros = 86'520'000LL;
    frame.revision = 3;
    frame.frameNumber = 101;
    frame.confidence = 0.75F;
    frame.timestamp = 86.52;
    frame.boneIds = {0, 1};
    frame.bones = {{{0.0F, 0.38268343F, 0.0F, 0.9238795F}, {0.1F, 0.93F, -0.2F}},
                   {{0.08715574F, 0.0F, 0.0F, 0.9961947F}, {0.0F, 0.05F, 0.0F}}};
    return frame;
}

constexpr const char* kDefinitionHeading = "### Worked example: skeleton definition";
constexpr const char* kFrameHeading = "### Worked example: frame";
constexpr const char* kBonesHeading = "## Bones";

// --- Reading the markdown ----------------------------------------------------------------

std::string trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string unquoted(const std::string& cell) {
    std::string text = trim(cell);
    if (text.size() >= 2 && text.front() == '`' && text.back() == '`') {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

Lines documentLines() {
    std::ifstream in(ZMF_TEST_WIRE_FORMAT_DOC);
    Lines lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

int headingLevel(const std::string& line) {
    std::size_t level = 0;
    while (level < line.size() && line[level] == '#') {
        ++level;
    }
    return level > 0 && level < line.size() && line[level] == ' ' ? static_cast<int>(level) : 0;
}

// The lines under `heading` up to the next heading of the same or a higher level; empty when
// the heading is missing. Fenced blocks are skipped when looking for the end, so a '#' line
// inside one cannot cut the section short.
Lines section(const Lines& lines, const std::string& heading) {
    const int level = headingLevel(heading);
    std::size_t start = 0;
    while (start < lines.size() && lines[start] != heading) {
        ++start;
    }
    Lines body;
    bool fenced = false;
    for (std::size_t i = start + 1; i < lines.size(); ++i) {
        if (lines[i].rfind("```", 0) == 0) {
            fenced = !fenced;
        }
        const int other = fenced ? 0 : headingLevel(lines[i]);
        if (other > 0 && other <= level) {
            break;
        }
        body.push_back(lines[i]);
    }
    return body;
}

// The lines of every fenced block opened with "```hex".
std::vector<Lines> hexBlocks(const Lines& body) {
    std::vector<Lines> blocks;
    Lines* open = nullptr;
    for (const std::string& line : body) {
        if (open == nullptr && trim(line) == "```hex") {
            blocks.emplace_back();
            open = &blocks.back();
        } else if (open != nullptr && trim(line) == "```") {
            open = nullptr;
        } else if (open != nullptr) {
            open->push_back(line);
        }
    }
    return blocks;
}

// Data rows of the first table after the first line that starts with `after` (or the first
// table at all when `after` is empty): the header row and the separator are dropped.
std::vector<Row> firstTable(const Lines& body, const std::string& after = "") {
    std::size_t i = 0;
    if (!after.empty()) {
        while (i < body.size() && body[i].rfind(after, 0) != 0) {
            ++i;
        }
    }
    while (i < body.size() && trim(body[i]).rfind('|', 0) != 0) {
        ++i;
    }
    std::vector<Row> rows;
    for (bool header = true; i < body.size() && trim(body[i]).rfind('|', 0) == 0; ++i) {
        const std::string line = trim(body[i]);
        Row cells;
        std::size_t from = 1;
        for (std::size_t bar = line.find('|', from); bar != std::string::npos;
             bar = line.find('|', from)) {
            cells.push_back(trim(line.substr(from, bar - from)));
            from = bar + 1;
        }
        const bool separator =
            !cells.empty() && cells[0].find_first_not_of("-: ") == std::string::npos;
        if (!header && !separator) {
            rows.push_back(cells);
        }
        header = false;
    }
    return rows;
}

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return std::nullopt;
}

std::optional<std::byte> hexByte(const std::string& token) {
    if (token.size() != 2) {
        return std::nullopt;
    }
    const std::optional<unsigned> high = hexDigit(token[0]);
    const std::optional<unsigned> low = hexDigit(token[1]);
    if (!high || !low) {
        return std::nullopt;
    }
    return static_cast<std::byte>(*high * 16 + *low);
}

std::optional<std::size_t> hexNumber(const std::string& text) {
    std::string digits = text;
    if (digits.rfind("0x", 0) == 0) {
        digits = digits.substr(2);
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (char c : digits) {
        const std::optional<unsigned> digit = hexDigit(c);
        if (!digit) {
            return std::nullopt;
        }
        value = value * 16 + *digit;
    }
    return value;
}

std::vector<std::string> tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

// A dump line is a hex offset and up to 16 bytes. Every line but the last holds 16, and each
// offset must be the count of bytes before it, so a byte added or dropped shows at once.
void parseDump(const Lines& block, std::vector<std::byte>& bytes) {
    bytes.clear();
    ASSERT_FALSE(block.empty()) << "empty hex block";
    for (std::size_t n = 0; n < block.size(); ++n) {
        const std::vector<std::string> words = tokens(block[n]);
        ASSERT_GE(words.size(), 2U) << "dump line \"" << block[n] << "\"";
        EXPECT_EQ(hexNumber(words[0]), bytes.size()) << "offset of dump line " << n;
        const std::size_t count = words.size() - 1;
        if (n + 1 < block.size()) {
            EXPECT_EQ(count, 16U) << "dump line " << n << " is not the last and not full";
        } else {
            EXPECT_LE(count, 16U) << "last dump line";
        }
        for (std::size_t w = 1; w < words.size(); ++w) {
            const std::optional<std::byte> byte = hexByte(words[w]);
            ASSERT_TRUE(byte.has_value()) << "\"" << words[w] << "\" in dump line " << n;
            bytes.push_back(*byte);
        }
    }
}

// The dump and the annotation table of one worked example.
struct Example {
    std::vector<std::byte> bytes;
    std::vector<Row> annotation;
};

void loadExample(const std::string& heading, Example& example) {
    const Lines body = section(documentLines(), heading);
    ASSERT_FALSE(body.empty()) << "no section \"" << heading << "\" in "
                               << ZMF_TEST_WIRE_FORMAT_DOC;
    const std::vector<Lines> blocks = hexBlocks(body);
    ASSERT_EQ(blocks.size(), 1U) << "hex blocks under \"" << heading << "\"";
    ASSERT_NO_FATAL_FAILURE(parseDump(blocks[0], example.bytes));
    ASSERT_GE(example.bytes.size(), zmf::wire::kFramingBytes) << "dump shorter than a packet";
    example.annotation = firstTable(body, "```hex");
    ASSERT_FALSE(example.annotation.empty()) << "no annotation table under \"" << heading << "\"";
}

std::int32_t sizeOf(const std::vector<std::byte>& bytes) {
    return static_cast<std::int32_t>(bytes.size());
}

std::uint32_t trailingCrc(const std::vector<std::byte>& packet) {
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        crc |= std::to_integer<std::uint32_t>(packet[packet.size() - 4 + i]) << (8 * i);
    }
    return crc;
}

// --- Annotation values -------------------------------------------------------------------

// Unsigned and signed integers, floats (an f32 widened exactly) and text. Each type column
// maps to one alternative, so a value of the wrong kind never compares equal.
using Scalar = std::variant<std::uint64_t, std::int64_t, double, std::string>;
using FieldValues = std::map<std::string, Scalar>;

std::optional<std::size_t> widthOf(const std::string& type) {
    static const std::map<std::string, std::size_t> widths = {{"u8", 1},  {"u16", 2}, {"u32", 4},
                                                              {"u64", 8}, {"i32", 4}, {"i64", 8},
                                                              {"f32", 4}, {"f64", 8}};
    const auto found = widths.find(type);
    return found == widths.end() ? std::nullopt : std::optional<std::size_t>(found->second);
}

// The bytes read as `type`, little-endian, assembled here rather than with the codec's loaders.
std::optional<Scalar> readAs(const std::string& type, const std::vector<std::byte>& bytes) {
    if (type == "ascii") {
        std::string text;
        for (std::byte b : bytes) {
            text.push_back(static_cast<char>(std::to_integer<unsigned char>(b)));
        }
        return text;
    }
    if (widthOf(type) != bytes.size()) {
        return std::nullopt;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bits |= std::to_integer<std::uint64_t>(bytes[i]) << (8 * i);
    }
    if (type[0] == 'u') {
        return bits;
    }
    if (type == "i32") {
        return static_cast<std::int64_t>(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    }
    if (type == "i64") {
        return static_cast<std::int64_t>(bits);
    }
    if (type == "f32") {
        const auto narrow = static_cast<std::uint32_t>(bits);
        float value = 0;
        std::memcpy(&value, &narrow, sizeof value);
        return static_cast<double>(value);
    }
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The value cell as `type`: its first word, backticks stripped; anything after is a remark.
std::optional<Scalar> parseValue(const std::string& type, const std::string& cell) {
    const std::vector<std::string> words = tokens(unquoted(cell));
    if (words.empty()) {
        return std::nullopt;
    }
    const std::string text = unquoted(words[0]);
    if (type == "ascii") {
        return text;
    }
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    std::optional<Scalar> value;
    if (type[0] == 'u' && text[0] != '-') {
        value = static_cast<std::uint64_t>(std::strtoull(begin, &end, 0));
    } else if (type[0] == 'i') {
        value = static_cast<std::int64_t>(std::strtoll(begin, &end, 0));
    } else if (type == "f32") {
        value = static_cast<double>(std::strtof(begin, &end));
    } else if (type == "f64") {
        value = std::strtod(begin, &end);
    }
    if (!value || errno != 0 || end == begin || *end != '\0') {
        return std::nullopt;
    }
    return value;
}

void addPose(FieldValues& values, const std::string& bone, const zmf::BonePose& pose) {
    const char* const axes[] = {"x", "y", "z", "w"};
    for (std::size_t c = 0; c < 4; ++c) {
        values[bone + " rotation " + axes[c]] = static_cast<double>(pose.rotation[c]);
    }
    for (std::size_t c = 0; c < 3; ++c) {
        values[bone + " translation " + axes[c]] = static_cast<double>(pose.translation[c]);
    }
}

// Header fields as the codec sees the packet: it accepted the magic, version and reserved
// byte, its classification gives the kind, and it computes the CRC.
FieldValues headerValues(const std::vector<std::byte>& packet) {
    const std::optional<zmf::PacketKind> kind = zmf::classify(packet.data(), sizeOf(packet));
    FieldValues values;
    values["magic"] = std::string(zmf::wire::kMagic, sizeof zmf::wire::kMagic);
    values["version"] = std::uint64_t{zmf::kVersion};
    values["kind"] = kind ? std::uint64_t{static_cast<std::uint8_t>(*kind)} : std::uint64_t{0};
    values["reserved"] = std::uint64_t{0};
    values["payload length"] = static_cast<std::uint64_t>(packet.size() - zmf::wire::kFramingBytes);
    values["CRC"] = std::uint64_t{zmf::crc32(packet.data(), packet.size() - zmf::wire::kCrcBytes)};
    return values;
}

FieldValues fieldValues(const std::vector<std::byte>& packet,
                        const zmf::SkeletonDefinition& definition) {
    FieldValues values = headerValues(packet);
    values["skeletonId"] = definition.skeletonId;
    values["revision"] = std::int64_t{definition.revision};
    values["boneCount"] = static_cast<std::int64_t>(definition.bones.size());
    values["createdMicros"] = definition.createdMicros;
    values["flags"] = definition.flags;
    for (std::size_t i = 0; i < definition.bones.size(); ++i) {
        addPose(values, "bone " + std::to_string(i), definition.bones[i]);
    }
    return values;
}

FieldValues fieldValues(const std::vector<std::byte>& packet, const zmf::FramePacket& frame) {
    FieldValues values = headerValues(packet);
    values["captureMicros"] = std::int64_t{frame.captureMicros};
    values["revision"] = std::int64_t{frame.revision};
    values["frameNumber"] = std::int64_t{frame.frameNumber};
    values["confidence"] = static_cast<double>(frame.confidence);
    values["timestamp"] = frame.timestamp;
    values["boneCount"] = static_cast<std::int64_t>(frame.bones.size());
    for (std::size_t i = 0; i < frame.bones.size(); ++i) {
        const std::string bone = "bone " + std::to_string(i);
        values[bone + " boneId"] = std::int64_t{frame.boneIds[i]};
        addPose(values, bone, frame.bones[i]);
    }
    return values;
}

// Rows are | Offset | Bytes | Type | Field | Value |. They must tile the packet in order; each
// row's bytes must be the dump's bytes at its offset and must read as its value; and the value
// must be the one the codec decodes for that field. Every field the codec knows is annotated.
void expectAnnotationMatches(const Example& example, FieldValues decoded) {
    std::size_t next = 0;
    for (const Row& row : example.annotation) {
        ASSERT_EQ(row.size(), 5U) << "annotation row with " << row.size() << " cells";
        const std::string& field = row[3];
        SCOPED_TRACE("annotation row \"" + field + "\"");
        EXPECT_EQ(hexNumber(row[0]), next) << "rows must cover the packet in order";

        std::vector<std::byte> bytes;
        for (const std::string& word : tokens(unquoted(row[1]))) {
            const std::optional<std::byte> byte = hexByte(word);
            ASSERT_TRUE(byte.has_value()) << "\"" << word << "\"";
            bytes.push_back(*byte);
        }
        ASSERT_LE(next + bytes.size(), example.bytes.size()) << "row runs past the packet";
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), example.bytes.begin() + next))
            << "row bytes differ from the dump at offset " << next;
        next += bytes.size();

        const std::string& type = row[2];
        const std::optional<Scalar> stated = parseValue(type, row[4]);
        ASSERT_TRUE(stated.has_value()) << "value \"" << row[4] << "\" as " << type;
        const std::optional<Scalar> inBytes = readAs(type, bytes);
        ASSERT_TRUE(inBytes.has_value()) << bytes.size() << " bytes as " << type;
        EXPECT_EQ(*inBytes, *stated) << "the row's bytes hold another value";

        const auto found = decoded.find(field);
        ASSERT_NE(found, decoded.end()) << "no such field, or annotated twice";
        EXPECT_EQ(found->second, *stated) << "the codec decodes another value";
        decoded.erase(found);
    }
    EXPECT_EQ(next, example.bytes.size()) << "rows end before the packet does";
    for (const auto& missing : decoded) {
        ADD_FAILURE() << "field \"" << missing.first << "\" is not annotated";
    }
}

void expectSamePose(const zmf::BonePose& actual, const zmf::BonePose& expected) {
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(actual.rotation[c], expected.rotation[c]) << "rotation " << c;
    }
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(actual.translation[c], expected.translation[c]) << "translation " << c;
    }
}

// --- Tests -------------------------------------------------------------------------------

TEST(WireFormatDoc, BoneTableIsTheReceiversSkeleton) {
    const std::vector<Row> rows = firstTable(section(documentLines(), kBonesHeading));
    const TulvexDataHandler handler;
    const std::vector<SkeletonNodeInfo>& bones = handler.GetSkeletonDataChannels();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(TulvexDataHandler::kNumBones));
    ASSERT_EQ(bones.size(), rows.size());

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        ASSERT_EQ(row.size(), 4U) << "bone row " << i;
        const SkeletonNodeInfo& bone = bones[i];
        SCOPED_TRACE(bone.name);
        EXPECT_EQ(row[0], std::to_string(i));
        EXPECT_EQ(unquoted(row[1]), bone.name);
        const std::string parent =
            bone.parentIndex < 0
                ? std::string("—")
                : std::string(bones[static_cast<std::size_t>(bone.parentIndex)].name);
        EXPECT_EQ(unquoted(row[2]), parent);

        std::istringstream offsets(row[3]);
        double offset[3] = {0, 0, 0};
        char comma = 0;
        offsets >> offset[0] >> comma >> offset[1] >> comma >> offset[2];
        ASSERT_FALSE(offsets.fail()) << "offset \"" << row[3] << "\"";
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(offset[c], bone.restTranslation[c]) << "offset component " << c;
        }
    }
}

TEST(WireFormatDoc, DefinitionDumpDecodesToTheDocumentedValues) {
    Example example;
    ASSERT_NO_FATAL_FAILURE(loadExample(kDefinitionHeading, example));
    const zmf::SkeletonDefinition expected = documentedDefinition();
    EXPECT_EQ(zmf::encode(expected), example.bytes) << "the encoder writes other bytes";

    EXPECT_EQ(trailingCrc(example.bytes),
              zmf::crc32(example.bytes.data(), example.bytes.size() - 4));
    // Handed over as the plug-in hands it: at the start of the zeroed receive buffer.
    const std::vector<std::byte> buffer = zmf_test::inReceiveBuffer(example.bytes);
    EXPECT_EQ(zmf::classify(buffer.data(), sizeOf(buffer)), zmf::PacketKind::SkeletonDefinition);
    zmf::SkeletonDefinition decoded;
    ASSERT_TRUE(zmf::decode(buffer.data(), sizeOf(buffer), decoded));
    EXPECT_EQ(decoded.skeletonId, expected.skeletonId);
    EXPECT_EQ(decoded.revision, expected.revision);
    EXPECT_EQ(decoded.createdMicros, expected.createdMicros);
    EXPECT_EQ(decoded.flags, expected.flags);
    ASSERT_EQ(decoded.bones.size(), expected.bones.size());
    for (std::size_t i = 0; i < expected.bones.size(); ++i) {
        SCOPED_TRACE("bone " + std::to_string(i));
        expectSamePose(decoded.bones[i], expected.bones[i]);
    }
}

TEST(WireFormatDoc, DefinitionAnnotationDescribesTheDump) {
    Example example;
    ASSERT_NO_FATAL_FAILURE(loadExample(kDefinitionHeading, example));
    zmf::SkeletonDefinition decoded;
    ASSERT_TRUE(zmf::decode(example.bytes.data(), sizeOf(example.bytes), decoded));
    expectAnnotationMatches(example, fieldValues(example.bytes, decoded));
}

TEST(WireFormatDoc, FrameDumpDecodesToTheDocumentedValues) {
    Example example;
    ASSERT_NO_FATAL_FAILURE(loadExample(kFrameHeading, example));
    const zmf::FramePacket expected = documentedFrame();
    EXPECT_EQ(zmf::encode(expected), example.bytes) << "the encoder writes other bytes";

    EXPECT_EQ(trailingCrc(example.bytes),
              zmf::crc32(example.bytes.data(), example.bytes.size() - 4));
    const std::vector<std::byte> buffer = zmf_test::inReceiveBuffer(example.bytes);
    EXPECT_EQ(zmf::classify(buffer.data(), sizeOf(buffer)), zmf::PacketKind::Frame);
    zmf::FramePacket decoded;
    ASSERT_TRUE(zmf::decode(buffer.data(), sizeOf(buffer), decoded));
    EXPECT_EQ(decoded.captureMicros, expected.captureMicros);
    EXPECT_EQ(decoded.revision, expected.revision);
    EXPECT_EQ(decoded.frameNumber, expected.frameNumber);
    EXPECT_EQ(decoded.confidence, expected.confidence);
    EXPECT_EQ(decoded.timestamp, expected.timestamp);
    EXPECT_EQ(decoded.boneIds, expected.boneIds);
    ASSERT_EQ(decoded.bones.size(), expected.bones.size());
    for (std::size_t i = 0; i < expected.bones.size(); ++i) {
        SCOPED_TRACE("bone " + std::to_string(i));
        expectSamePose(decoded.bones[i], expected.bones[i]);
    }
}

TEST(WireFormatDoc, FrameAnnotationDescribesTheDump) {
    Example example;
    ASSERT_NO_FATAL_FAILURE(loadExample(kFrameHeading, example));
    zmf::FramePacket decoded;
    ASSERT_TRUE(zmf::decode(example.bytes.data(), sizeOf(example.bytes), decoded));
    expectAnnotationMatches(example, fieldValues(example.bytes, decoded));
}

}  // namespace
