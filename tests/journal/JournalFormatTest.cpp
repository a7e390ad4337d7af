// The journal's pieces without files: the ring, the capture records, JSON and the sidecar.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>

#include "ByteRing.h"
#include "JournalReader.h"
#include "JsonValue.h"
#include "PcapFormat.h"
#include "SampleMapFormat.h"
#include "TakeSidecar.h"

namespace {

// A bone's values as bits, so that -0.0 and 0.0 differ.
std::array<std::uint64_t, 10> bitsOf(const SampleMapFormat::Bone& bone) {
    std::array<std::uint64_t, 10> bits{};
    static_assert(sizeof(bits) == sizeof(bone), "a bone is ten doubles");
    std::memcpy(bits.data(), &bone, sizeof(bone));
    return bits;
}

std::vector<std::byte> bytesOf(const std::string& text) {
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return std::vector<std::byte>(data, data + text.size());
}

std::uint16_t big16(const std::vector<std::byte>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned>(bytes[at]) << 8U) |
                                      static_cast<unsigned>(bytes[at + 1]));
}

TEST(ByteRingTest, RecordsKeepTheirBytesAcrossTheEndOfTheRingAndAFullRingRefusesWithoutHarm) {
    ByteRing ring(64);
    std::vector<std::byte> out;
    // Three rounds of 20-byte records walk the write position across the end several times.
    for (int round = 0; round < 10; ++round) {
        const std::string head = "head" + std::to_string(round);
        const std::string body = "payload-" + std::to_string(round * 7);
        ASSERT_TRUE(ring.tryWrite(head.data(), head.size(), body.data(), body.size()));
        ASSERT_TRUE(ring.peek(out));
        EXPECT_EQ(out, bytesOf(head + body));
        ring.pop();
    }
    EXPECT_FALSE(ring.peek(out));

    const std::string fill(28, 'a');  // 32 bytes with its length
    ASSERT_TRUE(ring.tryWrite(fill.data(), fill.size(), nullptr, 0));
    ASSERT_TRUE(ring.tryWrite(fill.data(), fill.size(), nullptr, 0));
    EXPECT_FALSE(ring.tryWrite("x", 1, nullptr, 0));
    ASSERT_TRUE(ring.peek(out));
    EXPECT_EQ(out, bytesOf(fill));
    ring.pop();
    EXPECT_TRUE(ring.tryWrite("x", 1, nullptr, 0));
}

TEST(ByteRingTest, AProducerAndAConsumerOnTwoThreadsSeeEveryRecordWholeAndInOrder) {
    ByteRing ring(256);
    constexpr std::uint32_t kRecords = 20000;
    std::thread producer([&ring] {
        for (std::uint32_t i = 0; i < kRecords; ++i) {
            const std::uint32_t tail[3] = {i, i * 3U, ~i};
            while (!ring.tryWrite(&i, sizeof(i), tail, sizeof(tail))) {
                std::this_thread::yield();  // full: the consumer makes room
            }
        }
    });
    std::vector<std::byte> out;
    std::uint32_t expected = 0;
    while (expected < kRecords) {
        if (!ring.peek(out)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(out.size(), 16U);
        std::uint32_t values[4];
        std::memcpy(values, out.data(), sizeof(values));
        ASSERT_EQ(values[0], expected);
        ASSERT_EQ(values[1], expected);
        ASSERT_EQ(values[2], expected * 3U);
        ASSERT_EQ(values[3], ~expected);
        ring.pop();
        ++expected;
    }
    producer.join();
    EXPECT_FALSE(ring.peek(out));
}

TEST(PcapFormatTest, ARecordCarriesTheDatagramBehindValidIpv4AndUdpHeaders) {
    std::vector<std::byte> file;
    PcapFormat::appendFileHeader(file);
    ASSERT_EQ(file.size(), PcapFormat::kFileHeaderBytes);
    EXPECT_EQ(file[0], std::byte{0x4d});  // 0xa1b23c4d, little-endian
    EXPECT_EQ(file[3], std::byte{0xa1});
    EXPECT_EQ(file[20], std::byte{101});  // LINKTYPE_RAW

    const std::string payload = "ZMF-frame";
    PcapFormat::Datagram datagram;
    datagram.wallNanoseconds = 1700000000LL * 1000000000 + 123456789;
    datagram.sourceAddress = 0xC0A80017;  // 192.168.0.23
    datagram.sourcePort = 50000;
    datagram.destinationPort = 12351;
    datagram.payload = reinterpret_cast<const std::byte*>(payload.data());
    datagram.payloadSize = payload.size();
    PcapFormat::appendRecord(file, datagram);

    const std::size_t record = PcapFormat::kFileHeaderBytes;
    const std::size_t ip = record + PcapFormat::kRecordHeaderBytes;
    const std::size_t packet = 20 + 8 + payload.size();
    ASSERT_EQ(file.size(), ip + packet);
    std::uint32_t header[4];
    std::memcpy(header, file.data() + record, sizeof(header));
    EXPECT_EQ(header[0], 1700000000U);
    EXPECT_EQ(header[1], 123456789U);
    EXPECT_EQ(header[2], packet);
    EXPECT_EQ(big16(file, ip + 2), packet);
    EXPECT_EQ(static_cast<unsigned>(file[ip + 9]), 17U);  // UDP
    std::uint32_t sum = 0;  // a valid IPv4 header sums to 0xFFFF, checksum included
    for (std::size_t i = 0; i < 20; i += 2) {
        sum += big16(file, ip + i);
    }
    sum = (sum & 0xFFFFU) + (sum >> 16U);
    EXPECT_EQ(sum, 0xFFFFU);
    EXPECT_EQ(big16(file, ip + 12), 0xC0A8);
    EXPECT_EQ(big16(file, ip + 20), 50000);
    EXPECT_EQ(big16(file, ip + 22), 12351);
    EXPECT_EQ(big16(file, ip + 24), 8 + payload.size());
    EXPECT_EQ(std::memcmp(file.data() + ip + 28, payload.data(), payload.size()), 0);

    std::uint64_t count = 0;
    bool partial = true;
    std::string error;
    ASSERT_TRUE(JournalReader::countDatagrams(file.data(), file.size(), count, partial, error));
    EXPECT_EQ(count, 1U);
    EXPECT_FALSE(partial);
    ASSERT_TRUE(JournalReader::countDatagrams(file.data(), file.size() - 3, count, partial, error));
    EXPECT_EQ(count, 0U);
    EXPECT_TRUE(partial);
}

TEST(SampleMapFormatTest, ARecordReadsBackBitForBit) {
    SampleMapFormat::Bone bones[2] = {{{1.5, -2.25, 1e-300},
                                       {90.0, -0.0, 33.3},
                                       {0.7071067811865476, 0.0, 0.7071067811865475, -0.0}},
                                      {{0.1, 0.2, 0.3}, {1.0, 2.0, 3.0}, {1.0, 0.0, 0.0, 0.0}}};
    std::vector<std::byte> file;
    SampleMapFormat::appendHeader(file, 2);
    SampleMapFormat::appendRecord(file, 101.0, 7, bones, 2);
    ASSERT_EQ(file.size(), SampleMapFormat::kHeaderBytes + SampleMapFormat::recordBytes(2));
    std::uint32_t boneCount = 0;
    const char* error = "";
    ASSERT_TRUE(SampleMapFormat::readHeader(file.data(), file.size(), boneCount, error));
    ASSERT_EQ(boneCount, 2U);
    const SampleMapFormat::Sample sample =
        SampleMapFormat::readRecord(file.data() + SampleMapFormat::kHeaderBytes, boneCount);
    EXPECT_EQ(sample.time, 101.0);
    EXPECT_EQ(sample.datagramIndex, 7);
    ASSERT_EQ(sample.bones.size(), 2U);
    EXPECT_EQ(bitsOf(sample.bones[0]), bitsOf(bones[0]));
    EXPECT_EQ(bitsOf(sample.bones[1]), bitsOf(bones[1]));

    file[12] = std::byte{3};  // a bone count the record size does not match
    EXPECT_FALSE(SampleMapFormat::readHeader(file.data(), file.size(), boneCount, error));
    EXPECT_FALSE(SampleMapFormat::readHeader(file.data(), 23, boneCount, error));
}

TEST(JsonValueTest, TextReadsBackAndMalformedTextIsRefusedWithWhereItBroke) {
    JsonValue root = JsonValue::object();
    root.set("name", JsonValue::string("take \"one\"\n\\ \x01"));
    root.set("time", JsonValue::number(0.1));
    root.set("list", JsonValue::array());
    JsonValue parsed;
    std::string error;
    ASSERT_TRUE(JsonValue::parse(root.text(), parsed, error)) << error;
    EXPECT_EQ(parsed.find("name")->asString(), "take \"one\"\n\\ \x01");
    EXPECT_EQ(parsed.find("time")->asNumber(), 0.1);
    EXPECT_EQ(parsed.find("list")->type(), JsonValue::Type::Array);

    for (const char* bad : {"", "{", "{\"a\" 1}", "{\"a\":1,}", "[1 2]", "\"open", "tru",
                            "{\"a\":1} x", "1e999", "{\"a\":\"\\q\"}", "\"\\u12\""}) {
        EXPECT_FALSE(JsonValue::parse(bad, parsed, error)) << bad;
        EXPECT_NE(error.find("at byte"), std::string::npos) << bad;
    }
    EXPECT_FALSE(JsonValue::parse(std::string(100000, '['), parsed, error));
    EXPECT_NE(error.find("nested too deep"), std::string::npos);
}

TakeSidecar exampleSidecar() {
    TakeSidecar sidecar;
    sidecar.pluginVersion = "1.0.1";
    sidecar.node = "tulvexDevice1";
    sidecar.deviceId = 3;
    sidecar.port = 12351;
    sidecar.streamRate = 60;
    sidecar.timeUnit = "film";
    sidecar.playbackMin = 1.0;
    sidecar.playbackMax = 121.0;
    sidecar.skeletonName = "tulvexCharacter3_Skeleton";
    sidecar.bones = {"Hips", "Spine"};
    sidecar.settings = {{"frameRate", 90.0}, {"maxFilledGapSeconds", 10.0}};
    sidecar.take = 4;
    sidecar.state = "incomplete";
    sidecar.reason = "cannot write x: No space left on device";
    sidecar.datagrams = 12345678901ULL;
    sidecar.samples = 42;
    sidecar.pcapFile = "tulvexDevice1_take4.pcap";
    sidecar.samplesFile = "tulvexDevice1_take4.samples";
    return sidecar;
}

TEST(TakeSidecarTest, EveryFieldReadsBack) {
    const TakeSidecar written = exampleSidecar();
    TakeSidecar read;
    std::string error;
    ASSERT_TRUE(TakeSidecar::fromJson(written.toJson(), read, error)) << error;
    EXPECT_EQ(read.toJson(), written.toJson());
    EXPECT_EQ(read.datagrams, 12345678901ULL);
    EXPECT_EQ(read.bones, written.bones);
}

TEST(TakeSidecarTest, MissingFieldsWrongTypesAndAFutureVersionAreRefusedByName) {
    const std::string good = exampleSidecar().toJson();
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {replaced("\"port\": 12351", "\"port\": \"12351\""), "\"port\" is not a number"},
        {replaced("\"port\": 12351", "\"port\": 70000"), "\"port\" is not a whole number"},
        {replaced("\"deviceId\": 3,", ""), "\"deviceId\" is missing"},
        {replaced("\"formatVersion\": 1", "\"formatVersion\": 2"), "newer than this plug-in"},
        {replaced("\"state\": \"incomplete\"", "\"state\": \"done\""), "\"state\" is not"},
        {replaced("\"min\": 1", "\"min\": null"), "\"playback.min\" is not a number"},
        {replaced("\"Hips\"", "7"), "\"bones\" holds"},
        {replaced("tulvex-take-journal", "other"), "not a take journal's"},
        {"[1, 2]", "not a JSON object"},
        {good.substr(0, good.size() / 2), "not JSON"},
    };
    for (const auto& c : cases) {
        TakeSidecar read;
        std::string error;
        EXPECT_FALSE(TakeSidecar::fromJson(c.text, read, error)) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST(TakeSidecarTest, TheSummaryReadsBackAndASidecarWithoutOneStillReads) {
    TakeSidecar written = exampleSidecar();
    TakeSidecar read;
    std::string error;
    ASSERT_TRUE(TakeSidecar::fromJson(written.toJson(), read, error)) << error;
    EXPECT_FALSE(read.hasSummary);
    EXPECT_EQ(written.toJson().find("summary"), std::string::npos);

    // Steps of one frame, then a frame missed, then one and a half frames (not a gap).
    for (const double time : {1.0, 2.0, 4.0, 5.5}) {
        written.summarise(time);
    }
    ASSERT_TRUE(TakeSidecar::fromJson(written.toJson(), read, error)) << error;
    EXPECT_TRUE(read.hasSummary);
    EXPECT_EQ(read.firstTime, 1.0);
    EXPECT_EQ(read.lastTime, 5.5);
    EXPECT_EQ(read.gaps, 1U);

    std::string text = written.toJson();
    text.replace(text.find("\"gaps\": 1"), 9, "\"gaps\": -1");
    EXPECT_FALSE(TakeSidecar::fromJson(text, read, error));
    EXPECT_NE(error.find("\"summary.gaps\" is not a whole number"), std::string::npos) << error;
}

TEST(TakeSidecarTest, AGapIsAStepLongerThanOneAndAHalfPlaybackSteps) {
    EXPECT_FALSE(TakeSidecar::isGap(10.0, 11.5, 1.0));
    EXPECT_TRUE(TakeSidecar::isGap(10.0, 11.51, 1.0));
    EXPECT_FALSE(TakeSidecar::isGap(10.0, 12.0, 2.0));
    EXPECT_TRUE(TakeSidecar::isGap(10.0, 14.0, 2.0));
    // A timeline that jumped back, or a step Maya would not allow, counts no gap.
    EXPECT_FALSE(TakeSidecar::isGap(10.0, 1.0, 1.0));
    EXPECT_FALSE(TakeSidecar::isGap(10.0, 20.0, 0.0));
}

}  // namespace
