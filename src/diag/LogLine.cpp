#include "diag/LogLine.h"

#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick {

namespace {

// At least Width digits, zero-padded.
void AppendDigits(std::u16string& out, unsigned value, std::size_t width) {
    char16_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = count; i < width; ++i) {
        out += u'0';
    }
    while (count > 0) {
        out += digits[--count];
    }
}

} // namespace

std::u16string FormatLogStamp(const SYSTEMTIME& Time, std::u16string_view TimeSeparator) {
    std::u16string stamp;
    stamp.reserve(23 + 3 * TimeSeparator.size());
    AppendDigits(stamp, Time.wDay, 2);
    stamp += u'.';
    AppendDigits(stamp, Time.wMonth, 2);
    stamp += u'.';
    AppendDigits(stamp, Time.wYear, 4);
    stamp += u' ';
    AppendDigits(stamp, Time.wHour, 2);
    stamp += TimeSeparator;
    AppendDigits(stamp, Time.wMinute, 2);
    stamp += TimeSeparator;
    AppendDigits(stamp, Time.wSecond, 2);
    stamp += TimeSeparator;
    AppendDigits(stamp, Time.wMilliseconds, 3);
    return stamp;
}

std::u16string LogPrefix(std::uint32_t ProcessId, std::uint32_t ThreadId) {
    return FormatText(u"[p\\t: %d\\%d] ", {std::uint64_t(ProcessId), std::uint64_t(ThreadId)});
}

std::u16string BuildLogLine(const SYSTEMTIME& Time, std::u16string_view TimeSeparator,
                            std::u16string_view Text) {
    std::u16string line = FormatLogStamp(Time, TimeSeparator);
    line.reserve(line.size() + 3 + Text.size() + 2);
    line += u"   ";
    line += Text;
    line += u"\r\n";
    return line;
}

std::u16string LocaleTimeSeparator(ISystemPlatform& System) {
    char16_t buffer[16] = {};
    const int length =
        System.GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, int(std::size(buffer)));
    buffer[std::size(buffer) - 1] = 0;
    if (length <= 1 || buffer[0] == 0) {
        return u":";
    }
    return std::u16string(buffer);
}

} // namespace tarnwick
