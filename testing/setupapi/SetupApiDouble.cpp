// A setupapi.dll for Windows programs under Wine that answers from the device simulator instead of the
// machine. The simulated machine lives in the file named by TARNWICK_SIMULATED_MACHINE: it is read when
// an enumeration starts and written after every property change, so that the program, its elevated copy
// and the test driver see the same adapters. After a change every top-level window is told, as Windows
// does, with WM_DEVICECHANGE / DBT_DEVNODES_CHANGED.

#define _SETUPAPI_
#define CMAPI
#include <windows.h>
// clang-format off
#include <cfgmgr32.h>
#include <dbt.h>
#include <setupapi.h>
// clang-format on

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "simulator/DeviceSimulator.h"
#include "simulator/MachineFile.h"
#include "testing/win32/FileBytes.h"

namespace {

using tarnwick::sim::TDeviceSimulator;

std::recursive_mutex gLock;                 // calls may come from several threads of one program
std::unique_ptr<TDeviceSimulator> gMachine; // this process's copy of the shared machine

std::wstring MachinePath() {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE", path, MAX_PATH);
    return (length == 0 || length >= MAX_PATH) ? std::wstring() : std::wstring(path);
}

// Serialises the processes that share the machine file.
class TMachineFileLock {
public:
    TMachineFileLock() : FMutex(CreateMutexW(nullptr, FALSE, L"Local\\TarnwickSimulatedMachine")) {
        if (FMutex) {
            WaitForSingleObject(FMutex, 10000);
        }
    }
    ~TMachineFileLock() {
        if (FMutex) {
            ReleaseMutex(FMutex);
            CloseHandle(FMutex);
        }
    }
    TMachineFileLock(const TMachineFileLock&) = delete;
    TMachineFileLock& operator=(const TMachineFileLock&) = delete;

private:
    HANDLE FMutex;
};

// A file handle that closes itself. Plain file calls rather than iostreams keep the C++ library's streams
// and locales out of this DLL: they made its image 2.5 times the size, and their start-up took memory in
// every program that loads it, which the system's own setupapi.dll does not.
class TFile {
public:
    TFile(const std::wstring& path, DWORD access, DWORD creation)
        : FHandle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~TFile() {
        if (FHandle != INVALID_HANDLE_VALUE) {
            CloseHandle(FHandle);
        }
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    HANDLE Handle() const { return FHandle; }

private:
    HANDLE FHandle;
};

bool WriteWholeFile(const std::wstring& path, std::string_view text) {
    const TFile file(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD written = 0;
    return file.Handle() != INVALID_HANDLE_VALUE &&
           WriteFile(file.Handle(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

void BroadcastDeviceChange() {
    PostMessageW(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

void SaveMachineFile() {
    const std::wstring path = MachinePath();
    if (path.empty() || !gMachine) {
        return;
    }
    TMachineFileLock lock;
    const std::wstring temporary = path + L".new";
    if (WriteWholeFile(temporary, tarnwick::sim::SaveMachine(*gMachine))) {
        MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

// A fresh copy of the shared machine at the start of every enumeration (while no set of ours is open).
TDeviceSimulator& Machine(bool refresh) {
    if (!gMachine || (refresh && gMachine->OpenSetCount() == 0)) {
        auto machine = std::make_unique<TDeviceSimulator>();
        const std::wstring path = MachinePath();
        if (!path.empty()) {
            TMachineFileLock lock;
            const std::string text = tarnwick::test::FileBytes(std::u16string(path.begin(), path.end()));
            try {
                tarnwick::sim::LoadMachine(*machine, text);
            } catch (const std::exception&) {
                machine = std::make_unique<TDeviceSimulator>(); // an unreadable file is an empty machine
            }
        }
        machine->OnDevicesChanged = [] {
            SaveMachineFile();
            BroadcastDeviceChange();
        };
        gMachine = std::move(machine);
    }
    return *gMachine;
}

// Runs one call on the machine and leaves its error code as the thread's last error.
template <typename Call> auto Answer(bool refresh, Call call) {
    std::lock_guard guard(gLock);
    TDeviceSimulator& machine = Machine(refresh);
    machine.SetLastError(GetLastError());
    auto result = call(machine);
    SetLastError(machine.GetLastError());
    return result;
}

tarnwick::HDEVINFO Set(HDEVINFO set) {
    return reinterpret_cast<tarnwick::HDEVINFO>(set);
}
tarnwick::SP_DEVINFO_DATA* Data(PSP_DEVINFO_DATA data) {
    return reinterpret_cast<tarnwick::SP_DEVINFO_DATA*>(data);
}
const tarnwick::Guid* AsGuid(const GUID* guid) {
    return reinterpret_cast<const tarnwick::Guid*>(guid);
}
std::uint32_t* Out(DWORD* value) {
    return reinterpret_cast<std::uint32_t*>(value);
}

static_assert(sizeof(DWORD) == sizeof(std::uint32_t) && sizeof(ULONG) == sizeof(std::uint32_t));

} // namespace

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID* ClassGuid, PCWSTR Enumerator, HWND hwndParent, DWORD Flags) {
    return Answer(true, [&](TDeviceSimulator& m) {
        return reinterpret_cast<HDEVINFO>(
            m.SetupDiGetClassDevsW(AsGuid(ClassGuid), reinterpret_cast<const char16_t*>(Enumerator),
                                   reinterpret_cast<std::uintptr_t>(hwndParent), Flags));
    });
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return DeviceInfoData &&
               m.SetupDiEnumDeviceInfo(Set(DeviceInfoSet), MemberIndex, *Data(DeviceInfoData));
    });
}

BOOL WINAPI SetupDiGetDeviceInstanceIdW(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        PWSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                        PDWORD RequiredSize) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return DeviceInfoData && m.SetupDiGetDeviceInstanceIdW(Set(DeviceInfoSet), *Data(DeviceInfoData),
                                                               reinterpret_cast<char16_t*>(DeviceInstanceId),
                                                               DeviceInstanceIdSize, Out(RequiredSize));
    });
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyW(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                              DWORD Property, PDWORD PropertyRegDataType,
                                              PBYTE PropertyBuffer, DWORD PropertyBufferSize,
                                              PDWORD RequiredSize) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return DeviceInfoData &&
               m.SetupDiGetDeviceRegistryPropertyW(Set(DeviceInfoSet), *Data(DeviceInfoData), Property,
                                                   Out(PropertyRegDataType), PropertyBuffer,
                                                   PropertyBufferSize, Out(RequiredSize));
    });
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        const GUID* InterfaceClassGuid, DWORD MemberIndex,
                                        PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return InterfaceClassGuid && DeviceInterfaceData &&
               m.SetupDiEnumDeviceInterfaces(
                   Set(DeviceInfoSet), Data(DeviceInfoData), *AsGuid(InterfaceClassGuid), MemberIndex,
                   *reinterpret_cast<tarnwick::SP_DEVICE_INTERFACE_DATA*>(DeviceInterfaceData));
    });
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                             PSP_DEVICE_INTERFACE_DATA DeviceInterfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_W DeviceInterfaceDetailData,
                                             DWORD DeviceInterfaceDetailDataSize, PDWORD RequiredSize,
                                             PSP_DEVINFO_DATA DeviceInfoData) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return DeviceInterfaceData &&
               m.SetupDiGetDeviceInterfaceDetailW(
                   Set(DeviceInfoSet),
                   *reinterpret_cast<tarnwick::SP_DEVICE_INTERFACE_DATA*>(DeviceInterfaceData),
                   DeviceInterfaceDetailData, DeviceInterfaceDetailDataSize, Out(RequiredSize),
                   Data(DeviceInfoData));
    });
}

BOOL WINAPI SetupDiSetClassInstallParamsW(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                          PSP_CLASSINSTALL_HEADER ClassInstallParams,
                                          DWORD ClassInstallParamsSize) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return m.SetupDiSetClassInstallParamsW(
            Set(DeviceInfoSet), Data(DeviceInfoData),
            reinterpret_cast<tarnwick::SP_CLASSINSTALL_HEADER*>(ClassInstallParams), ClassInstallParamsSize);
    });
}

BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                      PSP_DEVINFO_DATA DeviceInfoData) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return m.SetupDiCallClassInstaller(InstallFunction, Set(DeviceInfoSet), Data(DeviceInfoData));
    });
}

BOOL WINAPI SetupDiGetDeviceInstallParamsW(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                           PSP_DEVINSTALL_PARAMS_W DeviceInstallParams) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return DeviceInstallParams &&
               m.SetupDiGetDeviceInstallParamsW(
                   Set(DeviceInfoSet), Data(DeviceInfoData),
                   *reinterpret_cast<tarnwick::SP_DEVINSTALL_PARAMS_W*>(DeviceInstallParams));
    });
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    return Answer(false, [&](TDeviceSimulator& m) -> BOOL {
        return m.SetupDiDestroyDeviceInfoList(Set(DeviceInfoSet));
    });
}

CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG pulStatus, PULONG pulProblemNumber, DEVINST dnDevInst,
                                       ULONG ulFlags) {
    return Answer(false, [&](TDeviceSimulator& m) {
        return m.CM_Get_DevNode_Status(reinterpret_cast<std::uint32_t*>(pulStatus),
                                       reinterpret_cast<std::uint32_t*>(pulProblemNumber), dnDevInst,
                                       ulFlags);
    });
}

CONFIGRET WINAPI CM_Get_Parent(PDEVINST pdnDevInst, DEVINST dnDevInst, ULONG ulFlags) {
    return Answer(false, [&](TDeviceSimulator& m) {
        return m.CM_Get_Parent(reinterpret_cast<std::uint32_t*>(pdnDevInst), dnDevInst, ulFlags);
    });
}

CONFIGRET WINAPI CM_Get_Device_ID_ExW(DEVINST dnDevInst, PWSTR Buffer, ULONG BufferLen, ULONG ulFlags,
                                      HMACHINE hMachine) {
    return Answer(false, [&](TDeviceSimulator& m) {
        return m.CM_Get_Device_ID_ExW(dnDevInst, reinterpret_cast<char16_t*>(Buffer), BufferLen, ulFlags,
                                      reinterpret_cast<std::uintptr_t>(hMachine));
    });
}

} // extern "C"
