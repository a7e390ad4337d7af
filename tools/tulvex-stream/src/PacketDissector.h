#pragma once

#include <cstddef>
#include <cstdint>

#include "UdpDatagram.h"

// Finds the UDP datagram in one captured packet. Every header length is checked against the
// captured length before the header is read, so a damaged capture cannot make it read past
// the packet.
class PacketDissector {
public:
    enum class Outcome {
        kUdp,
        kNotIpv4,    // ARP, IPv6, another link-layer protocol
        kNotUdp,     // IPv4 carrying TCP, ICMP, ...
        kFragment,   // part of a fragmented datagram, which cannot be replayed alone
        kTruncated,  // cut short by the capture's snapshot length
        kMalformed,  // lengths that contradict each other
    };

    // linkType is a DLT_ value as pcap_datalink() returns it.
    static bool supportsLinkType(int linkType);
    static Outcome dissect(int linkType, const std::uint8_t* data, std::size_t capturedLength,
                           UdpDatagram& out);
};
