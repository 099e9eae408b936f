#include "platform/win32/Win32Shell.h"

#include <windows.h>
// clang-format off
#include <shellapi.h>
#include <shobjidl.h>
// clang-format on

#include <algorithm>

namespace tarnwick::win32 {

namespace {

static_assert(NOTIFYICONDATAW_V2_SIZE == NotifyIconDataV2Size);
static_assert(sizeof(::NOTIFYICONDATAW) == sizeof(tarnwick::NOTIFYICONDATAW));
static_assert(sizeof(::APPBARDATA) == sizeof(tarnwick::APPBARDATA));

// The shell's taskbar list: its class and its interface.
constexpr CLSID TaskbarListClass{
    0x56FDF344, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};
constexpr IID TaskbarListInterface{
    0x56FDF342, 0xFD6D, 0x11D0, {0x95, 0x8A, 0x00, 0x60, 0x97, 0xC9, 0xA0, 0x90}};

template <std::size_t N> void CopyField(WCHAR (&to)[N], const char16_t (&from)[N]) {
    std::copy(std::begin(from), std::end(from), to);
}

// Holds one reference of the shell's object and gives it back when it goes.
class TTaskbarList final : public ITaskbarListObject {
public:
    explicit TTaskbarList(::ITaskbarList* list) : FList(list) {}
    ~TTaskbarList() override { FList->Release(); }
    TTaskbarList(const TTaskbarList&) = delete;
    TTaskbarList& operator=(const TTaskbarList&) = delete;
    HRESULT_T HrInit() override { return FList->HrInit(); }
    HRESULT_T DeleteTab(HWND_T hwnd) override { return FList->DeleteTab(reinterpret_cast<HWND>(hwnd)); }

private:
    ::ITaskbarList* FList;
};

} // namespace

bool TWin32ShellPlatform::Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& lpData) {
    ::NOTIFYICONDATAW data{};
    data.cbSize = lpData.cbSize;
    data.hWnd = reinterpret_cast<HWND>(lpData.hWnd);
    data.uID = lpData.uID;
    data.uFlags = lpData.uFlags;
    data.uCallbackMessage = lpData.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(lpData.hIcon);
    CopyField(data.szTip, lpData.szTip);
    data.dwState = lpData.dwState;
    data.dwStateMask = lpData.dwStateMask;
    CopyField(data.szInfo, lpData.szInfo);
    data.uTimeout = lpData.uTimeout;
    CopyField(data.szInfoTitle, lpData.szInfoTitle);
    data.dwInfoFlags = lpData.dwInfoFlags;
    static_assert(sizeof(data.guidItem) == sizeof(lpData.guidItem));
    std::copy_n(reinterpret_cast<const unsigned char*>(&lpData.guidItem), sizeof(GUID),
                reinterpret_cast<unsigned char*>(&data.guidItem));
    data.hBalloonIcon = reinterpret_cast<HICON>(lpData.hBalloonIcon);
    return ::Shell_NotifyIconW(dwMessage, &data) != FALSE;
}

std::uintptr_t TWin32ShellPlatform::SHAppBarMessage(std::uint32_t dwMessage, APPBARDATA& pData) {
    ::APPBARDATA data{};
    data.cbSize = pData.cbSize;
    data.hWnd = reinterpret_cast<HWND>(pData.hWnd);
    data.uCallbackMessage = pData.uCallbackMessage;
    data.uEdge = pData.uEdge;
    data.rc = {pData.rc.Left, pData.rc.Top, pData.rc.Right, pData.rc.Bottom};
    data.lParam = pData.lParam;
    const UINT_PTR result = ::SHAppBarMessage(dwMessage, &data);
    // Some messages answer in the record.
    pData.uEdge = data.uEdge;
    pData.rc = {data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
    return result;
}

HRESULT_T TWin32ShellPlatform::CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) {
    FCom.Enter();
    ::ITaskbarList* list = nullptr;
    const HRESULT result = ::CoCreateInstance(TaskbarListClass, nullptr, CLSCTX_INPROC_SERVER,
                                              TaskbarListInterface, reinterpret_cast<void**>(&list));
    if (SUCCEEDED(result) && list) {
        ppv = std::make_unique<TTaskbarList>(list);
    }
    return result;
}

} // namespace tarnwick::win32
