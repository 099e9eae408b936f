// TurnOffInternet with four adapters, against the bare walk of the same platform calls on the same
// simulator: the adapter enumeration, then for each adapter the enumeration of every device and the
// property change through the class installer.

#include <benchmark/benchmark.h>

#include "BareWalk.h"
#include "Bars.h"
#include "RatioReporter.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "netcore/NetCore.h"

namespace tarnwick {
namespace {

void BareTurnOff(sim::TDeviceSimulator& p, const std::vector<std::u16string>& adapters) {
    bench::BareEnumeration(p, &GUID_DEVCLASS_NET, DIGCF_PRESENT, {}, [](HDEVINFO, SP_DEVINFO_DATA&) {});
    for (const auto& name : adapters) {
        bench::BareEnumeration(
            p, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT, name, [&](HDEVINFO set, SP_DEVINFO_DATA& data) {
                SP_PROPCHANGE_PARAMS params{
                    {sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE}, DICS_DISABLE, DICS_FLAG_GLOBAL, 0};
                p.SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params);
                p.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data);
                SP_DEVINSTALL_PARAMS_W installParams{};
                installParams.cbSize = sizeof installParams;
                p.SetupDiGetDeviceInstallParamsW(set, &data, installParams);
            });
    }
}

void BM_TurnOffInternet(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TurnOffInternet(machine);
    }
    FinalizeDeviceInformationKt();
}

void BM_BareTurnOff(benchmark::State& state) {
    auto& machine = bench::Machine(static_cast<std::size_t>(state.range(0)));
    std::vector<std::u16string> adapters;
    for (const auto& adapter : GetNetAdapters(machine)) {
        adapters.emplace_back(adapter->PnPName());
    }
    FinalizeDeviceInformationKt();
    for (auto _ : state) {
        BareTurnOff(machine, adapters);
    }
}

BENCHMARK(BM_TurnOffInternet)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareTurnOff)->Arg(300)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    tarnwick::bench::InterleavedArguments arguments(argc, argv, 12);
    benchmark::Initialize(&arguments.Count, arguments.Pointers.data());
    tarnwick::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool within =
        reporter.PrintRatios("BM_TurnOffInternet", "BM_BareTurnOff", tarnwick::bench::NetworkSwitchBar);
    benchmark::Shutdown();
    return within ? 0 : 1;
}
