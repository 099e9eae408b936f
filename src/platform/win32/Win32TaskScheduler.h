#pragma once
// The Task Scheduler seam over the scheduler's COM interface (ITaskService), connected to the local
// machine as the calling user.

#include "platform/TaskSchedulerPlatform.h"
#include "platform/win32/Win32ComApartment.h"

namespace tarnwick::win32 {

class TWin32TaskSchedulerPlatform final : public ITaskSchedulerPlatform {
public:
    std::u16string CurrentUserSid() override;
    TTaskRegistration RegisterTask(const TTaskDefinition& Task) override;
    std::int32_t DeleteTask(const std::u16string& Folder, const std::u16string& Name) override;
    std::int32_t GetTaskNames(const std::u16string& Folder, std::vector<std::u16string>& Names) override;
    std::int32_t DeleteFolder(const std::u16string& Folder) override;

private:
    TComApartment FCom;
};

} // namespace tarnwick::win32
