#pragma once
// An in-memory Task Scheduler for its seam: the registered tasks by folder and name, a user, and refusals
// that can be switched on. It answers as Microsoft's documentation of ITaskFolder says: a task or folder
// that is not there is HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), and a folder that still holds tasks
// cannot be deleted (HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY)).

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/TaskSchedulerPlatform.h"

namespace tarnwick::testing {

class FakeTaskSchedulerPlatform : public ITaskSchedulerPlatform {
public:
    static constexpr auto FileNotFound = static_cast<std::int32_t>(0x80070002u);
    static constexpr auto DirectoryNotEmpty = static_cast<std::int32_t>(0x80070091u);
    static constexpr auto AccessDenied = static_cast<std::int32_t>(0x80070005u);
    static constexpr auto NotImplemented = static_cast<std::int32_t>(0x80004001u);

    std::u16string UserSid = u"S-1-5-21-1004336348-1177238915-682003330-1001";
    // Non-zero: every registration fails with it.
    std::int32_t RegistrationRefusal = 0;
    // Non-zero: every deletion of a task fails with it.
    std::int32_t DeletionRefusal = 0;
    // Parts left out of every registration, with the scheduler's answer (as Wine answers E_NOTIMPL).
    std::vector<std::pair<std::u16string, std::int32_t>> UnsupportedParts;

    std::map<std::pair<std::u16string, std::u16string>, TTaskDefinition> Tasks;
    std::vector<std::u16string> Folders;
    int Registrations = 0;

    std::optional<TTaskDefinition> Task(const std::u16string& Folder, const std::u16string& Name) const {
        const auto it = Tasks.find({Folder, Name});
        return it == Tasks.end() ? std::nullopt : std::optional(it->second);
    }

    std::int32_t ListingRefusal = 0; // as Wine's scheduler, which does not list a folder's tasks: E_NOTIMPL
    std::u16string CurrentUserSid() override { return UserSid; }
    TTaskRegistration RegisterTask(const TTaskDefinition& Task) override {
        ++Registrations;
        if (RegistrationRefusal != 0) {
            return {RegistrationRefusal, {}};
        }
        if (!HasFolder(Task.Folder)) {
            Folders.push_back(Task.Folder);
        }
        Tasks[{Task.Folder, Task.Name}] = Task;
        return {0, UnsupportedParts};
    }
    std::int32_t DeleteTask(const std::u16string& Folder, const std::u16string& Name) override {
        if (DeletionRefusal != 0) {
            return DeletionRefusal;
        }
        return Tasks.erase({Folder, Name}) ? 0 : FileNotFound;
    }
    std::int32_t GetTaskNames(const std::u16string& Folder, std::vector<std::u16string>& Names) override {
        if (ListingRefusal != 0) {
            return ListingRefusal;
        }
        if (!HasFolder(Folder)) {
            return FileNotFound;
        }
        for (const auto& [key, task] : Tasks) {
            if (key.first == Folder) {
                Names.push_back(key.second);
            }
        }
        return 0;
    }
    std::int32_t DeleteFolder(const std::u16string& Folder) override {
        if (!HasFolder(Folder)) {
            return FileNotFound;
        }
        for (const auto& [key, task] : Tasks) {
            if (key.first == Folder) {
                return DirectoryNotEmpty;
            }
        }
        std::erase(Folders, Folder);
        return 0;
    }

private:
    bool HasFolder(const std::u16string& Folder) const {
        return std::find(Folders.begin(), Folders.end(), Folder) != Folders.end();
    }
};

} // namespace tarnwick::testing
