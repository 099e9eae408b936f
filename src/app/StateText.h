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
// Nothing to switch (no adapter shown, every one kept, none Windows lets be disabled), or the adapters
// could not be listed: said in words, not shown as "off".
TStateWords NoAdapterWords(bool ListFailed);

} // namespace tarnwick
