#include "PcapReader.h"

#include <pcap/pcap.h>

#include <array>
#include <memory>

#include "PacketDissector.h"
#include "ToolError.h"

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw ToolError(ExitCode::kBadPcap, "cannot replay '" + path + "': " + why);
}

}  // namespace

PcapReader::Contents PcapReader::read(const std::string& path) {
    std::array<char, PCAP_ERRBUF_SIZE> error{};
    // Microsecond timestamps whatever the file holds: libpcap converts nanosecond files.
    const std::unique_ptr<pcap_t, decltype(&pcap_close)> capture(
        pcap_open_offline_with_tstamp_precision(path.c_str(), PCAP_TSTAMP_PRECISION_MICRO,
                                                error.data()),
        pcap_close);
    if (!capture) {
        fail(path, error.data());
    }
    Contents contents;
    contents.linkType = pcap_datalink(capture.get());
    if (!PacketDissector::supportsLinkType(contents.linkType)) {
        const char* name = pcap_datalink_val_to_name(contents.linkType);
        fail(path, "unsupported link type " + std::to_string(contents.linkType) +
                       (name != nullptr ? " (" + std::string(name) + ")" : std::string()));
    }

    for (;;) {
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        const int status = pcap_next_ex(capture.get(), &header, &data);
        if (status == PCAP_ERROR_BREAK) {
            break;  // end of file
        }
        if (status != 1) {
            fail(path, pcap_geterr(capture.get()));
        }
        UdpDatagram datagram;
        switch (PacketDissector::dissect(contents.linkType, data, header->caplen, datagram)) {
            case PacketDissector::Outcome::kUdp: {
                Packet packet;
                packet.timeMicros =
                    static_cast<std::int64_t>(header->ts.tv_sec) * 1000000 + header->ts.tv_usec;
                packet.destinationPort = datagram.destinationPort;
                const auto* payload = reinterpret_cast<const std::byte*>(datagram.payload);
                packet.payload.assign(payload, payload + datagram.payloadSize);
                contents.packets.push_back(std::move(packet));
                break;
            }
            case PacketDissector::Outcome::kNotIpv4:
            case PacketDissector::Outcome::kNotUdp:
                ++contents.notUdp;
                break;
            case PacketDissector::Outcome::kFragment:
                ++contents.fragments;
                break;
            case PacketDissector::Outcome::kTruncated:
            case PacketDissector::Outcome::kMalformed:
                ++contents.damaged;
                break;
        }
    }
    return contents;
}
