#pragma once
// The toolkit's utility windows: hidden windows that only receive messages (timers and the like).

#include "toolkit/WindowFactory.h"

namespace tarnwick {

inline constexpr char16_t UtilityWindowClassName[] = u"TarnwickUtilWindow";

// A zero-sized, never-shown pop-up tool window of the utility class whose messages go to Method. It is
// message-only: timers need no broadcasts, and under Wine a top-level window costs a display window.
HWND_T AllocateHWnd(IWindowFactory& Factory, TWndMethod Method);
void DeallocateHWnd(IWindowFactory& Factory, HWND_T Wnd);

} // namespace tarnwick
