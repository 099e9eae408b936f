// GetDevicesByGuid over every class with details (as the control path enumerates), against the bare
// walk of the same platform calls on the same simulator with the results thrown away.

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <memory>

#include "RatioReporter.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/GeneratedMachine.h"

namespace tarnwick {
namespace {

sim::TDeviceSimulator& Machine(std::size_t count) {
    static std::map<std::size_t, std::unique_ptr<sim::TDeviceSimulator>> machines;
    auto& machine = machines[count];
    if (!machine) {
        machine = std::make_unique<sim::TDeviceSimulator>();
        testing::GenerateMachine(*machine, count);
    }
    return *machine;
}

constexpr std::uint32_t Flags = DIGCF_ALLCLASSES | DIGCF_PRESENT;

void ReadText(IDevicePlatform& p, HDEVINFO set, const SP_DEVINFO_DATA& data, std::uint32_t property) {
    std::array<std::uint8_t, 1024> buffer;
    std::uint32_t type = 0, required = 0;
    benchmark::DoNotOptimize(
        p.SetupDiGetDeviceRegistryPropertyW(set, data, property, &type, buffer.data(), 1024, &required));
    benchmark::DoNotOptimize(buffer);
}

// The platform calls GetDevicesByGuid makes for each device, and nothing else.
void BareWalk(IDevicePlatform& p) {
    const HDEVINFO set = p.SetupDiGetClassDevsW(nullptr, nullptr, 0, Flags);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (std::uint32_t index = 0; p.SetupDiEnumDeviceInfo(set, index, data); ++index) {
        std::uint32_t status = 0, problem = 0;
        p.CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0);
        if (status == 0 && problem == 0) {
            continue;
        }
        std::array<char16_t, 260> id;
        benchmark::DoNotOptimize(p.SetupDiGetDeviceInstanceIdW(set, data, id.data(), 260, nullptr));
        std::uint8_t dword[4];
        p.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_CAPABILITIES, nullptr, dword, 4, nullptr);
        for (std::uint32_t property : {SPDRP_FRIENDLYNAME, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SPDRP_CLASSGUID,
                                       SPDRP_DEVICEDESC, SPDRP_LOCATION_INFORMATION, SPDRP_HARDWAREID}) {
            ReadText(p, set, data, property);
        }
        p.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_UI_NUMBER, nullptr, dword, 4, nullptr);
        benchmark::DoNotOptimize(dword);
        DEVINST parent = 0;
        p.CM_Get_Parent(&parent, data.DevInst, 0);
        std::array<char16_t, 255> parentId;
        benchmark::DoNotOptimize(p.CM_Get_Device_ID_ExW(parent, parentId.data(), 255, 0, 0));
        SP_DEVICE_INTERFACE_DATA itf{};
        itf.cbSize = sizeof itf;
        benchmark::DoNotOptimize(
            p.SetupDiEnumDeviceInterfaces(set, &data, GUID_DEVINTERFACE_USB_DEVICE, 0, itf));
    }
    p.SetupDiDestroyDeviceInfoList(set);
}

void BM_GetDevicesByGuid(benchmark::State& state) {
    auto& machine = Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TPhysicalDeviceList devices;
        GetDevicesByGuid(machine, nullptr, true, devices, Flags, nullptr, nullptr);
        benchmark::DoNotOptimize(devices.Count());
    }
    FinalizeDeviceInformationKt();
}

void BM_BareWalk(benchmark::State& state) {
    auto& machine = Machine(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        BareWalk(machine);
    }
}

BENCHMARK(BM_GetDevicesByGuid)->Arg(300)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareWalk)->Arg(300)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarnwick

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    tarnwick::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios("BM_GetDevicesByGuid", "BM_BareWalk", 2.0);
    benchmark::Shutdown();
    return 0;
}
