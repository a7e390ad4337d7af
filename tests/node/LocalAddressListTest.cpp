#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <deque>
#include <string>

#include "LocalAddressList.h"

namespace {

// A hand-made interface list, linked in the order entries are added.
class InterfaceList {
public:
    void addIPv4(const char* dotted) {
        sockaddr_in& address = ipv4_.emplace_back();
        address.sin_family = AF_INET;
        inet_pton(AF_INET, dotted, &address.sin_addr);
        append(reinterpret_cast<sockaddr*>(&address));
    }
    void addIPv6(const char* text) {
        sockaddr_in6& address = ipv6_.emplace_back();
        address.sin6_family = AF_INET6;
        inet_pton(AF_INET6, text, &address.sin6_addr);
        append(reinterpret_cast<sockaddr*>(&address));
    }
    void addWithoutAddress() { append(nullptr); }
    const ifaddrs* head() const { return entries_.empty() ? nullptr : &entries_.front(); }

private:
    void append(sockaddr* address) {
        ifaddrs& entry = entries_.emplace_back();
        entry.ifa_addr = address;
        if (entries_.size() > 1) {
            entries_[entries_.size() - 2].ifa_next = &entry;
        }
    }
    std::deque<ifaddrs> entries_;  // deque: elements keep their addresses as it grows
    std::deque<sockaddr_in> ipv4_;
    std::deque<sockaddr_in6> ipv6_;
};

TEST(LocalAddressList, OnlyLoopbackGivesTheHeadingAlone) {
    InterfaceList interfaces;
    interfaces.addIPv4("127.0.0.1");
    interfaces.addIPv6("::1");
    EXPECT_EQ(LocalAddressList::build("Your local IPs:", interfaces.head()), "Your local IPs:");
    EXPECT_EQ(LocalAddressList::build("Your local IPs:", nullptr), "Your local IPs:");
}

TEST(LocalAddressList, ListsIPv4AddressesInSystemOrderWithThreeTabs) {
    InterfaceList interfaces;
    interfaces.addIPv4("127.0.0.1");
    interfaces.addIPv6("fe80::1");
    interfaces.addIPv4("192.168.1.20");
    interfaces.addWithoutAddress();
    interfaces.addIPv6("2001:db8::7");
    interfaces.addIPv4("10.0.0.5");
    interfaces.addIPv4("127.0.1.1");     // other loopback addresses are listed
    interfaces.addIPv4("192.168.1.20");  // as often as the system lists them
    EXPECT_EQ(LocalAddressList::build("IPs:", interfaces.head()),
              "IPs:\t\t\t192.168.1.20\t\t\t10.0.0.5\t\t\t127.0.1.1\t\t\t192.168.1.20");
}

}  // namespace
