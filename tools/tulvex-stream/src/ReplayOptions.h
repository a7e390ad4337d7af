#pragma once

#include <optional>
#include <string>

// Settings of `replay`, which sends the UDP payloads of a pcap file again.
struct ReplayOptions {
    std::string input;
    std::string host = "127.0.0.1";
    std::optional<int> port;  // none: each packet's own destination port
    double speed = 1.0;
    bool quiet = false;
};
