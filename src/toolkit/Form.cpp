#include "toolkit/Form.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/MessageWords.h"
#include "core/PlatformConstants.h"
#include "core/ScopeExit.h"
#include "toolkit/Control.h"
#include "toolkit/Menus.h"

namespace tarnwick {

TForm::TForm(TApplication& Application, TComponent* AOwner) : TComponent(AOwner), FApplication(Application) {
    FApplication.AddForm(this);
}

TForm::~TForm() {
    FApplication.RemoveForm(this);
    if (FHandle) {
        FApplication.WindowFactory().DestroyWindowHandle(FHandle);
    }
}

std::uint32_t TForm::FrameStyle() const noexcept {
    std::uint32_t style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FBorderStyle == TFormBorderStyle::bsSizeable) {
        style |= WS_THICKFRAME;
    }
    return style;
}

std::uint32_t TForm::FrameExStyle() const noexcept {
    switch (FBorderStyle) {
    case TFormBorderStyle::bsDialog:
        return WS_EX_DLGMODALFRAME;
    case TFormBorderStyle::bsToolWindow:
        return WS_EX_TOOLWINDOW;
    default:
        return 0u;
    }
}

TCreateParams TForm::CreateParams() {
    TCreateParams params;
    params.ClassName = FormWindowClassName;
    params.Caption = FCaption;
    params.Style = FrameStyle();
    params.ExStyle = FrameExStyle();
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    params.WndParent = FApplication.Handle();
    return params;
}

HWND_T TForm::Handle() {
    if (!FHandle) {
        FHandle = FApplication.WindowFactory().CreateWindowHandle(
            CreateParams(), [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
                return MainWndProc(Msg, WParam, LParam);
            });
        // The designed layout at the scale of the monitor the window appeared on.
        const std::uint32_t dpi = FApplication.Gui().GetDpiForWindow(FHandle);
        FDpi = dpi ? dpi : DesignDpi;
        for (TControl* control : FControls) {
            control->ScaleChanged();
        }
        Realign();
        for (TControl* control : FControls) {
            if (!control->WaitsUntilSeen()) {
                control->CreateHandle();
            }
        }
    }
    return FHandle;
}

void TForm::CreateWaitingControls() {
    for (TControl* control : FControls) {
        control->CreateHandle();
    }
}

bool TForm::OnAScreen() {
    const TPoint middle{FLeft + FWidth / 2, FTop + FHeight / 2};
    return FApplication.Screen().MonitorFromPoint(middle, MONITOR_DEFAULTTONULL).has_value();
}

void TForm::InsertControl(TControl* Control) {
    FControls.push_back(Control);
}

void TForm::RemoveControl(TControl* Control) noexcept {
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
}

void TForm::InsertMenu(TPopupMenu* Menu) {
    FMenus.push_back(Menu);
}

void TForm::RemoveMenu(TPopupMenu* Menu) noexcept {
    FMenus.erase(std::remove(FMenus.begin(), FMenus.end(), Menu), FMenus.end());
}

std::intptr_t TForm::MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept {
    try {
        return WndProc(Msg, WParam, LParam);
    } catch (...) {
        FApplication.HandleException(this);
        return 0;
    }
}

std::intptr_t TForm::EraseBackground(std::uintptr_t DC) {
    TRect client{};
    FApplication.Windows().GetClientRect(FHandle, client);
    TCanvas(FApplication.Gui(), static_cast<HDC_T>(DC))
        .FillRect(client, FApplication.PaintedColor(FColor, clWindow));
    return 1;
}

std::intptr_t TForm::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    switch (Msg) {
    case WM_ACTIVATE:
        if (LowWord(WParam) != WA_INACTIVE) {
            Activate();
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        DispatchCommand(LowWord(WParam), HighWord(WParam), LParam);
        return 0;
    case WM_SHOWWINDOW:
        // Shown where it can be seen, not just far off the screen for its first activation.
        if (WParam != 0 && OnAScreen()) {
            CreateWaitingControls();
            FApplication.GiveIcons(FHandle, FIconsGiven);
        }
        break;
    case WM_ERASEBKGND:
        return EraseBackground(WParam);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // A high-contrast theme switched on or off, or other colours: painted anew in them.
        FApplication.SystemColorsChanged();
        break;
    case WM_DPICHANGED:
        // Moved to a monitor of another scale: the place the system suggests, the layout at the new scale.
        if (const auto* suggested = reinterpret_cast<const TRect*>(LParam)) {
            FLeft = suggested->Left;
            FTop = suggested->Top;
        }
        ChangeScale(HighWord(WParam));
        SetBounds(FLeft, FTop, FWidth, FHeight);
        return 0;
    default:
        break;
    }
    return FApplication.Windows().DefWindowProcW(FHandle, Msg, WParam, LParam);
}

void TForm::DispatchCommand(std::uint16_t Id, std::uint16_t Code, std::intptr_t Control) {
    if (Control != 0) {
        for (TControl* control : FControls) {
            if (control->HandleAllocated() && static_cast<std::intptr_t>(control->Handle()) == Control) {
                if (Code == BN_CLICKED) {
                    control->Click();
                }
                return;
            }
        }
    }
    for (TPopupMenu* menu : FMenus) {
        if (TMenuItem* item = menu->FindItem(Id)) {
            item->Click();
            return;
        }
    }
    if (Id == IDCANCEL || Id == IDOK) {
        // The Escape key presses the form's cancel button, Enter its default button; without a cancel
        // button, Escape closes the form as it closes the platform's dialog boxes.
        for (TControl* control : FControls) {
            auto* button = dynamic_cast<TButton*>(control);
            if (button && button->Visible() && (Id == IDCANCEL ? button->Cancel() : button->Default())) {
                button->Click();
                return;
            }
        }
        if (Id == IDCANCEL) {
            Close();
        }
    }
}

void TForm::SetCaption(std::u16string Value) {
    FCaption = std::move(Value);
    if (FHandle) {
        FApplication.Windows().SetWindowTextW(FHandle, FCaption);
    }
}

void TForm::SetColor(TColor Value) {
    FColor = Value;
    if (FHandle) {
        FApplication.Gui().InvalidateRect(FHandle, nullptr, true);
    }
}

void TForm::DoShow() {
    if (OnShow) {
        OnShow(*this);
    }
}

void TForm::Activate() {
    if (OnActivate) {
        OnActivate(*this);
    }
}

void TForm::MoveToScreenCenter() {
    TScreen& screen = FApplication.Screen();
    const std::optional<TMonitor> monitor = screen.MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!monitor) {
        return;
    }
    SetBounds(monitor->Left() + (monitor->Width() - FWidth) / 2,
              monitor->Top() + (monitor->Height() - FHeight) / 2, FWidth, FHeight);
}

void TForm::SetVisible(bool Value) {
    if (Value == FVisible) {
        return;
    }
    FVisible = Value;
    IWindowPlatform& windows = FApplication.Windows();
    if (FVisible) {
        DoShow();
        Handle(); // the window's size at its monitor's scale decides where the middle is
        if (FPosition == TPosition::poScreenCenter) {
            MoveToScreenCenter();
        }
        // The main form brings the application's taskbar button along, unless its on-show handling has
        // told the toolkit not to show it.
        if (FApplication.MainForm() == this && FApplication.ShowMainForm()) {
            windows.ShowWindow(FApplication.Handle(), SW_SHOWNOACTIVATE);
        }
        windows.ShowWindow(Handle(), SW_SHOW);
    } else if (FHandle) {
        windows.ShowWindow(FHandle, SW_HIDE);
    }
}

void TForm::SetBounds(std::int32_t ALeft, std::int32_t ATop, std::int32_t AWidth, std::int32_t AHeight) {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) {
        FApplication.Windows().SetWindowPos(FHandle, 0, FLeft, FTop, FWidth, FHeight,
                                            SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TForm::SetClientSize(std::int32_t AClientWidth, std::int32_t AClientHeight) {
    FDesignClientWidth = AClientWidth;
    FDesignClientHeight = AClientHeight;
    FClientSizeDesigned = true;
    UpdateClientSize();
}

void TForm::ChangeScale(std::uint32_t NewDpi) {
    FDpi = NewDpi ? NewDpi : DesignDpi;
    for (TControl* control : FControls) {
        control->ScaleChanged();
    }
    Realign();
    if (FHandle) {
        FApplication.Gui().InvalidateRect(FHandle, nullptr, true);
    }
}

void TForm::Realign() {
    if (FRealigning || !FHandle) {
        return; // the window's making places the controls
    }
    {
        FRealigning = true;
        const TScopeExit realigned{[this] { FRealigning = false; }};
        for (TControl* control : FControls) {
            control->UpdatePlacement();
        }
    }
    UpdateClientSize();
}

void TForm::UpdateClientSize() {
    if (!FClientSizeDesigned) {
        return; // a form placed by its bounds alone keeps them
    }
    // Room for the controls, with a margin at the right and bottom where the design's size is too small.
    constexpr std::int32_t margin = 8;
    std::int32_t width = ScaleByDpi(FDesignClientWidth, FDpi);
    std::int32_t height = ScaleByDpi(FDesignClientHeight, FDpi);
    if (FHandle) {
        const std::int32_t scaledMargin = ScaleByDpi(margin, FDpi);
        for (const TControl* control : FControls) {
            width = std::max(width, control->Left() + control->Width() + scaledMargin);
            height = std::max(height, control->Top() + control->Height() + scaledMargin);
        }
    }
    FClientWidth = width;
    FClientHeight = height;
    TRect frame{0, 0, width, height};
    if (!FApplication.Gui().AdjustWindowRectExForDpi(frame, FrameStyle(), false, FrameExStyle(), FDpi)) {
        // The system could not tell the frame: the window gets the client size alone, a frame's width too
        // small for its controls but still a window to use, where an error would leave the user none.
        frame = {0, 0, width, height};
    }
    const std::int32_t frameWidth = frame.Right - frame.Left;
    const std::int32_t frameHeight = frame.Bottom - frame.Top;
    if (frameWidth != FWidth || frameHeight != FHeight || !FHandle) {
        SetBounds(FLeft, FTop, frameWidth, frameHeight);
    }
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) {
        OnCloseQuery(*this, canClose);
    }
    return canClose;
}

void TForm::Close() {
    if (!CloseQuery()) {
        return;
    }
    if (FModal) {
        FModalResult = mrCancel;
    } else if (FApplication.MainForm() == this) {
        FApplication.Terminate();
    } else {
        SetVisible(false);
    }
}

void TForm::FocusFirstControl() {
    IGuiPlatform& gui = FApplication.Gui();
    TButton* first = nullptr;
    for (TControl* control : FControls) {
        auto* button = dynamic_cast<TButton*>(control);
        if (button && button->Visible() && (!first || button->TabOrder() < first->TabOrder())) {
            first = button;
        }
    }
    gui.SetFocus(first ? first->Handle() : Handle());
}

TModalResult TForm::ShowModal() {
    if (FVisible || FModal) {
        throw EGeneralError(u"Cannot make a visible window modal");
    }
    IGuiPlatform& gui = FApplication.Gui();
    // The application's other windows wait, as the platform's modal dialogs make their owners wait.
    std::vector<HWND_T> disabled;
    auto disable = [&](HWND_T wnd) {
        if (!gui.EnableWindow(wnd, false)) { // false: it was enabled before
            disabled.push_back(wnd);
        }
    };
    disable(FApplication.Handle());
    for (TForm* form : FApplication.Forms()) {
        if (form != this && form->HandleAllocated()) {
            disable(form->Handle());
        }
    }
    const TScopeExit restore{[&]() noexcept {
        for (HWND_T wnd : disabled) {
            gui.EnableWindow(wnd, true);
        }
        FModal = false;
        try {
            SetVisible(false);
        } catch (...) {
            // Hiding runs the window's handlers; should one fail, the form stays on the screen but the
            // loop is over and the other windows work again. Its exception must not leave this clean-up
            // nor take the place of the one that may be ending the loop.
        }
    }};
    FModal = true;
    FModalResult = mrNone;
    SetVisible(true);
    FocusFirstControl();
    while (FModalResult == mrNone) {
        FApplication.HandleMessage();
        if (FApplication.Terminated()) {
            FModalResult = mrCancel;
        }
    }
    return FModalResult;
}

} // namespace tarnwick
