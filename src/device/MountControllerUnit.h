#pragma once
// Volume and device-number mapping: what the enumeration's interface scan (DIGCF_DEVICEINTERFACE) calls.

#include "device/PhysicalDevice.h"
#include "platform/DevicePlatform.h"

namespace tarnwick {

// Fills the volume table: every volume of the machine with its storage device number.
void GetVolumesAndDeviceNumbers(IDevicePlatform& platform, TVolumeDeviceConnectorList& Volumes);

// Collects the device's interface paths of one interface class, its storage numbers and its volumes.
void GetDeviceInterfacesByGuid(IDevicePlatform& platform, HDEVINFO DevSet,
                               const SP_DEVINFO_DATA& DeviceInfoData, const Guid& InterfaceGuid,
                               TPhysicalDevice& Device, const TVolumeDeviceConnectorList& Volumes);

} // namespace tarnwick
