// The honest account of a switch, as a user meets it: four adapters of which the second refuses. The
// other three are switched, one box names the refusing one with the system's reason and the count, and
// the log in the application-data folder holds the switch's lines.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "ProgramUnderTest.h"

#include "tests/win32/common/Screenshot.h"
#include <shlobj.h>

namespace tarnwick::e2e {
namespace {

constexpr DWORD Patience = 20000;

std::filesystem::path LogFilePath() {
    wchar_t appData[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
    return std::filesystem::path(appData) / L"tarnwick" / L"tarnwick.log.txt";
}

std::string ReadFrom(const std::filesystem::path& path, std::uintmax_t offset) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The message box's text: the static control of the box that is not its icon.
std::wstring BoxText(HWND box) {
    for (HWND child = ::FindWindowExW(box, nullptr, L"Static", nullptr); child;
         child = ::FindWindowExW(box, child, L"Static", nullptr)) {
        const std::wstring text = WindowText(child);
        if (!text.empty()) {
            return text;
        }
    }
    return {};
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the texts compared here are ASCII
}

TEST(SwitchReportEndToEnd, TheSecondOfFourRefusingIsNamedInOneBoxAndTheLogAndTheOthersAreSwitched) {
    testing::SimulatedMachine m;
    const DEVINST adapters[] = {
        m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V"),
        m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265"),
        m.AddAdapter(u"USB\\VID_0BDA&PID_8153\\000001", u"Realtek USB GbE"),
        m.AddAdapter(u"USB\\VID_04E8&PID_6863\\R58M", u"Samsung Mobile USB Remote NDIS"),
    };
    m.sim.Device(adapters[1]).RefuseChangeError = ERROR_ACCESS_DENIED;
    TMachineFile machine{ProgramFolder() / L"e2e-report-machine.txt"};
    machine.Write(m.sim);
    const std::filesystem::path log = LogFilePath();
    std::error_code error;
    const std::uintmax_t logSize = std::filesystem::exists(log) ? std::filesystem::file_size(log, error) : 0;

    TProgram program(machine, L"-elevation -action turnoff");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(Patience, [&] {
        for (HWND candidate : WindowsOf(program.ProcessId(), L"#32770")) {
            const std::wstring candidateText = BoxText(candidate);
            if (std::wstring_view(candidateText).substr(0, 9) == L"Not every") {
                box = candidate;
                return true;
            }
        }
        return false;
    })) << "no box";
    test::TakeScreenshot(L"e2e-switch-report-box");
    EXPECT_EQ(WindowText(box), L"Tarnwick");
    const std::wstring text = BoxText(box);
    const std::wstring named = L"Intel(R) Wireless-AC 8265: ";
    const std::size_t reasonAt = text.find(named + L"Windows error 0x00000005 (");
    ASSERT_NE(reasonAt, std::wstring::npos) << Narrow(text);
    const std::size_t reasonEnd = text.find(L")\r\n", reasonAt);
    ASSERT_NE(reasonEnd, std::wstring::npos) << Narrow(text);
    // "Windows error 0x00000005 (" and the system's own words for the code, without their full stop.
    const std::wstring reason = text.substr(reasonAt + named.size(), reasonEnd + 1 - reasonAt - named.size());
    EXPECT_GT(reason.size(), 24u) << "the system's words are missing";
    EXPECT_EQ(text, L"Not every network adapter could be turned off:\r\n\r\nIntel(R) Wireless-AC 8265: " +
                        reason + L"\r\n\r\n3 of 4 adapters are now off.");

    // The machine: three switched off, the refusing one still on.
    const auto now = machine.Read();
    EXPECT_EQ(now.Device(adapters[0]).Problem, 22u);
    EXPECT_EQ(now.Device(adapters[1]).Problem, 0u);
    EXPECT_EQ(now.Device(adapters[2]).Problem, 22u);
    EXPECT_EQ(now.Device(adapters[3]).Problem, 22u);

    // The log: the switch's lines in its line format, the box's text on one line.
    const std::string added = ReadFrom(log, logSize);
    std::vector<std::string> messages;
    const std::string prefix = "[p\\t: " + std::to_string(program.ProcessId()) + "\\";
    for (std::size_t start = 0; start < added.size();) {
        const std::size_t end = added.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a line without its line break";
        const std::string line = added.substr(start, end - start);
        start = end + 2;
        // "DD.MM.YYYY HH:NN:SS:ZZZ   [p\t: pid\tid] message"
        ASSERT_GT(line.size(), 26u) << line;
        EXPECT_EQ(line.substr(2, 1) + line.substr(5, 1) + line.substr(10, 1), ".. ") << line;
        EXPECT_EQ(line.substr(23, 3), "   ") << line;
        ASSERT_EQ(line.compare(26, prefix.size(), prefix), 0) << line;
        messages.push_back(line.substr(line.find("] ") + 2));
    }
    const std::string r = Narrow(reason);
    EXPECT_EQ(
        messages,
        (std::vector<std::string>{
            "Turn off the internet, asked by the command line",
            "Adapter \"Intel(R) Ethernet I219-V\" (PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE): turned off",
            "Adapter \"Intel(R) Wireless-AC 8265\" (PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4): not turned "
            "off: " +
                r,
            "Adapter \"Realtek USB GbE\" (USB\\VID_0BDA&PID_8153\\000001): turned off",
            "Adapter \"Samsung Mobile USB Remote NDIS\" (USB\\VID_04E8&PID_6863\\R58M): turned off",
            "3 of 4 adapters are now off",
            "Message box: Not every network adapter could be turned off: Intel(R) Wireless-AC 8265: " + r +
                " 3 of 4 adapters are now off.",
        }));

    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(program.WaitForExit(1000)) << "the program stays in the tray";
    ::DeleteFileW(machine.Path().c_str());
}

} // namespace
} // namespace tarnwick::e2e
