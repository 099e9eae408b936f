// TurnOffInternet with four adapters, against the bare walk of the same platform calls on the same
// simulator: the adapter enumeration, then for each adapter the enumeration of every device and the
// property change through the class installer.

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <memory>

#include "RatioReporter.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/GeneratedMachine.h"
#include "netcore/NetCore.h"

namespace tarnwick {
namespace {

sim::TDeviceSimulator& Machine(std::size_t count) {
    static std::map<std::size_t, std::unique_ptr<sim::TDeviceSimulator>> machines;
    auto& machine = machines[count];
    if (!machine) {
        machine = std::make_unique<sim::TDeviceSimulator>();
        testing::GenerateMachine(*machine, count, 4);
    }
    return *machine;
}

// The calls one enumeration makes per device, results thrown away; calls `matched` for a device whose
// instance ID equals `searched`.
template <typename OnMatch>
void BareEnumeration(IDevicePlatform& p, const Guid* cls, std::uint32_t flags, std::u16string_view searched,
                     OnMatch matched) {
    const HDEVINFO set = p.SetupDiGetClassDevsW(cls, nullptr, 0, flags);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (std::uint32_t index = 0; p.SetupDiEnumDeviceInfo(set, index, data); ++index) {
        std::uint32_t status = 0, problem = 0;
        p.CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0);
        if (status == 0 && problem == 0) {
            continue;
        }
        std::array<char16_t, 260> id;
        p.SetupDiGetDeviceInstanceIdW(set, data, id.data(), 260, nullptr);
        std::uint8_t dword[4];
        p.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_CAPABILITIES, nullptr, dword, 4, nullptr);
        for (std::uint32_t property : {SPDRP_FRIENDLYNAME, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SPDRP_CLASSGUID,
                                       SPDRP_DEVICEDESC, SPDRP_LOCATION_INFORMATION, SPDRP_HARDWAREID}) {
            std::array<std::uint8_t, 1024> buffer;
            std::uint32_t type = 0, required = 0;
            p.SetupDiGetDeviceRegistryPropertyW(set, data, property, &type, buffer.data(), 1024, &required);
            benchmark::DoNotOptimize(buffer);
        }
        p.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_UI_NUMBER, nullptr, dword, 4, nullptr);
        DEVINST parent = 0;
        p.CM_Get_Parent(&parent, data.DevInst, 0);
        std::array<char16_t, 255> parentId;
        p.CM_Get_Device_ID_ExW(parent, parentId.data(), 255, 0, 0);
        SP_DEVICE_INTERFACE_DATA itf{};
        itf.cbSize = sizeof itf;
        p.SetupDiEnumDeviceInterfaces(set, &data, GUID_DEVINTERFACE_USB_DEVICE, 0, itf);
        benchmark::DoNotOptimize(id);
        if (!searched.empty() && std::u16string_view(id.data()) == searched) {
            matched(set, data);
        }
    }
    p.SetupDiDestroyDeviceInfoList(set);
}

void BareTurnOff(sim::TDeviceSimulator& p, const std::vector<std::u16string>& adapters) {
    BareEnumeration(p, &GUID_DEVCLASS_NET, DIGCF_PRESENT, {}, [](HDEVINFO, SP_DEVINFO_DATA&) {});
    for (const auto& name : adapters) {
        BareEnumeration(
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
    auto& machine = Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TurnOffInternet(machine);
    }
    FinalizeDeviceInformationKt();
}

void BM_BareTurnOff(benchmark::State& state) {
    auto& machine = Machine(static_cast<std::size_t>(state.range(0)));
    std::vector<std::u16string> adapters;
    for (const auto& adapter : GetNetAdapters(machine)) {
        adapters.push_back(adapter->PnPName());
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
    benchmark::Initialize(&argc, argv);
    tarnwick::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("BM_TurnOffInternet", "BM_BareTurnOff", 2.0);
    benchmark::Shutdown();
    return 0;
}
