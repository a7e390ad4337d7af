#include "PcapFormat.h"

#include "LittleEndian.h"

namespace {

void putBig16(std::vector<std::byte>& out, std::uint32_t value) {
    out.push_back(static_cast<std::byte>(value >> 8U));
    out.push_back(static_cast<std::byte>(value));
}

void putBig32(std::vector<std::byte>& out, std::uint32_t value) {
    putBig16(out, value >> 16U);
    putBig16(out, value & 0xFFFFU);
}

std::uint16_t headerChecksum(const std::byte* header, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += (static_cast<std::uint32_t>(header[i]) << 8U) |
               static_cast<std::uint32_t>(header[i + 1]);
    }
    while ((sum >> 16U) != 0) {
        sum = (sum & 0xFFFFU) + (sum >> 16U);
    }
    return static_cast<std::uint16_t>(~sum);
}

}  // namespace

void PcapFormat::appendFileHeader(std::vector<std::byte>& out) {
    LittleEndian::put32(out, kMagicNanoseconds);
    LittleEndian::put32(out, 2U | (4U << 16U));  // version 2.4
    LittleEndian::put32(out, 0);                 // time zone
    LittleEndian::put32(out, 0);                 // accuracy
    LittleEndian::put32(out, kSnapLength);
    LittleEndian::put32(out, kLinkTypeRaw);
}

void PcapFormat::appendRecord(std::vector<std::byte>& out, const Datagram& datagram) {
    const std::size_t payloadSize =
        datagram.payloadSize < kMaxPayload ? datagram.payloadSize : kMaxPayload;
    const std::size_t packetSize = kIpv4HeaderBytes + kUdpHeaderBytes + payloadSize;
    const std::int64_t wall = datagram.wallNanoseconds < 0 ? 0 : datagram.wallNanoseconds;
    LittleEndian::put32(out, static_cast<std::uint32_t>(wall / 1000000000));
    LittleEndian::put32(out, static_cast<std::uint32_t>(wall % 1000000000));
    LittleEndian::put32(out, static_cast<std::uint32_t>(packetSize));
    LittleEndian::put32(out, static_cast<std::uint32_t>(packetSize));

    const std::size_t ipStart = out.size();
    putBig16(out, 0x4500);  // version 4, five words of header
    putBig16(out, static_cast<std::uint32_t>(packetSize));
    putBig16(out, 0);       // identification
    putBig16(out, 0x4000);  // don't fragment
    putBig16(out, 0x4011);  // time to live 64, UDP
    putBig16(out, 0);       // checksum, filled in below
    putBig32(out, datagram.sourceAddress);
    putBig32(out, datagram.destinationAddress);
    const std::uint16_t checksum = headerChecksum(out.data() + ipStart, kIpv4HeaderBytes);
    out[ipStart + 10] = static_cast<std::byte>(checksum >> 8U);
    out[ipStart + 11] = static_cast<std::byte>(checksum & 0xFFU);

    putBig16(out, datagram.sourcePort);
    putBig16(out, datagram.destinationPort);
    putBig16(out, static_cast<std::uint32_t>(kUdpHeaderBytes + payloadSize));
    putBig16(out, 0);  // no UDP checksum, which IPv4 allows
    out.insert(out.end(), datagram.payload, datagram.payload + payloadSize);
}
