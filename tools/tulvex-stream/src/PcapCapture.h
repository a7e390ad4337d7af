#pragma once

#include <cstdint>
#include <iosfwd>

#include "CaptureOptions.h"

// Receives the datagrams arriving on a UDP port and writes each to a raw-IPv4 pcap file with
// the headers it came with and its arrival time. Needs no capture privileges: it is an
// ordinary socket, so it replaces the plug-in on that port while it runs.
class PcapCapture {
public:
    PcapCapture(CaptureOptions options, std::ostream& out);

    // Until the duration or count is reached or StopFlag is raised. Throws ToolError.
    void run();

    std::int64_t captured() const { return captured_; }

private:
    CaptureOptions options_;
    std::ostream& out_;
    std::int64_t captured_ = 0;
};
