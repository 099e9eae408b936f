#include "toolkit/Application.h"

#include <algorithm>
#include <tuple>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"

namespace tarnwick {

TApplication::TApplication(IWindowPlatform& Windows, IWindowFactory& Factory, IGuiPlatform& Gui)
    : TApplication(Windows, Factory, Gui, std::u16string()) {}

TApplication::TApplication(IWindowPlatform& Windows, IWindowFactory& Factory, IGuiPlatform& Gui,
                           std::u16string Title)
    : TComponent(nullptr), FWindows(Windows), FFactory(Factory), FGui(Gui), FScreen(Windows),
      FTitle(std::move(Title)) {
    TCreateParams params;
    params.ClassName = ApplicationWindowClassName;
    params.Caption = FTitle;
    params.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    FHandle = FFactory.CreateWindowHandle(
        params, [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
            return WndProc(Msg, WParam, LParam);
        });
    FSmallIcon = TIcon(FGui.LoadIconMetric(ApplicationIconName, LIM_SMALL));
}

TApplication::~TApplication() {
    if (FHandle) {
        FFactory.DestroyWindowHandle(FHandle);
    }
    for (const auto& [key, font] : FFonts) {
        FGui.DeleteObject(font);
    }
    if (FSmallIcon.Handle()) {
        FGui.DestroyIcon(FSmallIcon.Handle());
    }
}

void TApplication::GiveIcons(HWND_T Window, bool& Given) {
    if (Given) {
        return;
    }
    Given = true;
    if (!FIcon.Handle()) {
        FIcon = TIcon(FGui.LoadIconW(ApplicationIconName));
    }
    if (FIcon.Handle()) {
        FWindows.SendMessageW(Window, WM_SETICON, ICON_BIG, static_cast<std::intptr_t>(FIcon.Handle()));
    }
    if (FSmallIcon.Handle()) {
        FWindows.SendMessageW(Window, WM_SETICON, ICON_SMALL,
                              static_cast<std::intptr_t>(FSmallIcon.Handle()));
    }
}

void TApplication::SetTitle(std::u16string Value) {
    FTitle = std::move(Value);
    FWindows.SetWindowTextW(FHandle, FTitle);
}

std::intptr_t TApplication::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    // The icons come with the first showing: this window is mostly hidden, and under Wine every icon given
    // costs a conversion for the display.
    if (Msg == WM_SHOWWINDOW && WParam != 0) {
        GiveIcons(FHandle, FIconsGiven);
    }
    return FWindows.DefWindowProcW(FHandle, Msg, WParam, LParam);
}

void TApplication::AddForm(TForm* Form) {
    FForms.push_back(Form);
}

void TApplication::RemoveForm(TForm* Form) noexcept {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FMainForm == Form) {
        FMainForm = nullptr;
    }
}

void TApplication::Run() {
    if (FMainForm && FShowMainForm) {
        try {
            FMainForm->SetVisible(true);
        } catch (...) {
            HandleException(FMainForm);
        }
    }
    while (!FTerminated) {
        HandleMessage();
    }
}

void TApplication::Terminate() {
    FGui.PostQuitMessage(0);
}

bool TApplication::IsDialogKey(TMsg& Msg) {
    if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) {
        return false;
    }
    // Tab, Escape and Enter work in every form as in a dialog box; the platform takes a key only when
    // it is meant for that form or one of its controls.
    for (TForm* form : FForms) {
        if (form->HandleAllocated() && FGui.IsDialogMessageW(form->Handle(), Msg)) {
            return true;
        }
    }
    return false;
}

void TApplication::HandleMessage() {
    TMsg msg;
    const std::int32_t result = FGui.GetMessageW(msg);
    if (result < 0) {
        // A message that could not be received (one too large for memory, say) must not end the program
        // and its pending deadline; a failure that never goes away ends the loop rather than spinning.
        const std::uint32_t error = FWindows.GetLastError();
        ++FLoopFailures;
        if (OnMessageLoopError) {
            OnMessageLoopError(error);
        }
        if (LoopFailed()) {
            FTerminated = true;
        }
        return;
    }
    FLoopFailures = 0;
    if (result == 0) {
        FTerminated = true; // WM_QUIT
        return;
    }
    if (IsDialogKey(msg)) {
        return;
    }
    FGui.TranslateMessage(msg);
    FGui.DispatchMessageW(msg);
}

std::int32_t TApplication::MessageBox(const std::u16string& Text, std::uint32_t Flags) {
    return FWindows.MessageBoxW(FHandle, Text, FTitle, Flags);
}

bool TApplication::HighContrast() {
    if (!FHighContrast) {
        FHighContrast = FGui.GetHighContrastOn();
    }
    return *FHighContrast;
}

void TApplication::SystemColorsChanged() {
    FHighContrast.reset();
    for (TForm* form : FForms) {
        if (form->HandleAllocated()) {
            FGui.InvalidateRect(form->Handle(), nullptr, true);
            for (TControl* control : form->Controls()) {
                if (control->HandleAllocated()) {
                    FGui.InvalidateRect(control->Handle(), nullptr, true);
                }
            }
        }
    }
}

HFONT_T TApplication::FontHandle(const TFont& Font, std::uint32_t Dpi) {
    const std::int32_t height = ScaleByDpi(Font.Height, Dpi);
    const auto key = std::make_tuple(Font.Name, height, Font.Bold);
    if (const auto it = FFonts.find(key); it != FFonts.end()) {
        return it->second;
    }
    const HFONT_T font = FGui.CreateFontW(height, static_cast<std::int32_t>(Font.Bold ? FW_BOLD : FW_NORMAL),
                                          Font.Name.c_str());
    if (font) {
        FFonts.emplace(key, font);
    }
    return font;
}

std::u16string ExceptionMessage(std::exception_ptr Error) {
    try {
        std::rethrow_exception(Error);
    } catch (const EGeneralError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return u"Unknown error";
    }
}

void TApplication::HandleException(TComponent* Sender) noexcept {
    const std::exception_ptr error = std::current_exception();
    if (!error) {
        return;
    }
    try {
        if (OnException) {
            OnException(Sender, error);
        } else {
            ShowException(ExceptionMessage(error));
        }
    } catch (...) {
        // The error handling itself failed; there is nobody left to tell.
    }
}

void TApplication::ShowException(const std::u16string& Message) {
    FWindows.MessageBoxW(FHandle, Message, FTitle, MB_OK | MB_ICONSTOP);
}

} // namespace tarnwick
