#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Settings of `capture`, which records the datagrams arriving on a port into a pcap file.
struct CaptureOptions {
    std::string bindAddress = "0.0.0.0";
    int port = 12351;
    std::string output;
    std::optional<double> durationSeconds;
    std::optional<std::int64_t> count;
    bool quiet = false;
};
