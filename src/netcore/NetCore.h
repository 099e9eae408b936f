#pragma once
// The internet, as this system means it: the network adapters that Device Manager shows.

#include "core/Guid.h"
#include "device/PhysicalDevice.h"
#include "netcore/KeepList.h"
#include "netcore/SwitchReport.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// The network adapter setup class.
inline constexpr Guid NetAdapterClassGuid = GUID_DEVCLASS_NET;

// A fresh list of independent copies of the present adapters that Device Manager shows, in the
// enumeration's order.
TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform);
// At least one adapter that is not kept has no problem code.
bool IsInternetActive(IDevicePlatform& platform, const TKeepList& keep = {});
// Disables every adapter that is not kept, in order. An adapter that refuses does not stop the others: the
// report tells what became of each, and how many are off afterwards. Each adapter's outcome is logged.
TSwitchReport TurnOffInternet(IDevicePlatform& platform, const TKeepList& keep = {});
// Enables every adapter that is not kept, in order, as TurnOffInternet disables them.
TSwitchReport TurnOnInternet(IDevicePlatform& platform, const TKeepList& keep = {});

} // namespace tarnwick
