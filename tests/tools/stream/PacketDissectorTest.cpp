#include <gtest/gtest.h>
#include <pcap/dlt.h>

#include <cstring>
#include <memory>

#include "Ipv4UdpEncoder.h"
#include "PacketDissector.h"
#include "PcapFileBuilder.h"

namespace {

using Outcome = PacketDissector::Outcome;
using B = PcapFileBuilder;

const Bytes kPayload{'Z', 'M', 'F', 'P', 1, 2, 3};
const Bytes kEthernet{2, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 1};  // addresses; type follows

struct Dissected {
    Outcome outcome;
    UdpDatagram datagram;  // payload pointer stale after return; the bytes are in payload
    Bytes payload;
};

// Dissects a copy in a buffer of exactly `length` bytes, so that AddressSanitizer catches a
// read past the captured bytes.
Dissected dissect(int linkType, const Bytes& packet, std::size_t length) {
    const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[length]);
    std::memcpy(exact.get(), packet.data(), length);
    Dissected r{};
    r.outcome = PacketDissector::dissect(linkType, exact.get(), length, r.datagram);
    if (r.outcome == Outcome::kUdp) {
        r.payload.assign(r.datagram.payload, r.datagram.payload + r.datagram.payloadSize);
    }
    return r;
}

Bytes withByte(Bytes b, std::size_t at, std::uint8_t value) {
    b.at(at) = value;
    return b;
}

TEST(PacketDissectorTest, TellsDatagramsFromWhatCannotBeReplayed) {
    const Bytes udp = B::udp(40000, 12351, kPayload);
    const Bytes ip = B::ipv4(17, udp);
    const Bytes v6(48, 0x60);
    const struct {
        const char* name;
        int linkType;
        Bytes packet;
        Outcome expected;
    } cases[] = {
        {"QinQ", DLT_EN10MB,
         B::behind(B::behind(kEthernet, {0x88, 0xA8, 0, 1, 0x81, 0, 0, 2, 8, 0}), ip),
         Outcome::kUdp},
        {"ethernet padding", DLT_EN10MB,
         B::behind(B::behind(kEthernet, {8, 0}), B::behind(ip, Bytes(20, 0xEE))), Outcome::kUdp},
        {"cooked v2", DLT_LINUX_SLL2,
         B::behind({8, 0, 0, 0, 0, 0, 0, 1, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0}, ip),
         Outcome::kUdp},
        {"IPv4 link type", DLT_IPV4, ip, Outcome::kUdp},
        {"ARP", DLT_EN10MB, B::behind(B::behind(kEthernet, {8, 6}), Bytes(28, 0)),
         Outcome::kNotIpv4},
        {"IPv6 raw", DLT_RAW, v6, Outcome::kNotIpv4},
        {"IPv6 on BSD loopback", DLT_NULL, B::behind({24, 0, 0, 0}, v6), Outcome::kNotIpv4},
        {"TCP", DLT_RAW, B::ipv4(6, Bytes(20, 0)), Outcome::kNotUdp},
        {"first fragment", DLT_RAW, B::ipv4(17, udp, 0x2000), Outcome::kFragment},
        {"later fragment", DLT_RAW, B::ipv4(17, kPayload, 0x0010), Outcome::kFragment},
        {"header length 16", DLT_RAW, withByte(ip, 0, 0x44), Outcome::kMalformed},
        {"total below header", DLT_RAW, withByte(withByte(ip, 2, 0), 3, 12), Outcome::kMalformed},
        {"UDP longer than IP", DLT_RAW, withByte(ip, 25, ip[25] + 4), Outcome::kMalformed},
        {"UDP length 7", DLT_RAW, withByte(withByte(ip, 24, 0), 25, 7), Outcome::kMalformed},
        {"five VLAN tags", DLT_EN10MB,
         B::behind(B::behind(kEthernet, {0x81, 0,    0, 1, 0x81, 0,    0, 1, 0x81, 0, 0,
                                         1,    0x81, 0, 0, 1,    0x81, 0, 0, 1,    8, 0}),
                   ip),
         Outcome::kMalformed},
        {"unsupported link type", 105, ip, Outcome::kNotIpv4},
    };
    for (const auto& c : cases) {
        const Dissected r = dissect(c.linkType, c.packet, c.packet.size());
        EXPECT_EQ(r.outcome, c.expected) << c.name;
        if (c.expected == Outcome::kUdp) {
            EXPECT_EQ(r.payload, kPayload) << c.name;
            EXPECT_EQ(r.datagram.destinationPort, 12351) << c.name;
        }
    }
}

TEST(PacketDissectorTest, EveryCutOfAPacketIsTruncatedWithoutReadingPastIt) {
    // IP options make the header length itself something to check.
    Bytes ip = B::ipv4(17, B::udp(5, 6, kPayload));
    ip[0] = 0x46;
    ip.insert(ip.begin() + 20, {1, 1, 1, 1});
    ip[3] = static_cast<std::uint8_t>(ip.size());
    for (const auto& [linkType, packet] :
         {std::pair{DLT_EN10MB, B::behind(B::behind(kEthernet, {0x81, 0, 0, 1, 8, 0}), ip)},
          std::pair{DLT_LINUX_SLL, B::behind({0, 0, 3, 4, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0}, ip)},
          std::pair{DLT_NULL, B::behind({2, 0, 0, 0}, ip)}, std::pair{DLT_RAW, ip}}) {
        ASSERT_EQ(dissect(linkType, packet, packet.size()).payload, kPayload);
        for (std::size_t length = 0; length < packet.size(); ++length) {
            EXPECT_EQ(dissect(linkType, packet, length).outcome, Outcome::kTruncated)
                << "link " << linkType << " cut at " << length;
        }
    }
}

TEST(Ipv4UdpEncoderTest, WritesValidChecksumsAndDissectsBack) {
    Bytes payload(913);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<std::uint8_t>(i * 7);
    }
    const UdpDatagram in{0x7F000001, 0x7F000002, 50001, 12351, payload.data(), payload.size()};
    const Bytes packet = Ipv4UdpEncoder::encode(in, 9);

    // A header, or pseudo-header and datagram, whose checksum is right sums to 0xFFFF.
    const auto onesSum = [](const std::uint8_t* data, std::size_t size, std::uint32_t sum) {
        for (std::size_t i = 0; i < size; i += 2) {
            sum += (data[i] << 8U) | (i + 1 < size ? data[i + 1] : 0U);
        }
        while (sum > 0xFFFFU) {
            sum = (sum & 0xFFFFU) + (sum >> 16U);
        }
        return sum;
    };
    EXPECT_EQ(onesSum(packet.data(), 20, 0), 0xFFFFU);
    const std::uint32_t pseudo = onesSum(packet.data() + 12, 8, 17 + 8 + payload.size());
    EXPECT_EQ(onesSum(packet.data() + 20, packet.size() - 20, pseudo), 0xFFFFU);

    const Dissected r = dissect(DLT_RAW, packet, packet.size());
    ASSERT_EQ(r.outcome, Outcome::kUdp);
    EXPECT_EQ(r.datagram.sourceAddress, in.sourceAddress);
    EXPECT_EQ(r.datagram.destinationAddress, in.destinationAddress);
    EXPECT_EQ(r.datagram.sourcePort, in.sourcePort);
    EXPECT_EQ(r.payload, payload);
    UdpDatagram tooLarge = in;
    tooLarge.payloadSize = Ipv4UdpEncoder::kMaxPayload + 1;
    EXPECT_THROW(Ipv4UdpEncoder::encode(tooLarge, 0), std::length_error);
}

}  // namespace
