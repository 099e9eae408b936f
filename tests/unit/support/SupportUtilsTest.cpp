#include "support/SupportUtils.h"

#include <climits>

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "tests/unit/support/FakeSystemPlatform.h"

namespace tarnwick {
namespace {

using testing::FakeSystemPlatform;

TEST(GetAppDataFolder, IsTheShellsRoamingFolder) {
    FakeSystemPlatform system;
    system.AppData = u"C:\\Users\\tester\\AppData\\Roaming";
    EXPECT_EQ(GetAppDataFolder(system), u"C:\\Users\\tester\\AppData\\Roaming");
    EXPECT_EQ(system.FoldersAsked, std::vector<int>{int(CSIDL_APPDATA)});
}

TEST(GetAppDataFolder, RaisesItsOwnTextWhenTheShellFails) {
    FakeSystemPlatform system;
    system.AppData.reset();
    try {
        GetAppDataFolder(system);
        FAIL() << "no error";
    } catch (const EGeneralError& e) {
        EXPECT_EQ(e.Message(), u"Cannot get CSIDL_APPDATA special folder!");
    }
}

TEST(GetExeBaseName, CutsFolderAndLastExtension) {
    const struct {
        std::u16string Path, Expected;
    } cases[] = {
        {u"C:\\Tools\\switch.v2.exe", u"switch.v2"},
        {u"C:\\Tools\\Tarnwick.exe", u"Tarnwick"},
        {u"C:Tarnwick.exe", u"Tarnwick"},
        {u"C:\\dotted.folder\\noext", u"noext"},
        {u"\\\\server\\share\\tool.EXE", u"tool"},
        {u"C:\\Tools\\.exe", u""},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExeBaseNameOf(c.Path), c.Expected) << ToUtf8(c.Path);
    }
}

TEST(GetExeBaseName, ReadsTheWholeNameOfAProgramInADeepFolder) {
    FakeSystemPlatform system;
    system.ModuleFileName = u"C:\\" + std::u16string(400, u'd') + u"\\switch.v2.exe";
    EXPECT_EQ(GetExeBaseName(system), u"switch.v2");
}

TEST(GetWindowsVersionCode, MapsMajorAndMinorThroughTheTable) {
    const struct {
        std::uint32_t Major, Minor;
        std::uint8_t Code;
    } cases[] = {
        {4, 0, 1}, {4, 10, 2}, {4, 90, 3}, {5, 0, 4},  {5, 1, 5},  {6, 0, 6}, {6, 1, 7},
        {5, 2, 0}, {6, 2, 0},  {6, 3, 0},  {10, 0, 0}, {3, 51, 0}, {4, 1, 0}, {0, 0, 0},
    };
    for (const auto& c : cases) {
        FakeSystemPlatform system;
        system.Major = c.Major;
        system.Minor = c.Minor;
        EXPECT_EQ(GetWindowsVersionCode(system), c.Code) << c.Major << "." << c.Minor;
        EXPECT_EQ(system.VersionSizesAsked, std::vector<std::uint32_t>{276u});
    }
}

TEST(GetWindowsVersionCode, IsZeroWhenTheVersionCannotBeRead) {
    FakeSystemPlatform system;
    system.VersionSucceeds = false;
    EXPECT_EQ(GetWindowsVersionCode(system), 0);
}

TEST(WideToCodePage, ConvertsTheTextWithItsNulAndKeepsTheBytesWithout) {
    FakeSystemPlatform system;
    EXPECT_EQ(WideToCodePage(system, u"abc", 1251), "\x61\x62\x63");
    ASSERT_EQ(system.Conversions.size(), 2u); // once for the length, once for the bytes
    for (const auto& call : system.Conversions) {
        EXPECT_EQ(call.CodePage, 1251u);
        EXPECT_EQ(call.Flags, 0x270u);
        EXPECT_EQ(call.Source, std::u16string(u"abc\0", 4));
    }
    EXPECT_EQ(system.Conversions[0].OutputSize, 0);
}

TEST(WideToCodePage, GivesSingleBytesAndDefaultCharacters) {
    const struct {
        const char* Title;
        std::u16string Text;
        std::string Bytes;
    } cases[] = {
        {"empty text", u"", ""},
        {"Cyrillic letters", u"\u041F\u0440\u0438\u0432\u0435\u0442", "\xCF\xF0\xE8\xE2\xE5\xF2"},
        {"a character the code page lacks", u"a\u4E2Db", "a?b"},
        {"a NUL inside the text stays", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        FakeSystemPlatform system;
        EXPECT_EQ(WideToCodePage(system, c.Text, 1251), c.Bytes) << c.Title;
    }
}

TEST(WideToCodePage, IsEmptyWhenTheConversionFails) {
    FakeSystemPlatform system; // knows no code page but 1251
    EXPECT_EQ(WideToCodePage(system, u"abc", 437), "");
    EXPECT_EQ(system.Conversions.size(), 1u);
}

TEST(LogTexts, BoolAndRect) {
    EXPECT_EQ(BoolToText(true), u"True");
    EXPECT_EQ(BoolToText(false), u"False");
    EXPECT_EQ(RectToText({-8, 1040, 1928, 1088}), u"Left: -8, Top: 1040, Right: 1928, Bottom: 1088");
    EXPECT_EQ(RectToText({INT_MIN, 0, INT_MAX, -1}),
              u"Left: -2147483648, Top: 0, Right: 2147483647, Bottom: -1");
}

} // namespace
} // namespace tarnwick
