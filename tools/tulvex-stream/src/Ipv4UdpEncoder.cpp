#include "Ipv4UdpEncoder.h"

#include <cstring>
#include <stdexcept>

namespace {

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8U);
    at[1] = static_cast<std::uint8_t>(value);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, value >> 16U);
    put16(at + 2, value & 0xFFFFU);
}

// Ones' complement sum of big-endian 16-bit words, not yet folded.
std::uint32_t sumWords(const std::uint8_t* data, std::size_t size, std::uint32_t sum) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += (static_cast<std::uint32_t>(data[i]) << 8U) | data[i + 1];
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1]) << 8U;
    }
    return sum;
}

std::uint16_t finish(std::uint32_t sum) {
    while ((sum >> 16U) != 0) {
        sum = (sum & 0xFFFFU) + (sum >> 16U);
    }
    return static_cast<std::uint16_t>(~sum);
}

}  // namespace

std::vector<std::uint8_t> Ipv4UdpEncoder::encode(const UdpDatagram& d,
                                                 std::uint16_t identification) {
    if (d.payloadSize > kMaxPayload) {
        throw std::length_error("UDP payload too large for IPv4");
    }
    const std::size_t udpLength = kUdpHeaderSize + d.payloadSize;
    std::vector<std::uint8_t> packet(kIpv4HeaderSize + udpLength);
    std::uint8_t* ip = packet.data();
    ip[0] = 0x45;  // version 4, 5 words of header
    put16(ip + 2, static_cast<std::uint32_t>(packet.size()));
    put16(ip + 4, identification);
    put16(ip + 6, 0x4000);  // don't fragment
    ip[8] = 64;             // time to live
    ip[9] = 17;             // UDP
    put32(ip + 12, d.sourceAddress);
    put32(ip + 16, d.destinationAddress);
    put16(ip + 10, finish(sumWords(ip, kIpv4HeaderSize, 0)));

    std::uint8_t* udp = ip + kIpv4HeaderSize;
    put16(udp, d.sourcePort);
    put16(udp + 2, d.destinationPort);
    put16(udp + 4, static_cast<std::uint32_t>(udpLength));
    if (d.payloadSize > 0) {
        std::memcpy(udp + kUdpHeaderSize, d.payload, d.payloadSize);
    }
    // Checksum over the pseudo-header (addresses, protocol, length) and the datagram, so
    // that packet analysers show the capture as valid.
    std::uint32_t sum = sumWords(ip + 12, 8, 0);
    sum += 17 + static_cast<std::uint32_t>(udpLength);
    const std::uint16_t checksum = finish(sumWords(udp, udpLength, sum));
    put16(udp + 6, checksum == 0 ? 0xFFFFU : checksum);
    return packet;
}
