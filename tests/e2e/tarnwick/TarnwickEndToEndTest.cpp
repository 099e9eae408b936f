// tarnwick.exe as a user meets it, on a Wine desktop with a taskbar: started from the command line
// against the test-double setupapi.dll and a simulated machine, driven the way Windows drives it (the
// tray callback message, a button click, device-change broadcasts), and checked by what the machine and
// the screen show.

#include <gtest/gtest.h>

#include <string>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "ProgramUnderTest.h"

#include "tests/win32/common/Screenshot.h"

namespace tarnwick::e2e {
namespace {

constexpr UINT WM_TRAY_CALLBACK_ = 0x1135;
constexpr DWORD Patience = 20000;
// What the notification area of version 4 sends for a click and for a right click (at a point).
constexpr LPARAM TraySelect = NIN_SELECT;
constexpr LPARAM TrayContextMenu = WM_CONTEXTMENU;
constexpr WPARAM TrayAnchor = MAKEWPARAM(1200, 785);

class TarnwickEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
        wireless = m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
        hidden = m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
        m.sim.AddDevice(u"SCSI\\DISK&VEN_SAMSUNG\\4&2F4B6C2", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
        machine.Write(m.sim);
    }
    void TearDown() override {
        EndTarnwickProcesses();
        ::DeleteFileW(machine.Path().c_str());
    }
    std::uint32_t Problem(DEVINST device) const { return machine.Read().Device(device).Problem; }
    bool AdaptersAre(std::uint32_t problem) const {
        const auto now = machine.Read();
        return now.Device(wired).Problem == problem && now.Device(wireless).Problem == problem;
    }
    HWND MainWindowOf(const TProgram& program) const {
        HWND found = nullptr;
        WaitUntil(Patience, [&] {
            const auto windows = WindowsOf(program.ProcessId(), L"TarnwickMainWindow");
            found = windows.empty() ? nullptr : windows.front();
            return found != nullptr;
        });
        return found;
    }
    // Chooses an item of the program's open pop-up menu from the keyboard, as a user would: Home selects
    // the first item, End the last, and Enter chooses it. False when no menu opened.
    static bool ChooseFromOpenMenu(const TProgram& program, WPARAM selectKey) {
        return ChooseFromOpenMenu(program, selectKey, L'\r');
    }
    // The same with the item's access key, which chooses it at once.
    static bool ChooseByAccessKey(const TProgram& program, wchar_t key) {
        return ChooseFromOpenMenu(program, 0, key);
    }
    static bool ChooseFromOpenMenu(const TProgram& program, WPARAM selectKey, wchar_t character) {
        HWND menu = nullptr;
        const bool opened = WaitUntil(Patience, [&] {
            for (HWND candidate : WindowsOf(program.ProcessId(), L"#32768")) {
                if (::IsWindowVisible(candidate)) {
                    menu = candidate;
                    return true;
                }
            }
            return false;
        });
        if (!opened) {
            return false;
        }
        if (selectKey) {
            ::PostMessageW(menu, WM_KEYDOWN, selectKey, 0);
        }
        ::PostMessageW(menu, WM_CHAR, character, 0);
        return true;
    }
    static std::wstring StateText(HWND window) {
        HWND label =
            FindChild(window, L"TarnwickLabel", {L"Internet is turned on", L"Internet is turned off"});
        return label ? WindowText(label) : L"";
    }

    testing::SimulatedMachine m;
    DEVINST wired = 0, wireless = 0, hidden = 0;
    TMachineFile machine{ProgramFolder() / L"e2e-machine.txt"};
};

TEST_F(TarnwickEndToEnd, StartsInTheTrayAndSwitchesFromTheWindow) {
    // What the user was typing into before the start.
    const HWND typing = ::CreateWindowExW(0, L"EDIT", L"typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                          300, 200, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(typing);
    WaitUntil(2000, [&] { return ::GetForegroundWindow() == typing; });
    ASSERT_EQ(::GetForegroundWindow(), typing);
    // An elevated copy switches in its own window (without -elevation, Windows 7 relaunches first).
    TProgram program(machine, L"-elevation");
    HWND window = MainWindowOf(program);
    ASSERT_NE(window, nullptr) << "no main window";
    // The start shows nothing: nothing on any screen, no taskbar button.
    EXPECT_FALSE(::IsWindowVisible(window));
    for (HWND other : WindowsOf(program.ProcessId())) {
        RECT r{};
        ::GetWindowRect(other, &r);
        const bool onScreen = r.bottom > 0 && r.right > 0 && r.left < 1280 && r.top < 800;
        EXPECT_FALSE(::IsWindowVisible(other) && onScreen) << "visible window";
    }
    // The window hides before the state is first shown: wait for it rather than race it.
    const bool onShown = WaitUntil(Patience, [&] { return StateText(window) == L"Internet is turned on"; });
    const std::wstring shown = StateText(window);
    EXPECT_TRUE(onShown) << "state shown: " << std::string(shown.begin(), shown.end());
    EXPECT_EQ(::GetForegroundWindow(), typing) << "the start took the foreground";
    EXPECT_TRUE(WindowsOf(program.ProcessId(), L"TarnwickApplication").empty() ||
                !::IsWindowVisible(WindowsOf(program.ProcessId(), L"TarnwickApplication").front()));
    test::TakeScreenshot(L"e2e-tray");
    ::DestroyWindow(typing);

    // A left press on the tray icon shows the window beside the notification area.
    ::PostMessageW(window, WM_TRAY_CALLBACK_, TrayAnchor, TraySelect);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return ::IsWindowVisible(window) != FALSE; }));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 1280);
    EXPECT_LE(r.bottom, 800);
    test::TakeScreenshot(L"e2e-window-on");

    // The turn-off button offers the pauses; "Turn off for good", the last item, turns off for good.
    HWND button = FindChild(window, L"Button", {L"Turn off the internet"});
    ASSERT_NE(button, nullptr);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(ChooseFromOpenMenu(program, VK_END)) << "the turn-off menu did not open";
    EXPECT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(22); })) << "adapters not disabled";
    EXPECT_EQ(Problem(hidden), 0u);
    // The broadcast device change turns the display to off.
    EXPECT_TRUE(WaitUntil(Patience, [&] { return StateText(window) == L"Internet is turned off"; }));
    EXPECT_NE(FindChild(window, L"Button", {L"Turn on the internet"}), nullptr);
    test::TakeScreenshot(L"e2e-balloon-off");
    ::PostMessageW(window, WM_TRAY_CALLBACK_, TrayAnchor, TraySelect);
    WaitUntil(3000, [&] { return ::IsWindowVisible(window) != FALSE; });
    test::TakeScreenshot(L"e2e-window-off");

    // An adapter enabled behind the program's back: the display follows the broadcast.
    auto changed = machine.Read();
    changed.Enable(wireless);
    machine.Write(changed);
    ::PostMessageW(HWND_BROADCAST, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    EXPECT_TRUE(WaitUntil(Patience, [&] { return StateText(window) == L"Internet is turned on"; }));

    // Both adapters off again; then "Turn on for good", the last item of the menu that the switch button
    // opens while the internet is off, turns them on. Only the command can make them so.
    auto off = m.sim;
    off.Disable(wired);
    off.Disable(wireless);
    machine.Write(off);
    ::PostMessageW(HWND_BROADCAST, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return StateText(window) == L"Internet is turned off"; }));
    button = FindChild(window, L"Button", {L"Turn on the internet"});
    ASSERT_NE(button, nullptr);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(ChooseFromOpenMenu(program, VK_END)) << "the turn-on menu did not open";
    EXPECT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(0); })) << "adapters not enabled";

    // "About" of the tray menu, by its access key: a window of its own; then "Exit", by its access key,
    // ends the program.
    ::PostMessageW(window, WM_TRAY_CALLBACK_, TrayAnchor, TrayContextMenu);
    ASSERT_TRUE(ChooseByAccessKey(program, L'a')) << "the tray menu did not open";
    HWND about = nullptr;
    EXPECT_TRUE(WaitUntil(Patience, [&] {
        const auto windows = WindowsOf(program.ProcessId(), L"TfrmAbout");
        about = windows.empty() ? nullptr : windows.front();
        return about != nullptr && ::IsWindowVisible(about);
    }));
    test::TakeScreenshot(L"e2e-about");
    if (about) {
        ::PostMessageW(about, WM_CLOSE, 0, 0);
    }
    WaitUntil(3000, [&] { return WindowsOf(program.ProcessId(), L"TfrmAbout").empty(); });
    ::PostMessageW(window, WM_TRAY_CALLBACK_, TrayAnchor, TrayContextMenu);
    ASSERT_TRUE(ChooseByAccessKey(program, L'x')) << "the tray menu did not open";
    EXPECT_TRUE(program.WaitForExit(Patience)) << "Exit did not end the program";
}

TEST_F(TarnwickEndToEnd, LimitedTurnOnFromTheCommandLineTurnsOffAgainAfterAMinute) {
    auto off = m.sim;
    off.Disable(wired);
    off.Disable(wireless);
    machine.Write(off);
    TProgram program(machine, L"-elevation -action turnon 1");
    ASSERT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(0); })) << "adapters not enabled";
    test::TakeScreenshot(L"e2e-balloon-on-1-min");
    // No test-only timing: the program's own timer, one minute.
    EXPECT_FALSE(WaitUntil(45000, [&] { return AdaptersAre(22); })) << "turned off too early";
    EXPECT_TRUE(WaitUntil(45000, [&] { return AdaptersAre(22); })) << "not turned off after the minute";
    EXPECT_TRUE(program.Running());
}

TEST_F(TarnwickEndToEnd, TurnOffWithoutElevationRelaunchesAnElevatedCopyThatSwitches) {
    TProgram program(machine, L"-action turnoff");
    // Wine reports Windows 7: the first instance hands the switch to "-elevation -action turnoff".
    EXPECT_TRUE(WaitUntil(Patience * 2, [&] { return AdaptersAre(22); }))
        << "the elevated copy did not switch";
    EXPECT_TRUE(program.WaitForExit(Patience)) << "the first instance did not end";
    EXPECT_FALSE(TarnwickProcesses().empty()) << "no elevated copy in the tray";
}

TEST_F(TarnwickEndToEnd, SubscribeOnStartupWritesTheQuotedPathAndEnds) {
    TProgram program(machine, L"-subscribeonstartup -elevation");
    ASSERT_TRUE(program.WaitForExit(Patience)) << "the program did not end";
    HKEY run = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, &run),
              ERROR_SUCCESS);
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    const LONG read =
        ::RegQueryValueExW(run, L"Tarnwick", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    ::RegDeleteValueW(run, L"Tarnwick");
    ::RegCloseKey(run);
    ASSERT_EQ(read, ERROR_SUCCESS);
    const std::wstring expected = L"\"" + (ProgramFolder() / L"tarnwick.exe").wstring() + L"\"";
    EXPECT_EQ(::lstrcmpiW(value, expected.c_str()), 0)
        << "Run value: " << std::string(value, value + lstrlenW(value));
}

TEST_F(TarnwickEndToEnd, UnknownActionEndsWithItsReasonAndExitCodeTwo) {
    // A script must never wait on a mistyped action: it is refused, said where the output goes, and ends.
    std::string output;
    EXPECT_EQ(RunToEnd(machine, L"-elevation -action reboot", &output, Patience), 2u) << output;
    EXPECT_NE(output.find("Unknown action: reboot"), std::string::npos) << output;
    EXPECT_NE(output.find("tarnwick.exe -help"), std::string::npos) << output;
    EXPECT_TRUE(AdaptersAre(0)) << "nothing is switched";
}

} // namespace
} // namespace tarnwick::e2e
