#pragma once
// Device enumeration by setup class: the one entry through which the system learns about devices.

#include <cstdint>
#include <string>

#include "device/PhysicalDevice.h"
#include "diag/PerformanceUnit.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// The device unit's measurement labels.
namespace DeviceLabels {
inline constexpr TMeasurementLabel GetDevicesByGuid{u"GetDevicesByGuid"};
inline constexpr TMeasurementLabel SetupDiGetClassDevs{u"SetupDiGetClassDevs"};
inline constexpr TMeasurementLabel GetVolumesAndDeviceNumbers{u"GetVolumesAndDeviceNumbers"};
inline constexpr TMeasurementLabel SetupDiEnumDeviceInfo{u"SetupDiEnumDeviceInfo"};
inline constexpr TMeasurementLabel CM_Get_DevNode_Status{u"CM_Get_DevNode_Status"};
inline constexpr TMeasurementLabel GetCapabilities{u"GetCapabilities"};
inline constexpr TMeasurementLabel GetDeviceRegistryProperty{u"GetDeviceRegistryProperty"};
inline constexpr TMeasurementLabel GetDeviceRegistryPropertyDWORD{u"GetDeviceRegistryPropertyDWORD"};
inline constexpr TMeasurementLabel CMGetParent{u"CMGetParent"};
inline constexpr TMeasurementLabel GetDeviceIdEx{u"GetDeviceIdEx"};
inline constexpr TMeasurementLabel GetDeviceInterfacesByGuid{u"GetDeviceInterfacesByGuid"};
inline constexpr TMeasurementLabel GetDeviceInformation{u"GetDeviceInformation"};
inline constexpr TMeasurementLabel SetupDiDestroyDeviceInfoList{u"SetupDiDestroyDeviceInfoList"};
inline constexpr TMeasurementLabel BuildDeviceTree{u"BuildDeviceTree"};
} // namespace DeviceLabels

// Offered every enumerated record whose instance ID it searches for, while the device set is open.
// The source line that the assertion of an empty search name reports.
inline constexpr int EmptySearchNameAssertionLine = 1873;

class TSearchDevicesCallBack {
public:
    // An empty name is a programming error: EAssertionFailed "Assertion failure".
    explicit TSearchDevicesCallBack(std::u16string ASearchForPNPName);
    virtual ~TSearchDevicesCallBack() = default;

    const std::u16string& SearchForPnpName() const noexcept { return FSearchForPnpName; }
    // The record's instance ID equals the searched one ignoring ASCII case.
    bool IsSearchedDevice(const TPhysicalDevice& PhysicalDevice) const;
    virtual void CallBackProc(TPhysicalDevice& PhysicalDevice, HDEVINFO DevSet,
                              SP_DEVINFO_DATA DeviceInfoData, std::int32_t DevIndex) = 0;

private:
    std::u16string FSearchForPnpName;
};

// What the bus-type query learns of a storage device.
struct TDeviceInformation {
    std::uint32_t BusType = 0;
    std::u16string RawProperties; // not filled
};

// Appends one record per qualifying device of the class (or of all classes) to ADevices, reads its
// state and properties, offers it to ACallBack, and links the whole list into a tree. A set that cannot
// be created appends nothing. Errors of the callback or of the volume table reach the caller.
// Details are the properties beyond the identity and state: names, hardware IDs, location, interfaces.
// Without a callback no device is offered; without a volume table an interface enumeration makes its own.
enum class TReadDetails : bool { No = false, Yes = true };
void GetDevicesByGuid(IDevicePlatform& platform, const Guid* AClassGuid, TReadDetails AReadDetails,
                      TPhysicalDeviceList& ADevices, std::uint32_t AFlags,
                      TSearchDevicesCallBack* ACallBack = nullptr,
                      TVolumeDeviceConnectorList* AVolumes = nullptr);

// A registry property as text up to its first NUL (a multi-string gives its first string); empty when
// absent or unreadable.
std::u16string GetDeviceRegistryProperty(IDevicePlatform& platform, HDEVINFO DevSet,
                                         const SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property);
// A 32-bit registry property; 0 when absent, unreadable or larger than four bytes.
std::uint32_t GetDeviceRegistryPropertyDWORD(IDevicePlatform& platform, HDEVINFO DevSet,
                                             const SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property);
// The parent device node, or 0.
DEVINST CMGetParent(IDevicePlatform& platform, DEVINST DevInst);
// A device node's instance ID, or empty text.
std::u16string GetDeviceIdEx(IDevicePlatform& platform, DEVINST DevInst);
bool HasUsbDeviceInterface(IDevicePlatform& platform, HDEVINFO DevSet, const SP_DEVINFO_DATA& DeviceInfoData);
// Asks a storage device for its descriptor and fills the bus type; false when it cannot be asked.
bool GetDeviceInformation(IDevicePlatform& platform, std::u16string DevicePath,
                          TDeviceInformation& Information);

// The device unit's measurement registry, created on first use.
TPerformanceRackman& PerformanceRackman();
// The device unit's shut-down: frees the measurement registry.
void FinalizeDeviceInformationKt();

} // namespace tarnwick
