// What the shell of a Wine virtual desktop answers to the calls of the shell seam.
#include "platform/win32/Win32Shell.h"

#include <windows.h>
// clang-format off
#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>
// clang-format on

#include <gtest/gtest.h>

#include "tests/win32/common/MessageLoop.h"

namespace tarnwick::win32 {
namespace {

class ShellSeamTest : public ::testing::Test {
protected:
    TWin32ShellPlatform Shell;
    HWND Wnd =
        ::CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ~ShellSeamTest() override { ::DestroyWindow(Wnd); }

    NOTIFYICONDATAW Record(std::uint32_t flags) const {
        NOTIFYICONDATAW data;
        data.cbSize = NotifyIconDataV2Size;
        data.hWnd = reinterpret_cast<HWND_T>(Wnd);
        data.uFlags = flags;
        data.uCallbackMessage = 0x1135;
        data.hIcon =
            reinterpret_cast<HICON_T>(::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
        std::u16string(u"Probe").copy(data.szTip, 5);
        std::u16string(u"Balloon").copy(data.szInfo, 7);
        std::u16string(u"Title").copy(data.szInfoTitle, 5);
        data.uTimeout = 1000;
        data.dwInfoFlags = NIIF_INFO;
        return data;
    }
};

TEST_F(ShellSeamTest, TheNotificationAreaTakesAnIconOnceAndRefusesWhatItDoesNotHave) {
    ASSERT_NE(Wnd, nullptr);
    EXPECT_FALSE(Shell.Shell_NotifyIconW(NIM_MODIFY, Record(NIF_INFO))); // no icon yet: no balloon
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_ADD, Record(NIF_MESSAGE | NIF_ICON | NIF_TIP)));
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_MODIFY, Record(NIF_MESSAGE | NIF_ICON | NIF_TIP)));
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_MODIFY, Record(NIF_INFO)));
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_DELETE, Record(0)));
    EXPECT_FALSE(Shell.Shell_NotifyIconW(NIM_DELETE, Record(0)));
}

TEST_F(ShellSeamTest, TheNotificationAreaTakesVersion4AndTheFocusOnlyForAnIconItHas) {
    NOTIFYICONDATAW version = Record(0);
    version.uTimeout = NOTIFYICON_VERSION_4; // uVersion
    EXPECT_FALSE(Shell.Shell_NotifyIconW(NIM_SETVERSION, version)) << "no icon yet";
    EXPECT_FALSE(Shell.Shell_NotifyIconW(NIM_SETFOCUS, Record(0)));
    ASSERT_TRUE(Shell.Shell_NotifyIconW(NIM_ADD, Record(NIF_MESSAGE | NIF_ICON | NIF_TIP)));
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_SETVERSION, version));
    EXPECT_TRUE(Shell.Shell_NotifyIconW(NIM_DELETE, Record(0)));
}

TEST_F(ShellSeamTest, TheApplicationBarStateSaysAlwaysOnTopAndAutoHideTogether) {
    APPBARDATA data;
    data.cbSize = 48;
    data.hWnd = reinterpret_cast<HWND_T>(::FindWindowW(L"Shell_TrayWnd", nullptr));
    ASSERT_NE(data.hWnd, 0u);
    EXPECT_EQ(Shell.SHAppBarMessage(ABM_GETSTATE, data), std::uintptr_t(ABS_ALWAYSONTOP | ABS_AUTOHIDE));
}

TEST_F(ShellSeamTest, TheTaskbarListIsMadeInAnApartmentTheAdapterEntersAndLeaves) {
    {
        TWin32ShellPlatform shell; // the thread has entered no apartment of its own
        std::unique_ptr<ITaskbarListObject> list;
        EXPECT_EQ(shell.CoCreateTaskbarList(list), S_OK);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->HrInit(), S_OK);
        EXPECT_EQ(list->DeleteTab(reinterpret_cast<HWND_T>(Wnd)), S_OK);
    }
    // Gone with the adapter: this thread has no apartment left.
    IUnknown* object = nullptr;
    EXPECT_EQ(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                 reinterpret_cast<void**>(&object)),
              CO_E_NOTINITIALIZED);
}

} // namespace
} // namespace tarnwick::win32
