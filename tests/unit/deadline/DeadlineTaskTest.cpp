// The deadline's task as the Task Scheduler is given it: every field of its definition, its registration
// with parts the scheduler does not support, and its removal.

#include <gtest/gtest.h>

#include <algorithm>

#include "deadline/DeadlineTask.h"
#include "tests/unit/support/FakeTaskSchedulerPlatform.h"
#include "tests/unit/tray/LogRecorder.h"

namespace tarnwick {
namespace {

using Scheduler = tarnwick::testing::FakeTaskSchedulerPlatform;

// 11 December 2025, 14:35:00 UTC.
constexpr TFileTime At1435 = 134099280000000000ull + (2 * 60 + 35) * FileTimeTicksPerMinute;
constexpr char16_t Program[] = u"C:\\Program Files\\Tarnwick\\tarnwick.exe";
constexpr char16_t Sid[] = u"S-1-5-21-1004336348-1177238915-682003330-1001";

bool Logged(const test::LogRecorder& Log, std::u16string_view Part) {
    return std::any_of(Log.Lines.begin(), Log.Lines.end(),
                       [&](const auto& line) { return line.first.find(Part) != std::u16string::npos; });
}

TEST(DeadlineTask, TimesAreGivenInIso8601Utc) {
    EXPECT_EQ(IsoUtcText(At1435), u"2025-12-11T14:35:00Z");
    EXPECT_EQ(IsoUtcText(At1435 + 59 * 10000000ull + 9999999), u"2025-12-11T14:35:59Z")
        << "seconds cut, not rounded";
    EXPECT_EQ(IsoUtcText(0), u"1601-01-01T00:00:00Z");
    EXPECT_EQ(IsoUtcText(At1435 + 21 * 24 * 60 * FileTimeTicksPerMinute), u"2026-01-01T14:35:00Z");
    EXPECT_EQ(IsoUtcText(126227808000000000ull + 59 * 24 * 60 * FileTimeTicksPerMinute),
              u"2001-03-01T00:00:00Z");
}

TEST(DeadlineTask, TheDefinitionRunsTheProgramElevatedForTheUserAtTheEndAndMakesUpAMissedStart) {
    const TTaskDefinition task = DeadlineTaskDefinition(Program, Sid, At1435);
    EXPECT_EQ(task.Folder, u"\\Tarnwick");
    EXPECT_EQ(task.Name, u"Deadline S-1-5-21-1004336348-1177238915-682003330-1001");
    EXPECT_NE(task.Description.find(u"Tarnwick"), std::u16string::npos);
    EXPECT_EQ(task.UserId, Sid);
    EXPECT_EQ(task.LogonType, 2) << "TASK_LOGON_S4U: also while the user is logged off";
    EXPECT_EQ(task.RunLevel, 1) << "TASK_RUNLEVEL_HIGHEST: the switch needs the full token";
    EXPECT_EQ(task.StartBoundary, u"2025-12-11T14:35:00Z");
    EXPECT_EQ(task.EndBoundary, u"2026-12-12T14:35:00Z") << "expires a year (366 days) after its time";
    EXPECT_TRUE(task.StartWhenAvailable);
    EXPECT_FALSE(task.DisallowStartIfOnBatteries);
    EXPECT_FALSE(task.StopIfGoingOnBatteries);
    EXPECT_EQ(task.ExecutionTimeLimit, u"PT10M");
    EXPECT_EQ(task.DeleteExpiredTaskAfter, u"PT0S");
    EXPECT_EQ(task.Path, Program);
    EXPECT_EQ(task.Arguments, u"-elevation -action deadline -exit");
}

TEST(DeadlineTask, IsRegisteredReplacedAndRemovedForTheUser) {
    Scheduler scheduler;
    test::LogRecorder log;
    EXPECT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt);
    EXPECT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435 + FileTimeTicksPerMinute), std::nullopt);
    ASSERT_EQ(scheduler.Tasks.size(), 1u) << "one task per user";
    const auto task = scheduler.Task(u"\\Tarnwick", DeadlineTaskName(Sid));
    ASSERT_TRUE(task);
    EXPECT_EQ(*task, DeadlineTaskDefinition(Program, Sid, At1435 + FileTimeTicksPerMinute));
    EXPECT_TRUE(Logged(log, u"handed to the Task Scheduler"));

    EXPECT_TRUE(RemoveDeadlineTask(scheduler));
    EXPECT_TRUE(scheduler.Tasks.empty());
    EXPECT_TRUE(RemoveDeadlineTask(scheduler)) << "a task that is not there is removed";
    scheduler.DeletionRefusal = Scheduler::AccessDenied;
    EXPECT_FALSE(RemoveDeadlineTask(scheduler));
    EXPECT_TRUE(Logged(log, u"did not remove the end's task (0x80070005)"));
}

TEST(DeadlineTask, PartsTheSchedulerDoesNotSupportAreLoggedAndARefusalIsTold) {
    Scheduler scheduler;
    // As Wine 8 answers: no time triggers, no run levels.
    scheduler.UnsupportedParts = {{u"time trigger", Scheduler::NotImplemented},
                                  {u"run level", Scheduler::NotImplemented}};
    test::LogRecorder log;
    EXPECT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt) << "registered without them";
    EXPECT_TRUE(Logged(log, u"does not support the task's time trigger (0x80004001)"));
    EXPECT_TRUE(Logged(log, u"does not support the task's run level (0x80004001)"));

    scheduler.RegistrationRefusal = Scheduler::AccessDenied;
    const auto refusal = ScheduleDeadlineTask(scheduler, Program, At1435);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal,
              u"The Task Scheduler refused the end (0x80070005). It comes while Tarnwick runs, or at "
              u"its next start.");
    EXPECT_TRUE(Logged(log, *refusal));

    scheduler.UserSid.clear();
    EXPECT_TRUE(ScheduleDeadlineTask(scheduler, Program, At1435));
}

TEST(DeadlineTask, TheUninstallRemovesEveryUsersTaskAndTheFolder) {
    Scheduler scheduler;
    ASSERT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt);
    scheduler.UserSid = u"S-1-5-21-1-2-3-1002";
    ASSERT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt);
    EXPECT_EQ(RemoveEveryDeadlineTask(scheduler), 2u);
    EXPECT_TRUE(scheduler.Tasks.empty());
    EXPECT_TRUE(scheduler.Folders.empty());
    EXPECT_EQ(RemoveEveryDeadlineTask(scheduler), 0u) << "nothing there";
}

TEST(DeadlineTask, ASchedulerThatCannotListStillLosesTheUninstallingUsersTask) {
    Scheduler scheduler;
    scheduler.UserSid = u"S-1-5-21-1-2-3-1002";
    ASSERT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt);
    scheduler.UserSid = u"S-1-5-21-1-2-3-1001";
    ASSERT_EQ(ScheduleDeadlineTask(scheduler, Program, At1435), std::nullopt);
    scheduler.ListingRefusal = static_cast<std::int32_t>(0x80004001u);
    RemoveEveryDeadlineTask(scheduler);
    EXPECT_FALSE(scheduler.Task(DeadlineTaskFolder, DeadlineTaskName(u"S-1-5-21-1-2-3-1001")));
    EXPECT_TRUE(scheduler.Task(DeadlineTaskFolder, DeadlineTaskName(u"S-1-5-21-1-2-3-1002")))
        << "another user's task is not known by name";
}

} // namespace
} // namespace tarnwick
