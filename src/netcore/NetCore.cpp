#include "netcore/NetCore.h"

#include "core/PlatformConstants.h"
#include "device/DeviceControl.h"
#include "device/DeviceInformationKt.h"

namespace tarnwick {

TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform) {
    TPhysicalDeviceList adapters;
    TPhysicalDeviceList enumerated; // released on every path with its records
    GetDevicesByGuid(platform, &NetAdapterClassGuid, TReadDetails::Yes, enumerated, DIGCF_PRESENT);
    for (const auto& device : enumerated) {
        if ((device->ulStatus() & DN_NO_SHOW_IN_DM) == 0) {
            adapters.Add(device->GetCopy());
        }
    }
    return adapters;
}

bool IsInternetActive(IDevicePlatform& platform) {
    const TPhysicalDeviceList adapters = GetNetAdapters(platform);
    for (const auto& adapter : adapters) {
        if (adapter->ulProblemNumber() == 0) {
            return true;
        }
    }
    return false;
}

namespace {

void SwitchEveryAdapter(IDevicePlatform& platform, TControlDeviceAction action) {
    const TPhysicalDeviceList adapters = GetNetAdapters(platform);
    // Adapters already in the wanted state are switched too; the results are not examined.
    for (const auto& adapter : adapters) {
        ControlDevice(platform, adapter->PnPName(), action);
    }
}

} // namespace

void TurnOffInternet(IDevicePlatform& platform) {
    SwitchEveryAdapter(platform, cdaDisable);
}

void TurnOnInternet(IDevicePlatform& platform) {
    SwitchEveryAdapter(platform, cdaEnable);
}

} // namespace tarnwick
