// The end of a limited turn-on holds: recorded in the user's registry, it outlives a killed tarnwick.exe,
// is carried out at once when a start finds it past, and outlasts Exit.

#include "SessionFixture.h"

#include "tests/win32/common/Screenshot.h"

namespace tarnwick::e2e {
namespace {

using Deadline = Session;

constexpr std::uint64_t TicksPerMinute = 600000000;

TEST_F(Deadline, ALimitedTurnOnEndsAboutAMinuteLaterThoughTheProgramWasKilled) {
    TurnAdaptersOff();
    const DWORD turnedOn = ::GetTickCount();
    {
        TProgram program(machine, L"-elevation -action turnon 1");
        ASSERT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(0); })) << "adapters not enabled";
        ASSERT_TRUE(RecordedDeadline()) << "no deadline recorded";
        // As taskkill /f does: no window message, no clean-up.
        ASSERT_TRUE(::TerminateProcess(::OpenProcess(PROCESS_TERMINATE, FALSE, program.ProcessId()), 1));
        ASSERT_TRUE(program.WaitForExit(Patience));
    }
    ASSERT_TRUE(RecordedDeadline()) << "the kill took the deadline";

    // Started again without arguments (as at logon): the deadline is re-armed, and carried out (on Wine's
    // Windows 7 through an elevated copy).
    TProgram again(machine, L"");
    const auto elapsed = [&] { return ::GetTickCount() - turnedOn; };
    EXPECT_FALSE(WaitUntil(45000 - std::min<DWORD>(elapsed(), 45000), [&] { return AdaptersAre(22); }))
        << "turned off too early";
    EXPECT_TRUE(WaitUntil(60000 + Patience - std::min<DWORD>(elapsed(), 60000), [&] {
        return AdaptersAre(22);
    })) << "not turned off about a minute after the turn-on";
    EXPECT_GE(elapsed(), 55000u);
    EXPECT_TRUE(WaitUntil(Patience, [] { return !RecordedDeadline(); })) << "the deadline stayed recorded";
}

TEST_F(Deadline, ADeadlinePastAtStartUpIsCarriedOutAtOnce) {
    RecordDeadline(NowUtc() - 5 * TicksPerMinute);
    TProgram program(machine, L"-elevation");
    EXPECT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(22); })) << "not turned off at start-up";
    EXPECT_TRUE(WaitUntil(Patience, [] { return !RecordedDeadline(); }));
    test::TakeScreenshot(L"e2e-past-deadline-carried-out");
}

TEST_F(Deadline, ExitDuringALimitedTurnOnLeavesItsEndPending) {
    TurnAdaptersOff();
    TProgram program(machine, L"-elevation -action turnon 5");
    ASSERT_TRUE(WaitUntil(Patience, [&] { return AdaptersAre(0); }));
    ASSERT_TRUE(RecordedDeadline());
    HWND window = TheMainWindow();
    ASSERT_NE(window, nullptr);
    ::PostMessageW(window, WM_COMMAND, ExitCommand, 0);
    ASSERT_TRUE(program.WaitForExit(Patience)) << "Exit did not end the program";
    EXPECT_TRUE(AdaptersAre(0));
    EXPECT_TRUE(RecordedDeadline()) << "Exit cancelled the pending end";
}

} // namespace
} // namespace tarnwick::e2e
