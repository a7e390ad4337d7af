#include "LocalAddressList.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

std::string LocalAddressList::build(const std::string& heading, const ifaddrs* interfaces) {
    std::string list = heading;
    for (const ifaddrs* entry = interfaces; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in address{};
        std::memcpy(&address, entry->ifa_addr, sizeof(address));
        char text[INET_ADDRSTRLEN] = {};
        // inet_ntop rather than inet_ntoa: same dotted quad, without a shared static buffer.
        if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text)) == nullptr) {
            continue;
        }
        if (std::strcmp(text, "127.0.0.1") == 0) {
            continue;
        }
        list += "\t\t\t";
        list += text;
    }
    return list;
}
