// The toolkit's windows on Win32: class registration, message routing, the utility window, the
// application window.
#include "toolkit/win32/Win32WindowFactory.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Windows.h"
#include "testing/fixtures/HeadlessGuiPlatform.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/UtilityWindow.h"

namespace tarnwick::win32 {
namespace {

class WindowFactoryTest : public ::testing::Test {
protected:
    TWin32WindowPlatform Windows;
    TWin32WindowFactory Factory{::GetModuleHandleW(nullptr)};
};

TEST_F(WindowFactoryTest, MessagesAfterCreationGoToTheMethodAndStopWhenTheWindowGoes) {
    int calls = 0;
    const HWND_T h =
        AllocateHWnd(Factory, [&](std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam) {
            ++calls;
            return Msg == 0x1137 ? std::intptr_t(WParam + LParam) : 0;
        });
    const HWND wnd = reinterpret_cast<HWND>(h);
    ASSERT_TRUE(::IsWindow(wnd));
    EXPECT_EQ(::SendMessageW(wnd, 0x1137, 40, 2), 42);
    EXPECT_GE(calls, 1);

    DeallocateHWnd(Factory, h);
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(WindowFactoryTest, TheUtilityWindowIsAHiddenZeroSizedToolPopup) {
    const HWND wnd = reinterpret_cast<HWND>(
        AllocateHWnd(Factory, [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t(0); }));
    wchar_t className[64] = {};
    ::GetClassNameW(wnd, className, 64);
    EXPECT_STREQ(className, L"TarnwickUtilWindow");
    EXPECT_EQ(::GetWindowLongW(wnd, GWL_STYLE) & WS_POPUP, LONG(WS_POPUP));
    EXPECT_NE(::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    RECT r{};
    ::GetWindowRect(wnd, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    // Message-only: no top-level window, so the display driver makes nothing for it.
    HWND messageOnly = nullptr;
    while ((messageOnly = ::FindWindowExW(HWND_MESSAGE, messageOnly, L"TarnwickUtilWindow", nullptr)) &&
           messageOnly != wnd) {
    }
    EXPECT_EQ(messageOnly, wnd);
    EXPECT_NE(::GetAncestor(wnd, GA_PARENT), ::GetDesktopWindow());

    // A second window of the same class: the class is registered once.
    const HWND second = reinterpret_cast<HWND>(
        AllocateHWnd(Factory, [](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t(0); }));
    EXPECT_NE(second, nullptr);
}

TEST_F(WindowFactoryTest, FormsAreOwnedByTheApplicationWindowAndTakeTheTitleAsCaption) {
    tarnwick::testing::THeadlessGuiPlatform gui;
    TApplication app{Windows, Factory, gui};
    app.SetTitle(u"Tarnwick");
    wchar_t text[32] = {};
    ::GetWindowTextW(reinterpret_cast<HWND>(app.Handle()), text, 32);
    EXPECT_STREQ(text, L"Tarnwick");

    auto form = MakeComponent<TForm>(app, &app);
    form->SetBounds(100, 100, 264, 112);
    const HWND wnd = reinterpret_cast<HWND>(form->Handle());
    EXPECT_EQ(::GetWindow(wnd, GW_OWNER), reinterpret_cast<HWND>(app.Handle()));
    EXPECT_FALSE(::IsWindowVisible(wnd));
    form->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(wnd));
    form->SetLeft(300);
    RECT r{};
    ::GetWindowRect(wnd, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.right - r.left, 264);
}

} // namespace
} // namespace tarnwick::win32
