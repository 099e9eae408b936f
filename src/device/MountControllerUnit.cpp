#include "device/MountControllerUnit.h"

#include <array>
#include <cstring>
#include <memory>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/DeviceInformationKt.h"
#include "device/PlatformHandle.h"
#include "diag/EasyLog.h"
#include "diag/PerformanceUnit.h"

namespace tarnwick {

namespace {

std::unique_ptr<TMountController> gMountController; // the shared controller

constexpr std::uint32_t VolumeNameLength = 260;
constexpr std::uint32_t VolumePathNamesLength = 260000;

// The volume search, closed on every path once it was opened.
class TVolumeSearch {
public:
    TVolumeSearch(IDevicePlatform& platform, HANDLE_T handle) : FPlatform(platform), FHandle(handle) {}
    // Closes the search; a failure is reported only when no other error is on its way out.
    ~TVolumeSearch() noexcept(false) {
        const bool closed = FPlatform.FindVolumeClose(FHandle);
        if (!closed && std::uncaught_exceptions() == FUncaught) {
            throw EGeneralError(u"FindVolumeClose error. Can't close search handle");
        }
    }
    TVolumeSearch(const TVolumeSearch&) = delete;
    TVolumeSearch& operator=(const TVolumeSearch&) = delete;
    HANDLE_T Get() const noexcept { return FHandle; }

private:
    IDevicePlatform& FPlatform;
    HANDLE_T FHandle;
    int FUncaught = std::uncaught_exceptions();
};

} // namespace

bool IsDeviceFloppy(std::u16string_view DosDeviceName) {
    return LowerAscii(DosDeviceName).find(u"\\floppy") != std::u16string::npos;
}

bool IsDeviceFloppyByDevicePath(std::u16string_view DevicePath) {
    return LowerAscii(DevicePath).find(u"floppy") != std::u16string::npos;
}

std::u16string CommaText(const std::vector<std::u16string>& entries) {
    if (entries.size() == 1 && entries[0].empty()) {
        return u"\"\"";
    }
    std::u16string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) {
            text += u',';
        }
        const std::u16string& entry = entries[i];
        bool quote = false;
        for (char16_t c : entry) {
            quote = quote || c <= u' ' || c == u',' || c == u'"';
        }
        if (!quote) {
            text += entry;
            continue;
        }
        text += u'"';
        for (char16_t c : entry) {
            text += c;
            if (c == u'"') {
                text += u'"';
            }
        }
        text += u'"';
    }
    return text;
}

TMountController::TMountController(IDevicePlatform& platform) : FPlatform(platform) {
    LoadGetVolumePathNamesForVolumeName();
}

TMountController::~TMountController() {
    if (FModuleKernel32 != 0) {
        FPlatform.FreeLibrary(FModuleKernel32);
    }
}

void TMountController::LoadGetVolumePathNamesForVolumeName() {
    FVolumePathNamesProc = 0;
    if (FPlatform.IsWindows2000()) {
        return; // the call came with Windows XP: mount points come from the drive letters
    }
    FModuleKernel32 = FPlatform.LoadLibraryW(u"kernel32.dll");
    if (FModuleKernel32 == 0) {
        WriteToLog(FormatText(u"Cannot load library kernel32.dll, error code: %s",
                              {std::u16string_view(IntToText(FPlatform.GetLastError()))}));
        return;
    }
    FVolumePathNamesProc = FPlatform.GetProcAddress(FModuleKernel32, "GetVolumePathNamesForVolumeNameW");
    if (FVolumePathNamesProc == 0) {
        WriteToLog(u"Function GetVolumePathNamesForVolumeName is not found");
        FPlatform.FreeLibrary(FModuleKernel32);
        FModuleKernel32 = 0;
    }
}

void TMountController::KtGetVolumePathNamesForVolumeName(const std::u16string& sVolumeName,
                                                         std::vector<std::u16string>& AVolumeMountPoints) {
    if (FVolumePathNamesProc != 0) {
        std::vector<char16_t> buffer(VolumePathNamesLength, u'\0');
        std::uint32_t returned = 0;
        if (!FPlatform.CallGetVolumePathNamesForVolumeNameW(
                FVolumePathNamesProc, sVolumeName.c_str(), buffer.data(), VolumePathNamesLength, &returned)) {
            return;
        }
        // A multi-string of paths with trailing backslashes, ended by an empty entry.
        std::size_t start = 0;
        while (start < buffer.size()) {
            const std::u16string entry = TextUpToNul(buffer.data() + start, buffer.size() - start);
            if (entry.empty()) {
                break;
            }
            AVolumeMountPoints.push_back(entry.substr(0, entry.size() - 1));
            start += entry.size() + 1;
        }
        return;
    }
    std::array<char16_t, VolumeNameLength> volume{};
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const std::u16string root = std::u16string(1, letter) + u":\\";
        volume.fill(u'\0');
        if (FPlatform.GetVolumeNameForVolumeMountPointW(root.c_str(), volume.data(), VolumeNameLength) &&
            TextUpToNul(volume.data(), volume.size()) == sVolumeName) {
            AVolumeMountPoints.push_back(std::u16string(1, letter) + u":");
        }
    }
}

std::u16string TMountController::KtGetDosDeviceNTNameByVolumeName(const std::u16string& sVolumeName) {
    if (sVolumeName.empty() || sVolumeName.back() != u'\\') {
        throw EGeneralError(u"KtGetDosDeviceNTNameByVolumeName required slash in the end of volume name");
    }
    std::vector<std::u16string> mountPoints;
    KtGetVolumePathNamesForVolumeName(sVolumeName, mountPoints);
    for (const auto& mountPoint : mountPoints) {
        if (mountPoint.size() == 2) {
            return QueryDosDeviceName(mountPoint);
        }
    }
    return {};
}

std::u16string TMountController::QueryDosDeviceName(const std::u16string& DriveName) {
    std::array<char16_t, VolumeNameLength> target{};
    if (FPlatform.QueryDosDeviceW(DriveName.c_str(), target.data(), VolumeNameLength) == 0) {
        return {};
    }
    return TextUpToNul(target.data(), target.size());
}

TMountController& MountController(IDevicePlatform& platform) {
    if (!gMountController) {
        gMountController = std::make_unique<TMountController>(platform);
    }
    return *gMountController;
}

void FinalizeMountControllerUnit() {
    gMountController.reset();
}

bool GetStorageDeviceNumber(IDevicePlatform& platform, const std::u16string& Path,
                            STORAGE_DEVICE_NUMBER& Number) {
    Number.DeviceNumber = 0xFFFFFFFF;
    Number.PartitionNumber = 0xFFFFFFFF;
    Number.DeviceType = 0;
    TPlatformHandle device(platform,
                           platform.CreateFileW(Path.c_str(), 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!device.Valid()) {
        return false;
    }
    std::uint32_t returned = 0;
    const bool answered = platform.DeviceIoControl(device.Get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0,
                                                   &Number, sizeof Number, &returned);
    // A floppy volume is backed by a kernel device named "\Device\Floppy<n>"; a floppy interface path
    // has no mount point and says "floppy" itself.
    const std::u16string ntName = MountController(platform).KtGetDosDeviceNTNameByVolumeName(Path + u"\\");
    if (IsDeviceFloppy(ntName) || IsDeviceFloppyByDevicePath(Path)) {
        Number.DeviceType = DEVICE_TYPE_FLOPPY_MARK;
    }
    return answered;
}

void CollectDeviceVolumes(const STORAGE_DEVICE_NUMBER& Number, const TVolumeDeviceConnectorList& Volumes,
                          std::vector<std::u16string>& VolumeNames) {
    for (const auto& volume : Volumes) {
        if (volume.DeviceNumber == static_cast<std::int32_t>(Number.DeviceNumber) &&
            volume.DeviceType == Number.DeviceType) {
            VolumeNames.push_back(volume.VolumeName);
        }
    }
}

TVolumeDeviceConnectorList GetVolumesAndDeviceNumbers(IDevicePlatform& platform) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetVolumesAndDeviceNumbers);
    TVolumeDeviceConnectorList volumes;
    std::array<char16_t, VolumeNameLength> name{};
    const HANDLE_T handle = platform.FindFirstVolumeW(name.data(), VolumeNameLength);
    if (handle == InvalidHandleValue) {
        throw EGeneralError(u"FindFirstVolume error. Can't get volume names and mount points");
    }
    {
        TVolumeSearch search(platform, handle);
        do {
            const std::u16string volumeName = TextUpToNul(name.data(), name.size());
            STORAGE_DEVICE_NUMBER number;
            GetStorageDeviceNumber(platform, volumeName.substr(0, volumeName.size() - 1), number);
            volumes.push_back({volumeName, static_cast<std::int32_t>(number.DeviceNumber), number.DeviceType,
                               static_cast<std::int32_t>(number.PartitionNumber)});
            name.fill(u'\0');
        } while (platform.FindNextVolumeW(search.Get(), name.data(), VolumeNameLength));
    }
    return volumes;
}

void GetDeviceInterfacesByGuid(IDevicePlatform& platform, TPhysicalDevice& Device, const Guid& InterfaceGuid,
                               HDEVINFO DevSet, SP_DEVINFO_DATA DeviceInfoData,
                               const TVolumeDeviceConnectorList& Volumes) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetDeviceInterfacesByGuid);
    TDeviceRecordWriter record(Device);
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    for (std::uint32_t index = 0;
         platform.SetupDiEnumDeviceInterfaces(DevSet, &DeviceInfoData, InterfaceGuid, index, interfaceData);
         ++index) {
        DeviceInfoData.cbSize = sizeof DeviceInfoData;
        std::uint32_t required = 0;
        platform.SetupDiGetDeviceInterfaceDetailW(DevSet, interfaceData, nullptr, 0, &required,
                                                  &DeviceInfoData);
        if (required == 0 || platform.GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            continue;
        }
        // SP_DEVICE_INTERFACE_DETAIL_DATA_W: cbSize is the fixed head's size (8 on 64-bit), then the path.
        std::vector<std::uint8_t> detail(std::max<std::uint32_t>(required, 8), 0);
        const std::uint32_t headSize = 8;
        std::memcpy(detail.data(), &headSize, sizeof headSize);
        DeviceInfoData.cbSize = sizeof DeviceInfoData;
        if (!platform.SetupDiGetDeviceInterfaceDetailW(DevSet, interfaceData, detail.data(),
                                                       static_cast<std::uint32_t>(detail.size()), nullptr,
                                                       &DeviceInfoData)) {
            continue;
        }
        const auto* path = reinterpret_cast<const char16_t*>(detail.data() + 4);
        const std::u16string devicePath = TextUpToNul(path, (detail.size() - 4) / sizeof(char16_t));
        Device.DevicePathList().push_back(devicePath);
        STORAGE_DEVICE_NUMBER number;
        if (GetStorageDeviceNumber(platform, devicePath, number)) {
            record.DeviceType() = number.DeviceType;
            record.DeviceNumber() = number.DeviceNumber;
            CollectDeviceVolumes(number, Volumes, Device.DeviceVolumesList());
            std::vector<std::u16string> mountPoints;
            for (const auto& volume : Device.DeviceVolumesList()) {
                MountController(platform).KtGetVolumePathNamesForVolumeName(volume, mountPoints);
            }
            record.SetText(TDeviceText::MountPoints, CommaText(mountPoints));
        }
    }
}

} // namespace tarnwick
