#pragma once
// The internet, as this system means it: the network adapters that Device Manager shows.

#include "core/Guid.h"
#include "device/PhysicalDevice.h"
#include "netcore/SwitchReport.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// The network adapter setup class.
inline constexpr Guid NetAdapterClassGuid = GUID_DEVCLASS_NET;

// A fresh list of independent copies of the present adapters that Device Manager shows, in the
// enumeration's order.
TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform);
// At least one adapter has no problem code.
bool IsInternetActive(IDevicePlatform& platform);
// Disables every adapter, in order. An adapter that refuses does not stop the others: the report tells
// what became of each, and how many are off afterwards. Each adapter's outcome is logged.
TSwitchReport TurnOffInternet(IDevicePlatform& platform);
// Enables every adapter, in order, as TurnOffInternet disables them.
TSwitchReport TurnOnInternet(IDevicePlatform& platform);

} // namespace tarnwick
