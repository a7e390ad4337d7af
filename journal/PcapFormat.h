#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The journal's capture file: classic pcap with nanosecond time stamps (magic 0xa1b23c4d,
// written little-endian) and link type RAW, each datagram behind a synthesised IPv4 and UDP
// header, so packet tools read it and tulvex-stream replays it. Pure byte building.
class PcapFormat {
public:
    static constexpr std::uint32_t kMagicNanoseconds = 0xa1b23c4dU;
    static constexpr std::uint32_t kLinkTypeRaw = 101;
    static constexpr std::uint32_t kSnapLength = 65535;
    static constexpr std::size_t kFileHeaderBytes = 24;
    static constexpr std::size_t kRecordHeaderBytes = 16;
    static constexpr std::size_t kIpv4HeaderBytes = 20;
    static constexpr std::size_t kUdpHeaderBytes = 8;
    static constexpr std::size_t kMaxPayload = 65535 - kIpv4HeaderBytes - kUdpHeaderBytes;

    struct Datagram {
        std::int64_t wallNanoseconds = 0;  // since the Unix epoch
        std::uint32_t sourceAddress = 0;   // IPv4, host byte order
        std::uint16_t sourcePort = 0;
        std::uint32_t destinationAddress = 0;
        std::uint16_t destinationPort = 0;
        const std::byte* payload = nullptr;
        std::size_t payloadSize = 0;  // at most kMaxPayload; longer payloads are cut there
    };

    static void appendFileHeader(std::vector<std::byte>& out);
    static void appendRecord(std::vector<std::byte>& out, const Datagram& datagram);

    PcapFormat() = delete;
};
