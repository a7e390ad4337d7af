#pragma once

#include <string>

struct ifaddrs;

// The list of local IPv4 addresses shown in a node's panel: the heading, then for each IPv4
// address in the system's order three tabs and the dotted quad. 127.0.0.1 is left out; IPv6
// addresses never appear; an address listed twice by the system appears twice.
class LocalAddressList {
public:
    static std::string build(const std::string& heading, const ifaddrs* interfaces);

    LocalAddressList() = delete;
};
