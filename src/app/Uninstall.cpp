#include "app/Uninstall.h"

#include "command/Command.h"
#include "core/Text.h"
#include "deadline/Deadline.h"
#include "deadline/DeadlineTask.h"
#include "diag/EasyLog.h"
#include "netcore/KeepList.h"
#include "netcore/NetCore.h"

namespace tarnwick {

int EndPendingForUninstall(IDevicePlatform& Devices, IRegistryPlatform& Registry,
                           ITaskSchedulerPlatform* Scheduler) {
    WriteToLog(u"Tarnwick is being uninstalled: pending ends are done now");
    const auto own = ReadDeadline(Registry);
    // Each task's user's record may be out of reach (another user's registry); the tasks are counted.
    const std::size_t tasks = Scheduler ? RemoveEveryDeadlineTask(*Scheduler) : 0;
    int exitCode = ecDone;
    if (tasks > 0 || (own && own->Switch == TDeadlineSwitch::dsTurnOn)) {
        const TSwitchReport report = TurnOnInternet(Devices, ReadKeepList(Registry));
        if (!report.AllSucceeded()) {
            exitCode = ecAdapterFailed;
        }
    }
    ClearDeadline(Registry);
    return exitCode;
}

} // namespace tarnwick
