#include "LoopbackSender.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

LoopbackSender::LoopbackSender() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
    if (mSocket < 0) {
        std::perror("socket");
        std::exit(1);
    }
}

LoopbackSender::~LoopbackSender() {
    close(mSocket);
}

void LoopbackSender::send(int port, const std::vector<std::byte>& datagram) const {
    const sockaddr_in to = loopback(port);
    // A datagram the system refuses counts as lost, which the figures show.
    sendto(mSocket, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
           sizeof(to));
}

int LoopbackSender::freePort() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof(address);
    if (probe < 0 ||
        bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("no free port");
        std::exit(1);
    }
    close(probe);
    return ntohs(address.sin_port);
}
