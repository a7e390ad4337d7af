#include "PcapCapture.h"

#include <netinet/in.h>
#include <pcap/pcap.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

#include "HostResolver.h"
#include "Ipv4UdpEncoder.h"
#include "StopFlag.h"
#include "ToolError.h"
#include "UdpSocket.h"

namespace {

constexpr int kSnapLength = 65535;
constexpr int kPollMillis = 20;

struct PcapCloser {
    void operator()(pcap_t* p) const { pcap_close(p); }
    void operator()(pcap_dumper_t* d) const { pcap_dump_close(d); }
};

}  // namespace

PcapCapture::PcapCapture(CaptureOptions options, std::ostream& out)
    : options_(std::move(options)), out_(out) {}

void PcapCapture::run() {
    const in_addr local = HostResolver::resolve(options_.bindAddress);
    UdpSocket socket;
    // Ask for the address each datagram was sent to, which a wildcard bind does not show.
    const int on = 1;
    setsockopt(socket.fd(), IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    socket.bind(HostResolver::endpoint(local, options_.port));

    const std::unique_ptr<pcap_t, PcapCloser> dead(pcap_open_dead(DLT_RAW, kSnapLength));
    if (!dead) {
        throw ToolError(ExitCode::kFailure, "cannot set up a pcap writer");
    }
    const std::unique_ptr<pcap_dumper_t, PcapCloser> dumper(
        pcap_dump_open(dead.get(), options_.output.c_str()));
    if (!dumper) {
        throw ToolError(ExitCode::kFailure,
                        "cannot write '" + options_.output + "': " + pcap_geterr(dead.get()));
    }

    if (!options_.quiet) {
        out_ << "capturing UDP port " << options_.port << " to " << options_.output
             << ((options_.durationSeconds || options_.count) ? "" : " (Ctrl-C stops)")
             << std::endl;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        options_.durationSeconds
            ? Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(*options_.durationSeconds))
            : Clock::time_point::max();
    std::vector<std::uint8_t> buffer(Ipv4UdpEncoder::kMaxPayload + 1);
    while (!StopFlag::requested() && (!options_.count || captured_ < *options_.count)) {
        const Clock::time_point now = Clock::now();
        if (now >= end) {
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
        pollfd ready{socket.fd(), POLLIN, 0};
        const int polled =
            poll(&ready, 1, static_cast<int>(std::min<long long>(left + 1, kPollMillis)));
        if (polled <= 0) {
            continue;  // timeout, or a signal that the loop condition handles
        }

        sockaddr_in from{};
        iovec io{buffer.data(), buffer.size()};
        alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(in_pktinfo))> control{};
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &io;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        const ssize_t received = recvmsg(socket.fd(), &message, MSG_DONTWAIT);
        timeval arrival{};
        gettimeofday(&arrival, nullptr);
        if (received < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            throw ToolError(ExitCode::kSocketFailure, std::string("receiving on UDP port ") +
                                                          std::to_string(options_.port) +
                                                          " failed: " + std::strerror(errno));
        }
        if ((message.msg_flags & MSG_TRUNC) != 0) {
            continue;  // larger than IPv4 allows; cannot happen on a real network
        }

        UdpDatagram datagram;
        datagram.sourceAddress = ntohl(from.sin_addr.s_addr);
        datagram.sourcePort = ntohs(from.sin_port);
        datagram.destinationAddress = ntohl(local.s_addr);
        datagram.destinationPort = static_cast<std::uint16_t>(options_.port);
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info{};
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                datagram.destinationAddress = ntohl(info.ipi_addr.s_addr);
            }
        }
        datagram.payload = buffer.data();
        datagram.payloadSize = static_cast<std::size_t>(received);
        const std::vector<std::uint8_t> packet =
            Ipv4UdpEncoder::encode(datagram, static_cast<std::uint16_t>(captured_));

        pcap_pkthdr header{};
        header.ts = arrival;
        header.caplen = static_cast<bpf_u_int32>(packet.size());
        header.len = header.caplen;
        pcap_dump(reinterpret_cast<u_char*>(dumper.get()), &header, packet.data());
        // Flushed per packet: a capture killed outright still leaves a readable file.
        pcap_dump_flush(dumper.get());
        ++captured_;
    }

    if (!options_.quiet) {
        out_ << "captured " << captured_ << " datagrams on UDP port " << options_.port << " to "
             << options_.output << std::endl;
    }
}
