#include "DeviceStatus.h"

#include <charconv>
#include <cstdlib>
#include <utility>

namespace {

bool parseCount(const std::string& text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

bool parseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

}  // namespace

std::optional<DeviceStatus> DeviceStatus::parse(const std::vector<std::string>& result) {
    if (result.size() % 2 != 0) {
        return std::nullopt;
    }
    DeviceStatus statistics;
    const std::pair<const char*, std::uint64_t DeviceStatus::*> counts[] = {
        {"detectedRate", &DeviceStatus::detectedRate},
        {"datagramsReceived", &DeviceStatus::datagramsReceived},
        {"framesApplied", &DeviceStatus::framesApplied},
        {"definitionsAccepted", &DeviceStatus::definitionsAccepted},
        {"datagramsRejected", &DeviceStatus::datagramsRejected},
        {"blocksPushed", &DeviceStatus::blocksPushed},
        {"blocksSuperseded", &DeviceStatus::blocksSuperseded},
        {"samplesWithoutPose", &DeviceStatus::samplesWithoutPose},
        {"bakedCurves", &DeviceStatus::bakedCurves},
        {"bakedKeysPerCurve", &DeviceStatus::bakedKeysPerCurve},
        {"bakedFilledPerCurve", &DeviceStatus::bakedFilledPerCurve},
    };
    const std::pair<const char*, double DeviceStatus::*> numbers[] = {
        {"secondsSinceLastDatagram", &DeviceStatus::secondsSinceLastDatagram},
        {"bakedFirstTime", &DeviceStatus::bakedFirstTime},
        {"bakedLastTime", &DeviceStatus::bakedLastTime},
    };
    std::size_t found = 0;
    bool state = false;
    for (std::size_t i = 0; i < result.size(); i += 2) {
        const std::string& name = result[i];
        const std::string& value = result[i + 1];
        if (name == "state") {
            statistics.state = value;
            state = true;
        }
        for (const auto& [countName, member] : counts) {
            if (name == countName) {
                if (!parseCount(value, statistics.*member)) {
                    return std::nullopt;
                }
                ++found;
            }
        }
        for (const auto& [numberName, member] : numbers) {
            if (name == numberName) {
                if (!parseNumber(value, statistics.*member)) {
                    return std::nullopt;
                }
                ++found;
            }
        }
    }
    if (found != std::size(counts) + std::size(numbers) || !state) {
        return std::nullopt;
    }
    return statistics;
}
