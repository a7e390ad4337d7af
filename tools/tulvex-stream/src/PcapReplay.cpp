#include "PcapReplay.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "HostResolver.h"
#include "PcapReader.h"
#include "StopFlag.h"
#include "UdpSocket.h"

PcapReplay::PcapReplay(ReplayOptions options, std::ostream& out)
    : options_(std::move(options)), out_(out) {}

void PcapReplay::run() {
    const PcapReader::Contents contents = PcapReader::read(options_.input);
    const in_addr host = HostResolver::resolve(options_.host);
    UdpSocket socket;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    std::int64_t sent = 0;
    std::int64_t portless = 0;
    Clock::time_point due = start;
    const std::int64_t firstMicros =
        contents.packets.empty() ? 0 : contents.packets.front().timeMicros;
    for (const PcapReader::Packet& packet : contents.packets) {
        // A packet stamped earlier than the one before it goes straight after it.
        const double offsetSeconds =
            static_cast<double>(packet.timeMicros - firstMicros) / 1e6 / options_.speed;
        due = std::max(due, start + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(offsetSeconds)));
        if (!StopFlag::waitUntil(due)) {
            break;
        }
        const int port = options_.port.value_or(packet.destinationPort);
        if (port == 0) {
            ++portless;  // nothing can be sent to port 0
            continue;
        }
        socket.sendTo(HostResolver::endpoint(host, port), packet.payload);
        ++sent;
    }

    if (!options_.quiet) {
        out_ << "replayed " << sent << " of " << contents.packets.size() << " UDP datagrams from "
             << options_.input << " to " << options_.host
             << (options_.port ? ":" + std::to_string(*options_.port) : std::string(" (own ports)"))
             << "; skipped " << contents.notUdp << " not IPv4/UDP, " << contents.fragments
             << " fragments, " << contents.damaged + portless << " damaged" << std::endl;
    }
}
