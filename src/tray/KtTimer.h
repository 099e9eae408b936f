#pragma once
// TKtTimer: a window-message timer bound to a hidden utility window of its own. Its ticks arrive through
// the message loop of the thread that made it; besides the tick it tells when it is switched on or off.

#include <cstdint>

#include "toolkit/Application.h"
#include "toolkit/Component.h"
#include "toolkit/TimerWindow.h"

namespace tarnwick {

class TKtTimer : public TComponent {
public:
    // The platform timer's identifier on the hidden window.
    static constexpr std::uintptr_t TimerId = TTimerWindow::TimerId;

    // Enabled, 1000 ms, no handler: no platform timer runs until a handler is stored.
    TKtTimer(TApplication& Application, TComponent* AOwner);
    // Kills the platform timer (no OnDisabled), then destroys the hidden window.
    ~TKtTimer() override;

    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    std::uint32_t Interval() const noexcept { return FInterval; }
    void SetInterval(std::uint32_t Value);
    const TNotifyEvent& OnTimer() const noexcept { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);
    const TNotifyEvent& OnEnabled() const noexcept { return FOnEnabled; }
    void SetOnEnabled(TNotifyEvent Value) { FOnEnabled = std::move(Value); }
    const TNotifyEvent& OnDisabled() const noexcept { return FOnDisabled; }
    void SetOnDisabled(TNotifyEvent Value) { FOnDisabled = std::move(Value); }

    // Restarts the countdown and enables the timer, without an OnEnabled event.
    void ResetTimer();
    void ResetTimer(std::uint32_t NewInterval);

    // The hidden window that receives WM_TIMER.
    HWND_T WindowHandle() const noexcept { return FWindow.Handle(); }

private:
    void ApplyTimerState();
    void Tick();

    std::uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    bool FEnabled = true;
    TNotifyEvent FOnEnabled;
    TNotifyEvent FOnDisabled;
    TTimerWindow FWindow;
};

} // namespace tarnwick
