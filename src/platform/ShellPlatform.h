#pragma once
// The shell seam: the notification area (Shell_NotifyIconW), the application bar (SHAppBarMessage) and the
// shell's taskbar-list object. Each method is one platform call with the platform's arguments in order.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/Guid.h"
#include "platform/WindowPlatform.h"

namespace tarnwick {

using HRESULT_T = std::int32_t;

// Layout-compatible mirror of NOTIFYICONDATAW on 64-bit Windows. The shell reads only the first cbSize
// bytes, so a record sent with the shell-5.0 size (952) never carries guidItem or hBalloonIcon.
struct NOTIFYICONDATAW {
    std::uint32_t cbSize = 0;
    HWND_T hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    HICON_T hIcon = 0;
    char16_t szTip[128] = {};
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    char16_t szInfo[256] = {};
    std::uint32_t uTimeout = 0; // shares its place with uVersion
    char16_t szInfoTitle[64] = {};
    std::uint32_t dwInfoFlags = 0;
    Guid guidItem = {};
    HICON_T hBalloonIcon = 0;
};
// NOTIFYICONDATAW_V2_SIZE: every field up to and including dwInfoFlags.
inline constexpr std::uint32_t NotifyIconDataV2Size = 952;
static_assert(offsetof(NOTIFYICONDATAW, dwInfoFlags) + sizeof(std::uint32_t) == NotifyIconDataV2Size);
static_assert(sizeof(NOTIFYICONDATAW) == 976);

// Layout-compatible mirror of APPBARDATA on 64-bit Windows.
struct APPBARDATA {
    std::uint32_t cbSize = 0;
    HWND_T hWnd = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t uEdge = 0;
    TRect rc{};
    std::intptr_t lParam = 0;
};
static_assert(sizeof(APPBARDATA) == 48);

// The shell's ITaskbarList object; released when this object goes.
class ITaskbarListObject {
public:
    virtual ~ITaskbarListObject() = default;
    virtual HRESULT_T HrInit() = 0;
    virtual HRESULT_T DeleteTab(HWND_T hwnd) = 0;
};

class IShellPlatform {
public:
    virtual ~IShellPlatform() = default;

    // True when the shell accepted the command.
    virtual bool Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& lpData) = 0;
    virtual std::uintptr_t SHAppBarMessage(std::uint32_t dwMessage, APPBARDATA& pData) = 0;
    // CoCreateInstance(CLSID_TaskbarList, no outer object, in-process server, IID_ITaskbarList):
    // the COM result, and the object when it succeeded.
    virtual HRESULT_T CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) = 0;
};

} // namespace tarnwick
