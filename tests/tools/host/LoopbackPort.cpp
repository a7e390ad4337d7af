#include "LoopbackPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace {

bool bindable(int port) {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = probe >= 0 &&
                    bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (probe >= 0) {
        close(probe);
    }
    return ok;
}

}  // namespace

LoopbackPort::LoopbackPort() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (mSocket < 0 ||
        bind(mSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        release();
        throw std::runtime_error("no free loopback port");
    }
    mPort = ntohs(address.sin_port);
}

LoopbackPort::~LoopbackPort() {
    release();
}

void LoopbackPort::release() {
    if (mSocket >= 0) {
        close(mSocket);
        mSocket = -1;
    }
}

int LoopbackPort::freeConsecutive(int count) {
    constexpr int kAttempts = 50;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        LoopbackPort first;
        bool free = first.port() + count - 1 <= 65535;
        for (int i = 1; free && i < count; ++i) {
            free = bindable(first.port() + i);
        }
        if (free) {
            return first.port();
        }
    }
    throw std::runtime_error("no run of free loopback ports");
}
