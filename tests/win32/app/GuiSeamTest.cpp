// The toolkit's GUI seam on Windows, and what the platform answers: the message loop, registered messages
// and their filter, push buttons, frames, the program's icons, cursors, menus, fonts, text, the PNG
// pictures decoded with their transparency, the program's version resource, and what assistive
// technology reads and hears.

// The portable constants first: <windows.h> turns their names into macros afterwards.
#include "core/PlatformConstants.h"

#include <windows.h>
// clang-format off
#include <objbase.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "TarnwickVersion.h"
#include "app/VersionResource.h"
#include "app/resources/ResourceNames.h"
#include "core/Text.h"
#include "platform/win32/Win32Gui.h"
#include "platform/win32/Win32Text.h"
#include "tests/win32/common/Accessible.h"
#include "tests/win32/common/MessageLoop.h"

namespace tarnwick::win32 {
namespace {

struct GuiSeam : ::testing::Test {
    TWin32GuiPlatform Gui{reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(nullptr))};
    HWND Parent = ::CreateWindowExW(0, L"Static", L"parent", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    GuiSeam() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~GuiSeam() override {
        ::DestroyWindow(Parent);
        ::CoUninitialize();
    }
    HWND_T Handle(HWND w) const { return reinterpret_cast<HWND_T>(w); }
};

// A 32-bit memory bitmap to draw on, white to begin with.
struct TCanvasBitmap {
    HDC Dc = ::CreateCompatibleDC(nullptr);
    void* Bits = nullptr;
    HBITMAP Bitmap;
    HGDIOBJ Previous;
    int Size;
    explicit TCanvasBitmap(int size) : Size(size) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        Bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &Bits, nullptr, 0);
        Previous = ::SelectObject(Dc, Bitmap);
        RECT all{0, 0, size, size};
        ::FillRect(Dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ~TCanvasBitmap() {
        ::SelectObject(Dc, Previous);
        ::DeleteObject(Bitmap);
        ::DeleteDC(Dc);
    }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(Dc, x, y); }
    int NonWhite() const {
        int count = 0;
        for (int y = 0; y < Size; ++y) {
            for (int x = 0; x < Size; ++x) {
                count += (Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
            }
        }
        return count;
    }
};

TEST_F(GuiSeam, TheLoopGetsPostedMessagesAndEndsOnQuit) {
    ASSERT_TRUE(Parent);
    ASSERT_TRUE(::PostMessageW(Parent, WM_USER + 5, 7, 9));
    TMsg msg;
    EXPECT_EQ(Gui.GetMessageW(msg), 1);
    EXPECT_EQ(msg.hwnd, Handle(Parent));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.lParam, 9);
    EXPECT_FALSE(Gui.IsDialogMessageW(Handle(::GetDesktopWindow()), msg)) << "not meant for that window";
    Gui.DispatchMessageW(msg);
    Gui.PostQuitMessage(3);
    EXPECT_EQ(Gui.GetMessageW(msg), 0);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(GuiSeam, TheTaskbarMessageIsRegisteredAndLetThroughTheFilter) {
    const std::uint32_t message = Gui.RegisterWindowMessageW(u"TaskbarCreated");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(message, ::RegisterWindowMessageW(L"TaskbarCreated"));
    // Wine has the filter function and accepts the change, as Windows Vista and later do.
    EXPECT_TRUE(Gui.ChangeWindowMessageFilter(message, MSGFLT_ADD));
}

TEST_F(GuiSeam, PushButtonsAreTheSystemsWithTheirCommandNumber) {
    const HWND_T button = Gui.CreateWindowExW(0, u"Button", u"Turn on the internet",
                                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 79, 37, 153,
                                              25, Handle(Parent), 100);
    ASSERT_NE(button, 0u);
    const HWND wnd = reinterpret_cast<HWND>(button);
    wchar_t text[64] = {};
    ::GetClassNameW(wnd, text, 64);
    EXPECT_EQ(::lstrcmpiW(text, L"Button"), 0) << text;
    ::GetWindowTextW(wnd, text, 64);
    EXPECT_STREQ(text, L"Turn on the internet");
    EXPECT_EQ(::GetDlgCtrlID(wnd), 100);
    EXPECT_EQ(::GetParent(wnd), Parent);
    EXPECT_FALSE(Gui.EnableWindow(button, false)) << "it was enabled";
    EXPECT_TRUE(Gui.EnableWindow(button, true)) << "it was disabled";
    EXPECT_TRUE(Gui.DestroyWindow(button));
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST_F(GuiSeam, FramesGrowTheClientAreaAsThePlatformSaysAtTheWindowsScale) {
    const UINT dpi = Gui.GetDpiForWindow(Handle(Parent));
    const HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(dpi, UINT(::GetDeviceCaps(screen, LOGPIXELSY))) << "one monitor: the system's scale";
    ::ReleaseDC(nullptr, screen);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    TRect frame{0, 0, 248, 74};
    ASSERT_TRUE(Gui.AdjustWindowRectExForDpi(frame, style, false, WS_EX_DLGMODALFRAME, dpi));
    RECT expected{0, 0, 248, 74};
    ::AdjustWindowRectEx(&expected, style, FALSE, WS_EX_DLGMODALFRAME);
    EXPECT_EQ(frame, (TRect{expected.left, expected.top, expected.right, expected.bottom}));
    EXPECT_GT(frame.Bottom - frame.Top, 74 + 10) << "a caption and a frame";

    TRect large{0, 0, 248, 74};
    ASSERT_TRUE(Gui.AdjustWindowRectExForDpi(large, style, false, WS_EX_DLGMODALFRAME, dpi * 2));
    EXPECT_GT(large.Bottom - large.Top, frame.Bottom - frame.Top) << "a taller caption at twice the scale";
}

TEST_F(GuiSeam, TextIsMeasuredAsItIsDrawn) {
    const HFONT_T font = Gui.CreateFontW(-11, FW_BOLD, u"Tahoma");
    const HDC_T dc = Gui.CreateCompatibleDC(0);
    ASSERT_NE(dc, 0u);
    const HGDIOBJ_T previous = Gui.SelectObject(dc, font);
    TRect extent{0, 0, 0, 0};
    EXPECT_GT(Gui.DrawTextW(dc, u"Internet is turned off", extent, DT_LEFT | DT_NOPREFIX | DT_CALCRECT), 0);
    SIZE size{};
    ::GetTextExtentPoint32W(reinterpret_cast<HDC>(dc), L"Internet is turned off", 22, &size);
    EXPECT_EQ(extent, (TRect{0, 0, size.cx, size.cy}));
    EXPECT_GT(size.cx, 100);
    Gui.SelectObject(dc, previous);
    EXPECT_TRUE(Gui.DeleteDC(dc));
    Gui.DeleteObject(font);
}

TEST_F(GuiSeam, LoadsTheProgramsIconsAndTheSystemsHandCursor) {
    for (const char16_t* name : {ApplicationIconName, InternetOffIconName, InternetOnIconName}) {
        EXPECT_NE(Gui.LoadIconW(name), 0u) << ToUtf8(name);
    }
    EXPECT_EQ(Gui.LoadIconW(u"NOSUCHICON"), 0u);
    EXPECT_EQ(Gui.LoadCursorW(IdcHandCursor), reinterpret_cast<HCURSOR_T>(::LoadCursorW(nullptr, IDC_HAND)));
    EXPECT_NE(Gui.LoadCursorW(IdcHandCursor), 0u);
}

TEST_F(GuiSeam, PopupMenusHoldTheirItemsAndSeparators) {
    const HMENU_T menu = Gui.CreatePopupMenu();
    ASSERT_NE(menu, 0u);
    EXPECT_TRUE(Gui.AppendMenuW(menu, MF_STRING, 1000, u"About"));
    EXPECT_TRUE(Gui.AppendMenuW(menu, MF_SEPARATOR, 1001, nullptr));
    EXPECT_TRUE(Gui.AppendMenuW(menu, MF_STRING, 1002, u"Exit"));
    const HMENU handle = reinterpret_cast<HMENU>(menu);
    EXPECT_EQ(::GetMenuItemCount(handle), 3);
    EXPECT_EQ(::GetMenuItemID(handle, 2), 1002u);
    EXPECT_TRUE(::GetMenuState(handle, 1, MF_BYPOSITION) & MF_SEPARATOR);
    wchar_t text[16] = {};
    ::GetMenuStringW(handle, 0, text, 16, MF_BYPOSITION);
    EXPECT_STREQ(text, L"About");
    EXPECT_TRUE(Gui.DestroyMenu(menu));
}

TEST_F(GuiSeam, FontsAndTextAsAsked) {
    const HFONT_T font = Gui.CreateFontW(-11, FW_BOLD, u"Tahoma");
    ASSERT_NE(font, 0u);
    LOGFONTW described{};
    ::GetObjectW(reinterpret_cast<HFONT>(font), sizeof described, &described);
    EXPECT_EQ(described.lfHeight, -11);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_STREQ(described.lfFaceName, L"Tahoma");

    TCanvasBitmap canvas(64);
    const HDC_T dc = reinterpret_cast<HDC_T>(canvas.Dc);
    const HGDIOBJ_T previous = Gui.SelectObject(dc, font);
    Gui.SetTextColor(dc, 0x008000);
    Gui.SetBkMode(dc, TRANSPARENT);
    TRect where{0, 0, 64, 20};
    EXPECT_GT(Gui.DrawTextW(dc, u"On", where, DT_LEFT | DT_NOPREFIX), 0);
    EXPECT_GT(canvas.NonWhite(), 0);
    EXPECT_EQ(Gui.SelectObject(dc, previous), font);
    EXPECT_TRUE(Gui.DeleteObject(font));
}

TEST_F(GuiSeam, PngPicturesAreDecodedWithTheirTransparency) {
    const struct {
        const char16_t* Name;
        int Size;
    } pictures[] = {{InternetOnPictureName, 48}, {InternetOffPictureName, 48}, {ProductPictureName, 128}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(ToUtf8(p.Name));
        const HPICTURE_T picture = Gui.LoadPngResource(p.Name);
        ASSERT_NE(picture, 0u);
        BITMAP bitmap{};
        ASSERT_TRUE(::GetObjectW(reinterpret_cast<HBITMAP>(picture), sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmWidth, p.Size);
        EXPECT_EQ(bitmap.bmHeight, p.Size);
        EXPECT_EQ(bitmap.bmBitsPixel, 32);

        TCanvasBitmap canvas(p.Size + 16);
        EXPECT_TRUE(Gui.DrawPicture(reinterpret_cast<HDC_T>(canvas.Dc), picture, 8, 8));
        EXPECT_NE(canvas.Pixel(8 + p.Size / 2, 8 + p.Size / 2) & 0xFFFFFF, 0xFFFFFFu)
            << "the picture's middle";
        EXPECT_EQ(canvas.Pixel(8, 8) & 0xFFFFFF, 0xFFFFFFu) << "its transparent corner shows what was there";
        EXPECT_EQ(canvas.Pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu) << "nothing outside it";
        Gui.FreePicture(picture);
    }
    EXPECT_EQ(Gui.LoadPngResource(u"NOSUCHPICTURE"), 0u);
    EXPECT_EQ(Gui.LoadPngResource(ApplicationIconName), 0u) << "an icon is not raw data";
}

TEST_F(GuiSeam, TheVersionResourceStatesTheProjectsVersion) {
    EXPECT_EQ(ToUtf8(ProductVersionOf(Gui.LoadVersionResource())), TARNWICK_VERSION_TEXT);
}

TEST_F(GuiSeam, PaintingGoesThroughTheWindowsUpdate) {
    ::SetWindowPos(Parent, nullptr, 0, 0, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Parent, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(Gui.IsWindowVisible(Handle(Parent)));
    EXPECT_TRUE(Gui.InvalidateRect(Handle(Parent), nullptr, true));
    TPaintStruct paint;
    const HDC_T dc = Gui.BeginPaint(Handle(Parent), paint);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(paint.hdc, dc);
    EXPECT_EQ(paint.rcPaint.Right - paint.rcPaint.Left, 100) << "the whole client area was invalid";
    const HBRUSH_T brush = Gui.CreateSolidBrush(0xFFFFFF);
    EXPECT_NE(Gui.FillRect(dc, {0, 0, 10, 10}, brush), 0);
    TRect edge{0, 40, 100, 42};
    EXPECT_TRUE(Gui.DrawEdge(dc, edge, EDGE_ETCHED, BF_TOP));
    EXPECT_TRUE(Gui.DeleteObject(brush));
    EXPECT_TRUE(Gui.EndPaint(Handle(Parent), paint));
    EXPECT_EQ(Gui.GetSysColor(COLOR_HOTLIGHT), ::GetSysColor(COLOR_HOTLIGHT));
}

// The name-change events this process heard, for the window they name.
std::vector<std::pair<LONG, LONG>>& HeardNameChanges() {
    static std::vector<std::pair<LONG, LONG>> heard; // object and child, of the running test only
    return heard;
}
void CALLBACK HearNameChange(HWINEVENTHOOK, DWORD Event, HWND, LONG Object, LONG Child, DWORD, DWORD) {
    if (Event == EVENT_OBJECT_NAMECHANGE) {
        HeardNameChanges().emplace_back(Object, Child);
    }
}

TEST_F(GuiSeam, AssistiveTechnologyReadsTheGivenRoleAndTheTextOfNowAndHearsTheChange) {
    const HWND_T button =
        Gui.CreateWindowExW(0, u"Button", u"Turn on the internet", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0,
                            0, 150, 25, Handle(Parent), 100);
    const HWND label = ::CreateWindowExW(0, L"Static", L"Internet is turned off", WS_CHILD | WS_VISIBLE, 0,
                                         30, 150, 20, Parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(button && label);
    // Wine's oleacc answers "client" for every window, a button too; Windows' proxies know their classes.
    EXPECT_TRUE(Gui.SetAccessibleRole(button, ROLE_SYSTEM_PUSHBUTTON));
    EXPECT_TRUE(Gui.SetAccessibleRole(Handle(label), ROLE_SYSTEM_GRAPHIC));
    EXPECT_TRUE(Gui.SetAccessibleRole(Handle(label), ROLE_SYSTEM_STATICTEXT)) << "asked again: the new role";
    EXPECT_FALSE(Gui.SetAccessibleRole(Handle(::GetDesktopWindow()) + 0x10000, ROLE_SYSTEM_GRAPHIC))
        << "no such window";
    {
        const test::TAccessibleClient pressed(reinterpret_cast<HWND>(button));
        ASSERT_TRUE(pressed) << std::hex << pressed.Result;
        EXPECT_EQ(pressed.Role(), LONG(ROLE_SYSTEM_PUSHBUTTON));
        EXPECT_EQ(pressed.Name(), L"Turn on the internet");
        const test::TAccessibleClient text(label);
        ASSERT_TRUE(text) << std::hex << text.Result;
        EXPECT_EQ(text.Role(), LONG(ROLE_SYSTEM_STATICTEXT));
        EXPECT_EQ(text.Name(), L"Internet is turned off");
        ::SetWindowTextW(label, L"Internet is turned on");
        EXPECT_EQ(text.Name(), L"Internet is turned on") << "read when asked, not when the object was made";
    }
    // The window's own procedure still does the rest.
    wchar_t caption[32] = {};
    EXPECT_EQ(::GetWindowTextW(reinterpret_cast<HWND>(button), caption, 32), 20);
    EXPECT_EQ(::SendMessageW(reinterpret_cast<HWND>(button), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    HeardNameChanges().clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &HearNameChange,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    const std::pair<LONG, LONG> client{OBJID_CLIENT, CHILDID_SELF};
    Gui.NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Handle(label), std::int32_t(OBJID_CLIENT), CHILDID_SELF);
    test::PumpMessages(1000, [&] {
        const auto& heard = HeardNameChanges();
        return std::find(heard.begin(), heard.end(), client) != heard.end();
    });
    ::UnhookWinEvent(hook);
    const auto& heard = HeardNameChanges();
    EXPECT_NE(std::find(heard.begin(), heard.end(), client), heard.end());

    EXPECT_TRUE(Gui.DestroyWindow(button));
    EXPECT_TRUE(::DestroyWindow(label)) << "its own procedure is put back as it goes";
}

} // namespace
} // namespace tarnwick::win32
