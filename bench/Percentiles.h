#pragma once

#include <algorithm>
#include <vector>

// Median, 99th percentile and maximum of a sample, for the benchmarks' lines.
struct Percentiles {
    double median = 0.0;
    double p99 = 0.0;
    double max = 0.0;

    static Percentiles of(std::vector<double> samples) {
        if (samples.empty()) {
            return {};
        }
        std::sort(samples.begin(), samples.end());
        const auto at = [&](double q) {
            return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
        };
        return {at(0.5), at(0.99), samples.back()};
    }
};
