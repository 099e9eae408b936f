// GetDevicesByGuid over every class with details (as the control path enumerates), against the bare
// walk of the same platform calls on the same simulator with the results thrown away.

#include <benchmark/benchmark.h>

#include "BareWalk.h"
#include "Bars.h"
#include "RatioReporter.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t Flags = DIGCF_ALLCLASSES | DIGCF_PRESENT;

void BM_GetDevicesByGuid(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TPhysicalDeviceList devices;
        GetDevicesByGuid(machine, nullptr, TReadDetails::Yes, devices, Flags);
        benchmark::DoNotOptimize(devices.Count());
    }
    FinalizeDeviceInformationKt();
}

void BM_BareWalk(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        bench::BareEnumeration(machine, nullptr, Flags, {}, [](HDEVINFO, SP_DEVINFO_DATA&) {});
    }
}

BENCHMARK(BM_GetDevicesByGuid)->Arg(300)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareWalk)->Arg(300)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    tarnwick::bench::InterleavedArguments arguments(argc, argv, 12);
    benchmark::Initialize(&arguments.Count, arguments.Pointers.data());
    tarnwick::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool within =
        reporter.PrintRatios("BM_GetDevicesByGuid", "BM_BareWalk", tarnwick::bench::DeviceEnumerationBar);
    benchmark::Shutdown();
    return within ? 0 : 1;
}
