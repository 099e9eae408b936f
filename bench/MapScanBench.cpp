// Loading a map file against reading the same file line by line with the standard library, for the map
// generated for this very program at build time and for a synthetic map of 100,000 lines.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "Bars.h"
#include "RatioReporter.h"
#include "diag/DebugInfo.h"

namespace tarnwick {
namespace {

// A map of a large program: a unit table, both public sections, and line tables of four entries a line.
std::string SyntheticMap(int units, int routinesPerUnit, int lineRowsPerUnit) {
    std::string map = "\n Start         Length     Name                   Class\n";
    char line[160];
    const unsigned unitSize = 0x1000;
    std::snprintf(line, sizeof line, " 0001:00401000 %08XH .text                   CODE\n", units * unitSize);
    map += line;
    map += " 0002:00C00000 00010000H .data                   DATA\n\n\nDetailed map of segments\n\n";
    for (int u = 0; u < units; ++u) {
        std::snprintf(line, sizeof line,
                      " 0001:%08X %08X C=CODE     S=.text    G=(none)   M=Unit%-4d ACBP=A9\n", u * unitSize,
                      unitSize, u);
        map += line;
    }
    for (const char* header :
         {"  Address             Publics by Name", "  Address             Publics by Value"}) {
        map += "\n\n";
        map += header;
        map += "\n\n";
        for (int u = 0; u < units; ++u) {
            for (int r = 0; r < routinesPerUnit; ++r) {
                std::snprintf(line, sizeof line, " 0001:%08X       Unit%d.TSomeClass.Routine%d\n",
                              u * unitSize + r * (unitSize / routinesPerUnit), u, r);
                map += line;
            }
        }
    }
    map += "\n\n";
    for (int u = 0; u < units; ++u) {
        std::snprintf(line, sizeof line, "Line numbers for Unit%d(Unit%d.pas) segment .text\n\n", u, u);
        map += line;
        for (int row = 0; row < lineRowsPerUnit; ++row) {
            for (int entry = 0; entry < 4; ++entry) {
                const int index = row * 4 + entry;
                std::snprintf(line, sizeof line, "%6d 0001:%08X", 10 + index, u * unitSize + index * 8);
                map += line;
            }
            map += "\n";
        }
        map += "\n";
    }
    return map;
}

std::size_t CountLines(const std::string& text) {
    std::size_t lines = 0;
    for (const char c : text) {
        lines += c == '\n';
    }
    return lines;
}

void BM_ScanMap(benchmark::State& state, const std::filesystem::path& map) {
    const std::u16string name = map.u16string();
    for (auto _ : state) {
        TProjectDebugInfo info;
        info.LoadMapDebugInfo(name);
        benchmark::DoNotOptimize(info.RoutineDebugInfos().data());
    }
}

void BM_ReadMapLines(benchmark::State& state, const std::filesystem::path& map) {
    for (auto _ : state) {
        std::ifstream file(map);
        std::string line;
        std::size_t lines = 0;
        while (std::getline(file, line)) {
            ++lines;
            benchmark::DoNotOptimize(line.data());
        }
        benchmark::DoNotOptimize(lines);
    }
}

// The tables a map yields, to make sure the timed loads are not empty ones.
bool Loads(const std::filesystem::path& map, const char* name) {
    TProjectDebugInfo info;
    info.LoadMapDebugInfo(map.u16string());
    std::size_t lines = 0;
    for (const TUnitDebugInfo& unit : info.UnitDebugInfos()) {
        lines += unit.AddressesCount() > 0 && unit.Addresses()[0].Line != 0 ? unit.AddressesCount() : 0;
    }
    std::printf("%s map %s: %zu units, %zu routines, %zu line entries, code length %08X\n", name,
                map.string().c_str(), info.UnitDebugInfos().size(), info.RoutineDebugInfos().size(), lines,
                info.CodeLength());
    return !info.UnitDebugInfos().empty() && !info.RoutineDebugInfos().empty() && lines > 0;
}

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    using namespace tarnwick;
    // The generated map lies beside the program, named like it, as the debug unit looks for it.
    const std::filesystem::path generated =
        std::filesystem::path(std::filesystem::read_symlink("/proc/self/exe")).replace_extension(".map");
    const std::filesystem::path synthetic =
        std::filesystem::temp_directory_path() /
        ("tarnwick-synthetic-" + std::to_string(std::random_device()()) + ".map");
    const std::string text = SyntheticMap(1000, 24, 48);
    std::ofstream(synthetic, std::ios::binary) << text;
    std::printf("synthetic map: %zu lines\n", CountLines(text));
    if (!Loads(generated, "generated") || !Loads(synthetic, "synthetic")) {
        std::fprintf(stderr, "a map loaded no tables\n");
        return 1;
    }

    benchmark::RegisterBenchmark("BM_ScanMap/generated", BM_ScanMap, generated)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReadMapLines/generated", BM_ReadMapLines, generated)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ScanMap/synthetic", BM_ScanMap, synthetic)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ReadMapLines/synthetic", BM_ReadMapLines, synthetic)
        ->Unit(benchmark::kMillisecond);
    // The map of tarnwick.exe itself, when a Windows build lies beside this one.
    const std::filesystem::path own =
        generated.parent_path() / ".." / ".." / "windows" / "src" / "app" / "win32" / "tarnwick.map";
    if (std::filesystem::exists(own)) {
        if (!Loads(own, "tarnwick.exe's")) {
            return 1;
        }
        benchmark::RegisterBenchmark("BM_ScanMap/tarnwick", BM_ScanMap, own)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_ReadMapLines/tarnwick", BM_ReadMapLines, own)
            ->Unit(benchmark::kMillisecond);
    }
    bench::InterleavedArguments arguments(argc, argv, 12);
    benchmark::Initialize(&arguments.Count, arguments.Pointers.data());
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool within = reporter.PrintRatios("BM_ScanMap", "BM_ReadMapLines", bench::MapScanBar);
    benchmark::Shutdown();
    std::filesystem::remove(synthetic);
    return within ? 0 : 1;
}
