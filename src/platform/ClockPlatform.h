#pragma once
// The seam of the wall clock.

#include <cstdint>

#include "platform/SystemPlatform.h"

namespace tarnwick {

// 100-nanosecond intervals since 1 January 1601 (UTC), as FILETIME counts them.
using TFileTime = std::uint64_t;
inline constexpr TFileTime FileTimeTicksPerMillisecond = 10000;
inline constexpr TFileTime FileTimeTicksPerMinute = 60 * 1000 * FileTimeTicksPerMillisecond;

class IClockPlatform {
public:
    virtual ~IClockPlatform() = default;
    // GetSystemTimeAsFileTime: the present time in UTC.
    virtual TFileTime GetSystemTimeAsFileTime() = 0;
    // FileTimeToSystemTime, then SystemTimeToTzSpecificLocalTime in the user's time zone: the instant as
    // the wall clock shows it. False when either call fails.
    virtual bool UtcToLocalTime(TFileTime Utc, SYSTEMTIME& Local) = 0;
    // GetTimeFormatW: the time in the locale's format; the characters written with the terminating zero,
    // 0 on failure.
    virtual int GetTimeFormatW(std::uint32_t Locale, std::uint32_t Flags, const SYSTEMTIME& Time,
                               char16_t* TimeStr, int Size) = 0;
};

} // namespace tarnwick
