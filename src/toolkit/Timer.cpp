#include "toolkit/Timer.h"

namespace tarnwick {

TTimer::TTimer(TApplication& Application, TComponent* AOwner)
    : TComponent(AOwner), FWindow(Application, *this, [this] { Tick(); }) {}

TTimer::~TTimer() = default; // the timer window kills the platform timer before it goes

void TTimer::UpdateTimer() {
    FWindow.Stop();
    if (FInterval != 0 && FEnabled && FOnTimer) {
        FWindow.Start(FInterval);
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

void TTimer::Tick() {
    if (FOnTimer) {
        const TNotifyEvent handler = FOnTimer; // the handler may store another one while it runs
        handler(*this);
    }
}

} // namespace tarnwick
