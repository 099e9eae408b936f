#pragma once
// Civil dates of the proleptic Gregorian calendar counted in days, for the times the user and the Task
// Scheduler are given.

#include <cstdint>
#include <string>

namespace tarnwick {

struct TCivilDate {
    std::int64_t Year;
    unsigned Month, Day;
};

// Days from 1 January 1601 (where FILETIME counts from) to 1 January 1970.
inline constexpr std::int64_t DaysFrom1601To1970 = 134774;

// Days since 1 January 1970 of a date, and back (Howard Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day) noexcept;
TCivilDate CivilFromDays(std::int64_t Days) noexcept;

// "07": at least two decimal digits.
std::u16string TwoDigits(std::int64_t Value);

} // namespace tarnwick
