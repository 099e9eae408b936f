#pragma once
// An in-memory machine of device nodes behind the device-platform seam: classes, present and phantom
// nodes, status and problem codes, registry properties, parents, interfaces, a class installer that
// really changes state, and faults that can be switched on per call. Every call is a direct lookup.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/DevicePlatform.h"

namespace tarnwick::sim {

// The calls a fault can be switched on for.
enum class SimCall : std::uint8_t {
    GetClassDevs,
    EnumDeviceInfo,
    GetDeviceInstanceId,
    GetDeviceRegistryProperty,
    EnumDeviceInterfaces,
    GetDeviceInterfaceDetail,
    SetClassInstallParams,
    CallClassInstaller,
    GetDeviceInstallParams,
    GetDevNodeStatus,
    GetParent,
    GetDeviceIdEx,
    CreateFile,
    DeviceIoControl,
    FindFirstVolume,
    FindVolumeClose,
    GetVolumePathNames,
    Count
};

struct SimProperty {
    bool Present = false;
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Bytes;
};

struct SimInterface {
    Guid InterfaceClass{};
    std::u16string DevicePath;
};

struct SimDevice {
    DEVINST DevInst = 0;
    std::u16string InstanceId;
    Guid ClassGuid{};
    bool Present = true; // false: a phantom, without a device node
    std::uint32_t Status = 0;
    std::uint32_t Problem = 0;
    DEVINST Parent = 0; // 0: no parent
    std::array<SimProperty, 0x25> Properties{};
    std::vector<SimInterface> Interfaces;
    std::uint32_t StorageBusType = 0;
    // What the storage stack answers for the device's interface paths.
    bool HasStorageNumber = false;
    STORAGE_DEVICE_NUMBER StorageNumber{};

    // Where the device is disabled: Windows keeps a global disable (CONFIGFLAG_DISABLED) apart from one
    // for the current hardware profile (CSCONFIGFLAG_DISABLED); either one keeps it disabled (problem 22).
    bool DisabledGlobally = false;
    bool DisabledInProfile = false;
    // The problem a disable covers (a device without a driver, problem 28, can be disabled too): it is
    // the device's problem again once the disable is cleared.
    std::uint32_t ProblemBehindDisable = 0;

    // Class installer behaviour.
    std::uint32_t RefuseChangeError = 0;   // non-zero: the class installer fails with this code
    bool FailInstallParams = false;        // the install-parameter read fails
    std::uint32_t InstallParamsError = 13; // ... with this code
    bool RequestReboot = false;            // a change is recorded but waits for a restart of Windows
    std::uint32_t RestartCount = 0;        // DICS_PROPCHANGE changes received
};

// A volume: its name (with trailing backslash), the places it is mounted (with trailing backslashes,
// in the platform's order) and its storage number.
struct SimVolume {
    std::u16string Name;
    std::vector<std::u16string> MountPoints;
    bool HasStorageNumber = true;
    STORAGE_DEVICE_NUMBER StorageNumber{};
};

// One property change the class installer carried out.
struct SimChange {
    DEVINST DevInst;
    std::uint32_t StateChange;
};

struct SimFault {
    bool Active = false;
    std::uint32_t Error = 0;
    DEVINST OnlyFor = 0;            // 0: every device
    std::uint32_t RequiredSize = 0; // for an insufficient-buffer answer of the property read
};

class TDeviceSimulator final : public IDevicePlatform {
public:
    // --- Building the machine ---
    // Adds a started device node and returns its handle.
    DEVINST AddDevice(std::u16string instanceId, const Guid& classGuid, DEVINST parent = 0);
    SimDevice& Device(DEVINST devInst);
    const SimDevice& Device(DEVINST devInst) const;
    SimDevice* FindDevice(std::u16string_view instanceId);
    std::vector<SimDevice>& Devices() { return FDevices; }
    std::vector<SimVolume>& Volumes() { return FVolumes; }
    const std::vector<SimVolume>& Volumes() const { return FVolumes; }
    // DOS device names ("D:") and the kernel device behind each.
    std::vector<std::pair<std::u16string, std::u16string>>& DosDevices() { return FDosDevices; }
    const std::vector<std::pair<std::u16string, std::u16string>>& DosDevices() const { return FDosDevices; }
    bool Windows2000 = false;
    bool Kernel32Missing = false;
    bool VolumePathNamesMissing = false;
    const std::vector<SimDevice>& Devices() const { return FDevices; }

    void SetText(DEVINST devInst, std::uint32_t property, std::u16string_view text);
    void SetMultiText(DEVINST devInst, std::uint32_t property, const std::vector<std::u16string>& texts);
    void SetDword(DEVINST devInst, std::uint32_t property, std::uint32_t value);
    void SetProperty(DEVINST devInst, std::uint32_t property, std::uint32_t type,
                     std::vector<std::uint8_t> bytes);
    void RemoveProperty(DEVINST devInst, std::uint32_t property);
    // Disables the device globally (problem 22), as the class installer would without a restart.
    void Disable(DEVINST devInst);
    // Disables the device for the current hardware profile only, as devcon and tools like it do.
    void DisableInProfile(DEVINST devInst);
    // Clears every disable of the device and starts it; another problem stays.
    void Enable(DEVINST devInst);
    // The device has a device node: it is not a phantom and no parent of it is disabled (a disabled
    // device's children are removed with it).
    bool IsPresent(const SimDevice& device) const;
    // After a machine is built by hand: a device with problem 22 but no disable recorded is taken as
    // disabled globally.
    void RecordDisables();

    void SetFault(SimCall call, std::uint32_t error, DEVINST onlyFor = 0, std::uint32_t requiredSize = 0);
    void ClearFaults();
    const SimFault& Fault(SimCall call) const { return FFaults[static_cast<std::size_t>(call)]; }

    // --- What happened ---
    const std::vector<SimChange>& Changes() const { return FChanges; }
    std::uint64_t CallCount(SimCall call) const { return FCallCounts[static_cast<std::size_t>(call)]; }
    const std::vector<std::uint32_t>& ClassDevsFlags() const { return FClassDevsFlags; }
    std::size_t OpenSetCount() const;
    std::size_t OpenHandleCount() const { return FOpenHandles; }
    std::vector<std::u16string> OpenedFiles() const { return FOpenedFiles; }
    // Called after every property change the class installer carried out.
    std::function<void()> OnDevicesChanged;

    // --- The seam ---
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
    bool IsWindows2000() override { return Windows2000; }
    std::size_t LoadedLibraryCount() const { return FLoadedLibraries; }
    std::size_t OpenVolumeSearchCount() const { return FOpenSearches; }
    std::uint32_t GetLastError() override { return FLastError; }
    void SetLastError(std::uint32_t code) { FLastError = code; }
    std::u16string SysErrorMessage(std::uint32_t ErrorCode) override;

private:
    struct SimSet {
        bool Open = false;
        std::vector<DEVINST> Members;
        // Install parameters set for a member, by member index (set per change request).
        std::vector<std::optional<SP_PROPCHANGE_PARAMS>> PendingParams;
        std::vector<std::uint32_t> InstallFlags;
    };

    SimSet* FindSet(HDEVINFO handle);
    SimDevice* DeviceOf(const SimSet& set, const SP_DEVINFO_DATA& data);
    SimDevice* DeviceByInst(DEVINST devInst);
    bool Fails(SimCall call, DEVINST devInst);
    // Brings the running state in line with the recorded disables: disabled while either is set; a
    // disable cleared starts the device again unless it has another problem.
    void ApplyDisables(SimDevice& device);
    bool ChangeState(SimDevice& device, const SP_PROPCHANGE_PARAMS& params, std::uint32_t& installFlags);
    bool Fail(std::uint32_t error);

    std::vector<SimDevice> FDevices;
    std::vector<SimSet> FSets;
    std::array<SimFault, static_cast<std::size_t>(SimCall::Count)> FFaults{};
    bool FAnyFault = false;
    std::array<std::uint64_t, static_cast<std::size_t>(SimCall::Count)> FCallCounts{};
    std::vector<SimChange> FChanges;
    std::vector<std::uint32_t> FClassDevsFlags;
    // Open file handles: the device (DEVINST) or volume (index + 1, negated) each one was opened on; 0:
    // closed.
    std::vector<std::int64_t> FHandles;
    std::vector<SimVolume> FVolumes;
    std::vector<std::pair<std::u16string, std::u16string>> FDosDevices;
    std::vector<std::size_t> FSearches; // volume searches: the next volume index, or SIZE_MAX when closed
    std::size_t FOpenSearches = 0;
    std::size_t FLoadedLibraries = 0;
    std::size_t FOpenHandles = 0;
    std::vector<std::u16string> FOpenedFiles;
    std::uint32_t FLastError = 0;
};

} // namespace tarnwick::sim
