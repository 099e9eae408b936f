#include "toolkit/TimerWindow.h"

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "toolkit/Application.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick {

TTimerWindow::TTimerWindow(TApplication& Application, TComponent& Sender, std::function<void()> OnTick)
    : FApplication(Application), FSender(Sender), FOnTick(std::move(OnTick)) {
    FHandle = AllocateHWnd(FApplication.WindowFactory(),
                           [this](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
                               return WndProc(Msg, WParam, LParam);
                           });
}

TTimerWindow::~TTimerWindow() {
    Stop();
    DeallocateHWnd(FApplication.WindowFactory(), FHandle);
}

void TTimerWindow::Start(std::uint32_t Interval) {
    // A timer with the same window and identifier is replaced, so this restarts a running countdown.
    if (FApplication.Windows().SetTimer(FHandle, TimerId, Interval) == 0) {
        throw EOutOfResources(u"Not enough timers available");
    }
}

void TTimerWindow::Stop() {
    FApplication.Windows().KillTimer(FHandle, TimerId);
}

std::intptr_t TTimerWindow::WndProc(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
    if (Msg == WM_TIMER) {
        try {
            FOnTick();
        } catch (...) {
            FApplication.HandleException(&FSender);
        }
        return 0;
    }
    return FApplication.Windows().DefWindowProcW(FHandle, Msg, WParam, LParam);
}

} // namespace tarnwick
