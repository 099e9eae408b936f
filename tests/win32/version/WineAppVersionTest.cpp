// GetWindowsTypeEx against the real platform pretending other Windows versions: Wine reports the version
// named under HKCU\Software\Wine\AppDefaults\<program>\Version to that program alone, so a small probe
// program is run once per version and writes what it found to a file.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace {

const wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\version_probe.exe";

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// Runs the probe under the Windows version Wine is told to report and returns its lines as name=value.
std::map<std::string, std::string> ProbeAs(const std::wstring& wineVersion) {
    EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kAppDefaults, L"Version", REG_SZ, wineVersion.c_str(),
                              DWORD((wineVersion.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    const std::wstring folder = OwnFolder();
    const std::wstring result = folder + L"version_probe_" + wineVersion + L".txt";
    DeleteFileW(result.c_str());
    std::wstring command = L"\"" + folder + L"version_probe.exe\" \"" + result + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start the probe: " << GetLastError();
        return {};
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);

    std::map<std::string, std::string> fields;
    std::ifstream in(std::filesystem::path(result), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            fields[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    in.close();
    DeleteFileW(result.c_str());
    return fields;
}

class WineAppVersion : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kAppDefaults); }
};

TEST_F(WineAppVersion, DescribesEveryVersionWineCanReport) {
    struct Case {
        const wchar_t* WineVersion;
        std::map<std::string, std::string> Expected;
    };
    // OSKind by ordinal: 4 winNT, 6 win98se, 8 win2000, 10 winXPx64, 11 win2003, 14 winLonghorn, 0 unknown.
    const Case cases[] = {
        {L"win2k",
         {{"Full", "Windows 2000 Professional"},
          {"OSKind", "8"},
          {"OSBuild", "2195"},
          {"ServicePack", "Service Pack 4 (Build 2195)"},
          {"Server", "0"},
          {"IsWindows2000", "1"}}},
        // 5.2 asks the native architecture through kernel32 at run time: x64 here.
        {L"winxp64",
         {{"Full", "Windows XP Professional x64 Edition "},
          {"Kind", ""},
          {"KindType", "0"},
          {"OSKind", "10"},
          {"ServicePack", "Service Pack 2 (Build 3790)"},
          {"Server", "0"},
          {"IsWindows2000", "0"}}},
        {L"win2003",
         {{"Full", "Windows Server 2003 family Standard x64 Edition"},
          {"KindType", "1"},
          {"OSKind", "11"},
          {"Server", "1"},
          {"IsWindows2000", "0"}}},
        // Wine's NT 4.0 says "Service Pack 6a" itself, so the hotfix key of its prefix changes nothing.
        {L"nt40",
         {{"Full", "Windows NT Workstation 4.0"},
          {"OSKind", "4"},
          {"ServicePack", "Service Pack 6a (Build 1381)"},
          {"IsWindows2000", "0"}}},
        {L"win2008",
         {{"Full", "Windows Server Longhorn Server 4.0"},
          {"OSKind", "14"},
          {"Server", "1"},
          {"IsWindows2000", "0"}}},
        // Without a compatibility declaration Windows 10 reports 6.2.
        {L"win10",
         {{"Full", " Professional"},
          {"Product", ""},
          {"OSKind", "0"},
          {"OSVersion", "6.2"},
          {"ServicePack", "(Build 9200)"},
          {"IsWindows2000", "0"}}},
        // The build field of Windows 98 carries the version in its high word.
        {L"win98",
         {{"Full", "Windows 98 SE"},
          {"OSKind", "6"},
          {"OSBuild", "67766446"},
          {"ServicePack", "A"},
          {"IsWindows2000", "0"}}},
    };
    for (const Case& c : cases) {
        const std::wstring version(c.WineVersion);
        SCOPED_TRACE(std::string(version.begin(), version.end()));
        const auto fields = ProbeAs(version);
        for (const auto& [name, value] : c.Expected) {
            const auto found = fields.find(name);
            ASSERT_NE(found, fields.end()) << name;
            EXPECT_EQ(found->second, value) << name;
        }
    }
}

} // namespace
