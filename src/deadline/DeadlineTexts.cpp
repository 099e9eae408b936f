#include "deadline/DeadlineTexts.h"

#include <cstdint>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "deadline/Calendar.h"

namespace tarnwick {

namespace {

constexpr std::int64_t MinutesPerDay = 24 * 60;

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
        return u"E&xit";
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
    return Pending->Switch == TDeadlineSwitch::dsTurnOn
               ? u"E&xit (the internet goes back on at " + when + u")"
               : u"E&xit (the internet goes off at " + when + u")";
}

std::u16string LocalClockText(IClockPlatform& Clock, TFileTime Utc) {
    SYSTEMTIME local{};
    if (!Clock.UtcToLocalTime(Utc, local)) {
        return {};
    }
    char16_t text[64] = {};
    const int written = Clock.GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, local, text, 64);
    return written > 1 ? std::u16string(text, static_cast<std::size_t>(written - 1)) : std::u16string();
}

} // namespace tarnwick
