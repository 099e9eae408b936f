#pragma once
// The text of one log line: time stamp, process and thread numbers, the message and the line break.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SystemPlatform.h"

namespace tarnwick {

// "DD.MM.YYYY HH:NN:SS:ZZZ" with each colon replaced by TimeSeparator.
std::u16string FormatLogStamp(const SYSTEMTIME& Time, std::u16string_view TimeSeparator);
// "[p\t: <process>\<thread>] " (the backslashes are literal).
std::u16string LogPrefix(std::uint32_t ProcessId, std::uint32_t ThreadId);
// Stamp, three spaces, the text, CR LF.
std::u16string BuildLogLine(const SYSTEMTIME& Time, std::u16string_view TimeSeparator,
                            std::u16string_view Text);

// The time separator of the user's locale settings; a colon when the locale gives none.
std::u16string LocaleTimeSeparator(ISystemPlatform& System);

} // namespace tarnwick
