// The shell's "runas" start, run in a helper process (under Wine the shell faults inside the caller after
// it has started the program): the started program must see exactly the parameters given.

#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on

#include <string>

#include <gtest/gtest.h>

#include "core/Text.h"
#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32Text.h"
#include "support/EasyCmdLine.h"
#include "testing/win32/FileBytes.h"

namespace tarnwick::win32 {
namespace {

std::u16string HereFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::u16string folder = FromWide(path);
    return folder.substr(0, folder.rfind(u'\\'));
}

std::u16string TempName(const std::u16string& stem) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return FromWide(temp) + stem + FromWide(std::to_wstring(GetCurrentProcessId()).c_str());
}

// Runs the helper that calls RunElevated and waits for it (it may end by a fault).
void RunHelper(const std::u16string& file, const std::u16string& parameters, const std::u16string& result) {
    SetEnvironmentVariableW(L"TARNWICK_RUNAS_FILE", AsWide(file));
    SetEnvironmentVariableW(L"TARNWICK_RUNAS_PARAMETERS", AsWide(parameters));
    SetEnvironmentVariableW(L"TARNWICK_RUNAS_RESULT", AsWide(result));
    std::u16string command(1, u'"'); // built step by step: GCC 12 warns falsely on literal + temporary
    command += HereFolder();
    command += u"\\support_run_elevated.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, AsWide(command.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the helper did not end";
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Waits until the file has content, for a program started by the shell.
std::string AwaitContent(const std::u16string& path) {
    for (int i = 0; i < 300; ++i) {
        std::string bytes = test::FileBytes(path);
        if (!bytes.empty()) {
            Sleep(100); // let the writer finish
            return test::FileBytes(path);
        }
        Sleep(100);
    }
    return {};
}

TEST(Win32ShellExecute, RunasStartsTheProgramWithExactlyTheGivenParameters) {
    const std::u16string echoFile = TempName(u"tarnwick_echo_");
    const std::u16string resultFile = TempName(u"tarnwick_runas_");
    DeleteFileW(AsWide(echoFile));
    DeleteFileW(AsWide(resultFile));
    SetEnvironmentVariableW(L"TARNWICK_ECHO_FILE", AsWide(echoFile));

    const std::u16string program = HereFolder() + u"\\support_echo_args.exe";
    const std::u16string parameters = u"-elevation -action turnon 15";
    RunHelper(program, parameters, resultFile);

    const std::string echoed = AwaitContent(echoFile);
    ASSERT_FALSE(echoed.empty()) << "the program was not started";
    const std::u16string line(reinterpret_cast<const char16_t*>(echoed.data()), echoed.size() / 2);
    const TArguments arguments = SplitCommandLine(line);
    ASSERT_FALSE(arguments.empty());
    EXPECT_EQ(lstrcmpiW(AsWide(arguments[0]), AsWide(program)), 0) << ToUtf8(line);
    ASSERT_GE(line.size(), parameters.size() + 1);
    EXPECT_EQ(line.substr(line.size() - parameters.size() - 1), u" " + parameters) << ToUtf8(line);
    EXPECT_EQ(TArguments(arguments.begin() + 1, arguments.end()),
              (TArguments{u"-elevation", u"-action", u"turnon", u"15"}));

    // The outcome in the helper, where it got that far, is a normal return.
    const std::string outcome = test::FileBytes(resultFile);
    EXPECT_TRUE(outcome.empty() || outcome == "returned") << outcome;
    DeleteFileW(AsWide(echoFile));
    DeleteFileW(AsWide(resultFile));
}

TEST(Win32ShellExecute, AMissingProgramRaisesTheOperatingSystemError) {
    const std::u16string resultFile = TempName(u"tarnwick_runas_missing_");
    DeleteFileW(AsWide(resultFile));
    RunHelper(HereFolder() + u"\\no_such_program.exe", u"-elevation", resultFile);
    const std::string outcome = test::FileBytes(resultFile);
    const std::string expectedStart = "EOSError 2\nSystem Error.  Code: 2.\r\n";
    ASSERT_EQ(outcome.substr(0, expectedStart.size()), expectedStart) << outcome;
    EXPECT_GT(outcome.size(), expectedStart.size()) << "the system's text is missing";
    DeleteFileW(AsWide(resultFile));
}

TEST(Win32ShellExecute, TheDesktopShellStartsWhatItIsGivenThroughItsDispatchObject) {
    // Wine's desktop answers the shell-windows route as Windows' Explorer does (measured): the program
    // is started by the desktop shell, not by this process's own shell call.
    const std::u16string program = HereFolder() + u"\\support_started_marker.exe";
    const std::u16string marker = program + u".started";
    DeleteFileW(AsWide(marker));
    TWin32ShellExecutePlatform shell;
    ASSERT_TRUE(shell.ShellExecuteFromDesktop(u"open", program.c_str(), SW_SHOW));
    EXPECT_EQ(AwaitContent(marker), "started") << "the program was not started";
    DeleteFileW(AsWide(marker));

    EXPECT_FALSE(shell.ShellExecuteFromDesktop(u"open", nullptr, SW_SHOW)) << "nothing to open";
}

TEST(Win32ShellExecute, AStartedProcessIsWaitedForAndItsExitCodeRead) {
    // Without TARNWICK_ECHO_FILE the echo program ends at once with exit code 2.
    SetEnvironmentVariableW(L"TARNWICK_ECHO_FILE", nullptr);
    const std::u16string file = HereFolder() + u"\\support_echo_args.exe";
    TWin32ShellExecutePlatform shell;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.nShow = SW_HIDE;
    ASSERT_TRUE(shell.ShellExecuteExW(info));
    ASSERT_NE(info.hProcess, 0u);
    std::uint32_t exitCode = 0xdeadbeef;
    EXPECT_TRUE(shell.WaitForProcessExit(info.hProcess, exitCode));
    EXPECT_EQ(exitCode, 2u);
}

} // namespace
} // namespace tarnwick::win32
