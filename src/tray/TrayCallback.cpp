#include "tray/TrayCallback.h"

#include "core/MessageWords.h"
#include "core/PlatformConstants.h"

namespace tarnwick {

TTrayCallback ReadTrayCallback(std::uintptr_t WParam, std::intptr_t LParam, bool Version4) noexcept {
    const std::uint32_t event = LowWord(static_cast<std::uintptr_t>(LParam));
    TTrayCallback callback;
    if (!Version4) {
        if (event == WM_LBUTTONDOWN) {
            callback.Request = TTrayRequest::trShowWindowAtCursor;
        } else if (event == WM_RBUTTONDOWN) {
            callback.Request = TTrayRequest::trShowMenu;
        }
        return callback;
    }
    switch (event) {
    case NIN_SELECT:
        callback.Request = TTrayRequest::trShowWindowAtCursor;
        break;
    case NIN_KEYSELECT:
        callback.Request = TTrayRequest::trShowWindowForKeys;
        break;
    case WM_CONTEXTMENU:
        callback.Request = TTrayRequest::trShowMenu;
        callback.HasPoint = true;
        // Signed 16-bit coordinates: a monitor left of or above the primary one has negative ones.
        callback.Point = {static_cast<std::int16_t>(LowWord(WParam)),
                          static_cast<std::int16_t>(HighWord(WParam))};
        break;
    default:
        break;
    }
    return callback;
}

} // namespace tarnwick
