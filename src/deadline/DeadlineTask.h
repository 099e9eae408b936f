#pragma once
// The one-shot task that carries out a user's recorded deadline through the Task Scheduler when no
// Tarnwick runs: its definition, and its registration and removal. The task and the record agree: the
// task's run looks at the record and does only what is recorded and due, and whichever of the two comes
// first removes the other.

#include <optional>
#include <string>
#include <string_view>

#include "platform/ClockPlatform.h"
#include "platform/TaskSchedulerPlatform.h"

namespace tarnwick {

// Tarnwick's own folder in the Task Scheduler.
inline constexpr char16_t DeadlineTaskFolder[] = u"\\Tarnwick";
// What the task runs: the recorded deadline looked at, and carried out when it has come.
inline constexpr char16_t DeadlineTaskArguments[] = u"-elevation -action deadline -exit";

// One task per user: "Deadline S-1-5-21-...".
std::u16string DeadlineTaskName(std::u16string_view UserSid);
// "2026-12-11T14:35:00Z".
std::u16string IsoUtcText(TFileTime Time);

// The task that runs the program at StartUtc for the user.
TTaskDefinition DeadlineTaskDefinition(std::u16string_view ProgramPath, std::u16string_view UserSid,
                                       TFileTime StartUtc);

// Registers this user's task for StartUtc, replacing the earlier one; parts of the definition the
// scheduler does not support are logged and left out. None when registered, otherwise what the user is
// told of the refusal.
std::optional<std::u16string> ScheduleDeadlineTask(ITaskSchedulerPlatform& Scheduler,
                                                   std::u16string_view ProgramPath, TFileTime StartUtc);
// Removes this user's task; one that is not there counts as removed. A refusal is logged; false then.
bool RemoveDeadlineTask(ITaskSchedulerPlatform& Scheduler);
// Removes every task of the folder and the folder (for the uninstall); how many tasks were pending.
std::size_t RemoveEveryDeadlineTask(ITaskSchedulerPlatform& Scheduler);

} // namespace tarnwick
