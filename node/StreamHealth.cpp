#include "StreamHealth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMillisecondsPerNanosecond = 1e-6;

// Nearest-rank percentile of sorted values.
std::int64_t percentile(const std::vector<std::int64_t>& sorted, double share) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

StreamHealth::Figures StreamHealth::summarise(
    const std::vector<std::pair<std::int64_t, std::int64_t>>& ages,
    const std::vector<std::pair<std::int64_t, std::int64_t>>& frames,
    std::int64_t windowNanoseconds) {
    Figures figures;
    if (!ages.empty()) {
        std::vector<std::int64_t> sorted;
        sorted.reserve(ages.size());
        for (const auto& [at, age] : ages) {
            sorted.push_back(age);
        }
        std::sort(sorted.begin(), sorted.end());
        figures.posesShown = static_cast<int>(sorted.size());
        figures.ageMedianMs =
            static_cast<double>(percentile(sorted, 0.5)) * kMillisecondsPerNanosecond;
        figures.age95Ms =
            static_cast<double>(percentile(sorted, 0.95)) * kMillisecondsPerNanosecond;
    }
    if (windowNanoseconds > 0) {
        figures.decodedRate =
            static_cast<double>(frames.size()) * 1e9 / static_cast<double>(windowNanoseconds);
    }
    if (frames.size() >= 3) {
        double sum = 0.0;
        double squares = 0.0;
        const double intervals = static_cast<double>(frames.size() - 1);
        for (std::size_t i = 1; i < frames.size(); ++i) {
            const double interval = static_cast<double>(frames[i].first - frames[i - 1].first) *
                                    kMillisecondsPerNanosecond;
            sum += interval;
            squares += interval * interval;
        }
        const double mean = sum / intervals;
        figures.jitterMs = std::sqrt(std::max(0.0, squares / intervals - mean * mean));
    }
    return figures;
}
