#include "device/DeviceInformationKt.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "core/Text.h"
#include "device/MountControllerUnit.h"
#include "device/PlatformHandle.h"
#include "diag/PerformanceUnit.h"

namespace tarnwick {

namespace {

std::unique_ptr<TPerformanceRackman> gPerformanceRackman; // the device unit's registry

// Destroys the enumeration's device set when the walk ends, also by an exception.
class TDeviceSetGuard {
public:
    TDeviceSetGuard(IDevicePlatform& platform, HDEVINFO set) : FPlatform(platform), FSet(set) {}
    ~TDeviceSetGuard() {
        TMeasurementScope measure(PerformanceRackman(), DeviceLabels::SetupDiDestroyDeviceInfoList);
        FPlatform.SetupDiDestroyDeviceInfoList(FSet);
    }
    TDeviceSetGuard(const TDeviceSetGuard&) = delete;
    TDeviceSetGuard& operator=(const TDeviceSetGuard&) = delete;

private:
    IDevicePlatform& FPlatform;
    HDEVINFO FSet;
};

using KnownNames =
    std::unordered_set<std::u16string_view, AsciiCaseInsensitiveHash, AsciiCaseInsensitiveEqual>;

} // namespace

TPerformanceRackman& PerformanceRackman() {
    if (!gPerformanceRackman) {
        gPerformanceRackman = std::make_unique<TPerformanceRackman>();
    }
    return *gPerformanceRackman;
}

void FinalizeDeviceInformationKt() {
    gPerformanceRackman.reset();
}

TSearchDevicesCallBack::TSearchDevicesCallBack(std::u16string ASearchForPNPName)
    : FSearchForPnpName(std::move(ASearchForPNPName)) {
    if (FSearchForPnpName.empty()) {
        throw EAssertionFailed(u"Assertion failure", u"DeviceInformationKt", EmptySearchNameAssertionLine);
    }
}

bool TSearchDevicesCallBack::IsSearchedDevice(const TPhysicalDevice& PhysicalDevice) const {
    return SameTextAscii(PhysicalDevice.PnPName(), FSearchForPnpName);
}

namespace {

// A text property: what the platform wrote into `buffer`, bounded by the size it reports, up to its first
// NUL. Most properties fit the buffer as it is; for a larger one it grows to the size asked for and the
// property is read again.
std::u16string_view ReadTextProperty(IDevicePlatform& platform, HDEVINFO set, const SP_DEVINFO_DATA& data,
                                     std::uint32_t property, std::vector<char16_t>& buffer) {
    for (;;) {
        const auto size = static_cast<std::uint32_t>(buffer.size() * sizeof(char16_t));
        std::uint32_t type = 0;
        std::uint32_t required = 0;
        if (platform.SetupDiGetDeviceRegistryPropertyW(set, data, property, &type,
                                                       reinterpret_cast<std::uint8_t*>(buffer.data()), size,
                                                       &required)) {
            return ViewUpToNul(buffer.data(), std::min(required, size) / sizeof(char16_t));
        }
        // A driver that answers "insufficient buffer" without asking for more room would keep us here
        // for ever: give up on the property instead.
        if (platform.GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= size) {
            return {};
        }
        buffer.resize((required + 1) / sizeof(char16_t));
    }
}

// The buffer a text property is first read into: room for 512 characters.
std::vector<char16_t> PropertyBuffer() {
    return std::vector<char16_t>(512);
}

// One 4-byte read of a property into a value preset to 0.
std::uint32_t ReadDword(IDevicePlatform& platform, HDEVINFO set, const SP_DEVINFO_DATA& data,
                        std::uint32_t property) {
    std::uint32_t value = 0;
    std::uint8_t bytes[4] = {};
    if (platform.SetupDiGetDeviceRegistryPropertyW(set, data, property, nullptr, bytes, sizeof bytes,
                                                   nullptr)) {
        std::memcpy(&value, bytes, sizeof value);
    }
    return value;
}

DEVINST ReadParent(IDevicePlatform& platform, DEVINST devInst) {
    DEVINST parent = 0;
    return platform.CM_Get_Parent(&parent, devInst, 0) == CR_SUCCESS ? parent : 0;
}

// Instance IDs are at most 200 characters; the buffer has room for the longest and its NUL.
using TDeviceIdBuffer = std::array<char16_t, 255>;

std::u16string_view ReadDeviceId(IDevicePlatform& platform, DEVINST devInst, TDeviceIdBuffer& buffer) {
    buffer[0] = u'\0';
    if (platform.CM_Get_Device_ID_ExW(devInst, buffer.data(), static_cast<std::uint32_t>(buffer.size()), 0,
                                      0) != CR_SUCCESS) {
        return {};
    }
    return ViewUpToNul(buffer.data(), buffer.size());
}

} // namespace

std::u16string GetDeviceRegistryProperty(IDevicePlatform& platform, HDEVINFO DevSet,
                                         const SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetDeviceRegistryProperty);
    std::vector<char16_t> buffer = PropertyBuffer();
    return std::u16string(ReadTextProperty(platform, DevSet, DeviceInfoData, Property, buffer));
}

std::uint32_t GetDeviceRegistryPropertyDWORD(IDevicePlatform& platform, HDEVINFO DevSet,
                                             const SP_DEVINFO_DATA& DeviceInfoData, std::uint32_t Property) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetDeviceRegistryPropertyDWORD);
    return ReadDword(platform, DevSet, DeviceInfoData, Property);
}

DEVINST CMGetParent(IDevicePlatform& platform, DEVINST DevInst) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::CMGetParent);
    return ReadParent(platform, DevInst);
}

std::u16string GetDeviceIdEx(IDevicePlatform& platform, DEVINST DevInst) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetDeviceIdEx);
    TDeviceIdBuffer buffer;
    return std::u16string(ReadDeviceId(platform, DevInst, buffer));
}

bool HasUsbDeviceInterface(IDevicePlatform& platform, HDEVINFO DevSet,
                           const SP_DEVINFO_DATA& DeviceInfoData) {
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    return platform.SetupDiEnumDeviceInterfaces(DevSet, &DeviceInfoData, GUID_DEVINTERFACE_USB_DEVICE, 0,
                                                interfaceData);
}

bool GetDeviceInformation(IDevicePlatform& platform, std::u16string DevicePath,
                          TDeviceInformation& Information) {
    TMeasurementScope measure(PerformanceRackman(), DeviceLabels::GetDeviceInformation);
    if (!DevicePath.empty() && DevicePath.back() == u'\\') {
        DevicePath.pop_back();
    }
    TPlatformHandle device(
        platform, platform.CreateFileW(DevicePath.c_str(), 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!device.Valid()) {
        return false;
    }
    STORAGE_PROPERTY_QUERY query{}; // StorageDeviceProperty, PropertyStandardQuery
    // A descriptor with room for 512 bytes of trailing data, aligned for the descriptor's fields.
    alignas(STORAGE_DEVICE_DESCRIPTOR) std::array<std::uint8_t, 548> output{};
    std::uint32_t returned = 0;
    if (!platform.DeviceIoControl(device.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                  output.data(), static_cast<std::uint32_t>(output.size()), &returned)) {
        return false;
    }
    STORAGE_DEVICE_DESCRIPTOR descriptor;
    std::memcpy(&descriptor, output.data(), sizeof descriptor);
    Information.BusType = descriptor.BusType;
    return true;
}

namespace {

// What one walk reuses from device to device, so that reading a device allocates little beyond its record.
struct TWalkBuffers {
    TDeviceTexts Texts;
    std::vector<char16_t> Property = PropertyBuffer();
    TDeviceIdBuffer Id;
    std::array<char16_t, 260> InstanceId;
};

// Everything one qualifying device tells after its identity: the record is appended first, then filled.
// Its measured steps follow each other, so one counter reading closes a step and opens the next.
void ReadDevice(IDevicePlatform& platform, HDEVINFO set, const SP_DEVINFO_DATA& data, TPhysicalDevice& device,
                CONFIGRET statusResult, bool readDetails, std::uint32_t flags,
                const TVolumeDeviceConnectorList* volumes, TWalkBuffers& buffers) {
    TDeviceRecordWriter record(device);
    {
        TMeasurementScope step(PerformanceRackman(), DeviceLabels::GetCapabilities);
        const std::uint32_t capabilities = ReadDword(platform, set, data, SPDRP_CAPABILITIES);
        if (statusResult == CR_SUCCESS) {
            record.SetCapabilities(capabilities);
        }
        TDeviceTexts& texts = buffers.Texts;
        const auto readText = [&](TDeviceText which, std::uint32_t property) {
            step.Next(DeviceLabels::GetDeviceRegistryProperty);
            texts.Set(which, ReadTextProperty(platform, set, data, property, buffers.Property));
        };
        readText(TDeviceText::VendorName, SPDRP_FRIENDLYNAME);
        readText(TDeviceText::SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME);
        readText(TDeviceText::SPDRP_CLASSGUID, SPDRP_CLASSGUID);
        if (readDetails) {
            readText(TDeviceText::DEVICEDESC, SPDRP_DEVICEDESC);
            readText(TDeviceText::LOCATION_INFORMATION, SPDRP_LOCATION_INFORMATION);
            readText(TDeviceText::HARDWAREID, SPDRP_HARDWAREID);
            step.Next(DeviceLabels::GetDeviceRegistryPropertyDWORD);
            record.SPDRP_UI_NUMBER() = ReadDword(platform, set, data, SPDRP_UI_NUMBER);
        }
        // A removable device without a friendly name is shown by its description, or else its location.
        if (texts.Get(TDeviceText::VendorName).empty() && device.DN_REMOVABLE_Flag()) {
            readText(TDeviceText::DEVICEDESC, SPDRP_DEVICEDESC);
            if (texts.Get(TDeviceText::DEVICEDESC).empty()) {
                readText(TDeviceText::LOCATION_INFORMATION, SPDRP_LOCATION_INFORMATION);
            }
        }
        step.Next(DeviceLabels::CMGetParent);
        record.ParentDeviceInst() = ReadParent(platform, device.DeviceInst());
        step.Next(DeviceLabels::GetDeviceIdEx);
        texts.Set(TDeviceText::ParentDevicePnPName,
                  ReadDeviceId(platform, device.ParentDeviceInst(), buffers.Id));
        record.SetTexts(texts);
    }
    if (flags & DIGCF_DEVICEINTERFACE) {
        for (const Guid* interfaceGuid :
             {&GUID_DEVINTERFACE_FLOPPY, &GUID_DEVINTERFACE_DISK, &GUID_DEVINTERFACE_CDROM}) {
            GetDeviceInterfacesByGuid(platform, device, *interfaceGuid, set, data, *volumes);
        }
    }
    if (HasUsbDeviceInterface(platform, set, data)) {
        device.SetBusType(BusTypeUsb);
    }
    if (device.BusType() == 0 && device.ulStatus() != 0 && !device.DevicePathList().empty()) {
        TDeviceInformation information;
        device.SetBusType(GetDeviceInformation(platform, device.DevicePathList().front(), information)
                              ? information.BusType
                              : 0);
    }
}

} // namespace

void GetDevicesByGuid(IDevicePlatform& platform, const Guid* AClassGuid, TReadDetails AReadDetails,
                      TPhysicalDeviceList& ADevices, std::uint32_t AFlags, TSearchDevicesCallBack* ACallBack,
                      TVolumeDeviceConnectorList* AVolumes) {
    TMeasurementScope whole(PerformanceRackman(), DeviceLabels::GetDevicesByGuid);
    HDEVINFO set;
    {
        TMeasurementScope measure(PerformanceRackman(), DeviceLabels::SetupDiGetClassDevs);
        set = platform.SetupDiGetClassDevsW(AClassGuid, nullptr, 0, AFlags);
    }
    if (set == InvalidHandleValue) {
        return;
    }
    {
        TDeviceSetGuard setGuard(platform, set);
        // Views of the names of the records listed already: the walk appends records and rewrites none.
        KnownNames known;
        known.reserve(ADevices.Count());
        for (const auto& device : ADevices) {
            known.insert(device->PnPName());
        }
        // The volume table: the caller's, or one of our own for an interface enumeration.
        std::optional<TVolumeDeviceConnectorList> ownVolumes;
        const TVolumeDeviceConnectorList* volumes = AVolumes;
        if (volumes == nullptr && (AFlags & DIGCF_DEVICEINTERFACE)) {
            ownVolumes.emplace(GetVolumesAndDeviceNumbers(platform));
            volumes = &*ownVolumes;
        }

        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        TWalkBuffers buffers;
        for (std::uint32_t index = 0;; ++index) {
            std::uint32_t status = 0;
            std::uint32_t problem = 0;
            CONFIGRET statusResult;
            {
                TMeasurementScope step(PerformanceRackman(), DeviceLabels::SetupDiEnumDeviceInfo);
                if (!platform.SetupDiEnumDeviceInfo(set, index, data)) {
                    break;
                }
                step.Next(DeviceLabels::CM_Get_DevNode_Status);
                statusResult = platform.CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0);
            }
            if (status == 0 && problem == 0) {
                continue; // no device node: a phantom
            }
            std::u16string_view name;
            auto& id = buffers.InstanceId;
            id[0] = u'\0';
            if (platform.SetupDiGetDeviceInstanceIdW(set, data, id.data(),
                                                     static_cast<std::uint32_t>(id.size()), nullptr)) {
                name = ViewUpToNul(id.data(), id.size());
            }
            if (!known.empty() && known.contains(name)) {
                continue;
            }
            TPhysicalDevice& device = ADevices.Add(std::make_unique<TPhysicalDevice>());
            buffers.Texts.Clear();
            buffers.Texts.Set(TDeviceText::PnPName, name);
            TDeviceRecordWriter(device).SetIdentity(data.DevInst, status, problem);
            ReadDevice(platform, set, data, device, statusResult, AReadDetails == TReadDetails::Yes, AFlags,
                       volumes, buffers);
            if (ACallBack != nullptr && ACallBack->IsSearchedDevice(device)) {
                ACallBack->CallBackProc(device, set, data, static_cast<std::int32_t>(index));
            }
        }
    }
    BuildDeviceTree(ADevices);
}

} // namespace tarnwick
