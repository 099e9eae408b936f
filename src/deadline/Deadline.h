#pragma once
// The end of a limited switch, kept in the user's registry as an absolute time in UTC so that it holds
// across a kill, a crash, a logoff, a restart and a sleep: when it comes, the recorded switch is made.
// A turn-on for some minutes records a turn-off; a pause (off for some minutes) records a turn-on.

#include <cstdint>
#include <optional>

#include "platform/ClockPlatform.h"
#include "platform/RegistryPlatform.h"

namespace tarnwick {

inline constexpr char16_t DeadlineKeyPath[] = u"Software\\Tarnwick";
// REG_QWORD: the time in FILETIME units (UTC).
inline constexpr char16_t DeadlineTimeValue[] = u"DeadlineUtc";
// REG_DWORD: a TDeadlineSwitch; missing means a turn-off.
inline constexpr char16_t DeadlineSwitchValue[] = u"DeadlineSwitch";

enum class TDeadlineSwitch : std::uint32_t {
    dsTurnOff = 0, // the end of a limited turn-on
    dsTurnOn = 1,  // the end of a pause
};

struct TDeadline {
    TFileTime DueUtc = 0;
    TDeadlineSwitch Switch = TDeadlineSwitch::dsTurnOff;
    friend bool operator==(const TDeadline&, const TDeadline&) = default;
};

// The recorded deadline; none when nothing is recorded or the values are unreadable, of another type or
// size, or name an unknown switch.
std::optional<TDeadline> ReadDeadline(IRegistryPlatform& Registry);
// Records the deadline (the switch first, the time last, so that a half-written record names a
// turn-off). False when the registry refuses.
bool RecordDeadline(IRegistryPlatform& Registry, const TDeadline& Deadline);
// Forgets any recorded deadline (the time first, so that nothing half-cleared stays in force).
void ClearDeadline(IRegistryPlatform& Registry);

// The deadline Minutes after Now.
TDeadline DeadlineAfter(TFileTime Now, std::int32_t Minutes, TDeadlineSwitch Switch) noexcept;

// How long the window-message timer waits before the deadline is looked at again: the milliseconds left,
// rounded up so that the tick never comes before the deadline, at most the platform timer's longest
// interval (a later tick then looks again); 0 when the deadline has come.
std::uint32_t DeadlineTimerInterval(TFileTime Now, TFileTime DueUtc) noexcept;

} // namespace tarnwick
