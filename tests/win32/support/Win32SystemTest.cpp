// What Windows (here Wine) answers through the system seam.

#include "platform/win32/Win32System.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "core/Text.h"
#include "platform/win32/Win32Text.h"
#include "support/EasyCmdLine.h"
#include "support/SupportUtils.h"

namespace tarnwick::win32 {
namespace {

bool EndsWithNoCase(const std::u16string& text, const std::u16string& tail) {
    if (text.size() < tail.size()) {
        return false;
    }
    return lstrcmpiW(AsWide(text.substr(text.size() - tail.size())), AsWide(tail)) == 0;
}

TEST(Win32System, VersionIsWindows7AndTheShortRecordStaysShort) {
    TWin32SystemPlatform system;
    tarnwick::OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = OsVersionInfoSize;
    info.wServicePackMajor = 0xABCD; // beyond the short record: must stay as it was
    ASSERT_TRUE(system.GetVersionExW(info));
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwBuildNumber, 7601u);
    EXPECT_EQ(info.wServicePackMajor, 0xABCD);
    EXPECT_EQ(GetWindowsVersionCode(system), 7);

    tarnwick::OSVERSIONINFOEXW ex{};
    ex.dwOSVersionInfoSize = OsVersionInfoExSize;
    ASSERT_TRUE(system.GetVersionExW(ex));
    EXPECT_EQ(ex.wProductType, 1); // VER_NT_WORKSTATION

    tarnwick::OSVERSIONINFOEXW wrongSize{};
    wrongSize.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(system.GetVersionExW(wrongSize));
}

TEST(Win32System, AppDataFolderExistsAndHasNoTrailingBackslash) {
    TWin32SystemPlatform system;
    char16_t path[MAX_PATH + 1] = {};
    ASSERT_TRUE(system.SHGetSpecialFolderPathW(0, path, 26, false));
    const std::u16string folder(path);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), u'\\');
    const DWORD attributes = GetFileAttributesW(AsWide(folder));
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetAppDataFolder(system), folder);
}

TEST(Win32System, ModuleFileNameIsCutToTheBufferAndReportedAsItsSize) {
    TWin32SystemPlatform system;
    char16_t full[MAX_PATH + 1] = {};
    const std::uint32_t length = system.GetModuleFileNameW(0, full, MAX_PATH + 1);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(EndsWithNoCase(std::u16string(full, length), u"\\win32_support.exe"));

    char16_t cut[8] = {};
    EXPECT_EQ(system.GetModuleFileNameW(0, cut, 8), 8u);
    EXPECT_EQ(GetExeBaseName(system), u"win32_support");
}

TEST(Win32System, CommandLineStartsWithTheProgram) {
    TWin32SystemPlatform system;
    const TArguments arguments = ProcessArguments(system);
    ASSERT_FALSE(arguments.empty());
    EXPECT_TRUE(EndsWithNoCase(arguments[0], u"win32_support.exe")) << ToUtf8(arguments[0]);
    EXPECT_FALSE(SwitchPresent(system, u"action"));
}

TEST(Win32System, CodePage1251GivesSingleBytesAndQuestionMarks) {
    TWin32SystemPlatform system;
    const struct {
        const char* Title;
        std::u16string Text;
        std::string Bytes;
    } cases[] = {
        {"ASCII", u"abc", "\x61\x62\x63"},
        {"empty", u"", ""},
        {"Cyrillic", u"\u041F\u0440\u0438\u0432\u0435\u0442 \u0401\u0451",
         "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8"},
        {"punctuation of the code page", u"\u2116\u20AC\u2014", "\xB9\x88\x97"},
        {"characters the code page lacks", u"\u4E2D\u2713", "??"},
        {"a Latin letter with accent gets the best-fit letter", u"\u00E9\u00C5", "eA"},
        {"a lone surrogate", u"x\xD800y", "x?y"},
        {"a NUL inside", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideToCodePage(system, c.Text, 1251), c.Bytes) << c.Title;
    }
}

TEST(Win32System, LocaleTimeIdentityAndErrors) {
    TWin32SystemPlatform system;
    char16_t separator[16] = {};
    EXPECT_EQ(system.GetLocaleInfoW(0x400, 0x1E, separator, 16), 2);
    EXPECT_EQ(std::u16string(separator), u":");

    tarnwick::SYSTEMTIME now{};
    system.GetLocalTime(now);
    ::SYSTEMTIME reference{};
    ::GetLocalTime(&reference);
    EXPECT_EQ(now.wYear, reference.wYear);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);

    EXPECT_EQ(system.GetCurrentProcessId(), ::GetCurrentProcessId());
    EXPECT_EQ(system.GetCurrentThreadId(), ::GetCurrentThreadId());
    ::SetLastError(1223);
    EXPECT_EQ(system.GetLastError(), 1223u);
    EXPECT_FALSE(system.SysErrorMessage(1223).empty());
}

} // namespace
} // namespace tarnwick::win32
