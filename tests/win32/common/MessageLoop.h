#pragma once
// The message loop the tests run while they wait: what the application's loop does, for a while.

#include <windows.h>

#include <functional>

namespace tarnwick::test {

// Dispatches this thread's messages for the given time, or until Done says so.
inline void PumpMessages(DWORD milliseconds, const std::function<bool()>& Done = {}) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (Done && Done()) {
            return;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

} // namespace tarnwick::test
