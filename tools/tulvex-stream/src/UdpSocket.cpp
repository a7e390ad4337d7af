#include "UdpSocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "HostResolver.h"
#include "ToolError.h"

UdpSocket::UdpSocket() : fd_(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    if (fd_ < 0) {
        throw ToolError(ExitCode::kSocketFailure,
                        std::string("cannot open a UDP socket: ") + std::strerror(errno));
    }
}

UdpSocket::~UdpSocket() {
    close(fd_);
}

void UdpSocket::bind(const sockaddr_in& local) {
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        throw ToolError(
            ExitCode::kSocketFailure,
            "cannot bind UDP " + HostResolver::toString(local) + ": " + std::strerror(errno));
    }
}

int UdpSocket::localPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
}

void UdpSocket::sendTo(const sockaddr_in& destination, const std::byte* data, std::size_t size) {
    for (;;) {
        const ssize_t sent =
            sendto(fd_, data, size, 0, reinterpret_cast<const sockaddr*>(&destination),
                   sizeof destination);
        if (sent >= 0) {
            return;
        }
        if (errno != EINTR) {
            throw ToolError(ExitCode::kSocketFailure, "cannot send to " +
                                                          HostResolver::toString(destination) +
                                                          ": " + std::strerror(errno));
        }
    }
}
