#pragma once
// The mean, median and minimum of a benchmark's rounds: what every benchmark reports, and compares with
// its floor's as ratios.

#include <algorithm>
#include <numeric>
#include <vector>

namespace tarnwick::bench {

struct TimeSummary {
    double Mean = 0;
    double Median = 0;
    double Min = 0;
};

inline TimeSummary Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    TimeSummary summary;
    summary.Mean = std::accumulate(times.begin(), times.end(), 0.0) / static_cast<double>(n);
    summary.Median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    summary.Min = times.front();
    return summary;
}

} // namespace tarnwick::bench
