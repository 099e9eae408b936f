#pragma once
// The Task Scheduler seam: the one-shot tasks that carry out the end of a limited switch when no
// Tarnwick runs. Each method is one registration, deletion or listing through the scheduler's COM
// interface (ITaskService), and gives its HRESULT.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

// A task with one time trigger and one program action, as the scheduler's definition holds it.
struct TTaskDefinition {
    std::u16string Folder; // "\\Tarnwick"; made when missing
    std::u16string Name;
    std::u16string Description;
    // The principal: the user's SID, how the scheduler logs it on (TASK_LOGON_*) and with which rights
    // (TASK_RUNLEVEL_*).
    std::u16string UserId;
    std::int32_t LogonType = 0;
    std::int32_t RunLevel = 0;
    // The time trigger: when it starts the task, and after when it no longer does (ISO 8601, UTC).
    std::u16string StartBoundary;
    std::u16string EndBoundary;
    // The settings: a start missed (asleep, switched off) is made up as soon as possible; on batteries
    // as well; the longest run; how long after its expiry the scheduler deletes the task (ISO 8601
    // durations).
    bool StartWhenAvailable = false;
    bool DisallowStartIfOnBatteries = true;
    bool StopIfGoingOnBatteries = true;
    std::u16string ExecutionTimeLimit;
    std::u16string DeleteExpiredTaskAfter;
    // The action: the program and its arguments.
    std::u16string Path;
    std::u16string Arguments;
    friend bool operator==(const TTaskDefinition&, const TTaskDefinition&) = default;
};

// What came of a registration: its HRESULT, and the parts of the definition the scheduler did not take
// (their name and its answer) while it registered the rest.
struct TTaskRegistration {
    std::int32_t Result = 0;
    std::vector<std::pair<std::u16string, std::int32_t>> PartsRefused;
};

class ITaskSchedulerPlatform {
public:
    virtual ~ITaskSchedulerPlatform() = default;

    // The user of this process's token as a SID string ("S-1-5-21-..."); empty when it cannot be read.
    virtual std::u16string CurrentUserSid() = 0;
    // Registers the task, replacing one of the same name (TASK_CREATE_OR_UPDATE).
    virtual TTaskRegistration RegisterTask(const TTaskDefinition& Task) = 0;
    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when there is no such task or folder.
    virtual std::int32_t DeleteTask(const std::u16string& Folder, const std::u16string& Name) = 0;
    // The names of the tasks in the folder (hidden ones too).
    virtual std::int32_t GetTaskNames(const std::u16string& Folder, std::vector<std::u16string>& Names) = 0;
    // Deletes the folder, which must be empty.
    virtual std::int32_t DeleteFolder(const std::u16string& Folder) = 0;
};

} // namespace tarnwick
