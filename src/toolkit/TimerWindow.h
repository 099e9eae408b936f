#pragma once
// The hidden utility window behind a window-message timer: it owns the platform timer with identifier 1
// and turns every WM_TIMER into one call of the tick, an exception of which goes to the application's
// central error handling without stopping the timer.

#include <cstdint>
#include <functional>

#include "platform/WindowPlatform.h"
#include "toolkit/Component.h"

namespace tarnwick {

class TApplication;

class TTimerWindow {
public:
    static constexpr std::uintptr_t TimerId = 1;

    // Sender is the component named to the central error handling.
    TTimerWindow(TApplication& Application, TComponent& Sender, std::function<void()> OnTick);
    // Kills the platform timer, then destroys the window.
    ~TTimerWindow();
    TTimerWindow(const TTimerWindow&) = delete;
    TTimerWindow& operator=(const TTimerWindow&) = delete;

    // Starts the platform timer, or restarts its countdown when it runs. Raises EOutOfResources
    // "Not enough timers available" when the platform has none left.
    void Start(std::uint32_t Interval);
    void Stop();
    HWND_T Handle() const noexcept { return FHandle; }

private:
    std::intptr_t WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);

    TApplication& FApplication;
    TComponent& FSender;
    std::function<void()> FOnTick;
    HWND_T FHandle = 0;
};

} // namespace tarnwick
