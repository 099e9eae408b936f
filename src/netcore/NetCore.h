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
// enumeration's order. A list that cannot be made raises EAdapterListFailed (NetAdapterWalk.h).
TPhysicalDeviceList GetNetAdapters(IDevicePlatform& platform);

// The state the user is told: on when an adapter that can be switched runs without a problem, off when
// none does, and no adapter when none can be switched (none shown, every one kept, or none that Windows
// lets be disabled).
enum class TInternetState : std::uint8_t { On, Off, NoAdapter };
TInternetState InternetState(IDevicePlatform& platform, const TKeepList& keep = {});
// InternetState is On.
bool IsInternetActive(IDevicePlatform& platform, const TKeepList& keep = {});

// Disables every adapter that is not kept, in one walk over the network class. An adapter that refuses
// does not stop the others; one that Windows does not let be disabled is left as it is. The report tells
// what became of each, judged by its state read back after the switch. Each adapter's outcome is logged.
TSwitchReport TurnOffInternet(IDevicePlatform& platform, const TKeepList& keep = {});
// Enables every adapter that is not kept, globally and then for the current hardware profile; lists the
// class again after enabling, so that adapters that come back with their parent are enabled too.
TSwitchReport TurnOnInternet(IDevicePlatform& platform, const TKeepList& keep = {});

} // namespace tarnwick
