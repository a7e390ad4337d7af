#pragma once

#include <iosfwd>

#include "ReplayOptions.h"

// Sends the UDP payloads of a pcap file again, spaced as they were captured (scaled by the
// speed), to one port or to each packet's own destination port.
class PcapReplay {
public:
    PcapReplay(ReplayOptions options, std::ostream& out);

    // Throws ToolError on failure.
    void run();

private:
    ReplayOptions options_;
    std::ostream& out_;
};
