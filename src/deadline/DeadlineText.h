#pragma once
// The end of a limited switch as the user reads it: the wall-clock time in the clock format of the
// user's locale ("14:35", "2:35 PM").

#include <string>

#include "platform/ClockPlatform.h"

namespace tarnwick {

// The local time of the UTC instant, hours and minutes in the user's format; empty when the platform can
// neither convert nor format it.
std::u16string LocalClockText(IClockPlatform& Clock, TFileTime Utc);

} // namespace tarnwick
