// What Windows (here Wine) answers through the registry seam.

#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/RegistryKey.h"

namespace tarnwick::win32 {
namespace {

const wchar_t kTestKey[] = L"Software\\TarnwickTest\\RegistrySeam";

class Win32Registry : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey); }

    TWin32RegistryPlatform Registry;
    const char16_t* Path = reinterpret_cast<const char16_t*>(kTestKey);
};

TEST_F(Win32Registry, PredefinedRootsAreThePlatformsHandles) {
    EXPECT_EQ(reinterpret_cast<HKEY>(HKeyClassesRoot), HKEY_CLASSES_ROOT);
    EXPECT_EQ(reinterpret_cast<HKEY>(HKeyCurrentUser), HKEY_CURRENT_USER);
    EXPECT_EQ(reinterpret_cast<HKEY>(HKeyLocalMachine), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reinterpret_cast<HKEY>(HKeyUsers), HKEY_USERS);
}

TEST_F(Win32Registry, OpeningAMissingKeyFailsAndCreatingItReportsANewKey) {
    RegKey key = 0;
    EXPECT_EQ(Registry.RegOpenKeyExW(HKeyCurrentUser, Path, 0, KEY_ALL_ACCESS, key), ERROR_FILE_NOT_FOUND);

    std::uint32_t disposition = 0;
    ASSERT_EQ(Registry.RegCreateKeyExW(HKeyCurrentUser, Path, 0, KEY_ALL_ACCESS, key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    EXPECT_EQ(Registry.RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(Registry.RegCreateKeyExW(HKeyCurrentUser, Path, 0, KEY_ALL_ACCESS, key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(Registry.RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(Registry.RegOpenKeyExW(HKeyCurrentUser, Path, 0, KEY_ALL_ACCESS, key), ERROR_SUCCESS);
    EXPECT_EQ(Registry.RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Win32Registry, ValuesAreWrittenQueriedAndDeleted) {
    RegKey key = 0;
    ASSERT_EQ(Registry.RegCreateKeyExW(HKeyCurrentUser, Path, 0, KEY_ALL_ACCESS, key, nullptr),
              ERROR_SUCCESS);
    const char16_t text[] = u"C:\\Tools\\prog.exe";
    ASSERT_EQ(Registry.RegSetValueExW(key, u"Name", REG_SZ, reinterpret_cast<const std::uint8_t*>(text),
                                      sizeof text),
              ERROR_SUCCESS);

    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(Registry.RegQueryValueExW(key, u"NAME", &type, nullptr, &size),
              ERROR_SUCCESS); // names ignore case
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, sizeof text);

    std::uint8_t small[4] = {};
    size = sizeof small;
    EXPECT_EQ(Registry.RegQueryValueExW(key, u"Name", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);

    std::uint8_t data[64] = {};
    size = sizeof data;
    ASSERT_EQ(Registry.RegQueryValueExW(key, u"Name", &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(data)), text);

    EXPECT_EQ(Registry.RegDeleteValueW(key, u"Name"), ERROR_SUCCESS);
    EXPECT_EQ(Registry.RegQueryValueExW(key, u"Name", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Registry.RegDeleteValueW(key, u"Name"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Registry.RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Win32Registry, KeyHelperReadsBackWhatItWrote) {
    auto key = TRegistryKey::Create(Registry, HKeyCurrentUser, Path, KEY_ALL_ACCESS);
    ASSERT_TRUE(key);
    const std::u16string longText(700, u'x'); // longer than the first read buffer
    EXPECT_TRUE(key->WriteString(u"Long", longText));
    EXPECT_EQ(key->ReadString(u"Long"), longText);
    EXPECT_EQ(key->ReadString(u"Missing"), std::nullopt);
    const DWORD number = 7;
    ASSERT_EQ(RegSetValueExW(reinterpret_cast<HKEY>(key->Handle()), L"Number", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof number),
              ERROR_SUCCESS);
    EXPECT_EQ(key->ReadString(u"Number"), std::nullopt);
}

} // namespace
} // namespace tarnwick::win32
