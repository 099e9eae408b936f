#include "deadline/DeadlineTexts.h"

#include <cstdint>

#include "core/Text.h"

namespace tarnwick {

namespace {

// Days since 1 January 1970 of a civil date (proleptic Gregorian), and back (Howard Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day) noexcept {
    Year -= Month <= 2;
    const std::int64_t era = (Year >= 0 ? Year : Year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(Year - era * 400);
    const unsigned dayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

struct TCivilDate {
    std::int64_t Year;
    unsigned Month, Day;
};

TCivilDate CivilFromDays(std::int64_t Days) noexcept {
    Days += 719468;
    const std::int64_t era = (Days >= 0 ? Days : Days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(Days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2), month, day};
}

constexpr std::int64_t MinutesPerDay = 24 * 60;

std::u16string TwoDigits(std::int64_t Value) {
    return (Value < 10 ? u"0" : u"") + IntToText(Value);
}

} // namespace

std::u16string LateDeadlineText(const TDeadline& Deadline) {
    const bool pause = Deadline.Switch == TDeadlineSwitch::dsTurnOn;
    std::u16string what;
    if (Deadline.Minutes == 0) {
        what = pause ? u"The pause" : u"The limited turn-on";
    } else {
        const std::u16string minutes =
            IntToText(Deadline.Minutes) + (Deadline.Minutes == 1 ? u" minute" : u" minutes");
        what = pause ? u"The pause of " + minutes : u"The " + minutes + u" of internet";
    }
    return what + u" ended while Tarnwick was not running; the internet is turned " +
           (pause ? u"on" : u"off") + u" now";
}

std::u16string ExitCaption(const std::optional<TDeadline>& Pending, TFileTime NowUtc,
                           const SYSTEMTIME& LocalNow) {
    if (!Pending) {
        return u"Exit";
    }
    // The end on the local clock, rounded up to the minute: it is never shown before it comes.
    const std::int64_t today = DaysFromCivil(LocalNow.wYear, LocalNow.wMonth, LocalNow.wDay);
    const std::int64_t nowMs = ((today * 24 + LocalNow.wHour) * 60 + LocalNow.wMinute) * 60000 +
                               LocalNow.wSecond * 1000 + LocalNow.wMilliseconds;
    const auto rest = static_cast<std::int64_t>(
        Pending->DueUtc > NowUtc
            ? (Pending->DueUtc - NowUtc + FileTimeTicksPerMillisecond - 1) / FileTimeTicksPerMillisecond
            : 0);
    const std::int64_t end = (nowMs + rest + 59999) / 60000; // minutes since 1970, local
    const std::int64_t endDay = end / MinutesPerDay;
    const std::int64_t minuteOfDay = end % MinutesPerDay;
    std::u16string when = TwoDigits(minuteOfDay / 60) + u":" + TwoDigits(minuteOfDay % 60);
    if (endDay != today) {
        const TCivilDate date = CivilFromDays(endDay);
        when = IntToText(date.Year) + u"-" + TwoDigits(date.Month) + u"-" + TwoDigits(date.Day) + u" " + when;
    }
    return Pending->Switch == TDeadlineSwitch::dsTurnOn ? u"Exit (the internet goes back on at " + when + u")"
                                                        : u"Exit (the internet goes off at " + when + u")";
}

} // namespace tarnwick
