#pragma once
// The toolkit's window-message timer: it ticks on the thread that made it, through the message loop.
// The countdown starts anew only when the timer is switched on, its interval changes or its handler is
// stored; switching it on while it runs, or storing the same interval, keeps the running countdown.

#include <cstdint>

#include "platform/WindowPlatform.h"
#include "toolkit/Component.h"
#include "toolkit/TimerWindow.h"

namespace tarnwick {

class TApplication;

class TTimer : public TComponent {
public:
    static constexpr std::uintptr_t TimerId = TTimerWindow::TimerId;

    // Enabled, 1000 ms, no handler: nothing runs until a handler is stored.
    TTimer(TApplication& Application, TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    std::uint32_t Interval() const noexcept { return FInterval; }
    void SetInterval(std::uint32_t Value);
    const TNotifyEvent& OnTimer() const noexcept { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    // The hidden window that receives WM_TIMER.
    HWND_T WindowHandle() const noexcept { return FWindow.Handle(); }

private:
    // Kills the platform timer and starts it again when it should run. Raises EOutOfResources "Not enough
    // timers available" when the platform has none left.
    void UpdateTimer();
    void Tick();

    std::uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    bool FEnabled = true;
    TTimerWindow FWindow;
};

} // namespace tarnwick
