#include "toolkit/UtilityWindow.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

HWND_T AllocateHWnd(IWindowFactory& Factory, TWndMethod Method) {
    TCreateParams params;
    params.ClassName = UtilityWindowClassName;
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
    params.WndParent = HwndMessage;
    return Factory.CreateWindowHandle(params, std::move(Method));
}

void DeallocateHWnd(IWindowFactory& Factory, HWND_T Wnd) {
    if (Wnd) {
        Factory.DestroyWindowHandle(Wnd);
    }
}

} // namespace tarnwick
