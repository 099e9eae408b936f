#pragma once
// Prints the benchmarks as usual and then, for pairs named "<ours>/<n>" and "<bare>/<n>", the ratio of
// our time to the bare walk's, measured in the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tarnwick::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Times[run.benchmark_name()] = run.GetAdjustedRealTime();
            Unit = benchmark::GetTimeUnitString(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Prints "ours / bare" for every argument both were run with; returns false when a ratio exceeds the bar.
    bool PrintRatios(const std::string& ours, const std::string& bare, double bar) const {
        bool within = true;
        for (const auto& [name, time] : Times) {
            if (name.rfind(ours + "/", 0) != 0) {
                continue;
            }
            const std::string argument = name.substr(ours.size());
            const auto other = Times.find(bare + argument);
            if (other == Times.end()) {
                continue;
            }
            const double ratio = time / other->second;
            std::printf("%s%s: %.1f %s, bare walk %.1f %s, ratio %.2f (bar %.1f) %s\n", ours.c_str(),
                        argument.c_str(), time, Unit.c_str(), other->second, Unit.c_str(), ratio, bar,
                        ratio <= bar ? "within" : "OVER");
            within = within && ratio <= bar;
        }
        return within;
    }
    std::map<std::string, double> Times;
    std::string Unit;
};

} // namespace tarnwick::bench
