#pragma once

#include <cstddef>
#include <cstdint>

// A UDP datagram found in a captured packet. Addresses and ports in host byte order; the
// payload points into the packet.
struct UdpDatagram {
    std::uint32_t sourceAddress = 0;
    std::uint32_t destinationAddress = 0;
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
    const std::uint8_t* payload = nullptr;
    std::size_t payloadSize = 0;
};
