#pragma once
// The seam of the wall clock.

#include <cstdint>

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
};

} // namespace tarnwick
