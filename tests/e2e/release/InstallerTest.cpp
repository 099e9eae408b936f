// The installer under Wine's own msiexec, as an administrator or a deployment tool runs it: silent
// install into Program Files, the program started from there against the test-double setupapi.dll, the
// Add/Remove entry, an upgrade to a higher version that keeps the user's autostart, a refused downgrade,
// a refused second build of the installed version, and a silent uninstall that ends the running program
// of its folder (and no copy elsewhere) and leaves nothing of it behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "TarnwickVersion.h"
#include "tests/e2e/tarnwick/ProgramUnderTest.h"

#include <msi.h>
#include <shlobj.h>

namespace tarnwick::e2e {
namespace {

constexpr DWORD Patience = 20000;
const wchar_t* const UpgradeCode = L"{D2569239-EEAA-40F3-9F0C-05EEF85E613D}";
const wchar_t* const RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A Linux path named by an environment variable, as Wine shows it.
std::wstring WinePathOf(const char* variable) {
    const char* path = std::getenv(variable);
    std::wstring result = L"Z:";
    for (const char* c = path ? path : ""; *c; ++c) {
        result += *c == '/' ? L'\\' : wchar_t(*c);
    }
    return result;
}

// Runs a command line to its end; its exit code, or -1 when it did not start or end in time.
long Run(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return -1;
    }
    DWORD code = DWORD(-1);
    if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.hProcess, &code);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return long(code);
}

long Msiexec(const std::wstring& arguments) {
    return Run(L"msiexec.exe " + arguments + L" /qn");
}

// The product codes installed under the upgrade code: the installed versions of Tarnwick.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> codes;
    wchar_t code[39] = {};
    for (DWORD i = 0; ::MsiEnumRelatedProductsW(UpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) {
        codes.emplace_back(code);
    }
    return codes;
}

// A text value of the registry (this 64-bit program sees the 64-bit view); empty when it is missing.
std::wstring RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return L"";
    }
    return value;
}

std::wstring UninstallKey(const std::wstring& productCode) {
    return L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
}

std::filesystem::path ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::filesystem::path InstallFolder() {
    return ShellFolder(CSIDL_PROGRAM_FILES) / L"Tarnwick";
}

// The Start-menu entry, in the machine's Start menu or (where Wine resolves the folder per user) the
// user's.
bool ShortcutExists() {
    return std::filesystem::exists(ShellFolder(CSIDL_COMMON_PROGRAMS) / L"Tarnwick.lnk") ||
           std::filesystem::exists(ShellFolder(CSIDL_PROGRAMS) / L"Tarnwick.lnk");
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveEverything();
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
        wireless = m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
        machine.Write(m.sim);
    }
    void TearDown() override {
        RemoveEverything();
        ::DeleteFileW(machine.Path().c_str());
    }

    // No Tarnwick running, none installed, and the test double out of the way.
    void RemoveEverything() {
        EndTarnwickProcesses();
        std::filesystem::remove(InstallFolder() / L"setupapi.dll", ignored);
        for (const auto& code : InstalledProducts()) {
            Msiexec(L"/x " + code);
        }
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, L"Tarnwick");
    }

    // The installed tarnwick.exe, started with the test double beside it. (Wine lets a library in use be
    // neither replaced nor moved: the double stays in the folder while a program runs.)
    std::unique_ptr<TProgram> StartInstalled(const std::wstring& arguments) {
        std::filesystem::copy_file(ProgramFolder() / L"setupapi.dll", InstallFolder() / L"setupapi.dll",
                                   std::filesystem::copy_options::skip_existing);
        return std::make_unique<TProgram>(machine, arguments, InstallFolder() / L"tarnwick.exe");
    }
    std::unique_ptr<TProgram> StartInTray() {
        auto tray = StartInstalled(L"");
        EXPECT_TRUE(WaitUntil(Patience,
                              [&] { return !WindowsOf(tray->ProcessId(), L"TarnwickMainWindow").empty(); }));
        return tray;
    }

    void Subscribe() {
        auto subscribe = StartInstalled(L"-subscribeonstartup");
        EXPECT_TRUE(subscribe->WaitForExit(Patience));
        ASSERT_EQ(RegistryText(HKEY_CURRENT_USER, RunKey, L"Tarnwick"),
                  L"\"" + (InstallFolder() / L"tarnwick.exe").wstring() + L"\"");
    }

    bool AdaptersAre(std::uint32_t problem) const {
        const auto now = machine.Read();
        return now.Device(wired).Problem == problem && now.Device(wireless).Problem == problem;
    }

    std::error_code ignored;
    const std::wstring msi = WinePathOf("TARNWICK_RELEASE_MSI");
    const std::wstring higherMsi = WinePathOf("TARNWICK_HIGHER_MSI");
    testing::SimulatedMachine m;
    DEVINST wired = 0, wireless = 0;
    TMachineFile machine{ProgramFolder() / L"release-machine.txt"};
};

TEST_F(Installer, SilentInstallPutsTheProgramInProgramFilesWithStartMenuAndAddRemoveEntries) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);

    for (const wchar_t* file : {L"tarnwick.exe", L"tarnwick.map", L"LICENSE.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(InstallFolder() / file)) << InstallFolder() / file;
    }
    EXPECT_TRUE(ShortcutExists());

    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    const std::wstring key = UninstallKey(products[0]);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayName"), L"Tarnwick");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayVersion"), L"" TARNWICK_VERSION_TEXT);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"Publisher"), L"The Tarnwick developers");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"URLInfoAbout"), L"https://www.tarnwick.org/");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"HelpLink"), L"https://www.tarnwick.org/");
    // The folder, as Windows Installer writes it: with its closing backslash.
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, key, L"InstallLocation"), InstallFolder().wstring() + L"\\");
    // Add/Remove Programs shows the icon the installer published for the product.
    wchar_t icon[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    ASSERT_EQ(::MsiGetProductInfoW(products[0].c_str(), INSTALLPROPERTY_PRODUCTICON, icon, &length),
              UINT(ERROR_SUCCESS));
    EXPECT_TRUE(std::filesystem::exists(icon)) << icon;

    // The installed program runs from there and switches the simulated adapters.
    auto program = StartInstalled(L"-elevation -action turnoff");
    EXPECT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(CM_PROB_DISABLED); }));
}

TEST_F(Installer, SilentUninstallRemovesTheFolderAndTheShortcut) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);

    ASSERT_EQ(Msiexec(L"/x " + products[0]), 0);

    EXPECT_FALSE(std::filesystem::exists(InstallFolder())) << InstallFolder();
    EXPECT_FALSE(ShortcutExists());
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(products[0]), L"DisplayName"), L"");
}

TEST_F(Installer, SilentUninstallEndsTheRunningProgramAndRemovesItsAutostartAndLog) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    // A switch writes the log.
    auto tray = StartInstalled(L"-elevation -action turnoff");
    ASSERT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(CM_PROB_DISABLED); }));
    const auto log = ShellFolder(CSIDL_APPDATA) / L"tarnwick";
    ASSERT_TRUE(WaitUntil(Patience, [&] { return std::filesystem::exists(log / L"tarnwick.log.txt"); }));
    ASSERT_TRUE(tray->Running());
    Subscribe();
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);

    ASSERT_EQ(Msiexec(L"/x " + products[0]), 0);

    EXPECT_TRUE(tray->WaitForExit(Patience)) << "the running Tarnwick was not ended";
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, RunKey, L"Tarnwick"), L"");
    EXPECT_FALSE(std::filesystem::exists(log)) << log;
    // Nothing of the product's own is left; the folder holds at most the test's double.
    for (const auto& entry : std::filesystem::directory_iterator(InstallFolder(), ignored)) {
        EXPECT_EQ(entry.path().filename().wstring(), L"setupapi.dll");
    }
    EXPECT_FALSE(ShortcutExists());
    EXPECT_TRUE(InstalledProducts().empty());
}

TEST_F(Installer, UninstallLeavesACopyRunningFromAnotherFolder) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    // A portable copy of the same program, with the test double beside it (a fresh folder: this
    // runtime's copy_file cannot overwrite).
    const auto portable = ProgramFolder() / L"portable";
    std::filesystem::remove_all(portable);
    std::filesystem::create_directories(portable);
    std::filesystem::copy_file(InstallFolder() / L"tarnwick.exe", portable / L"tarnwick.exe");
    std::filesystem::copy_file(ProgramFolder() / L"setupapi.dll", portable / L"setupapi.dll");
    auto copy = std::make_unique<TProgram>(machine, L"", portable / L"tarnwick.exe");
    ASSERT_TRUE(
        WaitUntil(Patience, [&] { return !WindowsOf(copy->ProcessId(), L"TarnwickMainWindow").empty(); }));
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);

    ASSERT_EQ(Msiexec(L"/x " + products[0]), 0);

    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(std::filesystem::exists(InstallFolder() / L"tarnwick.exe"));
    EXPECT_TRUE(copy->Running()) << "the uninstall ended a copy that was not its own";
}

TEST_F(Installer, ASecondBuildOfTheInstalledVersionIsRefusedAndLeavesOneEntry) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);

    // Windows Installer refuses another package of an installed product with ERROR_PRODUCT_VERSION (1638,
    // "Another version of this product is already installed", Microsoft's list of MsiExec.exe error
    // codes); Wine's msiexec installs it over the installed one. Either way the product stays one.
    const long code = Msiexec(L"/i \"" + WinePathOf("TARNWICK_REBUILT_MSI") + L"\"");
    EXPECT_TRUE(code == 1638 || code == 0) << code;

    EXPECT_EQ(InstalledProducts(), products);
    EXPECT_TRUE(std::filesystem::exists(InstallFolder() / L"tarnwick.exe"));
    // The same package again is the installed product: nothing to do, and still one entry.
    EXPECT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    EXPECT_EQ(InstalledProducts(), products);
}

TEST_F(Installer, AnUpgradeKeepsTheUsersAutostart) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    Subscribe();

    ASSERT_EQ(Msiexec(L"/i \"" + higherMsi + L"\""), 0);

    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, RunKey, L"Tarnwick"),
              L"\"" + (InstallFolder() / L"tarnwick.exe").wstring() + L"\"");
    // And an uninstall removes it.
    const auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    ASSERT_EQ(Msiexec(L"/x " + products[0]), 0);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, RunKey, L"Tarnwick"), L"");
}

TEST_F(Installer, AHigherVersionReplacesTheLowerOneAndALowerOneIsRefused) {
    ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\""), 0);
    auto tray = StartInTray();

    ASSERT_EQ(Msiexec(L"/i \"" + higherMsi + L"\""), 0);

    // The running program held the old files: it was ended for the upgrade.
    EXPECT_TRUE(tray->WaitForExit(Patience));
    auto products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(products[0]), L"DisplayVersion"),
              L"" TARNWICK_HIGHER_VERSION_TEXT);
    EXPECT_TRUE(std::filesystem::exists(InstallFolder() / L"tarnwick.exe"));
    EXPECT_TRUE(ShortcutExists());

    // Windows Installer's error for a failed installation (1603): the newer version stays.
    EXPECT_EQ(Msiexec(L"/i \"" + msi + L"\""), 1603);
    products = InstalledProducts();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, UninstallKey(products[0]), L"DisplayVersion"),
              L"" TARNWICK_HIGHER_VERSION_TEXT);
}

} // namespace
} // namespace tarnwick::e2e
