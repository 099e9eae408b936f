#include "platform/win32/Win32DevicePlatform.h"

#include <windows.h>
// clang-format off
#include <cfgmgr32.h>
#include <setupapi.h>
// clang-format on

#include <cstddef>

#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

// The seam's records are the platform's, field for field.
static_assert(sizeof(tarnwick::SP_DEVINFO_DATA) == sizeof(::SP_DEVINFO_DATA));
static_assert(offsetof(tarnwick::SP_DEVINFO_DATA, DevInst) == offsetof(::SP_DEVINFO_DATA, DevInst));
static_assert(offsetof(tarnwick::SP_DEVINFO_DATA, Reserved) == offsetof(::SP_DEVINFO_DATA, Reserved));
static_assert(sizeof(tarnwick::SP_DEVICE_INTERFACE_DATA) == sizeof(::SP_DEVICE_INTERFACE_DATA));
static_assert(offsetof(tarnwick::SP_DEVICE_INTERFACE_DATA, Reserved) ==
              offsetof(::SP_DEVICE_INTERFACE_DATA, Reserved));
static_assert(sizeof(tarnwick::SP_CLASSINSTALL_HEADER) == sizeof(::SP_CLASSINSTALL_HEADER));
static_assert(sizeof(tarnwick::SP_PROPCHANGE_PARAMS) == sizeof(::SP_PROPCHANGE_PARAMS));
static_assert(sizeof(tarnwick::SP_DEVINSTALL_PARAMS_W) == sizeof(::SP_DEVINSTALL_PARAMS_W));
static_assert(offsetof(tarnwick::SP_DEVINSTALL_PARAMS_W, DriverPath) ==
              offsetof(::SP_DEVINSTALL_PARAMS_W, DriverPath));
static_assert(sizeof(tarnwick::Guid) == sizeof(::GUID));
static_assert(sizeof(::SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8);

namespace {

::HDEVINFO Set(tarnwick::HDEVINFO set) {
    return reinterpret_cast<::HDEVINFO>(set);
}
::SP_DEVINFO_DATA* Data(tarnwick::SP_DEVINFO_DATA* data) {
    return reinterpret_cast<::SP_DEVINFO_DATA*>(data);
}
::SP_DEVINFO_DATA* Data(const tarnwick::SP_DEVINFO_DATA& data) {
    return reinterpret_cast<::SP_DEVINFO_DATA*>(const_cast<tarnwick::SP_DEVINFO_DATA*>(&data));
}
const GUID* AsGuid(const Guid* guid) {
    return reinterpret_cast<const GUID*>(guid);
}

} // namespace

tarnwick::HDEVINFO TWin32DevicePlatform::SetupDiGetClassDevsW(const Guid* ClassGuid,
                                                              const char16_t* Enumerator,
                                                              std::uintptr_t hwndParent,
                                                              std::uint32_t Flags) {
    return reinterpret_cast<tarnwick::HDEVINFO>(::SetupDiGetClassDevsW(
        AsGuid(ClassGuid), AsWide(Enumerator), reinterpret_cast<HWND>(hwndParent), Flags));
}

bool TWin32DevicePlatform::SetupDiEnumDeviceInfo(tarnwick::HDEVINFO DeviceInfoSet, std::uint32_t MemberIndex,
                                                 tarnwick::SP_DEVINFO_DATA& DeviceInfoData) {
    return ::SetupDiEnumDeviceInfo(Set(DeviceInfoSet), MemberIndex, Data(&DeviceInfoData));
}

bool TWin32DevicePlatform::SetupDiGetDeviceInstanceIdW(tarnwick::HDEVINFO DeviceInfoSet,
                                                       const tarnwick::SP_DEVINFO_DATA& DeviceInfoData,
                                                       char16_t* DeviceInstanceId,
                                                       std::uint32_t DeviceInstanceIdSize,
                                                       std::uint32_t* RequiredSize) {
    DWORD required = 0;
    const BOOL ok =
        ::SetupDiGetDeviceInstanceIdW(Set(DeviceInfoSet), Data(DeviceInfoData), AsWide(DeviceInstanceId),
                                      DeviceInstanceIdSize, RequiredSize ? &required : nullptr);
    if (RequiredSize) {
        *RequiredSize = required;
    }
    return ok;
}

bool TWin32DevicePlatform::SetupDiGetDeviceRegistryPropertyW(
    tarnwick::HDEVINFO DeviceInfoSet, const tarnwick::SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property,
    std::uint32_t* PropertyRegDataType, std::uint8_t* PropertyBuffer, std::uint32_t PropertyBufferSize,
    std::uint32_t* RequiredSize) {
    DWORD type = 0;
    DWORD required = 0;
    const BOOL ok = ::SetupDiGetDeviceRegistryPropertyW(
        Set(DeviceInfoSet), Data(DeviceInfoData), Property, PropertyRegDataType ? &type : nullptr,
        PropertyBuffer, PropertyBufferSize, RequiredSize ? &required : nullptr);
    if (PropertyRegDataType) {
        *PropertyRegDataType = type;
    }
    if (RequiredSize) {
        *RequiredSize = required;
    }
    return ok;
}

bool TWin32DevicePlatform::SetupDiEnumDeviceInterfaces(
    tarnwick::HDEVINFO DeviceInfoSet, const tarnwick::SP_DEVINFO_DATA* DeviceInfoData,
    const Guid& InterfaceClassGuid, std::uint32_t MemberIndex,
    tarnwick::SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData) {
    return ::SetupDiEnumDeviceInterfaces(Set(DeviceInfoSet), DeviceInfoData ? Data(*DeviceInfoData) : nullptr,
                                         AsGuid(&InterfaceClassGuid), MemberIndex,
                                         reinterpret_cast<::SP_DEVICE_INTERFACE_DATA*>(&DeviceInterfaceData));
}

bool TWin32DevicePlatform::SetupDiGetDeviceInterfaceDetailW(
    tarnwick::HDEVINFO DeviceInfoSet, const tarnwick::SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData,
    void* DeviceInterfaceDetailData, std::uint32_t DeviceInterfaceDetailDataSize, std::uint32_t* RequiredSize,
    tarnwick::SP_DEVINFO_DATA* DeviceInfoData) {
    DWORD required = 0;
    const BOOL ok = ::SetupDiGetDeviceInterfaceDetailW(
        Set(DeviceInfoSet),
        reinterpret_cast<::SP_DEVICE_INTERFACE_DATA*>(
            const_cast<tarnwick::SP_DEVICE_INTERFACE_DATA*>(&DeviceInterfaceData)),
        static_cast<::SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(DeviceInterfaceDetailData),
        DeviceInterfaceDetailDataSize, RequiredSize ? &required : nullptr, Data(DeviceInfoData));
    if (RequiredSize) {
        *RequiredSize = required;
    }
    return ok;
}

bool TWin32DevicePlatform::SetupDiSetClassInstallParamsW(
    tarnwick::HDEVINFO DeviceInfoSet, tarnwick::SP_DEVINFO_DATA* DeviceInfoData,
    const tarnwick::SP_CLASSINSTALL_HEADER* ClassInstallParams, std::uint32_t ClassInstallParamsSize) {
    return ::SetupDiSetClassInstallParamsW(
        Set(DeviceInfoSet), Data(DeviceInfoData),
        reinterpret_cast<::SP_CLASSINSTALL_HEADER*>(
            const_cast<tarnwick::SP_CLASSINSTALL_HEADER*>(ClassInstallParams)),
        ClassInstallParamsSize);
}

bool TWin32DevicePlatform::SetupDiCallClassInstaller(std::uint32_t InstallFunction,
                                                     tarnwick::HDEVINFO DeviceInfoSet,
                                                     tarnwick::SP_DEVINFO_DATA* DeviceInfoData) {
    return ::SetupDiCallClassInstaller(InstallFunction, Set(DeviceInfoSet), Data(DeviceInfoData));
}

bool TWin32DevicePlatform::SetupDiGetDeviceInstallParamsW(
    tarnwick::HDEVINFO DeviceInfoSet, tarnwick::SP_DEVINFO_DATA* DeviceInfoData,
    tarnwick::SP_DEVINSTALL_PARAMS_W& DeviceInstallParams) {
    return ::SetupDiGetDeviceInstallParamsW(
        Set(DeviceInfoSet), Data(DeviceInfoData),
        reinterpret_cast<::SP_DEVINSTALL_PARAMS_W*>(&DeviceInstallParams));
}

bool TWin32DevicePlatform::SetupDiDestroyDeviceInfoList(tarnwick::HDEVINFO DeviceInfoSet) {
    return ::SetupDiDestroyDeviceInfoList(Set(DeviceInfoSet));
}

CONFIGRET TWin32DevicePlatform::CM_Get_DevNode_Status(std::uint32_t* pulStatus,
                                                      std::uint32_t* pulProblemNumber, DEVINST dnDevInst,
                                                      std::uint32_t ulFlags) {
    ULONG status = *pulStatus;
    ULONG problem = *pulProblemNumber;
    const CONFIGRET result = ::CM_Get_DevNode_Status(&status, &problem, dnDevInst, ulFlags);
    *pulStatus = status;
    *pulProblemNumber = problem;
    return result;
}

CONFIGRET TWin32DevicePlatform::CM_Get_Parent(DEVINST* pdnDevInst, DEVINST dnDevInst, std::uint32_t ulFlags) {
    DWORD parent = *pdnDevInst;
    const CONFIGRET result = ::CM_Get_Parent(&parent, dnDevInst, ulFlags);
    *pdnDevInst = parent;
    return result;
}

CONFIGRET TWin32DevicePlatform::CM_Get_Device_ID_ExW(DEVINST dnDevInst, char16_t* Buffer,
                                                     std::uint32_t BufferLen, std::uint32_t ulFlags,
                                                     std::uintptr_t hMachine) {
    return ::CM_Get_Device_ID_ExW(dnDevInst, AsWide(Buffer), BufferLen, ulFlags,
                                  reinterpret_cast<HMACHINE>(hMachine));
}

HANDLE_T TWin32DevicePlatform::CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess,
                                           std::uint32_t ShareMode, std::uint32_t CreationDisposition,
                                           std::uint32_t FlagsAndAttributes) {
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SECURITY_ATTRIBUTES attributes{
        .nLength = sizeof(SECURITY_ATTRIBUTES), .lpSecurityDescriptor = &descriptor, .bInheritHandle = TRUE};
    return reinterpret_cast<HANDLE_T>(::CreateFileW(AsWide(FileName), DesiredAccess, ShareMode, &attributes,
                                                    CreationDisposition, FlagsAndAttributes, nullptr));
}

bool TWin32DevicePlatform::DeviceIoControl(HANDLE_T Device, std::uint32_t IoControlCode, const void* InBuffer,
                                           std::uint32_t InBufferSize, void* OutBuffer,
                                           std::uint32_t OutBufferSize, std::uint32_t* BytesReturned) {
    DWORD returned = 0;
    const BOOL ok =
        ::DeviceIoControl(reinterpret_cast<HANDLE>(Device), IoControlCode, const_cast<void*>(InBuffer),
                          InBufferSize, OutBuffer, OutBufferSize, &returned, nullptr);
    if (BytesReturned) {
        *BytesReturned = returned;
    }
    return ok;
}

bool TWin32DevicePlatform::CloseHandle(HANDLE_T Object) {
    return ::CloseHandle(reinterpret_cast<HANDLE>(Object));
}

HANDLE_T TWin32DevicePlatform::FindFirstVolumeW(char16_t* VolumeName, std::uint32_t BufferLength) {
    return reinterpret_cast<HANDLE_T>(::FindFirstVolumeW(AsWide(VolumeName), BufferLength));
}

bool TWin32DevicePlatform::FindNextVolumeW(HANDLE_T FindVolume, char16_t* VolumeName,
                                           std::uint32_t BufferLength) {
    return ::FindNextVolumeW(reinterpret_cast<HANDLE>(FindVolume), AsWide(VolumeName), BufferLength);
}

bool TWin32DevicePlatform::FindVolumeClose(HANDLE_T FindVolume) {
    return ::FindVolumeClose(reinterpret_cast<HANDLE>(FindVolume));
}

bool TWin32DevicePlatform::GetVolumeNameForVolumeMountPointW(const char16_t* VolumeMountPoint,
                                                             char16_t* VolumeName,
                                                             std::uint32_t BufferLength) {
    return ::GetVolumeNameForVolumeMountPointW(AsWide(VolumeMountPoint), AsWide(VolumeName), BufferLength);
}

std::uint32_t TWin32DevicePlatform::QueryDosDeviceW(const char16_t* DeviceName, char16_t* TargetPath,
                                                    std::uint32_t MaxCount) {
    return ::QueryDosDeviceW(AsWide(DeviceName), AsWide(TargetPath), MaxCount);
}

std::uintptr_t TWin32DevicePlatform::LoadLibraryW(const char16_t* LibFileName) {
    return reinterpret_cast<std::uintptr_t>(::LoadLibraryW(AsWide(LibFileName)));
}

std::uintptr_t TWin32DevicePlatform::GetProcAddress(std::uintptr_t Module, const char* ProcName) {
    return reinterpret_cast<std::uintptr_t>(::GetProcAddress(reinterpret_cast<HMODULE>(Module), ProcName));
}

bool TWin32DevicePlatform::FreeLibrary(std::uintptr_t Module) {
    return ::FreeLibrary(reinterpret_cast<HMODULE>(Module));
}

bool TWin32DevicePlatform::CallGetVolumePathNamesForVolumeNameW(std::uintptr_t Proc,
                                                                const char16_t* VolumeName,
                                                                char16_t* VolumePathNames,
                                                                std::uint32_t BufferLength,
                                                                std::uint32_t* ReturnLength) {
    using GetVolumePathNamesForVolumeNameWProc = BOOL(WINAPI*)(LPCWSTR, LPWCH, DWORD, PDWORD);
    const auto proc = reinterpret_cast<GetVolumePathNamesForVolumeNameWProc>(Proc);
    DWORD returned = 0;
    const BOOL ok = proc(AsWide(VolumeName), AsWide(VolumePathNames), BufferLength, &returned);
    if (ReturnLength) {
        *ReturnLength = returned;
    }
    return ok;
}

bool TWin32DevicePlatform::IsWindows2000() {
    return FIsWindows2000();
}

std::uint32_t TWin32DevicePlatform::GetLastError() {
    return ::GetLastError();
}

std::u16string TWin32DevicePlatform::SysErrorMessage(std::uint32_t ErrorCode) {
    return SystemErrorText(ErrorCode);
}

} // namespace tarnwick::win32
