#include "toolkit/StdCtrls.h"

#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tarnwick {

void TLabel::Paint(TCanvas& Canvas) {
    Canvas.TextRect({0, 0, Width(), Height()}, Caption(), Application().FontHandle(Font()), Font().Color,
                    DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

TButton::TButton(TForm& AParent, TComponent* AOwner)
    : TControl(AParent, AOwner), FControlId(AParent.NewControlId()) {}

HWND_T TButton::CreateWnd() {
    IGuiPlatform& gui = Application().Gui();
    const HWND_T wnd = gui.CreateWindowExW(0, ButtonWindowClassName, Caption().c_str(),
                                           ChildStyle() | WS_TABSTOP | BS_PUSHBUTTON, Left(), Top(), Width(),
                                           Height(), Parent().Handle(), FControlId);
    if (wnd) {
        Application().Windows().SendMessageW(wnd, WM_SETFONT, Application().FontHandle(Font()), 0);
    }
    return wnd;
}

void TButton::DestroyWnd(HWND_T Wnd) {
    Application().Gui().DestroyWindow(Wnd);
}

void TButton::FontChanged() {
    Application().Windows().SendMessageW(Handle(), WM_SETFONT, Application().FontHandle(Font()), 1);
}

void TButton::Click() {
    TControl::Click();
    if (FModalResult != mrNone) {
        Parent().SetModalResult(FModalResult);
    }
}

} // namespace tarnwick
