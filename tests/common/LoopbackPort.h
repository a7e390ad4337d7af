#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace loopback {

// A UDP port on loopback that nothing is bound to right now.
inline int freeUdpPort() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    const bool found =
        probe >= 0 &&
        bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (probe >= 0) {
        close(probe);
    }
    if (!found) {
        throw std::runtime_error("no free UDP port on loopback");
    }
    return ntohs(address.sin_port);
}

}  // namespace loopback
