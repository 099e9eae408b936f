#pragma once
// The state of the internet in words, as the window's state text and the notification area's tip say it:
// on or off, and for a limited switch until when.

#include <string>

namespace tarnwick {

struct TStateWords {
    std::u16string Label; // the window's state text
    std::u16string Tip;   // the tray icon's tip
};

// Until: the end of the limited switch in the user's clock format; empty for a switch for good.
TStateWords StateWords(bool On, const std::u16string& Until);

} // namespace tarnwick
