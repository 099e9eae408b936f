#pragma once
// What the benchmarks compare against: generated machines, and the bare walk of the platform calls one
// enumeration makes per device, with the results thrown away.

#include <benchmark/benchmark.h>

#include <array>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "core/PlatformConstants.h"
#include "fixtures/GeneratedMachine.h"

namespace tarnwick::bench {

// One generated machine per size and number of adapters, made on first use and kept for the whole run.
inline sim::TDeviceSimulator& Machine(std::size_t count, std::size_t adapters = 4) {
    static std::map<std::pair<std::size_t, std::size_t>, std::unique_ptr<sim::TDeviceSimulator>> machines;
    auto& machine = machines[{count, adapters}];
    if (!machine) {
        machine = std::make_unique<sim::TDeviceSimulator>();
        testing::GenerateMachine(*machine, count, adapters);
    }
    return *machine;
}

// The calls of one enumeration with details; `matched` gets the set and device whose instance ID is
// `searched`.
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
        benchmark::DoNotOptimize(p.SetupDiGetDeviceInstanceIdW(set, data, id.data(), 260, nullptr));
        std::uint8_t dword[4];
        p.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_CAPABILITIES, nullptr, dword, 4, nullptr);
        for (std::uint32_t property : {SPDRP_FRIENDLYNAME, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SPDRP_CLASSGUID,
                                       SPDRP_DEVICEDESC, SPDRP_LOCATION_INFORMATION, SPDRP_HARDWAREID}) {
            std::array<std::uint8_t, 1024> buffer;
            std::uint32_t type = 0, required = 0;
            benchmark::DoNotOptimize(p.SetupDiGetDeviceRegistryPropertyW(set, data, property, &type,
                                                                         buffer.data(), 1024, &required));
            benchmark::DoNotOptimize(buffer);
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
        if (!searched.empty() && std::u16string_view(id.data()) == searched) {
            matched(set, data);
        }
    }
    p.SetupDiDestroyDeviceInfoList(set);
}

} // namespace tarnwick::bench
