#pragma once
// What the user is told of a recorded deadline: its end carried out late, and the time it comes.

#include <optional>
#include <string>

#include "deadline/Deadline.h"
#include "platform/ClockPlatform.h"
#include "platform/SystemPlatform.h"

namespace tarnwick {

// "The 15 minutes of internet ended while Tarnwick was not running; the internet is turned off now".
std::u16string LateDeadlineText(const TDeadline& Deadline);

// The tray menu's "E&xit", with the pending end when there is one: "E&xit (the internet goes back on at
// 14:35)". The end's local time is the present local time moved by the rest of the deadline; a day other
// than today is named by its date.
std::u16string ExitCaption(const std::optional<TDeadline>& Pending, TFileTime NowUtc,
                           const SYSTEMTIME& LocalNow);

// The local time of the UTC instant, hours and minutes in the clock format of the user's locale ("14:35",
// "2:35 PM"); empty when the platform can neither convert nor format it.
std::u16string LocalClockText(IClockPlatform& Clock, TFileTime Utc);

} // namespace tarnwick
