#pragma once
// What a message from the notification area about our icon asks for. A shell that took version 4 says
// what the user did (NIN_SELECT for a click, NIN_KEYSELECT for Space or Enter, WM_CONTEXTMENU for a right
// click, Shift+F10 or the menu key) with the anchor point in wParam; an older shell sends only the mouse
// messages, the cursor being the point.

#include <cstdint>

#include "platform/WindowPlatform.h"

namespace tarnwick {

enum class TTrayRequest : std::uint8_t {
    trNone,
    trShowWindowAtCursor, // a click: the window centred over the cursor where it fits
    trShowWindowForKeys,  // from the keyboard: the window in the corner, the keyboard in it
    trShowMenu,           // the icon's menu at Point
};

struct TTrayCallback {
    TTrayRequest Request = TTrayRequest::trNone;
    // For a menu of a version-4 shell: where the shell anchors it (screen coordinates).
    bool HasPoint = false;
    TPoint Point{};
};

// Reads the callback message's parameters. With Version4 the plain mouse messages are ignored (the shell
// sends them as well as the events they make), without it only they count.
TTrayCallback ReadTrayCallback(std::uintptr_t WParam, std::intptr_t LParam, bool Version4) noexcept;

} // namespace tarnwick
