#pragma once
// The device-platform seam over the real setup API, configuration manager and storage I/O.

#include <functional>

#include "platform/DevicePlatform.h"

namespace tarnwick::win32 {

class TWin32DevicePlatform final : public IDevicePlatform {
public:
    // IsWindows2000 is asked of the program's one description of the running Windows; the adapter only
    // passes the question on.
    explicit TWin32DevicePlatform(std::function<bool()> IsWindows2000)
        : FIsWindows2000(std::move(IsWindows2000)) {}

    HDEVINFO SetupDiGetClassDevsW(const Guid* ClassGuid, const char16_t* Enumerator,
                                  std::uintptr_t hwndParent, std::uint32_t Flags) override;
    bool SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, std::uint32_t MemberIndex,
                               SP_DEVINFO_DATA& DeviceInfoData) override;
    bool SetupDiGetDeviceInstanceIdW(HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA& DeviceInfoData,
                                     char16_t* DeviceInstanceId, std::uint32_t DeviceInstanceIdSize,
                                     std::uint32_t* RequiredSize) override;
    bool SetupDiGetDeviceRegistryPropertyW(HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA& DeviceInfoData,
                                           std::uint32_t Property, std::uint32_t* PropertyRegDataType,
                                           std::uint8_t* PropertyBuffer, std::uint32_t PropertyBufferSize,
                                           std::uint32_t* RequiredSize) override;
    bool SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA* DeviceInfoData,
                                     const Guid& InterfaceClassGuid, std::uint32_t MemberIndex,
                                     SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData) override;
    bool SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                          const SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData,
                                          void* DeviceInterfaceDetailData,
                                          std::uint32_t DeviceInterfaceDetailDataSize,
                                          std::uint32_t* RequiredSize,
                                          SP_DEVINFO_DATA* DeviceInfoData) override;
    bool SetupDiSetClassInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                       const SP_CLASSINSTALL_HEADER* ClassInstallParams,
                                       std::uint32_t ClassInstallParamsSize) override;
    bool SetupDiCallClassInstaller(std::uint32_t InstallFunction, HDEVINFO DeviceInfoSet,
                                   SP_DEVINFO_DATA* DeviceInfoData) override;
    bool SetupDiGetDeviceInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                        SP_DEVINSTALL_PARAMS_W& DeviceInstallParams) override;
    bool SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) override;
    CONFIGRET CM_Get_DevNode_Status(std::uint32_t* pulStatus, std::uint32_t* pulProblemNumber,
                                    DEVINST dnDevInst, std::uint32_t ulFlags) override;
    CONFIGRET CM_Get_Parent(DEVINST* pdnDevInst, DEVINST dnDevInst, std::uint32_t ulFlags) override;
    CONFIGRET CM_Get_Device_ID_ExW(DEVINST dnDevInst, char16_t* Buffer, std::uint32_t BufferLen,
                                   std::uint32_t ulFlags, std::uintptr_t hMachine) override;
    HANDLE_T CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess, std::uint32_t ShareMode,
                         std::uint32_t CreationDisposition, std::uint32_t FlagsAndAttributes) override;
    bool DeviceIoControl(HANDLE_T Device, std::uint32_t IoControlCode, const void* InBuffer,
                         std::uint32_t InBufferSize, void* OutBuffer, std::uint32_t OutBufferSize,
                         std::uint32_t* BytesReturned) override;
    bool CloseHandle(HANDLE_T Object) override;
    HANDLE_T FindFirstVolumeW(char16_t* VolumeName, std::uint32_t BufferLength) override;
    bool FindNextVolumeW(HANDLE_T FindVolume, char16_t* VolumeName, std::uint32_t BufferLength) override;
    bool FindVolumeClose(HANDLE_T FindVolume) override;
    bool GetVolumeNameForVolumeMountPointW(const char16_t* VolumeMountPoint, char16_t* VolumeName,
                                           std::uint32_t BufferLength) override;
    std::uint32_t QueryDosDeviceW(const char16_t* DeviceName, char16_t* TargetPath,
                                  std::uint32_t MaxCount) override;
    std::uintptr_t LoadLibraryW(const char16_t* LibFileName) override;
    std::uintptr_t GetProcAddress(std::uintptr_t Module, const char* ProcName) override;
    bool FreeLibrary(std::uintptr_t Module) override;
    bool CallGetVolumePathNamesForVolumeNameW(std::uintptr_t Proc, const char16_t* VolumeName,
                                              char16_t* VolumePathNames, std::uint32_t BufferLength,
                                              std::uint32_t* ReturnLength) override;
    bool IsWindows2000() override;
    std::uint32_t GetLastError() override;
    std::u16string SysErrorMessage(std::uint32_t ErrorCode) override;

private:
    std::function<bool()> FIsWindows2000;
};

} // namespace tarnwick::win32
