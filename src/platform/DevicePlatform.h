#pragma once
// The device-platform seam: the setup API, the configuration manager and the storage I/O calls the
// device unit makes. Each method is one platform call with the platform's arguments in the platform's
// order, so that a test sees exactly the calls the device logic makes.

#include <cstdint>
#include <string>

#include "core/Guid.h"

namespace tarnwick {

using DEVINST = std::uint32_t;
using CONFIGRET = std::uint32_t;
using HDEVINFO = std::uintptr_t;
using HANDLE_T = std::uintptr_t;
// INVALID_HANDLE_VALUE of the platform (named apart, since <windows.h> defines the name as a macro).
inline constexpr std::uintptr_t InvalidHandleValue = ~std::uintptr_t(0);

// Layout-compatible mirrors of the setup API's records on 64-bit Windows.
struct SP_DEVINFO_DATA {
    std::uint32_t cbSize;
    Guid ClassGuid;
    DEVINST DevInst;
    std::uintptr_t Reserved;
};

struct SP_DEVICE_INTERFACE_DATA {
    std::uint32_t cbSize;
    Guid InterfaceClassGuid;
    std::uint32_t Flags;
    std::uintptr_t Reserved;
};

struct SP_CLASSINSTALL_HEADER {
    std::uint32_t cbSize;
    std::uint32_t InstallFunction;
};

struct SP_PROPCHANGE_PARAMS {
    SP_CLASSINSTALL_HEADER ClassInstallHeader;
    std::uint32_t StateChange;
    std::uint32_t Scope;
    std::uint32_t HwProfile;
};
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20);

struct SP_DEVINSTALL_PARAMS_W {
    std::uint32_t cbSize;
    std::uint32_t Flags;
    std::uint32_t FlagsEx;
    std::uintptr_t hwndParent;
    std::uintptr_t InstallMsgHandler;
    std::uintptr_t InstallMsgHandlerContext;
    std::uintptr_t FileQueue;
    std::uintptr_t ClassInstallReserved;
    std::uint32_t Reserved;
    char16_t DriverPath[260];
};

// STORAGE_PROPERTY_QUERY with StorageDeviceProperty / PropertyStandardQuery and one byte of extra data.
struct STORAGE_PROPERTY_QUERY {
    std::uint32_t PropertyId;
    std::uint32_t QueryType;
    std::uint8_t AdditionalParameters[1];
};
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);

// The fixed head of STORAGE_DEVICE_DESCRIPTOR; the platform writes its trailing data behind it.
struct STORAGE_DEVICE_DESCRIPTOR {
    std::uint32_t Version;
    std::uint32_t Size;
    std::uint8_t DeviceType;
    std::uint8_t DeviceTypeModifier;
    std::uint8_t RemovableMedia;
    std::uint8_t CommandQueueing;
    std::uint32_t VendorIdOffset;
    std::uint32_t ProductIdOffset;
    std::uint32_t ProductRevisionOffset;
    std::uint32_t SerialNumberOffset;
    std::uint32_t BusType;
    std::uint32_t RawPropertiesLength;
    std::uint8_t RawDeviceProperties[1];
};
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == 40);

struct STORAGE_DEVICE_NUMBER {
    std::uint32_t DeviceType;
    std::uint32_t DeviceNumber;
    std::uint32_t PartitionNumber;
};
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == 12);

class IDevicePlatform {
public:
    virtual ~IDevicePlatform() = default;

    virtual HDEVINFO SetupDiGetClassDevsW(const Guid* ClassGuid, const char16_t* Enumerator,
                                          std::uintptr_t hwndParent, std::uint32_t Flags) = 0;
    virtual bool SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, std::uint32_t MemberIndex,
                                       SP_DEVINFO_DATA& DeviceInfoData) = 0;
    virtual bool SetupDiGetDeviceInstanceIdW(HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA& DeviceInfoData,
                                             char16_t* DeviceInstanceId, std::uint32_t DeviceInstanceIdSize,
                                             std::uint32_t* RequiredSize) = 0;
    virtual bool SetupDiGetDeviceRegistryPropertyW(HDEVINFO DeviceInfoSet,
                                                   const SP_DEVINFO_DATA& DeviceInfoData,
                                                   std::uint32_t Property, std::uint32_t* PropertyRegDataType,
                                                   std::uint8_t* PropertyBuffer,
                                                   std::uint32_t PropertyBufferSize,
                                                   std::uint32_t* RequiredSize) = 0;
    virtual bool SetupDiEnumDeviceInterfaces(HDEVINFO DeviceInfoSet, const SP_DEVINFO_DATA* DeviceInfoData,
                                             const Guid& InterfaceClassGuid, std::uint32_t MemberIndex,
                                             SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData) = 0;
    // DeviceInterfaceDetailData points at an SP_DEVICE_INTERFACE_DETAIL_DATA_W buffer of the given size
    // (cbSize 8 on 64-bit Windows, then the path); both may be null to ask for the required size.
    virtual bool SetupDiGetDeviceInterfaceDetailW(HDEVINFO DeviceInfoSet,
                                                  const SP_DEVICE_INTERFACE_DATA& DeviceInterfaceData,
                                                  void* DeviceInterfaceDetailData,
                                                  std::uint32_t DeviceInterfaceDetailDataSize,
                                                  std::uint32_t* RequiredSize,
                                                  SP_DEVINFO_DATA* DeviceInfoData) = 0;
    virtual bool SetupDiSetClassInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                               const SP_CLASSINSTALL_HEADER* ClassInstallParams,
                                               std::uint32_t ClassInstallParamsSize) = 0;
    virtual bool SetupDiCallClassInstaller(std::uint32_t InstallFunction, HDEVINFO DeviceInfoSet,
                                           SP_DEVINFO_DATA* DeviceInfoData) = 0;
    virtual bool SetupDiGetDeviceInstallParamsW(HDEVINFO DeviceInfoSet, SP_DEVINFO_DATA* DeviceInfoData,
                                                SP_DEVINSTALL_PARAMS_W& DeviceInstallParams) = 0;
    virtual bool SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) = 0;

    virtual CONFIGRET CM_Get_DevNode_Status(std::uint32_t* pulStatus, std::uint32_t* pulProblemNumber,
                                            DEVINST dnDevInst, std::uint32_t ulFlags) = 0;
    virtual CONFIGRET CM_Get_Parent(DEVINST* pdnDevInst, DEVINST dnDevInst, std::uint32_t ulFlags) = 0;
    virtual CONFIGRET CM_Get_Device_ID_ExW(DEVINST dnDevInst, char16_t* Buffer, std::uint32_t BufferLen,
                                           std::uint32_t ulFlags, std::uintptr_t hMachine) = 0;

    // CreateFileW with security attributes that ask for an inheritable handle and carry a freshly
    // initialised empty security descriptor (revision 1). Returns InvalidHandleValue on failure.
    virtual HANDLE_T CreateFileW(const char16_t* FileName, std::uint32_t DesiredAccess,
                                 std::uint32_t ShareMode, std::uint32_t CreationDisposition,
                                 std::uint32_t FlagsAndAttributes) = 0;
    virtual bool DeviceIoControl(HANDLE_T Device, std::uint32_t IoControlCode, const void* InBuffer,
                                 std::uint32_t InBufferSize, void* OutBuffer, std::uint32_t OutBufferSize,
                                 std::uint32_t* BytesReturned) = 0;
    virtual bool CloseHandle(HANDLE_T Object) = 0;

    // Volumes and their mount points. FindFirstVolumeW returns InvalidHandleValue when no search starts.
    virtual HANDLE_T FindFirstVolumeW(char16_t* VolumeName, std::uint32_t BufferLength) = 0;
    virtual bool FindNextVolumeW(HANDLE_T FindVolume, char16_t* VolumeName, std::uint32_t BufferLength) = 0;
    virtual bool FindVolumeClose(HANDLE_T FindVolume) = 0;
    virtual bool GetVolumeNameForVolumeMountPointW(const char16_t* VolumeMountPoint, char16_t* VolumeName,
                                                   std::uint32_t BufferLength) = 0;
    // Returns the number of characters stored, 0 on failure.
    virtual std::uint32_t QueryDosDeviceW(const char16_t* DeviceName, char16_t* TargetPath,
                                          std::uint32_t MaxCount) = 0;

    // kernel32.dll loaded by name, and GetVolumePathNamesForVolumeNameW looked up and called through the
    // address found, as on systems that may lack it. Handles and addresses are 0 when there is none.
    virtual std::uintptr_t LoadLibraryW(const char16_t* LibFileName) = 0;
    virtual std::uintptr_t GetProcAddress(std::uintptr_t Module, const char* ProcName) = 0;
    virtual bool FreeLibrary(std::uintptr_t Module) = 0;
    virtual bool CallGetVolumePathNamesForVolumeNameW(std::uintptr_t Proc, const char16_t* VolumeName,
                                                      char16_t* VolumePathNames, std::uint32_t BufferLength,
                                                      std::uint32_t* ReturnLength) = 0;
    // The system is Windows 2000 (version 5.0 of the NT family): the answer of the system information
    // unit, which the program hands to its adapter.
    virtual bool IsWindows2000() = 0;

    // The calling thread's last error code, and the platform's message for a code.
    virtual std::uint32_t GetLastError() = 0;
    virtual std::u16string SysErrorMessage(std::uint32_t ErrorCode) = 0;
};

} // namespace tarnwick
