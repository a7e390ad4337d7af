#include "PacketDissector.h"

#include <pcap/dlt.h>

namespace {

constexpr std::uint16_t kEtherTypeIpv4 = 0x0800;
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kVlanTag = 4;
constexpr int kMaxVlanTags = 4;
constexpr std::size_t kCookedHeader = 16;
constexpr std::size_t kCookedV2Header = 20;
constexpr std::size_t kLoopbackHeader = 4;
constexpr std::size_t kMinIpv4Header = 20;
constexpr std::size_t kUdpHeader = 8;
constexpr std::uint32_t kFamilyInet = 2;  // AF_INET on every system that writes these
constexpr std::uint8_t kProtocolUdp = 17;

std::uint16_t be16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8U) | at[1]);
}

std::uint32_t be32(const std::uint8_t* at) {
    return (static_cast<std::uint32_t>(be16(at)) << 16U) | be16(at + 2);
}

bool isVlanTag(std::uint16_t etherType) {
    return etherType == 0x8100 || etherType == 0x88A8 || etherType == 0x9100;
}

using Outcome = PacketDissector::Outcome;

// Offset of the IPv4 header behind the link-layer header, or the reason there is none.
Outcome findIpv4(int linkType, const std::uint8_t* data, std::size_t size, std::size_t& offset) {
    switch (linkType) {
        case DLT_EN10MB: {
            if (size < kEthernetHeader) {
                return Outcome::kTruncated;
            }
            offset = kEthernetHeader;
            std::uint16_t etherType = be16(data + 12);
            for (int tags = 0; isVlanTag(etherType); ++tags) {
                if (tags == kMaxVlanTags) {
                    return Outcome::kMalformed;
                }
                if (size < offset + kVlanTag) {
                    return Outcome::kTruncated;
                }
                etherType = be16(data + offset + 2);
                offset += kVlanTag;
            }
            return etherType == kEtherTypeIpv4 ? Outcome::kUdp : Outcome::kNotIpv4;
        }
        case DLT_LINUX_SLL:
            if (size < kCookedHeader) {
                return Outcome::kTruncated;
            }
            offset = kCookedHeader;
            return be16(data + 14) == kEtherTypeIpv4 ? Outcome::kUdp : Outcome::kNotIpv4;
        case DLT_LINUX_SLL2:
            if (size < kCookedV2Header) {
                return Outcome::kTruncated;
            }
            offset = kCookedV2Header;
            return be16(data) == kEtherTypeIpv4 ? Outcome::kUdp : Outcome::kNotIpv4;
        case DLT_NULL:
        case DLT_LOOP: {
            if (size < kLoopbackHeader) {
                return Outcome::kTruncated;
            }
            offset = kLoopbackHeader;
            // NULL is in the writing host's byte order, LOOP in network order.
            const std::uint32_t family = be32(data);
            const std::uint32_t swapped = (family >> 24U) | ((family >> 8U) & 0xFF00U) |
                                          ((family << 8U) & 0xFF0000U) | (family << 24U);
            const bool inet =
                family == kFamilyInet || (linkType == DLT_NULL && swapped == kFamilyInet);
            return inet ? Outcome::kUdp : Outcome::kNotIpv4;
        }
        case DLT_RAW:
        case DLT_IPV4:
            offset = 0;
            if (size < 1) {
                return Outcome::kTruncated;
            }
            // Raw IP may be IPv6 as well; the version tells.
            return (data[0] >> 4U) == 4 ? Outcome::kUdp : Outcome::kNotIpv4;
        default:
            return Outcome::kNotIpv4;
    }
}

}  // namespace

bool PacketDissector::supportsLinkType(int linkType) {
    switch (linkType) {
        case DLT_EN10MB:
        case DLT_LINUX_SLL:
        case DLT_LINUX_SLL2:
        case DLT_NULL:
        case DLT_LOOP:
        case DLT_RAW:
        case DLT_IPV4:
            return true;
        default:
            return false;
    }
}

PacketDissector::Outcome PacketDissector::dissect(int linkType, const std::uint8_t* data,
                                                  std::size_t capturedLength, UdpDatagram& out) {
    if (data == nullptr) {
        return Outcome::kTruncated;
    }
    std::size_t ipOffset = 0;
    const Outcome link = findIpv4(linkType, data, capturedLength, ipOffset);
    if (link != Outcome::kUdp) {
        return link;
    }
    const std::uint8_t* ip = data + ipOffset;
    const std::size_t available = capturedLength - ipOffset;
    if (available < kMinIpv4Header) {
        return Outcome::kTruncated;
    }
    if ((ip[0] >> 4U) != 4) {
        return Outcome::kNotIpv4;
    }
    const std::size_t headerLength = static_cast<std::size_t>(ip[0] & 0x0FU) * 4;
    const std::size_t totalLength = be16(ip + 2);
    if (headerLength < kMinIpv4Header || totalLength < headerLength) {
        return Outcome::kMalformed;
    }
    if (available < headerLength) {
        return Outcome::kTruncated;
    }
    const std::uint16_t flagsAndOffset = be16(ip + 6);
    const bool moreFragments = (flagsAndOffset & 0x2000U) != 0;
    if (moreFragments || (flagsAndOffset & 0x1FFFU) != 0) {
        return Outcome::kFragment;
    }
    if (ip[9] != kProtocolUdp) {
        return Outcome::kNotUdp;
    }
    if (totalLength < headerLength + kUdpHeader) {
        return Outcome::kMalformed;
    }
    if (available < headerLength + kUdpHeader) {
        return Outcome::kTruncated;
    }
    const std::uint8_t* udp = ip + headerLength;
    const std::size_t udpLength = be16(udp + 4);
    if (udpLength < kUdpHeader || udpLength > totalLength - headerLength) {
        return Outcome::kMalformed;
    }
    // Trailing bytes (Ethernet padding) are beyond the UDP length and ignored.
    if (available < headerLength + udpLength) {
        return Outcome::kTruncated;
    }
    out.sourceAddress = be32(ip + 12);
    out.destinationAddress = be32(ip + 16);
    out.sourcePort = be16(udp);
    out.destinationPort = be16(udp + 2);
    out.payload = udp + kUdpHeader;
    out.payloadSize = udpLength - kUdpHeader;
    return Outcome::kUdp;
}
