#include "device/MountControllerUnit.h"

namespace tarnwick {

// The volume mapping is not built yet: the interface scan finds no volumes and no interfaces.
void GetVolumesAndDeviceNumbers(IDevicePlatform&, TVolumeDeviceConnectorList&) {}

void GetDeviceInterfacesByGuid(IDevicePlatform&, HDEVINFO, const SP_DEVINFO_DATA&, const Guid&,
                               TPhysicalDevice&, const TVolumeDeviceConnectorList&) {}

} // namespace tarnwick
