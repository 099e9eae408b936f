// The Task Scheduler adapter against Wine's scheduler: a task registered through ITaskService lands in
// its folder, the parts Wine does not support are named with its answer, and the task, the folder and
// a task that is not there are deleted or answered as the documentation of ITaskFolder says.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/win32/Win32TaskScheduler.h"

#include <windows.h>

namespace tarnwick::win32 {
namespace {

constexpr char16_t Folder[] = u"\\TarnwickAdapterTest";
constexpr wchar_t FolderOnDisk[] = L"C:\\windows\\system32\\tasks\\TarnwickAdapterTest";
constexpr auto FileNotFound = static_cast<std::int32_t>(0x80070002u);
constexpr auto PathNotFound = static_cast<std::int32_t>(0x80070003u);
constexpr auto NotImplemented = static_cast<std::int32_t>(0x80004001u);

TTaskDefinition SomeTask(const std::u16string& Sid) {
    TTaskDefinition task;
    task.Folder = Folder;
    task.Name = u"Deadline " + Sid;
    task.Description = u"A test task";
    task.UserId = Sid;
    task.LogonType = 2; // TASK_LOGON_S4U
    task.RunLevel = 1;  // TASK_RUNLEVEL_HIGHEST
    task.StartBoundary = u"2030-01-01T10:00:00Z";
    task.EndBoundary = u"2031-01-02T10:00:00Z";
    task.StartWhenAvailable = true;
    task.DisallowStartIfOnBatteries = false;
    task.StopIfGoingOnBatteries = false;
    task.ExecutionTimeLimit = u"PT10M";
    task.DeleteExpiredTaskAfter = u"PT0S";
    task.Path = u"C:\\Program Files\\Tarnwick\\tarnwick.exe";
    task.Arguments = u"-elevation -action deadline -exit";
    return task;
}

TEST(Win32TaskScheduler, RegistersListsAndDeletesATaskInItsOwnFolder) {
    TWin32TaskSchedulerPlatform scheduler;
    const std::u16string sid = scheduler.CurrentUserSid();
    ASSERT_EQ(sid.rfind(u"S-1-5-", 0), 0u) << "a SID string";

    const TTaskRegistration registration = scheduler.RegisterTask(SomeTask(sid));
    ASSERT_GE(registration.Result, 0) << std::hex << registration.Result;
    for (const auto& [part, result] : registration.PartsRefused) {
        // Wine 8 leaves out time triggers and run levels; Windows takes every part.
        EXPECT_EQ(result, NotImplemented) << std::string(part.begin(), part.end());
    }
    EXPECT_NE(::GetFileAttributesW(FolderOnDisk), INVALID_FILE_ATTRIBUTES) << "the folder is made";
    EXPECT_GE(scheduler.RegisterTask(SomeTask(sid)).Result, 0) << "registered again: replaced";

    std::vector<std::u16string> names;
    if (const std::int32_t listed = scheduler.GetTaskNames(Folder, names); listed != NotImplemented) {
        EXPECT_GE(listed, 0);
        EXPECT_EQ(names, std::vector<std::u16string>{u"Deadline " + sid});
    } // else Wine 8, whose folders do not list their tasks

    EXPECT_GE(scheduler.DeleteTask(Folder, u"Deadline " + sid), 0);
    EXPECT_EQ(scheduler.DeleteTask(Folder, u"Deadline " + sid), FileNotFound);
    EXPECT_GE(scheduler.DeleteFolder(Folder), 0);
    EXPECT_EQ(::GetFileAttributesW(FolderOnDisk), INVALID_FILE_ATTRIBUTES);
    names.clear();
    // A folder that is not there: Windows says "file", Wine "path" not found.
    EXPECT_THAT(scheduler.GetTaskNames(Folder, names), testing::AnyOf(FileNotFound, PathNotFound));
    EXPECT_TRUE(names.empty());
}

} // namespace
} // namespace tarnwick::win32
