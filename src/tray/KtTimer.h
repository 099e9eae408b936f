#pragma once
// TKtTimer: a window-message timer bound to a hidden utility window of its own. Its ticks arrive through
// the message loop of the thread that made it; besides the tick it tells when it is switched on or off.

#include <cstdint>

#include "toolkit/Application.h"
#include "toolkit/Component.h"

namespace tarnwick {

class TKtTimer : public TComponent {
public:
    // The platform timer's identifier on the hidden window.
    static constexpr std::uintptr_t TimerId = 1;

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
    HWND_T WindowHandle() const noexcept { return FWindowHandle; }

private:
    void ApplyTimerState();
    std::intptr_t TimerWndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);

    TApplication& FApplication;
    std::uint32_t FInterval = 1000;
    HWND_T FWindowHandle = 0;
    TNotifyEvent FOnTimer;
    bool FEnabled = true;
    TNotifyEvent FOnEnabled;
    TNotifyEvent FOnDisabled;
};

} // namespace tarnwick
