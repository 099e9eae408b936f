// One instance per user session, as a user meets it on the Wine desktop: later starts hand their command
// line to the running tarnwick.exe and end with its result.

#include "SessionFixture.h"

#include <fstream>
#include <sstream>

#include "tests/win32/common/Screenshot.h"

namespace tarnwick::e2e {
namespace {

using SingleInstance = Session;

TEST_F(SingleInstance, TwoStartsGiveOneTrayIconAndOneWindow) {
    TProgram first(machine, L"-elevation");
    HWND window = TheMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return !::IsWindowVisible(window); }));

    TProgram second(machine, L"-elevation");
    ASSERT_TRUE(second.WaitForExit(Patience)) << "the second start stayed";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(WindowsOfClass(L"TarnwickMainWindow").size(), 1u);
    EXPECT_EQ(TarnwickProcesses().size(), 1u) << "one process, so one tray icon";
    test::TakeScreenshot(L"e2e-one-instance-tray");
}

TEST_F(SingleInstance, ATurnOffGivenWhileAnInstanceRunsSwitchesThroughItAndEndsWithZero) {
    TProgram first(machine, L"-elevation");
    ASSERT_NE(TheMainWindow(), nullptr);
    ASSERT_TRUE(AdaptersAre(0));

    TProgram later(machine, L"-elevation -action turnoff");
    ASSERT_TRUE(later.WaitForExit(Patience * 2)) << "the later start did not end";
    EXPECT_EQ(later.ExitCode(), 0u);
    EXPECT_TRUE(AdaptersAre(22)) << "switched before the later start ended";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(TarnwickProcesses().size(), 1u);
}

TEST_F(SingleInstance, ASecondStartWithoutArgumentsShowsTheFirstOnesWindow) {
    TProgram first(machine, L"-elevation");
    HWND window = TheMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return !::IsWindowVisible(window); }));

    TProgram second(machine, L"");
    ASSERT_TRUE(second.WaitForExit(Patience));
    EXPECT_EQ(second.ExitCode(), 0u);
    ASSERT_TRUE(WaitUntil(Patience, [&] { return ::IsWindowVisible(window) != FALSE; }));
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 1280);
    EXPECT_LE(r.bottom, 800);
    test::TakeScreenshot(L"e2e-second-start-shows-window");
}

// A window of class "TForm1" in this process, the main-window class of many other programs: it counts the
// WM_COPYDATA messages it is sent.
class TForeignWindow {
public:
    TForeignWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &TForeignWindow::Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TForm1";
        ::RegisterClassW(&windowClass);
        FWindow = ::CreateWindowExW(0, L"TForm1", L"Another program", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    }
    ~TForeignWindow() { ::DestroyWindow(FWindow); }
    static inline int CopyDataSeen = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            ++CopyDataSeen;
            return 1;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND FWindow = nullptr;
};

TEST_F(SingleInstance, AnotherProgramsWindowIsSentNothingAndTheRealInstanceIsFound) {
    TForeignWindow foreign;
    TProgram first(machine, L"-elevation");
    ASSERT_NE(TheMainWindow(), nullptr);
    TProgram later(machine, L"-elevation -action turnoff");
    ASSERT_TRUE(WaitUntil(Patience * 2, [&] { return !later.Running(); })) << "the later start did not end";
    EXPECT_EQ(later.ExitCode(), 0u);
    EXPECT_TRUE(AdaptersAre(22));
    EXPECT_EQ(TForeignWindow::CopyDataSeen, 0);
}

TEST_F(SingleInstance, ASquattedInstanceObjectEndsTheStartWithFiveAndAMessageInBoundedTime) {
    // Another process made the instance's object first; no window of ours will ever come.
    const HANDLE squatter = ::CreateMutexW(nullptr, FALSE, L"Local\\Tarnwick.Instance.5F1C6A2E");
    ASSERT_NE(squatter, nullptr);
    const std::filesystem::path file = ProgramFolder() / L"e2e-squatted.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    {
        TProgram later(machine, L"-elevation -action turnoff -exit", output);
        const DWORD started = ::GetTickCount();
        ASSERT_TRUE(later.WaitForExit(30000)) << "the start did not end";
        EXPECT_LT(::GetTickCount() - started, 20000u);
        EXPECT_EQ(later.ExitCode(), 5u);
    }
    ::CloseHandle(output);
    ::CloseHandle(squatter);
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Tarnwick is already running but does not answer"), std::string::npos)
        << text.str();
    EXPECT_TRUE(AdaptersAre(0)) << "nothing was switched";
    ::DeleteFileW(file.c_str());
}

} // namespace
} // namespace tarnwick::e2e
