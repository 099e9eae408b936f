// What the main window tells after a switch: the balloon when every adapter took the change, one box
// naming each that did not, and the log lines of every switch.

#include <gtest/gtest.h>

#include "diag/LogFile.h"
#include "fixtures/RecordingLog.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/support/FakeFilePlatform.h"

namespace tarnwick {
namespace {

using test::TProgramHarness;

constexpr char16_t AppData[] = u"C:\\Users\\tester\\AppData\\Roaming";
const std::string Stamp = "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] ";

// The laptop of the harness with a dock and a phone added: four adapters.
struct FourAdapters : TProgramHarness {
    DEVINST Dock = Machine.AddAdapter(u"USB\\VID_0BDA&PID_8153\\3", u"Dock");
    DEVINST Phone = Machine.AddAdapter(u"USB\\VID_04E8&PID_6863\\4", u"Phone");
};

TEST(SwitchOutcome, TheSecondOfFourRefusingLeavesTheOthersSwitchedAndOneBoxNamesIt) {
    FourAdapters h;
    h.Machine.sim.Device(h.Wireless).RefuseChangeError = ERROR_ACCESS_DENIED;
    h.Start(u"-elevation");
    h.PressSwitch();
    EXPECT_FALSE(h.AdapterOn(h.Wired));
    EXPECT_TRUE(h.AdapterOn(h.Wireless));
    EXPECT_FALSE(h.AdapterOn(h.Dock));
    EXPECT_FALSE(h.AdapterOn(h.Phone));
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_EQ(h.Desktop.Boxes[0].Text, u"Not every network adapter could be turned off:\r\n"
                                       u"\r\n"
                                       u"Wireless: Windows error 0x00000005 (Access is denied)\r\n"
                                       u"\r\n"
                                       u"3 of 4 adapters are now off.");
    EXPECT_EQ(h.Desktop.Boxes[0].Caption, u"Tarnwick");
    EXPECT_EQ(h.Desktop.Boxes[0].Type, MB_OK | MB_ICONWARNING);
    EXPECT_TRUE(h.Shell.Balloons.empty()) << "no word of success";
    // The display shows what the adapters say: one is still on.
    EXPECT_EQ(h.Form->lblState->Caption(), u"Internet is turned on");
}

TEST(SwitchOutcome, AnAdapterWaitingForARestartIsNamedInABoxInsteadOfTheBalloon) {
    FourAdapters h;
    h.TurnAdaptersOff();
    h.Machine.sim.Disable(h.Dock);
    h.Machine.sim.Device(h.Dock).RequestReboot = true;
    h.Start(u"-elevation");
    h.Choose(*h.Form->Justturnon1);
    EXPECT_FALSE(h.AdapterOn(h.Dock)) << "off until Windows restarts";
    ASSERT_EQ(h.Desktop.Boxes.size(), 1u);
    EXPECT_EQ(h.Desktop.Boxes[0].Text,
              u"Dock is turned on only after Windows restarts.\r\n\r\n3 of 4 adapters are now on.");
    EXPECT_EQ(h.Desktop.Boxes[0].Type, MB_OK | MB_ICONINFORMATION);
    EXPECT_TRUE(h.Shell.Balloons.empty()) << "no word of a switch that is not done yet";
}

TEST(SwitchOutcome, EverySwitchIsLoggedWithWhoAskedEachAdapterAndTheBoxByteForByte) {
    FourAdapters h;
    h.System.ModuleFileName = u"C:\\Tools\\Tarnwick.exe";
    h.Machine.sim.Device(h.Wireless).RefuseChangeError = ERROR_ACCESS_DENIED;
    h.Start(u"-elevation");
    testing::FakeFilePlatform files;
    files.AddFolder(AppData);
    TLogFile log(h.System, files);
    TScopedLogSink installed(log);
    h.PressSwitch();
    EXPECT_EQ(
        files.Content(std::u16string(AppData) + u"\\Tarnwick\\Tarnwick.log.txt"),
        Stamp + "Turn off the internet, asked by the button\r\n" + Stamp +
            "Adapter \"Wired\" (PCI\\VEN_8086&DEV_15B8\\1): turned off\r\n" + Stamp +
            "Adapter \"Wireless\" (PCI\\VEN_8086&DEV_24FD\\2): not turned off: Windows error 0x00000005 "
            "(Access is denied)\r\n" +
            Stamp + "Adapter \"Dock\" (USB\\VID_0BDA&PID_8153\\3): turned off\r\n" + Stamp +
            "Adapter \"Phone\" (USB\\VID_04E8&PID_6863\\4): turned off\r\n" + Stamp +
            "3 of 4 adapters are now off\r\n" + Stamp +
            "Message box: Not every network adapter could be turned off: Wireless: Windows error 0x00000005 "
            "(Access is denied) 3 of 4 adapters are now off.\r\n");
}

TEST(SwitchOutcome, TheLogNamesWhoAskedForEachSwitch) {
    const struct {
        const char* Name;
        const char16_t* Arguments;
        std::function<void(TProgramHarness&)> Act;
        const char16_t* Line;
    } cases[] = {
        {"button", u"-elevation", [](TProgramHarness& h) { h.PressSwitch(); },
         u"Turn off the internet, asked by the button"},
        {"menu", u"-elevation", [](TProgramHarness& h) { h.Choose(*h.Form->TrayTurnOffFor15min1); },
         u"Turn off the internet for 15 min, asked by the menu"},
        {"button's menu", u"-elevation", [](TProgramHarness& h) { h.Choose(*h.Form->urnonfor15min1); },
         u"Turn on the internet for 15 min, asked by the button"},
        {"command line", u"-elevation -action turnon", [](TProgramHarness&) {},
         u"Turn on the internet, asked by the command line"},
        {"deadline", u"-elevation -action turnon 5",
         [](TProgramHarness& h) { h.Desktop.AdvanceTime(5 * 60000); },
         u"Turn off the internet, asked by the deadline"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        testing::RecordingLog log;
        h.Start(c.Arguments);
        c.Act(h);
        std::vector<std::u16string> asked;
        for (const std::u16string& line : log.Lines) {
            if (line.find(u", asked by ") != std::u16string::npos) {
                asked.push_back(line);
            }
        }
        EXPECT_EQ(asked.back(), c.Line);
    }
}

TEST(SwitchOutcome, ALogThatCannotBeWrittenNeverStopsASwitch) {
    const struct {
        const char* Name;
        std::function<void(TProgramHarness&, testing::FakeFilePlatform&)> Break;
    } cases[] = {
        {"no application-data folder",
         [](TProgramHarness& h, testing::FakeFilePlatform&) { h.System.AppData.reset(); }},
        {"a full disk", [](TProgramHarness&, testing::FakeFilePlatform& f) { f.WriteFails = true; }},
        {"no folder can be made",
         [](TProgramHarness&, testing::FakeFilePlatform& f) { f.CreateDirectoryFails = true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TProgramHarness h;
        testing::FakeFilePlatform files;
        files.AddFolder(AppData);
        c.Break(h, files);
        TLogFile log(h.System, files);
        TScopedLogSink installed(log);
        h.Start(u"-elevation");
        h.PressSwitch();
        EXPECT_TRUE(h.BothOff());
        EXPECT_EQ(h.LastBalloon(), test::OffNotice);
        EXPECT_TRUE(h.Desktop.Boxes.empty());
    }
}

} // namespace
} // namespace tarnwick
