#include "toolkit/Control.h"

#include <algorithm>

#include "core/MessageWords.h"
#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

namespace tarnwick {

TControl::TControl(TForm& AParent, TComponent* AOwner)
    : TComponent(AOwner), FParent(AParent), FFont(AParent.Font()) {
    FParent.InsertControl(this);
}

TControl::~TControl() {
    FParent.RemoveControl(this);
    if (FHandle) {
        DestroyWnd(FHandle);
        FHandle = 0;
    }
}

TApplication& TControl::Application() const noexcept {
    return FParent.Application();
}

std::uint32_t TControl::ChildStyle() const noexcept {
    return WS_CHILD | (FVisible ? WS_VISIBLE : 0u);
}

TCreateParams TControl::CreateParams() {
    TCreateParams params;
    params.ClassName = WindowClassName();
    params.Caption = FCaption;
    params.Style = ChildStyle();
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    params.WndParent = FParent.Handle();
    return params;
}

HWND_T TControl::CreateWnd() {
    return Application().WindowFactory().CreateWindowHandle(
        CreateParams(), [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
            return MainWndProc(Msg, WParam, LParam);
        });
}

void TControl::DestroyWnd(HWND_T Wnd) {
    Application().WindowFactory().DestroyWindowHandle(Wnd);
}

void TControl::CreateHandle() {
    if (!FHandle && FParent.HandleAllocated()) {
        FHandle = CreateWnd();
        // Without it a screen reader hears only "client" for the toolkit's own windows.
        Application().Gui().SetAccessibleRole(FHandle, AccessibleRole());
    }
}

std::uint32_t TControl::AccessibleRole() const noexcept {
    return ROLE_SYSTEM_CLIENT;
}

HWND_T TControl::Handle() {
    if (!FHandle) {
        FParent.Handle(); // makes the children's windows, this one's among them
        CreateHandle();
    }
    return FHandle;
}

void TControl::SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight) {
    FDesignLeft = ALeft;
    FDesignTop = ATop;
    FDesignWidth = AWidth;
    FDesignHeight = AHeight;
    if (FParent.HandleAllocated()) {
        FParent.Realign();
    } else {
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
    }
}

void TControl::KeepRightOf(TControl& Neighbour) {
    FKeepRightOf.push_back(&Neighbour);
    if (FParent.HandleAllocated()) {
        FParent.Realign();
    }
}

void TControl::AdjustSize(std::int32_t&, std::int32_t&) {}

void TControl::UpdatePlacement() {
    const std::uint32_t dpi = FParent.Dpi();
    std::int32_t left = ScaleByDpi(FDesignLeft, dpi);
    const std::int32_t top = ScaleByDpi(FDesignTop, dpi);
    std::int32_t width = ScaleByDpi(FDesignWidth, dpi);
    std::int32_t height = ScaleByDpi(FDesignHeight, dpi);
    AdjustSize(width, height);
    for (const TControl* neighbour : FKeepRightOf) {
        left = std::max(left, neighbour->Left() + neighbour->Width());
    }
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) {
        return;
    }
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle) {
        Application().Windows().SetWindowPos(FHandle, 0, FLeft, FTop, FWidth, FHeight,
                                             SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
    }
}

void TControl::ScaleChanged() {
    ContentChanged();
    if (FHandle) {
        FontChanged();
    }
}

HFONT_T TControl::FontHandle() {
    return Application().FontHandle(FFont, FParent.Dpi());
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) {
        return;
    }
    FVisible = Value;
    if (FHandle) {
        Application().Windows().ShowWindow(FHandle, FVisible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

void TControl::SetCaption(std::u16string Value) {
    if (Value == FCaption) {
        return;
    }
    FCaption = std::move(Value);
    ContentChanged();
    if (FHandle) {
        Application().Windows().SetWindowTextW(FHandle, FCaption);
        // The caption is the control's accessible name: a screen reader speaks the new one (the state).
        Application().Gui().NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, FHandle,
                                           static_cast<std::int32_t>(OBJID_CLIENT),
                                           static_cast<std::int32_t>(CHILDID_SELF));
        Invalidate();
    }
    if (FParent.HandleAllocated()) {
        FParent.Realign();
    }
}

void TControl::SetFont(const TFont& Value) {
    if (Value == FFont) {
        return;
    }
    const bool reshaped =
        Value.Name != FFont.Name || Value.Height != FFont.Height || Value.Bold != FFont.Bold;
    FFont = Value;
    if (reshaped) {
        ContentChanged();
    }
    if (FHandle) {
        FontChanged();
    }
    if (reshaped && FParent.HandleAllocated()) {
        FParent.Realign();
    }
}

void TControl::SetFontColor(TColor Value) {
    TFont font = FFont;
    font.Color = Value;
    SetFont(font);
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::Invalidate() {
    if (FHandle) {
        Application().Gui().InvalidateRect(FHandle, nullptr, true);
    }
}

void TControl::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

void TControl::Paint(TCanvas&) {}

void TControl::PaintWindow() {
    IGuiPlatform& gui = Application().Gui();
    TPaintStruct paint;
    const HDC_T dc = gui.BeginPaint(FHandle, paint);
    if (!dc) {
        return;
    }
    try {
        TCanvas canvas(gui, dc);
        // Not transparent: the control's place shows the form's colour under what it draws.
        canvas.FillRect({0, 0, FWidth, FHeight}, Application().PaintedColor(FParent.Color(), clWindow));
        Paint(canvas);
    } catch (...) {
        gui.EndPaint(FHandle, paint);
        throw;
    }
    gui.EndPaint(FHandle, paint);
}

std::intptr_t TControl::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    IGuiPlatform& gui = Application().Gui();
    switch (Msg) {
    case WM_PAINT:
        PaintWindow();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint fills the whole control
    case WM_GETFONT:
        return static_cast<std::intptr_t>(FontHandle());
    case WM_SETCURSOR:
        if (FCursor == TCursor::crHandPoint && LowWord(static_cast<std::uintptr_t>(LParam)) == HTCLIENT) {
            gui.SetCursor(gui.LoadCursorW(IdcHandCursor));
            return 1;
        }
        break;
    case WM_MOUSEMOVE:
        if (!FMouseInControl) {
            FMouseInControl = true;
            gui.TrackMouseEvent(TME_LEAVE, FHandle);
            if (OnMouseEnter) {
                OnMouseEnter(*this);
            }
        }
        return 0;
    case WM_MOUSELEAVE:
        FMouseInControl = false;
        FClicked = false;
        if (OnMouseLeave) {
            OnMouseLeave(*this);
        }
        return 0;
    case WM_LBUTTONDOWN:
        FClicked = true;
        return 0;
    case WM_LBUTTONUP:
        if (FClicked) {
            FClicked = false;
            Click();
        }
        return 0;
    default:
        break;
    }
    return Application().Windows().DefWindowProcW(FHandle, Msg, WParam, LParam);
}

std::intptr_t TControl::MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept {
    try {
        return WndProc(Msg, WParam, LParam);
    } catch (...) {
        Application().HandleException(this);
        return 0;
    }
}

} // namespace tarnwick
