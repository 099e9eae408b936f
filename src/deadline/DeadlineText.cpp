#include "deadline/DeadlineText.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

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
