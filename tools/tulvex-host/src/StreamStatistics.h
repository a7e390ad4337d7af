#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a node's capture thread has counted, as the plug-in's "TulvexStreamStats" command
// reports it: names and values taking turns. Pure parsing.
struct StreamStatistics {
    std::uint64_t datagramsReceived = 0;
    std::uint64_t framesApplied = 0;
    std::uint64_t definitionsAccepted = 0;
    std::uint64_t datagramsRejected = 0;
    std::uint64_t blocksPushed = 0;
    std::uint64_t blocksSuperseded = 0;
    // Negative before the first datagram.
    double secondsSinceLastDatagram = -1.0;

    // None when the result is not names and values taking turns, or a count is missing or
    // not a whole number; names it does not know are skipped, so a newer plug-in still reads.
    static std::optional<StreamStatistics> parse(const std::vector<std::string>& result);
};
