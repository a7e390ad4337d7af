#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "UdpDatagram.h"

// Wraps a received payload in the IPv4 and UDP headers it arrived with, for a raw-IPv4 pcap.
class Ipv4UdpEncoder {
public:
    static constexpr std::size_t kIpv4HeaderSize = 20;
    static constexpr std::size_t kUdpHeaderSize = 8;
    // What fits an IPv4 total length.
    static constexpr std::size_t kMaxPayload = 65535 - kIpv4HeaderSize - kUdpHeaderSize;

    // datagram.payload holds datagram.payloadSize bytes, at most kMaxPayload.
    static std::vector<std::uint8_t> encode(const UdpDatagram& datagram,
                                            std::uint16_t identification);
};
