#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <vector>

// An IPv4 UDP socket that closes itself. Failures throw ToolError(kSocketFailure).
class UdpSocket {
public:
    UdpSocket();
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    int fd() const { return fd_; }
    void bind(const sockaddr_in& local);
    int localPort() const;
    void sendTo(const sockaddr_in& destination, const std::byte* data, std::size_t size);
    void sendTo(const sockaddr_in& destination, const std::vector<std::byte>& datagram) {
        sendTo(destination, datagram.data(), datagram.size());
    }

private:
    int fd_;
};
