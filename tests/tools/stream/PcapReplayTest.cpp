#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <pcap/dlt.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackReceiver.h"
#include "PcapFileBuilder.h"
#include "PcapReader.h"
#include "Subprocess.h"

namespace {

using namespace std::chrono_literals;
using B = PcapFileBuilder;
namespace fs = std::filesystem;

class PcapReplayTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    struct Replayed {
        Subprocess::Result result;
        std::vector<LoopbackReceiver::Datagram> datagrams;
        std::vector<Bytes> payloads(int socketIndex = 0) const {
            std::vector<Bytes> out;
            for (const auto& d : datagrams) {
                if (d.socketIndex == socketIndex) {
                    out.push_back(d.bytes);
                }
            }
            return out;
        }
    };

    static Replayed replay(LoopbackReceiver& receiver, std::vector<std::string> options) {
        options.insert(options.begin(), {TULVEX_STREAM_EXE, "replay"});
        Subprocess process(options);
        Replayed r;
        r.datagrams = receiver.collect([&process](std::size_t) { return process.running(); });
        r.result = process.wait();
        return r;
    }

    const fs::path dir_ = fs::temp_directory_path() / ("tulvex-pcap-" + std::to_string(getpid()));
};

TEST_F(PcapReplayTest, CaptureThenReplayGivesTheSamePayloadsInOrderWithTheirSpacing) {
    const int capturePort = LoopbackReceiver().port();  // free a moment ago
    const std::string pcap = (dir_ / "round.pcap").string();
    Subprocess capture({TULVEX_STREAM_EXE, "capture", "--bind", "127.0.0.1", "--port",
                        std::to_string(capturePort), "--output", pcap, "--count", "8"});
    for (int i = 0; i < 500 && capture.out().find("capturing") == std::string::npos; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    // Empty to larger than any ZMF packet, 40 ms apart.
    std::vector<Bytes> sent;
    const int sender = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{
        AF_INET, htons(static_cast<std::uint16_t>(capturePort)), {htonl(INADDR_LOOPBACK)}, {}};
    for (std::size_t size : {0, 1, 16, 912, 1500, 4096, 9000, 3}) {
        Bytes payload(size);
        for (std::size_t i = 0; i < size; ++i) {
            payload[i] = static_cast<std::uint8_t>(i * 31 + size);
        }
        sendto(sender, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        sent.push_back(payload);
        std::this_thread::sleep_for(40ms);
    }
    close(sender);
    const Subprocess::Result captured = capture.wait();
    ASSERT_EQ(captured.exitCode, 0) << captured.err;
    EXPECT_NE(captured.out.find("captured 8 datagrams"), std::string::npos) << captured.out;

    const PcapReader::Contents contents = PcapReader::read(pcap);
    EXPECT_EQ(contents.linkType, DLT_RAW);
    ASSERT_EQ(contents.packets.size(), 8U);
    for (std::size_t i = 1; i < contents.packets.size(); ++i) {
        EXPECT_GE(contents.packets[i].timeMicros - contents.packets[i - 1].timeMicros, 20000);
        EXPECT_EQ(contents.packets[i].destinationPort, capturePort);
    }

    LoopbackReceiver receiver;
    const std::string port = std::to_string(receiver.port());
    const Replayed normal = replay(receiver, {"--input", pcap, "--port", port});
    ASSERT_EQ(normal.result.exitCode, 0) << normal.result.err;
    ASSERT_EQ(normal.payloads(), sent);
    const auto span = normal.datagrams.back().arrival - normal.datagrams.front().arrival;
    EXPECT_GE(span, 200ms);  // 7 gaps of 40 ms
    const Replayed fast = replay(receiver, {"--input", pcap, "--port", port, "--speed", "4"});
    ASSERT_EQ(fast.payloads(), sent);
    EXPECT_LT(fast.datagrams.back().arrival - fast.datagrams.front().arrival, span / 2);
}

TEST_F(PcapReplayTest, EachLinkTypeReplaysOnlyWholeDatagramsToTheirOwnPorts) {
    LoopbackReceiver receiver(2);
    const Bytes v6(48, 0x60);
    const struct {
        const char* name;
        std::uint32_t linkType;  // as stored in files
        bool bigEndianFile;
        Bytes header;         // in front of IPv4
        Bytes foreignPacket;  // something that is not IPv4
    } cases[] = {
        {"ethernet with VLAN",
         1,
         false,
         {2, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 0x81, 0, 0, 7, 8, 0},
         {2, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1, 8, 6, 0, 1}},
        {"linux cooked",
         113,
         false,
         {0, 0, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0},
         B::behind({0, 0, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0x86, 0xDD}, v6)},
        {"raw", 101, false, {}, v6},
        {"null", 0, false, {2, 0, 0, 0}, B::behind({30, 0, 0, 0}, v6)},
        {"null from a big-endian host", 0, true, {0, 0, 0, 2}, B::behind({0, 0, 0, 30}, v6)},
        {"loop", 108, false, {0, 0, 0, 2}, B::behind({0, 0, 0, 24}, v6)},
    };
    const Bytes first{'o', 'n', 'e'};
    const Bytes second(700, 0x5A);
    const auto port = [&](int i) { return static_cast<std::uint16_t>(receiver.port(i)); };
    for (const auto& c : cases) {
        const auto frame = [&c](const Bytes& ip) { return B::behind(c.header, ip); };
        B file(c.linkType, c.bigEndianFile);
        file.add(1000000, frame(B::ipv4(17, B::udp(9, port(0), first))))
            .add(1010000, c.foreignPacket)
            .add(1020000, frame(B::ipv4(6, Bytes(20, 0))))
            .add(1030000, frame(B::ipv4(17, B::udp(9, port(0), first), 0x2000)))
            .add(1040000, frame(B::ipv4(17, B::udp(9, port(0), second))), 100)
            .add(1050000, frame(B::ipv4(17, B::udp(9, port(1), second))));
        B::write(dir_ / "link.pcap", file.bytes());

        const Replayed r = replay(receiver, {"--input", (dir_ / "link.pcap").string()});
        ASSERT_EQ(r.result.exitCode, 0) << c.name << ": " << r.result.err;
        EXPECT_EQ(r.payloads(0), std::vector<Bytes>{first}) << c.name;
        EXPECT_EQ(r.payloads(1), std::vector<Bytes>{second}) << c.name;
        EXPECT_NE(r.result.out.find("skipped 2 not IPv4/UDP, 1 fragments, 1 damaged"),
                  std::string::npos)
            << c.name << ": " << r.result.out;
    }
}

TEST_F(PcapReplayTest, DamagedFilesExitWithFourAndSendNothing) {
    LoopbackReceiver receiver;
    const Bytes ip = B::ipv4(17, B::udp(1, static_cast<std::uint16_t>(receiver.port()), {1, 2, 3}));
    const Bytes good = B(101).add(0, ip).add(1000, ip).bytes();
    const auto patched = [&good](std::size_t at, std::initializer_list<std::uint8_t> values) {
        Bytes b = good;
        for (const std::uint8_t v : values) {
            b.at(at++) = v;
        }
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"half a file header", Bytes(good.begin(), good.begin() + 12)},
        {"cut inside a record header", Bytes(good.begin(), good.end() - ip.size() - 10)},
        {"cut inside a packet", Bytes(good.begin(), good.end() - 5)},
        {"not a capture", patched(0, {'Z', 'M', 'F', 'P'})},
        {"record longer than any packet", patched(32, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"link type without IP", patched(20, {105, 0, 0, 0})},
    };
    const fs::path file = dir_ / "damaged.pcap";
    for (const auto& c : cases) {
        B::write(file, c.bytes);
        const Replayed r = replay(receiver, {"--input", file.string()});
        EXPECT_EQ(r.result.exitCode, 4) << c.name << ": " << r.result.err;
        EXPECT_NE(r.result.err.find(file.string()), std::string::npos) << r.result.err;
        EXPECT_TRUE(r.datagrams.empty()) << c.name;
    }
    B::write(file, good);  // and undamaged, for contrast
    const Replayed r = replay(receiver, {"--input", file.string()});
    EXPECT_EQ(r.result.exitCode, 0) << r.result.err;
    EXPECT_EQ(r.datagrams.size(), 2U);
}

}  // namespace
