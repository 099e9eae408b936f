#pragma once
// Volume and device-number mapping: the volumes of the machine with the storage device numbers they
// live on, and what the enumeration's interface scan (DIGCF_DEVICEINTERFACE) learns of storage devices.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/PhysicalDevice.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// Marks a floppy drive or a floppy volume, in place of the type the storage stack reports.
inline constexpr std::uint32_t DEVICE_TYPE_FLOPPY_MARK = 40000;

// The volume table: every volume of the machine with its storage device number, in search order.
// Raises "FindFirstVolume error. ..." or "FindVolumeClose error. ...".
TVolumeDeviceConnectorList GetVolumesAndDeviceNumbers(IDevicePlatform& platform);

// Asks the storage stack for the number of the device or volume behind a path; the record is preset to
// -1 numbers and type 0, and the floppy rule applies whatever the answer.
bool GetStorageDeviceNumber(IDevicePlatform& platform, const std::u16string& Path,
                            STORAGE_DEVICE_NUMBER& Number);

// Appends the names of the table's volumes on the given device (same number and type).
void CollectDeviceVolumes(const STORAGE_DEVICE_NUMBER& Number, const TVolumeDeviceConnectorList& Volumes,
                          std::vector<std::u16string>& VolumeNames);

// Fills the record's interface paths of one interface class, its storage type and number, its volumes
// and its mount points.
void GetDeviceInterfacesByGuid(IDevicePlatform& platform, TPhysicalDevice& Device, const Guid& InterfaceGuid,
                               HDEVINFO DevSet, SP_DEVINFO_DATA DeviceInfoData,
                               const TVolumeDeviceConnectorList& Volumes);

// The mount-point and NT-name queries, with kernel32.dll's GetVolumePathNamesForVolumeNameW resolved once.
class TMountController {
public:
    explicit TMountController(IDevicePlatform& platform);
    ~TMountController();
    TMountController(const TMountController&) = delete;
    TMountController& operator=(const TMountController&) = delete;

    std::uintptr_t hModuleKernel32() const noexcept { return FModuleKernel32; }
    std::uintptr_t VolumePathNamesProc() const noexcept { return FVolumePathNamesProc; }

    void LoadGetVolumePathNamesForVolumeName();
    // Appends the volume's mount points without their trailing backslash ("D:", "C:\mnt\data").
    void KtGetVolumePathNamesForVolumeName(const std::u16string& sVolumeName,
                                           std::vector<std::u16string>& AVolumeMountPoints);
    // The kernel device behind the volume's first drive letter, or empty text.
    std::u16string KtGetDosDeviceNTNameByVolumeName(const std::u16string& sVolumeName);
    // The first target of the DOS device name ("D:"), or empty text.
    std::u16string QueryDosDeviceName(const std::u16string& DriveName);

private:
    IDevicePlatform& FPlatform;
    std::uintptr_t FModuleKernel32 = 0;
    std::uintptr_t FVolumePathNamesProc = 0;
};

// The shared controller, created on first use over the given platform.
TMountController& MountController(IDevicePlatform& platform);
// The unit's shut-down: destroys the shared controller.
void FinalizeMountControllerUnit();

bool IsDeviceFloppy(std::u16string_view DosDeviceName);
bool IsDeviceFloppyByDevicePath(std::u16string_view DevicePath);

// The runtime's comma text of a list: entries joined by ",", an entry with a blank, comma, double quote
// or control character in double quotes (inner quotes doubled); one empty entry is written as "".
std::u16string CommaText(const std::vector<std::u16string>& entries);

} // namespace tarnwick
