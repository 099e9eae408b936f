// How the map scan grows with the map: crafted maps of 1, 2, 4 and 8 MB in which one unit comes back in
// section after section (the first with a large line table, the others without lines), scanned in turn
// in one interleaved run. A linear scan takes about eight times as long for 8 MB as for 1 MB; the bar
// (Bars.h) leaves room above that. Exits non-zero when the ratio is over it. An argument sets the number of
// rounds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Bars.h"
#include "diag/DebugInfo.h"
#include "diag/MapLineSource.h"
#include "diag/MapScanner.h"

namespace tarnwick {
namespace {

using bench::MapScanGrowthBar;
constexpr int Rounds = 7;

// A unit known from the segment map, one line-number section of it filling half the map, and then
// sections of the same unit without entries up to the size asked for.
std::string CraftedMap(std::size_t bytes) {
    std::string map = "Detailed map of segments\n\n"
                      " 0001:00000000 00100000 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\n\n";
    const std::string header = "Line numbers for System(System.pas) segment .text\n\n";
    map += header;
    char entry[32];
    for (std::size_t index = 0; map.size() < bytes / 2;) {
        for (int column = 0; column < 4; ++column, ++index) {
            std::snprintf(entry, sizeof entry, "%6zu 0001:%08zX", index % 100000 + 1, index * 4);
            map += entry;
        }
        map += "\n";
    }
    map += "\n";
    while (map.size() + header.size() + 1 <= bytes) {
        map += header + "\n";
    }
    return map;
}

// Seconds for one scan, averaged over Scans of them so that the small maps are timed well above the
// clock's grain.
double SecondsToScan(const std::string& map, int Scans) {
    const auto start = std::chrono::steady_clock::now();
    for (int scan = 0; scan < Scans; ++scan) {
        TProjectDebugInfo info;
        TMapTextSource source(map);
        TMapScanner(info, u"crafted.map").Scan(source);
        if (info.UnitDebugInfos().empty() || info.UnitDebugInfos()[0].AddressesCount() < 1000) {
            std::fprintf(stderr, "the crafted map loaded no line table\n");
            std::exit(2);
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / Scans;
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    using namespace tarnwick;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : Rounds;
    const std::size_t megabytes[] = {1, 2, 4, 8};
    std::vector<std::string> maps;
    for (const std::size_t size : megabytes) {
        maps.push_back(CraftedMap(size * 1024 * 1024));
    }
    std::vector<std::vector<double>> times(maps.size());
    // Interleaved: every round scans each map once, so a busy machine slows all sizes alike.
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < maps.size(); ++i) {
            // The same bytes scanned in every measurement: 8 MB twice, 1 MB sixteen times.
            times[i].push_back(SecondsToScan(maps[i], static_cast<int>(16 / megabytes[i])));
        }
    }
    for (std::size_t i = 0; i < maps.size(); ++i) {
        std::printf("%zu MB (%zu bytes): min %.4f s, median %.4f s\n", megabytes[i], maps[i].size(),
                    *std::min_element(times[i].begin(), times[i].end()), Median(times[i]));
    }
    const double minRatio = *std::min_element(times[3].begin(), times[3].end()) /
                            *std::min_element(times[0].begin(), times[0].end());
    const double medianRatio = Median(times[3]) / Median(times[0]);
    const bool within = medianRatio <= MapScanGrowthBar;
    std::printf("8 MB / 1 MB: min ratio %.2f, median ratio %.2f (bar %.1f) %s\n", minRatio, medianRatio,
                MapScanGrowthBar, within ? "within" : "OVER");
    return within ? 0 : 1;
}
