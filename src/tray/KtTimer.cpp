#include "tray/KtTimer.h"

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick {

TKtTimer::TKtTimer(TApplication& Application, TComponent* AOwner)
    : TComponent(AOwner), FApplication(Application) {
    FWindowHandle = AllocateHWnd(FApplication.WindowFactory(),
                                 [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
                                     return TimerWndProc(Msg, WParam, LParam);
                                 });
}

TKtTimer::~TKtTimer() {
    FEnabled = false;
    ApplyTimerState();
    DeallocateHWnd(FApplication.WindowFactory(), FWindowHandle);
}

void TKtTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) {
        return;
    }
    FEnabled = Value;
    // The events come before the platform timer is started or killed.
    if (FEnabled && FOnEnabled) {
        FOnEnabled(*this);
    }
    if (!FEnabled && FOnDisabled) {
        FOnDisabled(*this);
    }
    ApplyTimerState();
}

void TKtTimer::SetInterval(std::uint32_t Value) {
    if (Value != FInterval) {
        FInterval = Value;
        ApplyTimerState();
    }
}

void TKtTimer::SetOnTimer(TNotifyEvent Value) {
    FOnTimer = std::move(Value);
    ApplyTimerState();
}

void TKtTimer::ResetTimer() {
    ResetTimer(FInterval);
}

void TKtTimer::ResetTimer(std::uint32_t NewInterval) {
    if (NewInterval != FInterval) {
        FInterval = NewInterval;
    }
    FEnabled = true;
    IWindowPlatform& windows = FApplication.Windows();
    if (FInterval > 0 && FOnTimer) {
        // A timer with the same window and identifier is replaced, so this restarts a running countdown.
        if (windows.SetTimer(FWindowHandle, TimerId, FInterval) == 0) {
            throw EOutOfResources(u"Not enough timers available");
        }
    } else {
        // Nothing to call or no period: a timer still running from before would only tick in vain.
        windows.KillTimer(FWindowHandle, TimerId);
    }
}

void TKtTimer::ApplyTimerState() {
    if (FEnabled) {
        ResetTimer(FInterval);
    } else {
        FApplication.Windows().KillTimer(FWindowHandle, TimerId);
    }
}

std::intptr_t TKtTimer::TimerWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    if (Msg == WM_TIMER) {
        if (FOnTimer) {
            try {
                // A copy: the handler may store another handler while it runs.
                const TNotifyEvent handler = FOnTimer;
                handler(*this);
            } catch (...) {
                FApplication.HandleException(this);
            }
        }
        return 0;
    }
    return FApplication.Windows().DefWindowProcW(FWindowHandle, Msg, WParam, LParam);
}

} // namespace tarnwick
