#pragma once
// The shell seam on Windows: notification area, application bar and the taskbar-list object.

#include "platform/ShellPlatform.h"
#include "platform/win32/Win32ComApartment.h"

namespace tarnwick::win32 {

class TWin32ShellPlatform final : public IShellPlatform {
public:
    bool Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& lpData) override;
    std::uintptr_t SHAppBarMessage(std::uint32_t dwMessage, APPBARDATA& pData) override;
    HRESULT_T CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) override;

private:
    TComApartment FCom; // made before the taskbar list, left after it is released
};

} // namespace tarnwick::win32
