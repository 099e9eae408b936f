// TurnOffInternet with eight adapters among 5,000 devices, against the least a switch can do on the same
// simulator: the network class enumerated once and the class installer called on each of its adapters in
// that set. And how its time grows with the machine, from 1,000 to 5,000 devices: linearly at most.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "BareWalk.h"
#include "Bars.h"
#include "RatioReporter.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "netcore/NetCore.h"

namespace tarnwick {
namespace {

constexpr std::size_t Adapters = 8;

void BareTurnOff(sim::TDeviceSimulator& p) {
    const HDEVINFO set = p.SetupDiGetClassDevsW(&GUID_DEVCLASS_NET, nullptr, 0, DIGCF_PRESENT);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (std::uint32_t index = 0; p.SetupDiEnumDeviceInfo(set, index, data); ++index) {
        SP_PROPCHANGE_PARAMS params{
            {sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE}, DICS_DISABLE, DICS_FLAG_GLOBAL, 0};
        p.SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params);
        benchmark::DoNotOptimize(p.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data));
    }
    p.SetupDiDestroyDeviceInfoList(set);
}

void BM_TurnOffInternet(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)), Adapters);
    for (auto _ : state) {
        benchmark::DoNotOptimize(TurnOffInternet(machine));
    }
    FinalizeDeviceInformationKt();
}

void BM_BareTurnOff(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)), Adapters);
    for (auto _ : state) {
        BareTurnOff(machine);
    }
}

BENCHMARK(BM_TurnOffInternet)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareTurnOff)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    tarnwick::bench::InterleavedArguments arguments(argc, argv, 12);
    benchmark::Initialize(&arguments.Count, arguments.Pointers.data());
    tarnwick::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool within =
        reporter.PrintRatios("BM_TurnOffInternet", "BM_BareTurnOff", tarnwick::bench::NetworkSwitchBar);
    const double small = reporter.Median("BM_TurnOffInternet/1000");
    const double large = reporter.Median("BM_TurnOffInternet/5000");
    if (small > 0 && large > 0) {
        const bool linear = large / small <= tarnwick::bench::NetworkSwitchGrowthBar;
        std::printf(
            "BM_TurnOffInternet 1000 -> 5000 devices: median %.1f -> %.1f, %.2f times (bar %.1f) %s\n", small,
            large, large / small, tarnwick::bench::NetworkSwitchGrowthBar, linear ? "within" : "OVER");
        within = within && linear;
    }
    benchmark::Shutdown();
    return within ? 0 : 1;
}
