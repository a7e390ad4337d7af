#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Writes pcap files byte by byte from the published layouts, independent of the tool's
// encoder and of libpcap, so that tests can also write files no tool would.
class PcapFileBuilder {
public:
    explicit PcapFileBuilder(std::uint32_t linkType, bool bigEndian = false) : big_(bigEndian) {
        put32(0xA1B2C3D4U);  // microsecond timestamps
        put(2, 2);           // version 2.4
        put(4, 2);
        for (std::uint32_t field : {0U, 0U, 65535U, linkType}) {
            put(field, 4);  // zone, accuracy, snapshot length, link type
        }
    }

    // A record of the packet, less its last cutBy bytes as a short snapshot length leaves it.
    PcapFileBuilder& add(std::uint32_t micros, const Bytes& packet, std::size_t cutBy = 0) {
        for (std::uint32_t field :
             {micros / 1000000, micros % 1000000, static_cast<std::uint32_t>(packet.size() - cutBy),
              static_cast<std::uint32_t>(packet.size())}) {
            put32(field);
        }
        bytes_.insert(bytes_.end(), packet.begin(), packet.end() - static_cast<long>(cutBy));
        return *this;
    }

    const Bytes& bytes() const { return bytes_; }

    static void write(const std::filesystem::path& path, const Bytes& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    static Bytes udp(std::uint16_t from, std::uint16_t to, const Bytes& payload) {
        return behind({hi(from), lo(from), hi(to), lo(to), hi(8 + payload.size()),
                       lo(8 + payload.size()), 0, 0},
                      payload);
    }

    // 127.0.0.1 to itself, no checksum: capture readers do not insist on one.
    static Bytes ipv4(std::uint8_t protocol, const Bytes& body, std::uint16_t flagsAndOffset = 0) {
        const std::size_t total = 20 + body.size();
        return behind({0x45,
                       0,
                       hi(total),
                       lo(total),
                       0x12,
                       0x34,
                       hi(flagsAndOffset),
                       lo(flagsAndOffset),
                       64,
                       protocol,
                       0,
                       0,
                       127,
                       0,
                       0,
                       1,
                       127,
                       0,
                       0,
                       1},
                      body);
    }

    // Link-layer header bytes followed by the body. Copied byte-wise into a vector made at its
    // full size: GCC 12 at -O3 reads vector::insert and std::copy here as out-of-bounds or
    // null writes (false positives, but warnings are errors here).
    static Bytes behind(const Bytes& header, const Bytes& body) {
        Bytes joined(header.size() + body.size());
        std::size_t at = 0;
        for (const std::uint8_t byte : header) {
            joined[at++] = byte;
        }
        for (const std::uint8_t byte : body) {
            joined[at++] = byte;
        }
        return joined;
    }

private:
    static std::uint8_t hi(std::size_t v) { return static_cast<std::uint8_t>(v >> 8U); }
    static std::uint8_t lo(std::size_t v) { return static_cast<std::uint8_t>(v); }

    // In the file's byte order.
    void put(std::uint32_t v, unsigned size) {
        for (unsigned i = 0; i < size; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>(v >> (big_ ? 8U * (size - 1 - i) : 8U * i)));
        }
    }
    void put32(std::uint32_t v) { put(v, 4); }

    bool big_;
    Bytes bytes_;
};
