#include "tray/KtTimer.h"

namespace tarnwick {

TKtTimer::TKtTimer(TApplication& Application, TComponent* AOwner)
    : TComponent(AOwner), FWindow(Application, *this, [this] { Tick(); }) {}

// The timer window kills the platform timer before it goes; no OnDisabled event.
TKtTimer::~TKtTimer() = default;

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
    if (FInterval > 0 && FOnTimer) {
        FWindow.Start(FInterval);
    } else {
        // Nothing to call or no period: a timer still running from before would only tick in vain.
        FWindow.Stop();
    }
}

void TKtTimer::ApplyTimerState() {
    if (FEnabled) {
        ResetTimer(FInterval);
    } else {
        FWindow.Stop();
    }
}

void TKtTimer::Tick() {
    if (FOnTimer) {
        // A copy: the handler may store another handler while it runs.
        const TNotifyEvent handler = FOnTimer;
        handler(*this);
    }
}

} // namespace tarnwick
