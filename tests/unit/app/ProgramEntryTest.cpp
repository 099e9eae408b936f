#include <gtest/gtest.h>

#include <algorithm>

#include "app/ProgramEntry.h"
#include "diag/DebugUnit.h"
#include "diag/LogSink.h"
#include "tests/unit/app/ProgramHarness.h"
#include "tests/unit/debug/FakeProcessImage.h"
#include "tests/unit/support/FakeFilePlatform.h"
#include "tray/GUIUtils.h"

namespace tarnwick {
namespace {

void PassOn(std::uint32_t, std::uint32_t, std::uint32_t, const std::uintptr_t*) {}

// The process image of the debug unit, writing the interception's coming and going into the timeline.
class TTimelineProcessImage : public tarnwick::testing::TFakeProcessImage {
public:
    explicit TTimelineProcessImage(std::vector<std::string>& Timeline) : FTimeline(Timeline) {
        RaiseExceptionAddress = reinterpret_cast<std::uintptr_t>(&PassOn);
        Image = tarnwick::testing::TPeImageBuilder().Import("KERNEL32.dll", {RaiseExceptionAddress}).Build();
    }
    void* AddVectoredExceptionHandler(std::uint32_t First, TVectoredExceptionHandler Handler) override {
        FTimeline.push_back("InterceptExceptions");
        return TFakeProcessImage::AddVectoredExceptionHandler(First, Handler);
    }
    std::uint32_t RemoveVectoredExceptionHandler(void* Handle) override {
        FTimeline.push_back("StopInterceptingExceptions");
        return TFakeProcessImage::RemoveVectoredExceptionHandler(Handle);
    }

private:
    std::vector<std::string>& FTimeline;
};

struct TProgramRun {
    test::TProgramHarness h; // its stand-ins; the program makes its own window
    tarnwick::testing::FakeFilePlatform Files;
    TTimelineProcessImage ProcessImage{h.Desktop.Timeline};
    test::TFakeInstancePlatform Instance{h.Desktop};

    TProgramPlatforms Platforms() {
        return {h.System,  Files,     h.Registry,    h.ShellExecute, h.Shell,  h.Desktop,
                h.Desktop, h.Desktop, h.Machine.sim, ProcessImage,   Instance, h.Clock};
    }
    std::size_t Position(const std::string& Entry) const {
        const auto& t = h.Desktop.Timeline;
        const auto it =
            std::find_if(t.begin(), t.end(), [&](const std::string& e) { return e.rfind(Entry, 0) == 0; });
        return it == t.end() ? std::string::npos : std::size_t(it - t.begin());
    }
};

struct ProgramEntry : ::testing::Test, TProgramRun {};

TEST_F(ProgramEntry, StartsTheUnitsBeforeTheWindowsAndShutsThemDownInReverseAfterThem) {
    h.System.CommandLine = u"tarnwick.exe";
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) { return std::u16string(u"E&xit"); };
    bool unitsRunning = false;
    std::u16string title;
    int idle = 0;
    h.Desktop.OnIdle = [&] {
        if (idle++ > 0) {
            return false;
        }
        unitsRunning = DebugUnit() != nullptr && CurrentLogSink() != nullptr;
        const auto forms = h.Desktop.WindowsOfClass(MainWindowClassName);
        const auto apps = h.Desktop.WindowsOfClass(u"TarnwickApplication");
        if (forms.size() != 1 || apps.size() != 1) {
            return false;
        }
        title = h.Desktop.Window(apps[0]).Text;
        h.Desktop.PostMessageW(forms[0], WM_TRAY_CALLBACK, 0, WM_CONTEXTMENU);
        return true;
    };

    EXPECT_EQ(RunProgram(Platforms()), 0);
    EXPECT_TRUE(h.Desktop.QuitSeen) << "ended by Exit";
    EXPECT_TRUE(unitsRunning);
    EXPECT_EQ(title, u"Tarnwick");

    const std::vector<std::string> order = {
        "InterceptExceptions", // the debug unit (after the log, whose start-up is silent)
        "CreateWindow(TarnwickApplication)",
        "CreateWindow(TarnwickMainWindow)",
        "NIM_ADD",
        "NIM_DELETE", // destroying the main window removes the icon
        "DestroyWindow(TarnwickMainWindow)",
        "DestroyWindow(TarnwickApplication)",
        "StopInterceptingExceptions",
    };
    std::size_t previous = 0;
    for (const std::string& entry : order) {
        const std::size_t at = Position(entry);
        ASSERT_NE(at, std::string::npos) << entry;
        EXPECT_GE(at, previous) << entry;
        previous = at;
    }
    EXPECT_EQ(DebugUnit(), nullptr);
    EXPECT_EQ(CurrentLogSink(), nullptr);
    EXPECT_EQ(Position("CoCreateTaskbarList"), std::string::npos) << "no taskbar button was there to remove";
    EXPECT_TRUE(h.Shell.Icons.empty());
}

TEST_F(ProgramEntry, AMessageThatCannotBeReceivedIsLoggedAndTheLoopGoesOn) {
    const std::u16string log = *h.System.AppData + u"\\tarnwick\\tarnwick.log.txt";
    Files.AddFolder(*h.System.AppData);
    h.System.CommandLine = u"tarnwick.exe -elevation";
    h.Desktop.MenuChoice = [](const test::THeadlessDesktop::TPopup&) { return std::u16string(u"E&xit"); };
    h.Desktop.GetMessageFailures = 3;
    bool idle = false;
    h.Desktop.OnIdle = [&] {
        if (idle) {
            return false;
        }
        idle = true;
        h.Desktop.PostMessageW(h.Desktop.FindWindowW(MainWindowClassName, nullptr), WM_TRAY_CALLBACK, 0,
                               WM_CONTEXTMENU);
        return true;
    };
    EXPECT_EQ(RunProgram(Platforms()), 0);
    EXPECT_TRUE(h.Desktop.QuitSeen) << "ended by Exit, not by the failures";
    const std::string text = Files.Content(log);
    EXPECT_NE(text.find("A message could not be received"), std::string::npos) << text;

    // A failure that never goes away ends the program, with a code and a line that say so.
    TProgramRun again;
    again.Files.AddFolder(*again.h.System.AppData);
    again.h.System.CommandLine = u"tarnwick.exe -elevation";
    again.h.Desktop.GetMessageFailures = 1000000;
    EXPECT_EQ(RunProgram(again.Platforms()), 1);
    EXPECT_NE(again.Files.Content(log).find("its messages could no longer be received"), std::string::npos);
}

} // namespace
} // namespace tarnwick
