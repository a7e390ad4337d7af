#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where a node's stream stands, what its capture thread counted and what its last bake
// made, as the plug-in's "TulvexDeviceStatus" command reports it: names and values taking
// turns. Pure parsing.
struct DeviceStatus {
    std::string state;  // "notLive", "waitingForPhone", ..., "streaming", "silent"
    std::uint64_t detectedRate = 0;
    std::uint64_t datagramsReceived = 0;
    std::uint64_t framesApplied = 0;
    std::uint64_t definitionsAccepted = 0;
    std::uint64_t datagramsRejected = 0;
    std::uint64_t blocksPushed = 0;
    std::uint64_t blocksSuperseded = 0;
    std::uint64_t samplesWithoutPose = 0;
    // Negative before the first datagram.
    double secondsSinceLastDatagram = -1.0;
    std::uint64_t bakedCurves = 0;
    std::uint64_t bakedKeysPerCurve = 0;
    std::uint64_t bakedFilledPerCurve = 0;
    double bakedFirstTime = 0.0;
    double bakedLastTime = 0.0;

    // None when the result is not names and values taking turns, or a count is missing or
    // not a whole number; names it does not know are skipped, so a newer plug-in still reads.
    static std::optional<DeviceStatus> parse(const std::vector<std::string>& result);
};
