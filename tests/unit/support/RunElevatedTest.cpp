#include "support/SupportUtils.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "tests/unit/support/FakeShellExecutePlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"

namespace tarnwick {
namespace {

using testing::FakeShellExecutePlatform;
using testing::FakeSystemPlatform;

TEST(RunElevated, AsksTheShellForRunasWithExactlyTheseFields) {
    FakeShellExecutePlatform shell;
    FakeSystemPlatform system;
    RunElevated(shell, system, 0x1234, u"C:\\Program Files\\Tarnwick\\Tarnwick.exe",
                u"-elevation -action turnoff");
    ASSERT_EQ(shell.Requests.size(), 1u);
    const auto& request = shell.Requests[0];
    const SHELLEXECUTEINFOW& info = request.Info;
    EXPECT_EQ(info.cbSize, 112u);
    EXPECT_EQ(info.fMask, 0x500u);
    EXPECT_EQ(info.hwnd, 0x1234u);
    EXPECT_EQ(request.Verb, u"runas");
    EXPECT_EQ(request.File, u"C:\\Program Files\\Tarnwick\\Tarnwick.exe");
    EXPECT_EQ(request.Parameters, u"-elevation -action turnoff");
    EXPECT_EQ(info.lpDirectory, nullptr);
    EXPECT_EQ(info.nShow, 1);
    EXPECT_EQ(info.hInstApp, 0u);
    EXPECT_EQ(info.lpIDList, nullptr);
    EXPECT_EQ(info.lpClass, nullptr);
    EXPECT_EQ(info.hkeyClass, 0u);
    EXPECT_EQ(info.dwHotKey, 0u);
    EXPECT_EQ(info.hIconOrMonitor, 0u);
    EXPECT_EQ(info.hProcess, 0u);
}

TEST(RunElevated, RaisesTheOperatingSystemErrorOfTheLastErrorCode) {
    const struct {
        std::uint32_t Code;
        std::u16string Message;
    } cases[] = {
        {1223, u"System Error.  Code: 1223.\r\nThe operation was canceled by the user"},
        {0, u"A call to an OS function failed"},
    };
    for (const auto& c : cases) {
        FakeShellExecutePlatform shell;
        shell.Succeeds = false;
        FakeSystemPlatform system;
        system.LastError = c.Code;
        try {
            RunElevated(shell, system, 0, u"C:\\t.exe", u"-elevation -action turnon");
            ADD_FAILURE() << "no error for " << c.Code;
        } catch (const EOSError& e) {
            EXPECT_EQ(e.Message(), c.Message);
            EXPECT_EQ(e.ErrorCode(), c.Code);
        }
    }
}

} // namespace
} // namespace tarnwick
