#pragma once
// Runs the benchmarks interleaved and repeated, keeps every repetition's time, and reports for pairs named
// "<ours>/<n>" and "<floor>/<n>" the mean, median and minimum of each and the ratios of those. Times are
// the measuring thread's processor time, which other work on a shared machine does not inflate.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "TimeSummary.h"

namespace tarnwick::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                Times[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
                Unit = benchmark::GetTimeUnitString(run.time_unit);
            }
        }
    }
    // Prints the ratios of every argument both were run with; false when a ratio exceeds the bar.
    bool PrintRatios(const std::string& ours, const std::string& floor, double bar) const {
        bool within = true;
        for (const auto& [name, times] : Times) {
            if (name.rfind(ours + "/", 0) != 0) {
                continue;
            }
            const std::string argument = name.substr(ours.size());
            const auto other = Times.find(floor + argument);
            if (other == Times.end()) {
                continue;
            }
            const TimeSummary a = Summarise(times);
            const TimeSummary b = Summarise(other->second);
            const double ratios[] = {a.Mean / b.Mean, a.Median / b.Median, a.Min / b.Min};
            const bool over =
                std::any_of(std::begin(ratios), std::end(ratios), [&](double r) { return r > bar; });
            std::printf("%s%s against %s, %zu rounds (%s of processor time)\n", ours.c_str(),
                        argument.c_str(), floor.c_str(), times.size(), Unit.c_str());
            std::printf("  ours  mean %.1f median %.1f min %.1f\n", a.Mean, a.Median, a.Min);
            std::printf("  floor mean %.1f median %.1f min %.1f\n", b.Mean, b.Median, b.Min);
            std::printf("  ratio mean %.2f median %.2f min %.2f (bar %.1f) %s\n", ratios[0], ratios[1],
                        ratios[2], bar, over ? "OVER" : "within");
            within = within && !over;
        }
        return within;
    }

    // The median time of one benchmark's repetitions; 0 when it did not run.
    double Median(const std::string& name) const {
        const auto found = Times.find(name);
        return found == Times.end() ? 0.0 : Summarise(found->second).Median;
    }

private:
    std::map<std::string, std::vector<double>> Times;
    std::string Unit;
};

// The command line with interleaving and repetitions switched on unless it sets them itself.
class InterleavedArguments {
public:
    InterleavedArguments(int argc, char** argv, int repetitions) {
        Storage.assign(argv, argv + argc);
        const auto given = [&](const char* option) {
            return std::any_of(Storage.begin(), Storage.end(),
                               [&](const std::string& a) { return a.rfind(option, 0) == 0; });
        };
        if (!given("--benchmark_enable_random_interleaving")) {
            Storage.push_back("--benchmark_enable_random_interleaving=true");
        }
        if (!given("--benchmark_repetitions")) {
            Storage.push_back("--benchmark_repetitions=" + std::to_string(repetitions));
        }
        for (auto& argument : Storage) {
            Pointers.push_back(argument.data());
        }
        Count = static_cast<int>(Pointers.size());
    }
    int Count;
    std::vector<char*> Pointers;

private:
    std::vector<std::string> Storage;
};

} // namespace tarnwick::bench
