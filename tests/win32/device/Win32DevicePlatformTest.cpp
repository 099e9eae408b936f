// The real setup API under Wine: its device functions are stubs (the status query writes nothing),
// so enumerations find no records, and they must still run to the end without error.

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "device/MountControllerUnit.h"
#include "diag/PerformanceUnit.h"
#include "platform/win32/Win32DevicePlatform.h"

namespace tarnwick {
namespace {

TEST(Win32DevicePlatform, EnumeratesTheNetworkClassAndAllClassesWithoutError) {
    win32::TWin32DevicePlatform platform([] { return false; });
    for (const auto& [guid, flags] :
         {std::pair<const Guid*, std::uint32_t>{&GUID_DEVCLASS_NET, DIGCF_PRESENT},
          {nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT},
          {nullptr, DIGCF_ALLCLASSES}}) {
        TPhysicalDeviceList devices;
        EXPECT_NO_THROW(GetDevicesByGuid(platform, guid, TReadDetails::Yes, devices, flags));
        for (const auto& device : devices) {
            EXPECT_FALSE(device->PnPName().empty());
        }
    }
    EXPECT_EQ(PerformanceRackman().LastMeasurement(), nullptr);
    EXPECT_GE(PerformanceRackman().FindMeasurement(u"GetDevicesByGuid")->CallCount(), 3);
    FinalizeDeviceInformationKt();
}

TEST(Win32DevicePlatform, ParentQueryOfAnUnknownNodeFailsCleanly) {
    win32::TWin32DevicePlatform platform([] { return false; });
    EXPECT_EQ(CMGetParent(platform, 0x7FFF), 0u);
    EXPECT_EQ(GetDeviceIdEx(platform, 0x7FFF), u"");
    FinalizeDeviceInformationKt();
}

TEST(Win32DevicePlatform, BusTypeQueryOfAMissingPathIsFalse) {
    win32::TWin32DevicePlatform platform([] { return false; });
    TDeviceInformation information;
    EXPECT_FALSE(GetDeviceInformation(platform, u"\\\\?\\no#such#device\\", information));
    FinalizeDeviceInformationKt();
}

TEST(Win32DevicePlatform, SystemMessageForAccessDenied) {
    win32::TWin32DevicePlatform platform([] { return false; });
    EXPECT_NE(platform.SysErrorMessage(ERROR_ACCESS_DENIED), u"");
}

TEST(Win32DevicePlatform, VolumeTableAndDiskInterfaceScanRunToTheEndOnWinesVolumes) {
    win32::TWin32DevicePlatform platform([] { return false; });
    EXPECT_FALSE(platform.IsWindows2000());
    TVolumeDeviceConnectorList volumes;
    try {
        volumes = GetVolumesAndDeviceNumbers(platform);
    } catch (const EGeneralError& e) {
        // Wine may have no volume to search; that is the one error the walk may raise.
        EXPECT_EQ(e.Message(), u"FindFirstVolume error. Can't get volume names and mount points");
    }
    for (const auto& volume : volumes) {
        EXPECT_EQ(volume.VolumeName.back(), u'\\');
        std::vector<std::u16string> mountPoints;
        MountController(platform).KtGetVolumePathNamesForVolumeName(volume.VolumeName, mountPoints);
        for (const auto& point : mountPoints) {
            EXPECT_NE(point.back(), u'\\');
        }
    }
    EXPECT_NE(MountController(platform).VolumePathNamesProc(), 0u);
    TPhysicalDeviceList devices;
    EXPECT_NO_THROW(GetDevicesByGuid(platform, &GUID_DEVINTERFACE_DISK, TReadDetails::Yes, devices,
                                     DIGCF_PRESENT | DIGCF_DEVICEINTERFACE, nullptr, &volumes));
    TPhysicalDeviceList own;
    try {
        GetDevicesByGuid(platform, &GUID_DEVINTERFACE_DISK, TReadDetails::Yes, own,
                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    } catch (const EGeneralError& e) {
        EXPECT_EQ(e.Message(), u"FindFirstVolume error. Can't get volume names and mount points");
    }
    EXPECT_EQ(PerformanceRackman().LastMeasurement(), nullptr);
    FinalizeMountControllerUnit();
    FinalizeDeviceInformationKt();
}

} // namespace
} // namespace tarnwick
