#include "toolkit/Application.h"

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"

namespace tarnwick {

TApplication::TApplication(IWindowPlatform& Windows, IWindowFactory& Factory)
    : TComponent(nullptr), FWindows(Windows), FFactory(Factory), FScreen(Windows) {
    TCreateParams params;
    params.ClassName = ApplicationWindowClassName;
    params.Style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    FHandle = FFactory.CreateWindowHandle(
        params, [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
            return WndProc(Msg, WParam, LParam);
        });
}

TApplication::~TApplication() {
    if (FHandle) {
        FFactory.DestroyWindowHandle(FHandle);
    }
}

void TApplication::SetTitle(std::u16string Value) {
    FTitle = std::move(Value);
    FWindows.SetWindowTextW(FHandle, FTitle);
}

std::intptr_t TApplication::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    return FWindows.DefWindowProcW(FHandle, Msg, WParam, LParam);
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
