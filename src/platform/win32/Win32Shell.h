#pragma once
// The shell seam on Windows: notification area, application bar and the taskbar-list object.

#include "platform/ShellPlatform.h"

namespace tarnwick::win32 {

class TWin32ShellPlatform final : public IShellPlatform {
public:
    bool Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& lpData) override;
    std::uintptr_t SHAppBarMessage(std::uint32_t dwMessage, APPBARDATA& pData) override;
    HRESULT_T CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) override;
};

} // namespace tarnwick::win32
