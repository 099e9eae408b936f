#include "toolkit/Timer.h"

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick {

TTimer::TTimer(TApplication& Application, TComponent* AOwner)
    : TComponent(AOwner), FApplication(Application) {
    FWindowHandle = AllocateHWnd(FApplication.WindowFactory(),
                                 [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
                                     return WndProc(Msg, WParam, LParam);
                                 });
}

TTimer::~TTimer() {
    FEnabled = false;
    FApplication.Windows().KillTimer(FWindowHandle, TimerId);
    DeallocateHWnd(FApplication.WindowFactory(), FWindowHandle);
}

void TTimer::UpdateTimer() {
    IWindowPlatform& windows = FApplication.Windows();
    windows.KillTimer(FWindowHandle, TimerId);
    if (FInterval != 0 && FEnabled && FOnTimer) {
        if (windows.SetTimer(FWindowHandle, TimerId, FInterval) == 0) {
            throw EOutOfResources(u"Not enough timers available");
        }
    }
}

void TTimer::SetEnabled(bool Value) {
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(std::uint32_t Value) {
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    UpdateTimer();
}

std::intptr_t TTimer::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    if (Msg == WM_TIMER) {
        try {
            if (FOnTimer) {
                const TNotifyEvent handler = FOnTimer; // the handler may store another one while it runs
                handler(*this);
            }
        } catch (...) {
            FApplication.HandleException(this);
        }
        return 0;
    }
    return FApplication.Windows().DefWindowProcW(FWindowHandle, Msg, WParam, LParam);
}

} // namespace tarnwick
