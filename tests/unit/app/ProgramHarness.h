#pragma once
// The main window on the headless desktop over a simulated laptop with two network adapters: the
// command line, the Windows version, the registry, the shell and the shell's elevation are stand-ins the
// test sets up before the window is made.

#include <memory>
#include <string>

#include "app/ProgramSupport.h"
#include "app/Unit1.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/SimulatedMachine.h"
#include "support/SupportUtils.h"
#include "tests/unit/app/FakeInstance.h"
#include "tests/unit/app/HeadlessDesktop.h"
#include "tests/unit/app/TimelineShell.h"
#include "tests/unit/support/FakeRegistryPlatform.h"
#include "tests/unit/support/FakeShellExecutePlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"
#include "tests/unit/support/FakeTaskSchedulerPlatform.h"
#include "tray/GUIUtils.h"

namespace tarnwick::test {

inline constexpr char16_t ProgramPath[] = u"C:\\Program Files\\Tarnwick\\tarnwick.exe";
inline constexpr std::uint32_t DBT_DEVNODES_CHANGED = 7;
inline constexpr char16_t OffNotice[] = u"The internet is turned off now. Happy offline work!";

struct TProgramHarness {
    THeadlessDesktop Desktop;
    TTimelineShell Shell{Desktop.Timeline};
    tarnwick::testing::FakeSystemPlatform System;
    tarnwick::testing::FakeRegistryPlatform Registry;
    tarnwick::testing::FakeShellExecutePlatform ShellExecute;
    tarnwick::testing::FakeTaskSchedulerPlatform Scheduler;
    tarnwick::testing::SimulatedMachine Machine;
    TDesktopClock Clock{Desktop};
    DEVINST Wired = Machine.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\1", u"Wired");
    DEVINST Wireless = Machine.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\2", u"Wireless");
    std::unique_ptr<TApplication> App;
    TOwned<TForm1> Form;

    TProgramHarness() {
        System.ModuleFileName = ProgramPath;
        // Windows broadcasts a device change after every change of the adapters.
        Machine.sim.OnDevicesChanged = [this] {
            Desktop.Broadcast(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        };
    }
    ~TProgramHarness() {
        Form.Reset();
        App.reset();
        FinalizeGUIUtils();
        FinalizeDeviceInformationKt();
    }

    // A command as a later start hands it over (element 0 the program).
    TCommand Command(std::initializer_list<std::u16string> Arguments) {
        return ParseCommandLine(System, std::vector<std::u16string>(Arguments));
    }
    // The window made for this command line (after the program's name) on this Windows version.
    void Create(const std::u16string& Arguments, std::uint32_t Major = 6, std::uint32_t Minor = 1) {
        System.Major = Major;
        System.Minor = Minor;
        System.CommandLine = u"\"" + std::u16string(ProgramPath) + u"\" " + Arguments;
        App = std::make_unique<TApplication>(Desktop, Desktop, Desktop);
        App->SetTitle(u"Tarnwick");
        Form = MakeComponent<TForm1>(*App, App.get(),
                                     TForm1Platforms{Shell, System, Registry, ShellExecute, Machine.sim,
                                                     Clock, nullptr, nullptr, &Scheduler},
                                     ParseCommandLine(System, ProcessArguments(System)));
        App->SetMainForm(Form.get());
    }
    // As the message loop starts: the first duties the window posted itself, and the messages that follow.
    void Start(const std::u16string& Arguments, std::uint32_t Major = 6, std::uint32_t Minor = 1) {
        Create(Arguments, Major, Minor);
        Desktop.Pump();
    }

    HWND_T FormWindow() const { return Form->Handle(); }
    HWND_T ButtonWindow() const { return Form->btnSwitch->Handle(); }
    std::intptr_t Send(std::uint32_t Msg, std::uintptr_t WParam = 0, std::intptr_t LParam = 0) {
        const std::intptr_t result = Desktop.Send(FormWindow(), Msg, WParam, LParam);
        Desktop.Pump();
        return result;
    }
    // A message of the notification area about the icon: a shell of version 4 says the event, with the
    // anchor point in wParam, an older one the mouse message.
    void TrayClick(std::uint32_t Event, TPoint Anchor = {}) {
        const auto anchor = static_cast<std::uintptr_t>(std::uint16_t(Anchor.X)) |
                            (static_cast<std::uintptr_t>(std::uint16_t(Anchor.Y)) << 16);
        Send(WM_TRAY_CALLBACK, anchor, Event);
    }
    // Chooses a menu item the way the platform reports it: WM_COMMAND with its command number.
    void Choose(const TMenuItem& Item) { Send(WM_COMMAND, Item.Command(), 0); }
    // A click on the switch. While the internet is on it opens the pauses' menu: unless the test chooses,
    // "Turn off for good" is chosen there.
    void PressSwitch() {
        auto choice = Desktop.MenuChoice;
        if (!choice) {
            Desktop.MenuChoice = [](const THeadlessDesktop::TPopup& Popup) -> std::optional<std::u16string> {
                for (const auto& entry : Popup.Entries) {
                    if (entry.Text == u"Turn off for &good") {
                        return entry.Text;
                    }
                }
                return std::nullopt;
            };
        }
        Desktop.ClickButton(ButtonWindow());
        Desktop.Pump();
        Desktop.MenuChoice = choice;
    }

    bool AdapterOn(DEVINST Adapter) const { return Machine.sim.Device(Adapter).Problem == 0; }
    bool BothOn() const { return AdapterOn(Wired) && AdapterOn(Wireless); }
    bool BothOff() const { return !AdapterOn(Wired) && !AdapterOn(Wireless); }
    void TurnAdaptersOff() {
        Machine.sim.Disable(Wired);
        Machine.sim.Disable(Wireless);
    }
    // The tray icon of the main window, if the notification area shows one.
    const TTimelineShell::TIconState* TrayIcon() const {
        const auto it = Shell.Icons.find({Form->Handle(), 0});
        return it == Shell.Icons.end() ? nullptr : &it->second;
    }
    std::u16string LastBalloon() const { return Shell.Balloons.empty() ? u"" : Shell.Balloons.back().Text; }
    bool TimerArmed() const {
        return Desktop.TimerRunning(Form->TurnOffTimer->WindowHandle(), TTimer::TimerId);
    }
};

} // namespace tarnwick::test
