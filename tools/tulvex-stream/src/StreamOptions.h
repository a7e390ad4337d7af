#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Settings of the default command, which streams synthetic performers.
struct StreamOptions {
    std::string host = "127.0.0.1";
    int port = 12351;
    int fps = 60;
    std::optional<double> durationSeconds;  // none: until interrupted
    int performers = 1;
    double lossPercent = 0;
    std::uint64_t seed = 1;
    double jitterMs = 0;
    std::optional<double> pauseAtSeconds;
    double pauseForSeconds = 0;
    std::optional<double> repeatDefinitionSeconds;
    double spinDegreesPerSecond = 0;  // every performer also turns about the vertical
    bool quiet = false;
};
