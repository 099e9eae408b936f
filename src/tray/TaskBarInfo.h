#pragma once
// Measuring the Windows taskbar: its window, state bits, rectangles, the monitor under it and its edge.

#include <cstdint>
#include <optional>

#include "platform/ShellPlatform.h"
#include "platform/WindowPlatform.h"
#include "toolkit/Screen.h"

namespace tarnwick {

inline constexpr char16_t TaskbarWindowClassName[] = u"Shell_TrayWnd";
// APPBARDATA's size on 64-bit Windows.
inline constexpr std::uint32_t AppBarDataSize = 48;

struct TTaskBarInfo {
    HWND_T Handle = 0; // 0 when there is no taskbar window; the rectangles are then empty
    bool bAlwaysOnTop = false;
    bool bAutoHide = false;
    TRect clRect{};                  // client rectangle, in the taskbar's own coordinates
    TRect LclRect{};                 // clRect scaled
    TRect Rect{};                    // window rectangle, in screen coordinates
    TRect LRect{};                   // Rect scaled
    std::int32_t Edge = 0;           // ABE_LEFT, ABE_TOP, ABE_RIGHT or ABE_BOTTOM
    std::optional<TMonitor> Monitor; // none when the screen has no monitor for it
};

// Measures the taskbar afresh. Writes a warning to the log when no monitor is found (the scaled
// rectangles then stay empty and the edge is the bottom) or when the taskbar window has no width or height.
TTaskBarInfo GetTaskBarInfo(IWindowPlatform& Windows, IShellPlatform& Shell, TScreen& Screen);

// Rounds to the nearest integer, halves to the even neighbour, kept within 32 bits.
std::int32_t RoundHalfEven(double Value) noexcept;

} // namespace tarnwick
