// tarnwick.exe driven from scripts on a Wine desktop, against the test-double setupapi.dll: exit codes,
// what it prints into a redirected output or a console, the autostart removal, kept adapters and the pause.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "ProgramUnderTest.h"

namespace tarnwick::e2e {
namespace {

constexpr DWORD Patience = 20000;
constexpr wchar_t SettingsKey[] = L"Software\\Tarnwick";
constexpr wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class CommandLineEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
        wireless = m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
        virtualSwitch = m.AddAdapter(u"ROOT\\VMS_MP\\0000", u"Hyper-V Virtual Ethernet Adapter");
        machine.Write(m.sim);
    }
    void TearDown() override {
        for (DWORD id : TarnwickProcesses()) {
            if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                ::TerminateProcess(process, 1);
                ::WaitForSingleObject(process, 5000);
                ::CloseHandle(process);
            }
        }
        ::RegDeleteKeyW(HKEY_CURRENT_USER, SettingsKey);
        ::DeleteFileW(machine.Path().c_str());
    }
    // Runs the program to its end with its output in a file; its exit code, or STILL_ACTIVE.
    DWORD RunToEnd(const std::wstring& arguments, std::string* output = nullptr) {
        return e2e::RunToEnd(machine, arguments, output, Patience * 2);
    }
    std::uint32_t Problem(DEVINST device) const { return machine.Read().Device(device).Problem; }
    void SwitchAll(bool on) {
        auto changed = machine.Read();
        for (DEVINST d : {wired, wireless, virtualSwitch}) {
            on ? changed.Enable(d) : changed.Disable(d);
        }
        machine.Write(changed);
    }

    testing::SimulatedMachine m;
    DEVINST wired = 0, wireless = 0, virtualSwitch = 0;
    TMachineFile machine{ProgramFolder() / L"e2e-command-line-machine.txt"};
};

TEST_F(CommandLineEndToEnd, StatusAnswersWithItsExitCodeAndPrintsTheStateWithoutSwitching) {
    std::string output;
    EXPECT_EQ(RunToEnd(L"-action status", &output), 0u);
    EXPECT_EQ(output, "on\r\n");
    SwitchAll(false);
    EXPECT_EQ(RunToEnd(L"-action STATUS", &output), 1u);
    EXPECT_EQ(output, "off\r\n");
    EXPECT_EQ(Problem(wired), 22u) << "nothing switched";
    // No elevated copy was started and no tray instance stayed.
    EXPECT_TRUE(TarnwickProcesses().empty());
}

TEST_F(CommandLineEndToEnd, ListPrintsOneLinePerAdapter) {
    auto changed = machine.Read();
    changed.Disable(wireless);
    machine.Write(changed);
    std::string output;
    EXPECT_EQ(RunToEnd(L"-action list", &output), 0u);
    EXPECT_EQ(
        output,
        "Intel(R) Ethernet I219-V\tPCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE\ton\tnot kept\tcan be disabled\r\n"
        "Intel(R) Wireless-AC 8265\tPCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4\toff (problem 22)\tnot "
        "kept\tcan be "
        "disabled\r\n"
        "Hyper-V Virtual Ethernet Adapter\tROOT\\VMS_MP\\0000\ton\tnot kept\tcan be disabled\r\n");
}

TEST_F(CommandLineEndToEnd, ExitEndsAfterTheActionWithItsExitCode) {
    std::string output;
    EXPECT_EQ(RunToEnd(L"-elevation -action turnoff -exit", &output), 0u);
    EXPECT_EQ(Problem(wired), 22u);
    EXPECT_EQ(Problem(wireless), 22u);

    EXPECT_EQ(RunToEnd(L"-elevation -action turnon 5min -exit", &output), 2u);
    EXPECT_NE(output.find("Sorry, \"5min\" is not a whole number of minutes."), std::string::npos) << output;
    EXPECT_EQ(Problem(wired), 22u) << "a typo is no turn-on for good";

    auto refusing = machine.Read();
    refusing.Device(wireless).RefuseChangeError = 5; // access denied
    machine.Write(refusing);
    EXPECT_EQ(RunToEnd(L"-elevation -action turnon -exit", &output), 4u);
    EXPECT_NE(output.find("Intel(R) Wireless-AC 8265"), std::string::npos) << output;
    EXPECT_EQ(Problem(wired), 0u) << "the other adapters are still switched";
}

TEST_F(CommandLineEndToEnd, AMistypedCommandEndsWithTwoAndSaysWhyWithoutATrayInstance) {
    const struct {
        const wchar_t* Arguments;
        const char* Told;
    } cases[] = {
        {L"-action stauts", "Unknown action: stauts"},
        {L"-action \"status \"", "Unknown action: status . The actions"},
        {L"-action turnoff 5min", "\"5min\" is not a whole number"},
        {L"-actoin turnoff", "-actoin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Told);
        std::string output;
        EXPECT_EQ(RunToEnd(c.Arguments, &output), 2u);
        EXPECT_NE(output.find(c.Told), std::string::npos) << output;
        EXPECT_NE(output.find("tarnwick.exe -help shows the usage."), std::string::npos) << output;
        EXPECT_TRUE(TarnwickProcesses().empty()) << "no tray instance stayed";
        EXPECT_EQ(Problem(wired), 0u);
    }
    std::string version;
    EXPECT_EQ(RunToEnd(L"--version", &version), 0u);
    EXPECT_EQ(version.rfind("Tarnwick 1.", 0), 0u) << version;
}

TEST_F(CommandLineEndToEnd, HelpThroughTheCommandInterpreterReachesItsOutput) {
    // The interpreter makes the file itself, as a script's "> file" does.
    const std::filesystem::path file = ProgramFolder() / L"e2e-help.txt";
    ::DeleteFileW(file.c_str());
    std::wstring command = L"cmd.exe /c \"\"" + (ProgramFolder() / L"tarnwick.exe").wstring() +
                           L"\" -help > \"" + file.wstring() + L"\"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 ProgramFolder().c_str(), &startup, &process));
    ::WaitForSingleObject(process.hProcess, Patience);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::string help;
    // The interpreter need not wait for a windowed program: wait for the text.
    EXPECT_TRUE(WaitUntil(Patience, [&] {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        help = text.str();
        return help.find("one or more adapters could not be switched") != std::string::npos;
    })) << help;
    EXPECT_NE(help.find("Usage: tarnwick.exe"), std::string::npos);
    EXPECT_NE(help.find("-action status"), std::string::npos);
    EXPECT_NE(help.find("-unsubscribeonstartup"), std::string::npos);
    EXPECT_TRUE(WaitUntil(Patience, [] { return TarnwickProcesses().empty(); })) << "no tray instance";
    ::DeleteFileW(file.c_str());
}

TEST_F(CommandLineEndToEnd, UnsubscribeOnStartupRemovesTheRunValue) {
    EXPECT_EQ(RunToEnd(L"-subscribeonstartup -elevation"), 0u);
    HKEY run = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_QUERY_VALUE, &run), ERROR_SUCCESS);
    EXPECT_EQ(::RegQueryValueExW(run, L"Tarnwick", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RunToEnd(L"-unsubscribeonstartup"), 0u);
    EXPECT_EQ(::RegQueryValueExW(run, L"Tarnwick", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RunToEnd(L"-unsubscribeonstartup"), 0u) << "also when there is none";
    ::RegCloseKey(run);
}

TEST_F(CommandLineEndToEnd, AKeptAdapterIsLeftEnabledAndTheStateIsCountedWithoutIt) {
    HKEY settings = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &settings, nullptr),
              ERROR_SUCCESS);
    const wchar_t patterns[] = L"*hyper-v*\0";
    ::RegSetValueExW(settings, L"Keep", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(patterns),
                     sizeof patterns);
    ::RegCloseKey(settings);

    EXPECT_EQ(RunToEnd(L"-elevation -action turnoff -exit"), 0u);
    EXPECT_EQ(Problem(wired), 22u);
    EXPECT_EQ(Problem(virtualSwitch), 0u) << "the kept adapter was switched";
    std::string output;
    EXPECT_EQ(RunToEnd(L"-action status", &output), 1u) << "the kept adapter counted for the state";
    EXPECT_EQ(output, "off\r\n");
    EXPECT_EQ(RunToEnd(L"-action list", &output), 0u);
    EXPECT_NE(output.find("ROOT\\VMS_MP\\0000\ton\tkept"), std::string::npos) << output;
}

TEST_F(CommandLineEndToEnd, APauseWithExitEndsAtOnceAndATrayInstanceTurnsTheAdaptersOnAMinuteLater) {
    EXPECT_EQ(RunToEnd(L"-elevation -action turnoff 1 -exit"), 0u);
    EXPECT_TRUE(Problem(wired) == 22u && Problem(wireless) == 22u) << "not turned off";
    // The recorded end of the pause is taken up by the next start.
    TProgram program(machine, L"-elevation");
    EXPECT_FALSE(WaitUntil(45000, [&] { return Problem(wired) == 0u; })) << "turned on too early";
    EXPECT_TRUE(WaitUntil(45000, [&] { return Problem(wired) == 0u && Problem(wireless) == 0u; }))
        << "not turned on after the minute";
}

} // namespace
} // namespace tarnwick::e2e
