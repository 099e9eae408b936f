// The main window and the About window for real, on a Wine virtual desktop with its taskbar: the toolkit
// over the Win32 adapters, the window's own resources, and a simulated machine inside this process in
// place of the device platform. Screenshots of the tray, the window in both states, the turn-on menu, a
// balloon and the About window are kept as artifacts.

// The portable constants first: <windows.h> turns their names into macros afterwards.
#include "core/PlatformConstants.h"

#include <windows.h>
// clang-format off
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "core/ScopeExit.h"
#include "core/Text.h"
#include "deadline/Deadline.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/SimulatedMachine.h"
#include "platform/win32/Win32Gui.h"
#include "platform/win32/Win32Instance.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Windows.h"
#include "tests/win32/common/Accessible.h"
#include "tests/win32/common/MessageLoop.h"
#include "tests/win32/common/Screenshot.h"
#include "toolkit/win32/Win32WindowFactory.h"
#include "tray/GUIUtils.h"

namespace tarnwick {
namespace {

// The system as this program sees it, with the command line of an elevated copy: switches happen here.
class TElevatedCopySystem : public ISystemPlatform {
public:
    std::u16string GetCommandLineW() override { return u"tarnwick.exe -elevation"; }

    bool GetVersionExW(OSVERSIONINFOEXW& v) override { return F.GetVersionExW(v); }
    bool SHGetSpecialFolderPathW(std::uintptr_t h, char16_t* p, int c, bool f) override {
        return F.SHGetSpecialFolderPathW(h, p, c, f);
    }
    std::uint32_t GetModuleFileNameW(std::uintptr_t m, char16_t* n, std::uint32_t s) override {
        return F.GetModuleFileNameW(m, n, s);
    }
    int WideCharToMultiByte(std::uint32_t cp, std::uint32_t f, const char16_t* w, int wc, char* m,
                            int mc) override {
        return F.WideCharToMultiByte(cp, f, w, wc, m, mc);
    }
    int GetLocaleInfoW(std::uint32_t l, std::uint32_t t, char16_t* d, int c) override {
        return F.GetLocaleInfoW(l, t, d, c);
    }
    void GetLocalTime(SYSTEMTIME& t) override { F.GetLocalTime(t); }
    std::uint32_t GetCurrentProcessId() override { return F.GetCurrentProcessId(); }
    std::uint32_t GetCurrentThreadId() override { return F.GetCurrentThreadId(); }
    std::uint32_t GetLastError() override { return F.GetLastError(); }
    std::u16string SysErrorMessage(std::uint32_t c) override { return F.SysErrorMessage(c); }
    int CompareStringW(std::uint32_t l, std::uint32_t f, const std::u16string& a,
                       const std::u16string& b) override {
        return F.CompareStringW(l, f, a, b);
    }
    bool GetTokenElevation(bool& e) override { return F.GetTokenElevation(e); }

private:
    win32::TWin32SystemPlatform F;
};

// Calls Action once, from inside whatever message loop runs when the time is up (a menu's, a modal
// window's).
class TLater {
public:
    TLater(UINT Milliseconds, std::function<void()> Action) {
        Pending() = std::move(Action);
        FTimer = ::SetTimer(nullptr, 0, Milliseconds, &TLater::Fire);
    }
    ~TLater() {
        ::KillTimer(nullptr, FTimer);
        Pending() = nullptr;
    }

private:
    static std::function<void()>& Pending() {
        static std::function<void()> pending; // the one action of the running test
        return pending;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR Timer, DWORD) {
        ::KillTimer(nullptr, Timer);
        if (auto action = std::exchange(Pending(), nullptr)) {
            action();
        }
    }
    UINT_PTR FTimer;
};

std::wstring TextOf(HWND Window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(Window, text, 256);
    return text;
}

// What the text needs when it is drawn in the font, and the face the platform found for the font.
struct TMeasured {
    SIZE Size{};
    std::wstring Face;
};

TMeasured Measure(HFONT Font, const std::wstring& Text) {
    TMeasured measured;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, Font);
    RECT extent{0, 0, 0, 0};
    ::DrawTextW(dc, Text.c_str(), int(Text.size()), &extent, DT_CALCRECT | DT_LEFT | DT_NOPREFIX);
    measured.Size = {extent.right, extent.bottom};
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    measured.Face = face;
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return measured;
}

// The display scale this run was started at (the test's Wine prefix sets it), 96 by default.
UINT ExpectedDpi() {
    wchar_t value[16] = {};
    return ::GetEnvironmentVariableW(L"TARNWICK_WINE_DPI", value, 16) ? UINT(::_wtoi(value)) : 96u;
}

int Scaled(int Designed) {
    return ::MulDiv(Designed, int(ExpectedDpi()), 96);
}

// Every text of the window's controls, measured in the control's own font, fits inside the control's
// client area (a push button's inside its edge and focus rectangle), drawn with Wine's Tahoma. A picture's
// text is only read out, never drawn.
void ExpectEveryTextFits(HWND Window) {
    int checked = 0;
    for (HWND child = ::GetWindow(Window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = TextOf(child);
        wchar_t kind[32] = {};
        ::GetClassNameW(child, kind, 32);
        if (text.empty() || !::IsWindowVisible(child) ||
            ::lstrcmpW(kind, win32::AsWide(ImageWindowClassName)) == 0) {
            continue;
        }
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
        ASSERT_TRUE(font);
        const TMeasured measured = Measure(font, text);
        EXPECT_EQ(measured.Face, L"Tahoma");
        const int margin = ::lstrcmpiW(kind, L"Button") == 0 ? Scaled(4) : 0;
        RECT client{};
        ::GetClientRect(child, &client);
        EXPECT_LE(measured.Size.cx + 2 * margin, client.right) << "cut at the right";
        EXPECT_LE(measured.Size.cy + margin, client.bottom) << "cut at the bottom";
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// Every item of a menu on the screen shows its whole text in the system's menu font.
void ExpectEveryMenuTextFits(HMENU Menu) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    for (int i = 0; i < ::GetMenuItemCount(Menu); ++i) {
        wchar_t text[64] = {};
        if (!::GetMenuStringW(Menu, UINT(i), text, 64, MF_BYPOSITION)) {
            continue; // the separator
        }
        SCOPED_TRACE(std::string(text, text + ::lstrlenW(text)));
        RECT item{};
        ASSERT_TRUE(::GetMenuItemRect(nullptr, Menu, UINT(i), &item));
        // The access key's "&" is drawn as an underline, not as a character.
        std::wstring shown = text;
        shown.erase(std::remove(shown.begin(), shown.end(), L'&'), shown.end());
        const TMeasured measured = Measure(font, shown);
        EXPECT_LE(measured.Size.cx, item.right - item.left);
        EXPECT_LE(measured.Size.cy, item.bottom - item.top);
    }
    ::DeleteObject(font);
}

HWND ChildWithText(HWND Parent, const std::wstring& Text) {
    for (HWND child = ::GetWindow(Parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == Text) {
            return child;
        }
    }
    return nullptr;
}

// Reads the popup menu on the screen, if one is open: its items' texts, whether each shows whole, and a
// screenshot under the given name; then closes it. True when the screenshot was taken.
bool ReadOpenMenu(std::vector<std::wstring>& Items, const wchar_t* ShotName) {
    const HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (!menu) {
        return false;
    }
    const HMENU handle = reinterpret_cast<HMENU>(::SendMessageW(menu, 0x01E1 /* MN_GETHMENU */, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(handle); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(handle, UINT(i), text, 64, MF_BYPOSITION);
        Items.push_back(text);
    }
    ExpectEveryMenuTextFits(handle);
    const bool shot = test::TakeScreenshot(ShotName);
    ::EndMenu();
    return shot;
}

// The texts of the window's children, for a failure message.
std::string ChildTexts(HWND Parent) {
    std::string texts;
    for (HWND child = ::GetWindow(Parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = TextOf(child);
        texts += "[" + ToUtf8(std::u16string(text.begin(), text.end())) + "]";
    }
    return texts;
}

class MainWindowDesktop : public ::testing::Test {
protected:
    win32::TWin32WindowPlatform Windows;
    win32::TWin32WindowFactory Factory{::GetModuleHandleW(nullptr)};
    win32::TWin32GuiPlatform Gui{reinterpret_cast<std::uintptr_t>(::GetModuleHandleW(nullptr))};
    win32::TWin32ShellPlatform Shell;
    TElevatedCopySystem System;
    win32::TWin32RegistryPlatform Registry;
    win32::TWin32ShellExecutePlatform ShellExecute;
    win32::TWin32ClockPlatform Clock;
    tarnwick::testing::SimulatedMachine Machine;
    DEVINST Wired = Machine.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\1", u"Wired");
    DEVINST Wireless = Machine.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\2", u"Wireless");
    std::unique_ptr<TApplication> App;
    TOwned<TForm1> Form;

    void SetUp() override {
        // A limited turn-on of an earlier test, or an earlier run, leaves its end recorded in this prefix;
        // once due, this start would carry it out and begin with the internet off.
        for (const char16_t* value : {DeadlineValue, DeadlineTimeValue, DeadlineSwitchValue}) {
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, win32::AsWide(DeadlineKeyPath), win32::AsWide(value));
        }
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&controls);
        App = std::make_unique<TApplication>(Windows, Factory, Gui);
        App->SetTitle(u"Tarnwick");
        // The command line of an elevated copy: switches happen here, never through the prompt.
        TCommand elevated;
        elevated.Elevation = true;
        Form = MakeComponent<TForm1>(
            *App, App.get(), TForm1Platforms{Shell, System, Registry, ShellExecute, Machine.sim, Clock},
            elevated);
        App->SetMainForm(Form.get());
        // Windows broadcasts a device change after the class installer's changes.
        Machine.sim.OnDevicesChanged = [this] { ::PostMessageW(Wnd(), WM_DEVICECHANGE, 7, 0); };
        // As the message loop starts: the first duties the window posted itself.
        test::PumpMessages(500, [this] { return Form->FirstDutiesDone(); });
        ASSERT_TRUE(Form->FirstDutiesDone());
    }
    void TearDown() override {
        Form.Reset();
        App.reset();
        FinalizeGUIUtils();
        FinalizeDeviceInformationKt();
    }

    HWND Wnd() const { return reinterpret_cast<HWND>(Form->Handle()); }
    // What the notification area sends: the event where the shell took version 4 (the anchor point in
    // wParam), otherwise the mouse message that stands for it.
    void PostTrayEvent(UINT Event, POINT Anchor = {}) {
        if (Form->Tray().UsesVersion4()) {
            ::PostMessageW(Wnd(), WM_TRAY_CALLBACK, MAKEWPARAM(Anchor.x, Anchor.y), MAKELPARAM(Event, 0));
            return;
        }
        ::PostMessageW(Wnd(), WM_TRAY_CALLBACK, 0, Event == WM_CONTEXTMENU ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    }
    void ShowFromTray(UINT Event = NIN_SELECT) {
        PostTrayEvent(Event);
        test::PumpMessages(2000, [this] { return ::IsWindowVisible(Wnd()) != FALSE; });
    }
    // The program's own loop: keys go through the dialog manager first.
    void PumpAsTheProgram(DWORD Milliseconds, const std::function<bool()>& Done) {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < Milliseconds && !Done()) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!::IsDialogMessageW(Wnd(), &msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    void PressKey(WPARAM Key) {
        const HWND focus = ::GetFocus();
        ::PostMessageW(focus ? focus : Wnd(), WM_KEYDOWN, Key, 1);
        ::PostMessageW(focus ? focus : Wnd(), WM_KEYUP, Key, 0xC0000001);
    }
    bool On(DEVINST Adapter) const { return Machine.sim.Device(Adapter).Problem == 0; }
};

TEST_F(MainWindowDesktop, StartsHiddenInTheTrayAndShowsBesideItInBothStates) {
    EXPECT_FALSE(::IsWindowVisible(Wnd()));
    EXPECT_FALSE(::IsWindowVisible(reinterpret_cast<HWND>(App->Handle())));
    EXPECT_EQ(::SendMessageW(Wnd(), WM_GETICON, ICON_BIG, 0), 0) << "no icons while in the tray";
    test::TakeScreenshot(L"tray");

    ShowFromTray();
    ASSERT_TRUE(::IsWindowVisible(Wnd()));
    EXPECT_EQ(::SendMessageW(Wnd(), WM_GETICON, ICON_BIG, 0), LRESULT(App->Icon().Handle()));
    EXPECT_EQ(::SendMessageW(Wnd(), WM_GETICON, ICON_SMALL, 0), LRESULT(App->SmallIcon().Handle()));
    EXPECT_FALSE(::IsWindowVisible(reinterpret_cast<HWND>(App->Handle()))) << "no taskbar button";
    RECT window{};
    ::GetWindowRect(Wnd(), &window);
    RECT client{};
    ::GetClientRect(Wnd(), &client);
    EXPECT_EQ(Gui.GetDpiForWindow(Form->Handle()), ExpectedDpi());
    EXPECT_EQ(client.right, Scaled(248)); // 372 x 111 at 144 DPI
    EXPECT_EQ(client.bottom, Scaled(74));
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_TRUE(taskbar);
    RECT bar{};
    ::GetWindowRect(taskbar, &bar);
    EXPECT_EQ(window.bottom, bar.top) << "just above the taskbar";
    EXPECT_GE(window.left, 0);
    EXPECT_TRUE(::GetWindowLongW(Wnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(ChildWithText(Wnd(), L"Internet is turned on")) << ChildTexts(Wnd());
    const HWND button = ChildWithText(Wnd(), L"Turn off the internet");
    ASSERT_TRUE(button) << ChildTexts(Wnd());
    ExpectEveryTextFits(Wnd());
    // The picture is the rendering made for the scale, drawn pixel for pixel (72 x 72 at 144 DPI).
    BITMAP picture{};
    ASSERT_TRUE(
        ::GetObjectW(reinterpret_cast<HBITMAP>(Form->imgInternetOn->Picture()), sizeof picture, &picture));
    EXPECT_EQ(picture.bmWidth, Scaled(48));
    EXPECT_EQ(Form->imgInternetOn->RenderingName(),
              ExpectedDpi() == 144 ? u"PNG_INTERNET_ON_150" : u"PNG_INTERNET_ON");
    // The tray's pictures at the small-icon size of the scale (24 pixels at 144 DPI).
    for (const TIcon& icon : {Form->InternetOffIcon(), Form->InternetOnIcon(), App->SmallIcon()}) {
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(icon.Handle()), &info));
        BITMAP colour{};
        ::GetObjectW(info.hbmColor, sizeof colour, &colour);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        EXPECT_EQ(colour.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(colour.bmWidth, Scaled(16));
    }
    test::TakeScreenshot(L"main-window-on");

    // The turn-off button offers the pauses; "Turn off for good" turns off for good.
    std::vector<std::wstring> pauses;
    TLater later(1000, [&] { ReadOpenMenu(pauses, L"turn-off-menu"); });
    ::PostMessageW(button, BM_CLICK, 0, 0);
    test::PumpMessages(25000, [&] { return !pauses.empty(); });
    EXPECT_EQ(pauses, (std::vector<std::wstring>{L"Turn off for &5 min", L"Turn off for &15 min",
                                                 L"Turn off for &30 min", L"Turn off for an &hour", L"",
                                                 L"Turn off for &good"}));
    ::PostMessageW(Wnd(), WM_COMMAND, Form->Justturnoff1->Command(), 0);
    test::PumpMessages(3000, [this] { return !On(Wired) && !On(Wireless); });
    EXPECT_FALSE(On(Wired));
    EXPECT_FALSE(On(Wireless));
    test::PumpMessages(1500); // the balloon comes a moment later
    test::TakeScreenshot(L"balloon-off");
    EXPECT_FALSE(::IsWindowVisible(Wnd())) << "every switch hides the window";

    ShowFromTray();
    EXPECT_TRUE(ChildWithText(Wnd(), L"Internet is turned off"));
    EXPECT_TRUE(ChildWithText(Wnd(), L"Turn on the internet"));
    ExpectEveryTextFits(Wnd());
    test::TakeScreenshot(L"main-window-off");
}

TEST_F(MainWindowDesktop, TheSwitchOffersTheTurnOnMenuWhenTheInternetIsOff) {
    Machine.sim.Disable(Wired);
    Machine.sim.Disable(Wireless);
    ::PostMessageW(Wnd(), WM_DEVICECHANGE, 7, 0);
    ShowFromTray();
    const HWND button = ChildWithText(Wnd(), L"Turn on the internet");
    ASSERT_TRUE(button);
    RECT place{};
    ::GetWindowRect(button, &place);
    ::SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);

    std::vector<std::wstring> items;
    bool shot = false;
    TLater later(1000, [&] { shot = ReadOpenMenu(items, L"turn-on-menu"); });
    ::PostMessageW(button, BM_CLICK, 0, 0);
    test::PumpMessages(25000, [&] { return !items.empty(); });
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], L"Turn on for &5 min");
    EXPECT_EQ(items[3], L"Turn on for an &hour");
    EXPECT_EQ(items[4], L"") << "the separator";
    EXPECT_EQ(items[5], L"Turn on for &good");
    EXPECT_FALSE(On(Wired)) << "a dismissed menu switches nothing";

    // The item's command, as the menu sends it when the item is chosen.
    ::PostMessageW(Wnd(), WM_COMMAND, Form->urnonfor5min1->Command(), 0);
    test::PumpMessages(3000, [this] { return On(Wired) && On(Wireless); });
    EXPECT_TRUE(On(Wired) && On(Wireless));
    test::PumpMessages(1500);
    test::TakeScreenshot(L"balloon-on");
}

TEST_F(MainWindowDesktop, TheKeyboardOpensTheWindowOnTheSwitchAndEscapeOrAClickElsewhereHidesIt) {
    EXPECT_TRUE(Form->Tray().UsesVersion4()) << "Wine's notification area takes version 4";
    ShowFromTray(NIN_KEYSELECT);
    ASSERT_TRUE(::IsWindowVisible(Wnd()));
    const HWND button = ChildWithText(Wnd(), L"Turn off the internet");
    ASSERT_TRUE(button);
    EXPECT_EQ(::GetFocus(), button) << "the keyboard starts on the switch";
    EXPECT_EQ(::GetForegroundWindow(), Wnd());
    EXPECT_TRUE(::GetWindowLongW(Wnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "not in Alt+Tab";
    EXPECT_FALSE(::IsWindowVisible(reinterpret_cast<HWND>(App->Handle()))) << "no taskbar button";
    test::TakeScreenshot(L"flyout-keyboard");

    PressKey(VK_ESCAPE);
    PumpAsTheProgram(2000, [this] { return !::IsWindowVisible(Wnd()); });
    EXPECT_FALSE(::IsWindowVisible(Wnd())) << "Escape hides it";

    ShowFromTray(NIN_SELECT);
    ASSERT_TRUE(::IsWindowVisible(Wnd()));
    // Another program's window takes the activation: a click elsewhere.
    const HWND elsewhere = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 10, 10, 100,
                                             50, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(elsewhere);
    test::PumpMessages(2000, [this] { return !::IsWindowVisible(Wnd()); });
    EXPECT_FALSE(::IsWindowVisible(Wnd())) << "losing the activation hides it";
    ::DestroyWindow(elsewhere);

    // Enter presses the switch, which offers the pauses.
    ShowFromTray(NIN_KEYSELECT);
    std::vector<std::wstring> items;
    TLater later(1000, [&] { ReadOpenMenu(items, L"turn-off-menu-keyboard"); });
    PressKey(VK_RETURN);
    PumpAsTheProgram(25000, [&] { return !items.empty(); });
    EXPECT_EQ(items.size(), 6u) << "Enter opened no menu";
}

TEST_F(MainWindowDesktop, AMenuOfItsOwnKeepsTheWindowOpen) {
    Machine.sim.Disable(Wired);
    Machine.sim.Disable(Wireless);
    ::PostMessageW(Wnd(), WM_DEVICECHANGE, 7, 0);
    ShowFromTray(NIN_KEYSELECT);
    bool visibleWithMenu = false;
    std::vector<std::wstring> items;
    TLater later(1000, [&] {
        visibleWithMenu = ::IsWindowVisible(Wnd()) != FALSE;
        ReadOpenMenu(items, L"turn-on-menu-keyboard");
    });
    PressKey(VK_RETURN);
    PumpAsTheProgram(25000, [&] { return !items.empty(); });
    EXPECT_EQ(items.size(), 6u);
    EXPECT_TRUE(visibleWithMenu);
}

TEST_F(MainWindowDesktop, TheTrayMenuShowsItsTextsWhole) {
    std::vector<std::wstring> items;
    TLater later(1000, [&] { ReadOpenMenu(items, L"tray-menu"); });
    PostTrayEvent(WM_CONTEXTMENU, {1200, 780});
    test::PumpMessages(25000, [&] { return !items.empty(); });
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Turn &off the internet", L"Turn off for &5 min",
                                                L"Turn off for &15 min", L"Turn off for &30 min",
                                                L"Turn off for an &hour", L"", L"&About", L"", L"E&xit"}));
}

// Where the one icon on the desktop sits in the notification area: in Wine 8 the taskbar draws its icons
// itself, the first at its right end, each a small icon wide with a border of 2 on either side.
POINT TrayIconMiddle(HWND Taskbar) {
    RECT bar{};
    ::GetWindowRect(Taskbar, &bar);
    const int width = ::GetSystemMetrics(SM_CXSMICON) + 2 * 2;
    return {bar.right - width / 2, (bar.top + bar.bottom) / 2};
}

// The tip the notification area shows once the mouse rests on an icon.
HWND ShownTip(HWND Taskbar) {
    for (HWND tip = ::FindWindowW(L"tooltips_class32", nullptr); tip;
         tip = ::FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) {
        const HWND owner = ::GetWindow(tip, GW_OWNER);
        if ((owner == Taskbar || ::GetParent(owner) == Taskbar) && ::IsWindowVisible(tip)) {
            return tip;
        }
    }
    return nullptr;
}

TEST_F(MainWindowDesktop, TheTipShowsTheStateOnceAndWhole) {
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_TRUE(taskbar);
    // The mouse goes back where it was: the later tests, and the next programs on this display, place
    // windows by it.
    POINT before{};
    ::GetCursorPos(&before);
    const TScopeExit putBack([before] { ::SetCursorPos(before.x, before.y); });
    const POINT middle = TrayIconMiddle(taskbar);
    ::SetCursorPos(middle.x, middle.y);
    // The mouse comes to rest on the icon, as the notification area hears it; the tip comes up after the
    // pause the system sets.
    const HWND under = ::WindowFromPoint(middle);
    POINT inside = middle;
    ::ScreenToClient(under, &inside);
    ::PostMessageW(under, WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    HWND tip = nullptr;
    test::PumpMessages(5000, [&] {
        tip = ShownTip(taskbar);
        return tip != nullptr;
    });
    ASSERT_TRUE(tip) << "no tip came up";
    test::PumpMessages(300);
    test::TakeScreenshot(L"tray-tip");
    // The text it shows, asked of the tip itself (GetWindowTextW does not ask a window of another process).
    wchar_t shown[128] = {};
    ::SendMessageW(tip, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(shown));
    const std::wstring text = shown;
    EXPECT_EQ(text, L"Tarnwick: the internet is on");

    // The tip draws its text in the status font: its window holds the text whole, and only once.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const HFONT font = ::CreateFontIndirectW(&metrics.lfStatusFont);
    const TMeasured measured = Measure(font, text);
    ::DeleteObject(font);
    RECT client{};
    ::GetClientRect(tip, &client);
    EXPECT_GE(client.right, measured.Size.cx) << "cut at the right";
    EXPECT_LT(client.right, 2 * measured.Size.cx) << "room for the text twice";
    EXPECT_GE(client.bottom, measured.Size.cy) << "cut at the bottom";
    EXPECT_LT(client.bottom, 2 * measured.Size.cy) << "room for two lines";
}

// The name-change events this process heard on OBJID_CLIENT, with the window's text then.
std::vector<std::pair<HWND, std::wstring>>& HeardNameChanges() {
    static std::vector<std::pair<HWND, std::wstring>> heard; // of the running test only
    return heard;
}
void CALLBACK HearNameChange(HWINEVENTHOOK, DWORD Event, HWND Window, LONG Object, LONG Child, DWORD, DWORD) {
    if (Event == EVENT_OBJECT_NAMECHANGE && Object == OBJID_CLIENT && Child == CHILDID_SELF) {
        HeardNameChanges().emplace_back(Window, TextOf(Window));
    }
}

TEST_F(MainWindowDesktop, AScreenReaderReadsEachControlsRoleAndNameAndHearsTheStateChange) {
    ShowFromTray();
    ASSERT_TRUE(::IsWindowVisible(Wnd()));
    const auto window = [](TControl& Control) { return reinterpret_cast<HWND>(Control.Handle()); };
    const struct {
        HWND Window;
        LONG Role;
        const wchar_t* Name;
    } controls[] = {
        {window(*Form->lblState), ROLE_SYSTEM_STATICTEXT, L"Internet is turned on"},
        {window(*Form->btnSwitch), ROLE_SYSTEM_PUSHBUTTON, L"Turn off the internet"},
        {window(*Form->imgInternetOn), ROLE_SYSTEM_GRAPHIC, L"A globe: the internet is on"},
        {window(*Form->imgTarnwick), ROLE_SYSTEM_GRAPHIC, L"A globe crossed out: the internet is off"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(ToUtf8(std::u16string(c.Name, c.Name + ::lstrlenW(c.Name))));
        const test::TAccessibleClient object(c.Window);
        ASSERT_TRUE(object) << std::hex << object.Result;
        EXPECT_EQ(object.Role(), c.Role);
        EXPECT_EQ(object.Name(), c.Name);
    }

    // The switch, and what a screen reader that keeps the label's object hears and reads then.
    const test::TAccessibleClient state(window(*Form->lblState));
    HeardNameChanges().clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &HearNameChange,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    ::PostMessageW(Wnd(), WM_COMMAND, Form->Justturnoff1->Command(), 0);
    test::PumpMessages(3000, [this] { return !On(Wired) && !On(Wireless); });
    test::PumpMessages(200);
    ::UnhookWinEvent(hook);
    EXPECT_NE(std::find(HeardNameChanges().begin(), HeardNameChanges().end(),
                        std::make_pair(window(*Form->lblState), std::wstring(L"Internet is turned off"))),
              HeardNameChanges().end());
    EXPECT_EQ(state.Name(), L"Internet is turned off");
}

TEST_F(MainWindowDesktop, TheAboutWindowIsModalInTheMiddleOfTheScreen) {
    HWND about = nullptr;
    RECT place{};
    bool mainWindowWaited = false;
    std::wstring contact;
    std::vector<std::pair<LONG, std::wstring>> links; // as a screen reader reads them
    TLater later(1000, [&] {
        about = ::FindWindowW(L"TfrmAbout", nullptr);
        if (!about) {
            return;
        }
        ::GetWindowRect(about, &place);
        mainWindowWaited = !::IsWindowEnabled(Wnd());
        for (const wchar_t* address : {L"support@tarnwick.org", L"www.tarnwick.org"}) {
            const test::TAccessibleClient link(ChildWithText(about, address));
            links.emplace_back(link.Role(), link.Name());
        }
        if (const HWND link = ChildWithText(about, std::wstring(L"support@tarnwick.org"))) {
            contact = TextOf(link);
            ::SendMessageW(link, WM_MOUSEMOVE, 0, 0); // the mouse on the link: maroon
            ::InvalidateRect(link, nullptr, TRUE);
        }
        ExpectEveryTextFits(about);
        test::TakeScreenshot(L"about-window");
        ::PostMessageW(about, WM_CLOSE, 0, 0);
    });
    ::PostMessageW(Wnd(), WM_COMMAND, Form->About1->Command(), 0);
    test::PumpMessages(25000, [&] { return about && !::IsWindow(about); });
    ASSERT_TRUE(about);
    EXPECT_FALSE(::IsWindow(about)) << "released when closed";
    EXPECT_TRUE(mainWindowWaited);
    EXPECT_EQ(contact, L"support@tarnwick.org");
    EXPECT_EQ(links, (std::vector<std::pair<LONG, std::wstring>>{{ROLE_SYSTEM_LINK, L"support@tarnwick.org"},
                                                                 {ROLE_SYSTEM_LINK, L"www.tarnwick.org"}}));
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    EXPECT_NEAR(place.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);
    EXPECT_NEAR(place.top, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 1);
    EXPECT_TRUE(::IsWindowEnabled(Wnd()));
}

} // namespace
} // namespace tarnwick
