#pragma once

#include <netinet/in.h>

#include <string>

// Name or dotted address to an IPv4 address; the plug-in listens on IPv4 only.
class HostResolver {
public:
    // Throws ToolError(kUnknownHost) naming the host.
    static in_addr resolve(const std::string& host);
    static std::string toString(const in_addr& address);
    static std::string toString(const sockaddr_in& endpoint);
    static sockaddr_in endpoint(const in_addr& address, int port);
};
