#include "toolkit/Form.h"

#include "core/PlatformConstants.h"

namespace tarnwick {

TForm::TForm(TApplication& Application, TComponent* AOwner) : TComponent(AOwner), FApplication(Application) {}

TForm::~TForm() {
    if (FHandle) {
        FApplication.WindowFactory().DestroyWindowHandle(FHandle);
    }
}

TCreateParams TForm::CreateParams() {
    TCreateParams params;
    params.ClassName = FormWindowClassName;
    params.Caption = FCaption;
    params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_DLGMODALFRAME;
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
    }
    return FHandle;
}

std::intptr_t TForm::MainWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) noexcept {
    try {
        return WndProc(Msg, WParam, LParam);
    } catch (...) {
        FApplication.HandleException(this);
        return 0;
    }
}

std::intptr_t TForm::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    return FApplication.Windows().DefWindowProcW(FHandle, Msg, WParam, LParam);
}

void TForm::SetCaption(std::u16string Value) {
    FCaption = std::move(Value);
    if (FHandle) {
        FApplication.Windows().SetWindowTextW(FHandle, FCaption);
    }
}

void TForm::DoShow() {
    if (OnShow) {
        OnShow(*this);
    }
}

void TForm::SetVisible(bool Value) {
    if (Value == FVisible) {
        return;
    }
    FVisible = Value;
    if (FVisible) {
        DoShow();
        FApplication.Windows().ShowWindow(Handle(), SW_SHOW);
    } else if (FHandle) {
        FApplication.Windows().ShowWindow(FHandle, SW_HIDE);
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

} // namespace tarnwick
