// The Win32 device adapter, call by call, against the test-double setupapi.dll (loaded through
// WINEDLLOVERRIDES=setupapi=n) answering from a simulated machine with known devices. The thread's last
// error is set to a marker before each call that must fail, so that a failure the adapter leaves
// unexplained, or an error code it loses on the way, shows.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/PlatformConstants.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/SimulatedMachine.h"
#include "platform/win32/Win32DevicePlatform.h"
#include "simulator/MachineFile.h"

// After the portable headers: <windows.h> defines the platform constants' names as macros.
#include <windows.h>

namespace tarnwick {
namespace {

constexpr DWORD Marker = 0xDEADBEEF;

class Win32DevicePlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() / "tarnwick-device-machine.txt";
        SetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE", path.wstring().c_str());
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&1", u"Intel(R) Ethernet I219-V");
        wireless = m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2", u"Intel(R) Wireless-AC 8265");
        m.sim.Disable(wireless);
        m.sim.AddDevice(u"SCSI\\DISK&VEN_VBOX\\4&3", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
        std::ofstream(path, std::ios::binary) << sim::SaveMachine(m.sim);
    }
    void TearDown() override {
        if (set != InvalidHandleValue) {
            platform.SetupDiDestroyDeviceInfoList(set);
        }
        std::filesystem::remove(path);
        FinalizeDeviceInformationKt();
    }
    // Opens the present network adapters and returns the one at Index.
    SP_DEVINFO_DATA NetAdapter(std::uint32_t Index) {
        set = platform.SetupDiGetClassDevsW(&GUID_DEVCLASS_NET, nullptr, 0, DIGCF_PRESENT);
        EXPECT_NE(set, InvalidHandleValue) << "the test double was not loaded";
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        EXPECT_TRUE(platform.SetupDiEnumDeviceInfo(set, Index, data));
        return data;
    }
    std::uint32_t FailureError() {
        const std::uint32_t error = platform.GetLastError();
        ::SetLastError(Marker);
        return error;
    }

    std::filesystem::path path;
    testing::SimulatedMachine m;
    DEVINST wired = 0, wireless = 0;
    win32::TWin32DevicePlatform platform{[] { return false; }};
    HDEVINFO set = InvalidHandleValue;
};

TEST_F(Win32DevicePlatformTest, EnumerationYieldsTheKnownAdaptersThenNoMoreItems) {
    const SP_DEVINFO_DATA first = NetAdapter(0);
    EXPECT_EQ(first.DevInst, wired);
    EXPECT_EQ(first.ClassGuid, GUID_DEVCLASS_NET);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    ASSERT_TRUE(platform.SetupDiEnumDeviceInfo(set, 1, data));
    EXPECT_EQ(data.DevInst, wireless);

    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiEnumDeviceInfo(set, 2, data));
    EXPECT_EQ(FailureError(), ERROR_NO_MORE_ITEMS);
    data.cbSize = 0;
    EXPECT_FALSE(platform.SetupDiEnumDeviceInfo(set, 0, data));
    EXPECT_EQ(FailureError(), 1784u); // ERROR_INVALID_USER_BUFFER (Wine's devinst.c)
}

TEST_F(Win32DevicePlatformTest, InstanceIdAndPropertiesAreTheMachinesWithTheirSizes) {
    const SP_DEVINFO_DATA data = NetAdapter(0);
    const std::u16string id = u"PCI\\VEN_8086&DEV_15B8\\3&1";
    std::array<char16_t, 64> text{};
    std::uint32_t required = 0;
    ASSERT_TRUE(platform.SetupDiGetDeviceInstanceIdW(set, data, text.data(), 64, &required));
    EXPECT_EQ(std::u16string(text.data()), id);
    EXPECT_EQ(required, id.size() + 1);
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiGetDeviceInstanceIdW(set, data, text.data(), 4, &required));
    EXPECT_EQ(FailureError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(required, id.size() + 1);

    const std::u16string name = u"Intel(R) Ethernet I219-V";
    std::array<std::uint8_t, 128> bytes{};
    std::uint32_t type = 0;
    ASSERT_TRUE(platform.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_FRIENDLYNAME, &type, bytes.data(),
                                                           128, &required));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(required, (name.size() + 1) * sizeof(char16_t));
    EXPECT_EQ(TextUpToNul(bytes.data(), bytes.size()), name);
    EXPECT_EQ(GetDeviceRegistryProperty(platform, set, data, SPDRP_FRIENDLYNAME), name);

    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiGetDeviceRegistryPropertyW(set, data, SPDRP_LOCATION_INFORMATION, &type,
                                                            bytes.data(), 128, &required));
    EXPECT_EQ(FailureError(), ERROR_INVALID_DATA);
    EXPECT_EQ(GetDeviceRegistryProperty(platform, set, data, SPDRP_LOCATION_INFORMATION), u"");
}

TEST_F(Win32DevicePlatformTest, NodeStatusParentAndIdOfTheConfigurationManager) {
    NetAdapter(0); // the test double reads the machine when a set is opened
    std::uint32_t status = 0, problem = 0;
    ASSERT_EQ(platform.CM_Get_DevNode_Status(&status, &problem, wireless, 0), CR_SUCCESS);
    EXPECT_EQ(problem, CM_PROB_DISABLED);
    EXPECT_NE(status & DN_HAS_PROBLEM, 0u);
    ASSERT_EQ(platform.CM_Get_DevNode_Status(&status, &problem, wired, 0), CR_SUCCESS);
    EXPECT_EQ(problem, 0u);
    EXPECT_EQ(status & DN_HAS_PROBLEM, 0u);
    EXPECT_EQ(platform.CM_Get_DevNode_Status(&status, &problem, 0x7FFF, 0), CR_INVALID_DEVNODE);

    DEVINST parent = 0;
    ASSERT_EQ(platform.CM_Get_Parent(&parent, wired, 0), CR_SUCCESS);
    EXPECT_EQ(parent, m.pci);
    EXPECT_EQ(platform.CM_Get_Parent(&parent, m.root, 0), CR_NO_SUCH_DEVNODE);
    EXPECT_EQ(GetDeviceIdEx(platform, parent), u"ACPI\\PNP0A08\\0");
    std::array<char16_t, 4> small{};
    EXPECT_EQ(platform.CM_Get_Device_ID_ExW(parent, small.data(), 4, 0, 0), CR_BUFFER_SMALL);
    EXPECT_EQ(CMGetParent(platform, 0x7FFF), 0u);
}

TEST_F(Win32DevicePlatformTest, ClassInstallerDisablesTheAdapterOrPassesOnItsRefusal) {
    m.sim.Device(wireless).RefuseChangeError = ERROR_ACCESS_DENIED;
    std::ofstream(path, std::ios::binary) << sim::SaveMachine(m.sim);
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = sizeof params.ClassInstallHeader;
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_DISABLE;
    params.Scope = DICS_FLAG_GLOBAL;

    SP_DEVINFO_DATA data = NetAdapter(0);
    ASSERT_TRUE(
        platform.SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params));
    ASSERT_TRUE(platform.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data));
    SP_DEVINSTALL_PARAMS_W install{};
    install.cbSize = sizeof install;
    EXPECT_TRUE(platform.SetupDiGetDeviceInstallParamsW(set, &data, install));
    EXPECT_EQ(install.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT), 0u);
    std::uint32_t status = 0, problem = 0;
    ASSERT_EQ(platform.CM_Get_DevNode_Status(&status, &problem, wired, 0), CR_SUCCESS);
    EXPECT_EQ(problem, CM_PROB_DISABLED);

    SP_DEVINFO_DATA refusing{};
    refusing.cbSize = sizeof refusing;
    ASSERT_TRUE(platform.SetupDiEnumDeviceInfo(set, 1, refusing));
    ASSERT_TRUE(
        platform.SetupDiSetClassInstallParamsW(set, &refusing, &params.ClassInstallHeader, sizeof params));
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &refusing));
    EXPECT_EQ(FailureError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(platform.SysErrorMessage(ERROR_ACCESS_DENIED).empty());

    EXPECT_TRUE(platform.SetupDiDestroyDeviceInfoList(set));
    set = InvalidHandleValue;
    EXPECT_FALSE(platform.SetupDiDestroyDeviceInfoList(0x1234));
    EXPECT_EQ(FailureError(), ERROR_INVALID_HANDLE);
}

TEST_F(Win32DevicePlatformTest, EnumerationThroughTheAdapterReadsTheKnownRecords) {
    TPhysicalDeviceList devices;
    GetDevicesByGuid(platform, &GUID_DEVCLASS_NET, TReadDetails::Yes, devices, DIGCF_PRESENT);
    ASSERT_EQ(devices.Count(), 2u);
    EXPECT_EQ(devices[0].PnPName(), u"PCI\\VEN_8086&DEV_15B8\\3&1");
    EXPECT_EQ(devices[0].DEVICEDESC(), u"Intel(R) Ethernet I219-V");
    EXPECT_EQ(devices[0].ulProblemNumber(), 0u);
    EXPECT_EQ(devices[1].PnPName(), u"PCI\\VEN_8086&DEV_24FD\\4&2");
    EXPECT_EQ(devices[1].ulProblemNumber(), CM_PROB_DISABLED);
}

// Storage I/O goes to the system itself, not to the test double: a path that names no device is
// answered "no information".
TEST_F(Win32DevicePlatformTest, BusTypeQueryOfAMissingPathIsFalse) {
    TDeviceInformation information;
    EXPECT_FALSE(GetDeviceInformation(platform, u"\\\\?\\no#such#device\\", information));
}

} // namespace
} // namespace tarnwick
