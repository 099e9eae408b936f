#include "deadline/DeadlineTask.h"

#include <vector>

#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "deadline/Calendar.h"
#include "diag/EasyLog.h"

namespace tarnwick {

namespace {

// A task the scheduler has not started within a year of its time (a machine kept switched off) expires and
// is deleted; the record stays, and the next start of Tarnwick carries it out.
constexpr TFileTime TaskLifetime = 366ull * 24 * 60 * FileTimeTicksPerMinute;

// HRESULT_FROM_WIN32 of ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND: no such task, no such folder.
constexpr auto HResultFileNotFound = static_cast<std::int32_t>(0x80070002u);
constexpr auto HResultPathNotFound = static_cast<std::int32_t>(0x80070003u);

std::u16string HexResult(std::int32_t Result) {
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    std::u16string text = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += Digits[(static_cast<std::uint32_t>(Result) >> shift) & 0xF];
    }
    return text;
}

bool Missing(std::int32_t Result) {
    return Result == HResultFileNotFound || Result == HResultPathNotFound;
}

} // namespace

std::u16string DeadlineTaskName(std::u16string_view UserSid) {
    return u"Deadline " + std::u16string(UserSid);
}

std::u16string IsoUtcText(TFileTime Time) {
    const std::uint64_t seconds = Time / (FileTimeTicksPerMillisecond * 1000);
    const TCivilDate date = CivilFromDays(static_cast<std::int64_t>(seconds / 86400) - DaysFrom1601To1970);
    const std::uint64_t second = seconds % 86400;
    return IntToText(date.Year) + u"-" + TwoDigits(date.Month) + u"-" + TwoDigits(date.Day) + u"T" +
           TwoDigits(std::int64_t(second / 3600)) + u":" + TwoDigits(std::int64_t(second / 60 % 60)) + u":" +
           TwoDigits(std::int64_t(second % 60)) + u"Z";
}

TTaskDefinition DeadlineTaskDefinition(std::u16string_view ProgramPath, std::u16string_view UserSid,
                                       TFileTime StartUtc) {
    TTaskDefinition task;
    task.Folder = DeadlineTaskFolder;
    task.Name = DeadlineTaskName(UserSid);
    task.Description =
        u"Ends the pause or the limited turn-on of the internet that Tarnwick recorded for this "
        u"user, also when Tarnwick does not run. Tarnwick removes it once the end is done.";
    // S4U, as the user: it runs whether or not the user is logged on (after a logoff, or for a pause
    // started over PowerShell remoting, where nobody logs on interactively), without a stored password,
    // and with the user's own profile, so that it reads the deadline the user's registry holds. An
    // interactive-token task would wait for a logon; a SYSTEM task would read SYSTEM's registry. At the
    // highest run level: only an elevated Tarnwick registers it, and switching adapters needs the full
    // token, which a task gets without a prompt.
    task.UserId = UserSid;
    task.LogonType = TASK_LOGON_S4U;
    task.RunLevel = TASK_RUNLEVEL_HIGHEST;
    task.StartBoundary = IsoUtcText(StartUtc);
    task.EndBoundary = IsoUtcText(StartUtc + TaskLifetime);
    // Asleep or switched off at the time: the run comes as soon as the machine is back; on batteries too,
    // since a laptop paused on batteries must come back online.
    task.StartWhenAvailable = true;
    task.DisallowStartIfOnBatteries = false;
    task.StopIfGoingOnBatteries = false;
    // A switch takes seconds; a run that hangs is ended rather than kept for the default three days.
    task.ExecutionTimeLimit = u"PT10M";
    task.DeleteExpiredTaskAfter = u"PT0S";
    task.Path = ProgramPath;
    task.Arguments = DeadlineTaskArguments;
    return task;
}

std::optional<std::u16string> ScheduleDeadlineTask(ITaskSchedulerPlatform& Scheduler,
                                                   std::u16string_view ProgramPath, TFileTime StartUtc) {
    const std::u16string sid = Scheduler.CurrentUserSid();
    if (sid.empty()) {
        const std::u16string text = u"The end was not handed to the Task Scheduler: this user's account "
                                    u"cannot be read. It comes while Tarnwick runs, or at its next start.";
        WriteToLog(text);
        return text;
    }
    const TTaskRegistration registration =
        Scheduler.RegisterTask(DeadlineTaskDefinition(ProgramPath, sid, StartUtc));
    for (const auto& [part, result] : registration.PartsRefused) {
        WriteToLog(u"The Task Scheduler does not support the task's " + part + u" (" + HexResult(result) +
                   u"); the task is registered without it");
    }
    if (registration.Result < 0) {
        const std::u16string text = u"The Task Scheduler refused the end (" + HexResult(registration.Result) +
                                    u"). It comes while Tarnwick runs, or at its next start.";
        WriteToLog(text);
        return text;
    }
    WriteToLog(u"The end is handed to the Task Scheduler: " + std::u16string(DeadlineTaskFolder) + u"\\" +
               DeadlineTaskName(sid) + u" at " + IsoUtcText(StartUtc));
    return std::nullopt;
}

bool RemoveDeadlineTask(ITaskSchedulerPlatform& Scheduler) {
    const std::u16string sid = Scheduler.CurrentUserSid();
    if (sid.empty()) {
        WriteToLog(u"The end's task cannot be removed: this user's account cannot be read");
        return false;
    }
    const std::int32_t result = Scheduler.DeleteTask(DeadlineTaskFolder, DeadlineTaskName(sid));
    if (result < 0 && !Missing(result)) {
        WriteToLog(u"The Task Scheduler did not remove the end's task (" + HexResult(result) +
                   u"); when it runs it finds the end done and does nothing");
        return false;
    }
    return true;
}

std::size_t RemoveEveryDeadlineTask(ITaskSchedulerPlatform& Scheduler) {
    std::vector<std::u16string> names;
    const std::int32_t listed = Scheduler.GetTaskNames(DeadlineTaskFolder, names);
    if (listed < 0 && !Missing(listed)) {
        // Wine's scheduler, for one, does not list a folder's tasks (E_NOTIMPL): this user's task, whose
        // name is known, is removed all the same.
        WriteToLog(u"The Task Scheduler did not list Tarnwick's tasks (" + HexResult(listed) +
                   u"); this user's task is removed by its name");
        names.clear();
        if (const std::u16string sid = Scheduler.CurrentUserSid(); !sid.empty()) {
            names.push_back(DeadlineTaskName(sid));
        }
    }
    for (const std::u16string& name : names) {
        const std::int32_t result = Scheduler.DeleteTask(DeadlineTaskFolder, name);
        WriteToLog(u"Task " + std::u16string(DeadlineTaskFolder) + u"\\" + name +
                   (result < 0 ? u" not removed (" + HexResult(result) + u")" : std::u16string(u" removed")));
    }
    const std::int32_t folder = Scheduler.DeleteFolder(DeadlineTaskFolder);
    if (folder < 0 && !Missing(folder)) {
        WriteToLog(u"The Task Scheduler did not remove the folder " + std::u16string(DeadlineTaskFolder) +
                   u" (" + HexResult(folder) + u")");
    }
    return names.size();
}

} // namespace tarnwick
