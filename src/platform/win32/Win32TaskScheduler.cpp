#include "platform/win32/Win32TaskScheduler.h"

#include <windows.h>
// clang-format off
#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>
// clang-format on

#include <memory>

#include "platform/win32/Win32ComRef.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

// The header's own identifiers, taken at compile time: a GUID copied by hand is one typo from
// E_NOINTERFACE.
constexpr CLSID TaskSchedulerClass = __uuidof(TaskScheduler);
constexpr IID TaskServiceInterface = __uuidof(ITaskService);
constexpr IID TimeTriggerInterface = __uuidof(ITimeTrigger);
constexpr IID ExecActionInterface = __uuidof(IExecAction);

// A BSTR for the length of a call.
class TBStr {
public:
    explicit TBStr(const std::u16string& Text) : FText(::SysAllocString(AsWide(Text.c_str()))) {}
    ~TBStr() { ::SysFreeString(FText); }
    TBStr(const TBStr&) = delete;
    TBStr& operator=(const TBStr&) = delete;
    operator BSTR() const noexcept { return FText; }

private:
    BSTR FText;
};

// An empty VARIANT: "none" for the optional arguments.
VARIANT NoValue() {
    VARIANT value;
    ::VariantInit(&value);
    return value;
}

// The scheduler of the local machine, connected as the calling user.
HRESULT Connect(TComApartment& Com, TComRef<ITaskService>& Service) {
    Com.Enter();
    HRESULT result = ::CoCreateInstance(TaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                                        TaskServiceInterface, reinterpret_cast<void**>(Service.Out()));
    if (SUCCEEDED(result)) {
        result = Service->Connect(NoValue(), NoValue(), NoValue(), NoValue());
    }
    return result;
}

HRESULT OpenFolder(TComApartment& Com, const std::u16string& Path, TComRef<ITaskFolder>& Folder) {
    TComRef<ITaskService> service;
    const HRESULT result = Connect(Com, service);
    return FAILED(result) ? result : service->GetFolder(TBStr(Path), Folder.Out());
}

// Collects the parts the scheduler refuses while the rest of the definition is set.
struct TParts {
    TTaskRegistration& Registration;
    // True when the part was taken.
    bool Set(const char16_t* Part, HRESULT Result) {
        if (FAILED(Result)) {
            Registration.PartsRefused.emplace_back(Part, static_cast<std::int32_t>(Result));
        }
        return SUCCEEDED(Result);
    }
};

void SetPrincipal(ITaskDefinition& Definition, const TTaskDefinition& Task, TParts& Parts) {
    TComRef<IPrincipal> principal;
    if (!Parts.Set(u"principal", Definition.get_Principal(principal.Out()))) {
        return;
    }
    Parts.Set(u"user", principal->put_UserId(TBStr(Task.UserId)));
    Parts.Set(u"logon type", principal->put_LogonType(static_cast<TASK_LOGON_TYPE>(Task.LogonType)));
    Parts.Set(u"run level", principal->put_RunLevel(static_cast<TASK_RUNLEVEL_TYPE>(Task.RunLevel)));
}

void SetSettings(ITaskDefinition& Definition, const TTaskDefinition& Task, TParts& Parts) {
    TComRef<ITaskSettings> settings;
    if (!Parts.Set(u"settings", Definition.get_Settings(settings.Out()))) {
        return;
    }
    const auto flag = [](bool Value) { return Value ? VARIANT_TRUE : VARIANT_FALSE; };
    Parts.Set(u"start when available", settings->put_StartWhenAvailable(flag(Task.StartWhenAvailable)));
    Parts.Set(u"start on batteries",
              settings->put_DisallowStartIfOnBatteries(flag(Task.DisallowStartIfOnBatteries)));
    Parts.Set(u"run on batteries", settings->put_StopIfGoingOnBatteries(flag(Task.StopIfGoingOnBatteries)));
    Parts.Set(u"time limit", settings->put_ExecutionTimeLimit(TBStr(Task.ExecutionTimeLimit)));
    Parts.Set(u"deletion after expiry",
              settings->put_DeleteExpiredTaskAfter(TBStr(Task.DeleteExpiredTaskAfter)));
}

void SetTrigger(ITaskDefinition& Definition, const TTaskDefinition& Task, TParts& Parts) {
    TComRef<ITriggerCollection> triggers;
    TComRef<ITrigger> trigger;
    if (!Parts.Set(u"triggers", Definition.get_Triggers(triggers.Out())) ||
        !Parts.Set(u"time trigger", triggers->Create(TASK_TRIGGER_TIME, trigger.Out()))) {
        return;
    }
    TComRef<ITimeTrigger> time;
    if (!Parts.Set(u"time trigger",
                   trigger->QueryInterface(TimeTriggerInterface, reinterpret_cast<void**>(time.Out())))) {
        return;
    }
    Parts.Set(u"trigger time", time->put_StartBoundary(TBStr(Task.StartBoundary)));
    Parts.Set(u"expiry", time->put_EndBoundary(TBStr(Task.EndBoundary)));
}

void SetAction(ITaskDefinition& Definition, const TTaskDefinition& Task, TParts& Parts) {
    TComRef<IActionCollection> actions;
    TComRef<IAction> action;
    if (!Parts.Set(u"actions", Definition.get_Actions(actions.Out())) ||
        !Parts.Set(u"program action", actions->Create(TASK_ACTION_EXEC, action.Out()))) {
        return;
    }
    TComRef<IExecAction> exec;
    if (!Parts.Set(u"program action",
                   action->QueryInterface(ExecActionInterface, reinterpret_cast<void**>(exec.Out())))) {
        return;
    }
    Parts.Set(u"program", exec->put_Path(TBStr(Task.Path)));
    Parts.Set(u"arguments", exec->put_Arguments(TBStr(Task.Arguments)));
}

} // namespace

std::u16string TWin32TaskSchedulerPlatform::CurrentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const std::unique_ptr<void, decltype(&::CloseHandle)> owned(token, &::CloseHandle);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<BYTE[]>(size ? size : 1);
    LPWSTR text = nullptr;
    if (!::GetTokenInformation(token, TokenUser, buffer.get(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
        return {};
    }
    std::u16string sid(FromWide(text));
    ::LocalFree(text);
    return sid;
}

TTaskRegistration TWin32TaskSchedulerPlatform::RegisterTask(const TTaskDefinition& Task) {
    TTaskRegistration registration;
    TComRef<ITaskService> service;
    TComRef<ITaskFolder> root;
    TComRef<ITaskFolder> folder;
    TComRef<ITaskDefinition> definition;
    HRESULT result = Connect(FCom, service);
    if (SUCCEEDED(result)) {
        result = service->GetFolder(TBStr(Task.Folder), folder.Out());
        if (FAILED(result) && SUCCEEDED(service->GetFolder(TBStr(u"\\"), root.Out()))) {
            result = root->CreateFolder(TBStr(Task.Folder), NoValue(), folder.Out());
        }
    }
    if (SUCCEEDED(result)) {
        result = service->NewTask(0, definition.Out());
    }
    if (FAILED(result)) {
        registration.Result = static_cast<std::int32_t>(result);
        return registration;
    }
    TParts parts{registration};
    TComRef<IRegistrationInfo> info;
    if (parts.Set(u"registration information", definition->get_RegistrationInfo(info.Out()))) {
        parts.Set(u"description", info->put_Description(TBStr(Task.Description)));
    }
    SetPrincipal(*definition.Get(), Task, parts);
    SetSettings(*definition.Get(), Task, parts);
    SetTrigger(*definition.Get(), Task, parts);
    SetAction(*definition.Get(), Task, parts);
    VARIANT user = NoValue();
    TBStr userId(Task.UserId);
    user.vt = VT_BSTR;
    user.bstrVal = userId;
    TComRef<IRegisteredTask> registered;
    registration.Result = static_cast<std::int32_t>(folder->RegisterTaskDefinition(
        TBStr(Task.Name), definition.Get(), TASK_CREATE_OR_UPDATE, user, NoValue(),
        static_cast<TASK_LOGON_TYPE>(Task.LogonType), NoValue(), registered.Out()));
    return registration;
}

std::int32_t TWin32TaskSchedulerPlatform::DeleteTask(const std::u16string& Folder,
                                                     const std::u16string& Name) {
    TComRef<ITaskFolder> folder;
    const HRESULT result = OpenFolder(FCom, Folder, folder);
    return static_cast<std::int32_t>(FAILED(result) ? result : folder->DeleteTask(TBStr(Name), 0));
}

std::int32_t TWin32TaskSchedulerPlatform::GetTaskNames(const std::u16string& Folder,
                                                       std::vector<std::u16string>& Names) {
    TComRef<ITaskFolder> folder;
    TComRef<IRegisteredTaskCollection> tasks;
    HRESULT result = OpenFolder(FCom, Folder, folder);
    if (SUCCEEDED(result)) {
        result = folder->GetTasks(TASK_ENUM_HIDDEN, tasks.Out());
    }
    LONG count = 0;
    if (SUCCEEDED(result)) {
        result = tasks->get_Count(&count);
    }
    // The collection counts from 1.
    for (LONG index = 1; SUCCEEDED(result) && index <= count; ++index) {
        VARIANT which = NoValue();
        which.vt = VT_I4;
        which.lVal = index;
        TComRef<IRegisteredTask> task;
        BSTR name = nullptr;
        result = tasks->get_Item(which, task.Out());
        if (SUCCEEDED(result)) {
            result = task->get_Name(&name);
        }
        if (SUCCEEDED(result)) {
            Names.emplace_back(FromWide(name));
            ::SysFreeString(name);
        }
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t TWin32TaskSchedulerPlatform::DeleteFolder(const std::u16string& Folder) {
    TComRef<ITaskFolder> root;
    const HRESULT result = OpenFolder(FCom, u"\\", root);
    return static_cast<std::int32_t>(FAILED(result) ? result : root->DeleteFolder(TBStr(Folder), 0));
}

} // namespace tarnwick::win32
