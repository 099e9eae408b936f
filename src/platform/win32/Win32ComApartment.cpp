#include "platform/win32/Win32ComApartment.h"

#include <windows.h>
// clang-format off
#include <objbase.h>
// clang-format on

namespace tarnwick::win32 {

TComApartment::~TComApartment() {
    if (FEntered) {
        ::CoUninitialize();
    }
}

void TComApartment::Enter() noexcept {
    if (!FTried) {
        FTried = true;
        FEntered = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
}

} // namespace tarnwick::win32
