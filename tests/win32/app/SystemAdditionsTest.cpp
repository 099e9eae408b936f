// What Windows answers to the system and shell-execution calls the main window and the About window add:
// the locale's comparison of action words, the process token's elevation, opening an address, and the
// wall clock's local time in the locale's format.
#include <windows.h>

#include <gtest/gtest.h>

#include "deadline/DeadlineTexts.h"
#include "platform/win32/Win32Instance.h"
#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32System.h"

namespace tarnwick::win32 {
namespace {

TEST(SystemAdditions, ComparesByTheUsersLocaleIgnoringCase) {
    TWin32SystemPlatform system;
    const struct {
        const char16_t *A, *B;
        int Result;
    } cases[] = {
        {u"TurnOff", u"turnoff", CSTR_EQUAL},       {u"TURNON", u"turnon", CSTR_EQUAL},
        {u"turnof", u"turnoff", CSTR_LESS_THAN},    {u"reboot", u"turnoff", CSTR_LESS_THAN},
        {u"turnon", u"turnoff", CSTR_GREATER_THAN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(system.CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, c.A, c.B), c.Result);
    }
    EXPECT_NE(system.CompareStringW(LOCALE_USER_DEFAULT, 0, u"TurnOff", u"turnoff"), CSTR_EQUAL);
}

TEST(SystemAdditions, TheClockShowsAnInstantInTheLocalZoneInTheLocalesFormat) {
    TWin32ClockPlatform clock;
    // 12:34:56 UTC on 11 December 2026.
    const ::SYSTEMTIME universal{2026, 12, 5, 11, 12, 34, 56, 0};
    FILETIME file{};
    ASSERT_TRUE(::SystemTimeToFileTime(&universal, &file));
    const TFileTime utc = (TFileTime(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    tarnwick::SYSTEMTIME local{};
    ASSERT_TRUE(clock.UtcToLocalTime(utc, local));
    ::SYSTEMTIME expected{};
    ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &expected));
    EXPECT_EQ(local.wHour, expected.wHour);
    EXPECT_EQ(local.wMinute, 34);

    wchar_t format[32] = {};
    ASSERT_GT(::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &expected, nullptr, format, 32), 0);
    const std::u16string text = LocalClockText(clock, utc);
    EXPECT_EQ(text, std::u16string(format, format + ::lstrlenW(format)));
    EXPECT_EQ(text.find(u"56"), std::u16string::npos) << "no seconds";
    char16_t small[2] = {};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(clock.GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, local, small, 2), 0);
    EXPECT_EQ(::GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(SystemAdditions, TheTokenTellsWhetherTheProcessIsElevated) {
    TWin32SystemPlatform system;
    bool elevated = false;
    ASSERT_TRUE(system.GetTokenElevation(elevated));
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    TOKEN_ELEVATION expected{};
    DWORD size = 0;
    ASSERT_TRUE(::GetTokenInformation(token, TokenElevation, &expected, sizeof expected, &size));
    ::CloseHandle(token);
    EXPECT_EQ(elevated, expected.TokenIsElevated != 0);
    std::printf("Wine's process token is %selevated\n", elevated ? "" : "not ");
}

TEST(SystemAdditions, OpeningAnAddressWithoutAProgramForItReportsFailureOnly) {
    TWin32ShellExecutePlatform shell;
    const std::uintptr_t result =
        shell.ShellExecuteW(0, u"open", u"Z:\\no\\such\\folder\\file.nothing", nullptr, nullptr, SW_SHOW);
    EXPECT_LE(result, 32u);
}

} // namespace
} // namespace tarnwick::win32
