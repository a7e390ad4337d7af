#include "LoopbackReceiver.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

int boundSocket(int port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

LoopbackReceiver::LoopbackReceiver(int sockets) {
    // The kernel picks a free first port; the next ones are taken if free, else start over.
    for (int attempt = 0; attempt < 50 && static_cast<int>(fds_.size()) < sockets; ++attempt) {
        for (int fd : fds_) {
            close(fd);
        }
        fds_.clear();
        const int first = boundSocket(0);
        if (first < 0) {
            continue;
        }
        fds_.push_back(first);
        sockaddr_in local{};
        socklen_t length = sizeof local;
        getsockname(first, reinterpret_cast<sockaddr*>(&local), &length);
        firstPort_ = ntohs(local.sin_port);
        while (static_cast<int>(fds_.size()) < sockets && firstPort_ + sockets - 1 <= 65535) {
            const int fd = boundSocket(firstPort_ + static_cast<int>(fds_.size()));
            if (fd < 0) {
                break;
            }
            fds_.push_back(fd);
        }
    }
    if (static_cast<int>(fds_.size()) < sockets) {
        throw std::runtime_error("no consecutive free loopback ports");
    }
}

LoopbackReceiver::~LoopbackReceiver() {
    for (int fd : fds_) {
        close(fd);
    }
}

std::vector<LoopbackReceiver::Datagram> LoopbackReceiver::collect(
    const std::function<bool(std::size_t)>& moreMayCome) {
    std::vector<Datagram> received;
    std::vector<pollfd> polls;
    for (int fd : fds_) {
        polls.push_back({fd, POLLIN, 0});
    }
    std::vector<std::uint8_t> buffer(65536);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool senderDone = false;
    while (std::chrono::steady_clock::now() < deadline) {
        // Asked before polling, so the last poll sees everything sent before the end.
        senderDone = senderDone || !moreMayCome(received.size());
        if (poll(polls.data(), polls.size(), 20) <= 0 && senderDone) {
            break;
        }
        for (std::size_t i = 0; i < polls.size(); ++i) {
            const ssize_t size = (polls[i].revents & POLLIN) != 0
                                     ? recv(polls[i].fd, buffer.data(), buffer.size(), MSG_DONTWAIT)
                                     : -1;
            if (size >= 0) {
                received.push_back({static_cast<int>(i),
                                    {buffer.begin(), buffer.begin() + size},
                                    std::chrono::steady_clock::now()});
            }
        }
    }
    return received;
}
