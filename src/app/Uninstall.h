#pragma once
// What the uninstall asks of the program before its files go: no pending end is left to a program that
// is no longer there.

#include "platform/DevicePlatform.h"
#include "platform/RegistryPlatform.h"
#include "platform/TaskSchedulerPlatform.h"

namespace tarnwick {

// Ends a pending pause: when a deadline's task of any user is registered, or this user's record names the
// end of a pause, the adapters are turned on (the end of a limited turn-on is to turn them off: removing
// Tarnwick leaves the internet on instead). Then removes every deadline task, their folder and this
// user's record. The exit code: 0, or 4 when an adapter was not turned back on.
int EndPendingForUninstall(IDevicePlatform& Devices, IRegistryPlatform& Registry,
                           ITaskSchedulerPlatform* Scheduler);

} // namespace tarnwick
