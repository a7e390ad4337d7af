#include "HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "ToolError.h"

in_addr HostResolver::resolve(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int status =
        host.empty() ? EAI_NONAME : getaddrinfo(host.c_str(), nullptr, &hints, &found);
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, freeaddrinfo);
    if (status != 0 || found == nullptr || found->ai_addr == nullptr) {
        throw ToolError(ExitCode::kUnknownHost,
                        "unknown host '" + host +
                            "': " + (status != 0 ? gai_strerror(status) : "no IPv4 address"));
    }
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    return address.sin_addr;
}

std::string HostResolver::toString(const in_addr& address) {
    std::array<char, INET_ADDRSTRLEN> text{};
    inet_ntop(AF_INET, &address, text.data(), text.size());
    return text.data();
}

std::string HostResolver::toString(const sockaddr_in& endpoint) {
    return toString(endpoint.sin_addr) + ":" + std::to_string(ntohs(endpoint.sin_port));
}

sockaddr_in HostResolver::endpoint(const in_addr& address, int port) {
    sockaddr_in e{};
    e.sin_family = AF_INET;
    e.sin_addr = address;
    e.sin_port = htons(static_cast<std::uint16_t>(port));
    return e;
}
