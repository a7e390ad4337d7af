#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the UDP datagrams of a whole pcap (or pcapng) file up front, so that a damaged file
// is reported before anything is sent.
class PcapReader {
public:
    struct Packet {
        std::int64_t timeMicros = 0;  // capture time
        std::uint16_t destinationPort = 0;
        std::vector<std::byte> payload;
    };

    struct Contents {
        int linkType = 0;
        std::vector<Packet> packets;
        std::size_t notUdp = 0;  // not IPv4 or not UDP
        std::size_t fragments = 0;
        std::size_t damaged = 0;  // truncated or malformed headers
    };

    // Throws ToolError(kBadPcap) naming the file when it cannot be read, is not a capture,
    // has a link type without IPv4 or ends inside a record.
    static Contents read(const std::string& path);
};
