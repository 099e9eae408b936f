// The autostart entry in Wine's registry, read back with the registry's own functions.

#include <windows.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Text.h"
#include "support/SupportUtils.h"

namespace tarnwick::win32 {
namespace {

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunOnce[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kName[] = L"TarnwickWineTest";
const std::u16string kCommand = u"C:\\Tools\\prog.exe";

// The real registry, counting the values written through it.
class CountingRegistry : public TWin32RegistryPlatform {
public:
    int Writes = 0;
    std::int32_t RegSetValueExW(RegKey Key, const char16_t* ValueName, std::uint32_t Type,
                                const std::uint8_t* Data, std::uint32_t DataSize) override {
        ++Writes;
        return TWin32RegistryPlatform::RegSetValueExW(Key, ValueName, Type, Data, DataSize);
    }
};

std::optional<std::u16string> Stored(HKEY root, const wchar_t* path) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueW(root, path, kName, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    EXPECT_EQ(type, DWORD(REG_SZ));
    return FromWide(data);
}

void Put(HKEY root, const wchar_t* path, const std::u16string& text) {
    ASSERT_EQ(RegSetKeyValueW(root, path, kName, REG_SZ, AsWide(text), DWORD((text.size() + 1) * 2)),
              ERROR_SUCCESS);
}

class StartupEntryInWine : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, kName);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnce, kName);
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRun, kName);
    }
    void Set(std::u16string_view command, bool remove, bool runOnce, bool force, bool allUsers = false) {
        SetStartupEntry(Registry, FromWide(kName), command,
                        {.Remove = remove, .RunOnce = runOnce, .Force = force, .AllUsers = allUsers});
    }

    CountingRegistry Registry;
};

TEST_F(StartupEntryInWine, WritesLeavesAloneRewritesAndRemovesTheRunValue) {
    Set(kCommand, false, false, false);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), kCommand);
    EXPECT_EQ(Registry.Writes, 1);

    Set(kCommand, false, false, false); // equal: left alone
    EXPECT_EQ(Registry.Writes, 1);

    Set(kCommand, false, false, true); // forced
    EXPECT_EQ(Registry.Writes, 2);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), kCommand);

    Put(HKEY_CURRENT_USER, kRun, u"C:\\Old\\prog.exe");
    Set(kCommand, false, false, false); // an older path is replaced
    EXPECT_EQ(Registry.Writes, 3);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), kCommand);

    Set(kCommand, true, false, false);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), std::nullopt);
    EXPECT_NO_THROW(Set(kCommand, true, false, false)); // nothing left to remove
}

TEST_F(StartupEntryInWine, StoresTheCommandTrimmedAndRewritesItEachTime) {
    Set(u"  " + kCommand + u" \t", false, false, false);
    Set(u"  " + kCommand + u" \t", false, false, false);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), kCommand);
    EXPECT_EQ(Registry.Writes, 2);
}

TEST_F(StartupEntryInWine, RunOnceIsItsOwnKey) {
    Set(kCommand, false, true, false);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRunOnce), kCommand);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), std::nullopt);
    Set(kCommand, true, true, false);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRunOnce), std::nullopt);
}

TEST_F(StartupEntryInWine, AllUsersWritesTheMachineKeyOrNothingWithoutAWord) {
    // Wine lets its user write the machine's key; Windows without administrator rights does not, and
    // then nothing happens. Either way no error leaves the call.
    HKEY probe = nullptr;
    const bool writable = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &probe) == ERROR_SUCCESS;
    if (probe != nullptr) {
        RegCloseKey(probe);
    }
    EXPECT_NO_THROW(Set(kCommand, false, false, false, true));
    EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kRun), writable ? std::optional(kCommand) : std::nullopt);
    EXPECT_EQ(Stored(HKEY_CURRENT_USER, kRun), std::nullopt);
    EXPECT_NO_THROW(Set(kCommand, true, false, false, true));
    EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kRun), std::nullopt);
}

} // namespace
} // namespace tarnwick::win32
