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
// REG_BINARY, 16 bytes: the time in FILETIME units (UTC), the TDeadlineSwitch and the minutes asked for,
// little-endian. One value, so that a record is written or replaced whole or not at all.
inline constexpr char16_t DeadlineValue[] = u"Deadline";
// The record as earlier versions kept it in two values, still read while no one-value record is there:
// REG_QWORD, the time; REG_DWORD, a TDeadlineSwitch (missing means a turn-off).
inline constexpr char16_t DeadlineTimeValue[] = u"DeadlineUtc";
inline constexpr char16_t DeadlineSwitchValue[] = u"DeadlineSwitch";

enum class TDeadlineSwitch : std::uint32_t {
    dsTurnOff = 0, // the end of a limited turn-on
    dsTurnOn = 1,  // the end of a pause
};

struct TDeadline {
    TFileTime DueUtc = 0;
    TDeadlineSwitch Switch = TDeadlineSwitch::dsTurnOff;
    // The length of the limited switch, for what the user is told; 0 when unknown (a record of the
    // two-value form).
    std::int32_t Minutes = 0;
    friend bool operator==(const TDeadline&, const TDeadline&) = default;
};

// The recorded deadline; none when nothing is recorded or the values are unreadable, of another type or
// size, or name an unknown switch (a value that is there but unreadable is logged).
std::optional<TDeadline> ReadDeadline(IRegistryPlatform& Registry);
// Records the deadline in one value, replacing any earlier record of either form. False when the
// registry refuses the value; the earlier record then stands as it was.
bool RecordDeadline(IRegistryPlatform& Registry, const TDeadline& Deadline);
// Forgets any recorded deadline (the one-value record first, then the two-value form). False, with a log
// line, when the key or a value that is there cannot be removed.
bool ClearDeadline(IRegistryPlatform& Registry);

// The deadline Minutes after Now.
TDeadline DeadlineAfter(TFileTime Now, std::int32_t Minutes, TDeadlineSwitch Switch) noexcept;

// The longest limited switch: the most whole minutes whose milliseconds stay below the platform timer's
// largest interval, 2,147,483,647 ms.
inline constexpr std::int32_t MaxLimitedMinutes = 35791;

// A deadline further from Now than the longest limited switch (the clock set back, a value written by
// hand) brought back to that bound; none when it is within it.
std::optional<TDeadline> BoundedDeadline(const TDeadline& Deadline, TFileTime Now) noexcept;

// A deadline found this long past was missed by every running Tarnwick: the tick and the retries come
// within it.
inline constexpr TFileTime LateDeadlineTicks = FileTimeTicksPerMinute;
bool IsLate(const TDeadline& Deadline, TFileTime Now) noexcept;

// How long the window-message timer waits before the deadline is looked at again: the milliseconds left,
// rounded up so that the tick never comes before the deadline, at most the platform timer's longest
// interval (a later tick then looks again); 0 when the deadline has come.
std::uint32_t DeadlineTimerInterval(TFileTime Now, TFileTime DueUtc) noexcept;

} // namespace tarnwick
