#include "toolkit/StdCtrls.h"

#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tarnwick {

namespace {
// Lines break only where the caption breaks them, so the measured extent is the painted one.
constexpr std::uint32_t LabelTextFormat = DT_LEFT | DT_NOPREFIX;
} // namespace

void TLabel::Paint(TCanvas& Canvas) {
    Canvas.TextRect({0, 0, Width(), Height()}, Caption(), FontHandle(),
                    Application().PaintedColor(Font().Color, clWindowText), LabelTextFormat);
}

std::uint32_t TLabel::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_STATICTEXT;
}

std::uint32_t TLinkLabel::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_LINK;
}

std::uint32_t TButton::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_PUSHBUTTON;
}

void TLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize) {
        return;
    }
    FAutoSize = Value;
    if (Parent().HandleAllocated()) {
        Parent().Realign();
    }
}

void TLabel::AdjustSize(std::int32_t& AWidth, std::int32_t& AHeight) {
    if (!FAutoSize) {
        return;
    }
    if (!FMeasured) {
        FExtent = TextExtent(Application().Gui(), Caption(), FontHandle(), LabelTextFormat);
        FMeasured = true;
    }
    if (FExtent) {
        AWidth = FExtent->Right - FExtent->Left;
        AHeight = FExtent->Bottom - FExtent->Top;
    }
}

TButton::TButton(TForm& AParent, TComponent* AOwner)
    : TControl(AParent, AOwner), FControlId(AParent.NewControlId()) {}

HWND_T TButton::CreateWnd() {
    IGuiPlatform& gui = Application().Gui();
    const HWND_T wnd =
        gui.CreateWindowExW(0, ButtonWindowClassName, Caption().c_str(),
                            ChildStyle() | WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), Left(),
                            Top(), Width(), Height(), Parent().Handle(), FControlId);
    if (wnd) {
        Application().Windows().SendMessageW(wnd, WM_SETFONT, FontHandle(), 0);
    }
    return wnd;
}

void TButton::DestroyWnd(HWND_T Wnd) {
    Application().Gui().DestroyWindow(Wnd);
}

void TButton::FontChanged() {
    Application().Windows().SendMessageW(Handle(), WM_SETFONT, FontHandle(), 1);
}

void TButton::Click() {
    TControl::Click();
    if (FModalResult != mrNone) {
        Parent().SetModalResult(FModalResult);
    }
}

} // namespace tarnwick
