#include "StreamStatistics.h"

#include <charconv>
#include <cstdlib>
#include <utility>

namespace {

bool parseCount(const std::string& text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

bool parseSeconds(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

}  // namespace

std::optional<StreamStatistics> StreamStatistics::parse(const std::vector<std::string>& result) {
    if (result.size() % 2 != 0) {
        return std::nullopt;
    }
    StreamStatistics statistics;
    const std::pair<const char*, std::uint64_t StreamStatistics::*> counts[] = {
        {"datagramsReceived", &StreamStatistics::datagramsReceived},
        {"framesApplied", &StreamStatistics::framesApplied},
        {"definitionsAccepted", &StreamStatistics::definitionsAccepted},
        {"datagramsRejected", &StreamStatistics::datagramsRejected},
        {"blocksPushed", &StreamStatistics::blocksPushed},
        {"blocksSuperseded", &StreamStatistics::blocksSuperseded},
    };
    std::size_t found = 0;
    bool seconds = false;
    for (std::size_t i = 0; i < result.size(); i += 2) {
        const std::string& name = result[i];
        const std::string& value = result[i + 1];
        if (name == "secondsSinceLastDatagram") {
            if (!parseSeconds(value, statistics.secondsSinceLastDatagram)) {
                return std::nullopt;
            }
            seconds = true;
            continue;
        }
        for (const auto& [countName, member] : counts) {
            if (name == countName) {
                if (!parseCount(value, statistics.*member)) {
                    return std::nullopt;
                }
                ++found;
            }
        }
    }
    if (found != std::size(counts) || !seconds) {
        return std::nullopt;
    }
    return statistics;
}
