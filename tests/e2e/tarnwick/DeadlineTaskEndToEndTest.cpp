// The end of a pause handed to the Task Scheduler of Wine's prefix: the task registered under Tarnwick's
// folder after a pause with -exit, its command line run as the scheduler would run it (Wine's scheduler
// keeps no actions and runs nothing), and the task gone after a switch by hand and after the uninstall.

#include "SessionFixture.h"

namespace tarnwick::e2e {
namespace {

using DeadlineTask = Session;

// Where Wine's scheduler keeps Tarnwick's folder.
constexpr wchar_t TaskFolder[] = L"C:\\windows\\system32\\tasks\\Tarnwick";
// What the task runs.
constexpr wchar_t TaskArguments[] = L"-elevation -action deadline -exit";

bool TaskRegistered() {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((std::wstring(TaskFolder) + L"\\Deadline *").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

// The pause's end moved into the past, as if its time had come.
void EndCameAlready() {
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, DeadlineKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const std::uint64_t record[2] = {NowUtc() - 600000000, 1 | (std::uint64_t(1) << 32)}; // a pause of 1 min
    ::RegSetValueExW(key, L"Deadline", 0, REG_BINARY, reinterpret_cast<const BYTE*>(record), sizeof record);
    ::RegCloseKey(key);
}

void RunToTheEnd(TMachineFile& machine, const wchar_t* arguments) {
    TProgram program(machine, arguments);
    ASSERT_TRUE(program.WaitForExit(Patience)) << "did not end";
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(DeadlineTask, APauseWithExitIsRegisteredAndItsTaskTurnsTheInternetBackOn) {
    RunToTheEnd(machine, L"-elevation -action turnoff 30 -exit");
    ASSERT_TRUE(AdaptersAre(22));
    EXPECT_TRUE(TaskRegistered()) << "no task under \\Tarnwick";
    ASSERT_TRUE(RecordedDeadline());

    EndCameAlready();
    RunToTheEnd(machine, TaskArguments);
    EXPECT_TRUE(AdaptersAre(0)) << "the task's run did not turn the internet back on";
    EXPECT_FALSE(TaskRegistered()) << "the run left its task";
    EXPECT_FALSE(RecordedDeadline());
}

TEST_F(DeadlineTask, ASwitchByHandRemovesTheTask) {
    RunToTheEnd(machine, L"-elevation -action turnoff 30 -exit");
    ASSERT_TRUE(TaskRegistered());
    RunToTheEnd(machine, L"-elevation -action turnon -exit");
    EXPECT_TRUE(AdaptersAre(0));
    EXPECT_FALSE(TaskRegistered());
    EXPECT_FALSE(RecordedDeadline());
}

TEST_F(DeadlineTask, TheUninstallDuringAPauseTurnsTheInternetOnAndLeavesNoTask) {
    RunToTheEnd(machine, L"-elevation -action turnoff 30 -exit");
    ASSERT_TRUE(TaskRegistered());
    RunToTheEnd(machine, L"-uninstall");
    EXPECT_TRUE(AdaptersAre(0));
    EXPECT_FALSE(TaskRegistered());
    EXPECT_EQ(::GetFileAttributesW(TaskFolder), INVALID_FILE_ATTRIBUTES) << "the folder stayed";
    EXPECT_FALSE(RecordedDeadline());
}

} // namespace
} // namespace tarnwick::e2e
