// The answers of the device calls that Wine's conformance tests fix (dlls/setupapi/tests/devinst.c, run
// by Wine's developers on Windows), asked through the Win32 adapter of one device. The same program runs
// twice: against the test double (TARNWICK_CONTRACT=double, with a machine file of known devices) and
// against Wine's own setupapi (TARNWICK_CONTRACT=wine, on a device Wine has), so that a double that drifts
// from what the platform answers shows. A row Wine's own implementation cannot answer (a stub) is skipped
// there and says so.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/PlatformConstants.h"
#include "fixtures/SimulatedMachine.h"
#include "platform/win32/Win32DevicePlatform.h"
#include "simulator/MachineFile.h"

// After the portable headers: <windows.h> defines the platform constants' names as macros.
#include <windows.h>

namespace tarnwick {
namespace {

constexpr DWORD Marker = 0xDEADBEEF;
// No such property: the code Wine's test_registry_property asks with.
constexpr std::uint32_t NoSuchProperty = ~0u;

bool AgainstWine() {
    const char* subject = std::getenv("TARNWICK_CONTRACT");
    return subject != nullptr && std::string(subject) == "wine";
}

class DeviceContract : public ::testing::Test {
protected:
    void SetUp() override {
        if (!AgainstWine()) {
            path = std::filesystem::temp_directory_path() / "tarnwick-contract-machine.txt";
            SetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE", path.wstring().c_str());
            const DEVINST nic = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&1", u"Intel(R) Ethernet I219-V");
            m.sim.RemoveProperty(nic, SPDRP_UI_NUMBER);
            phantom = m.AddAdapter(u"USB\\VID_0BDA&PID_8153\\1", u"Realtek USB GbE");
            m.sim.Device(phantom).Present = false;
            std::ofstream(path, std::ios::binary) << sim::SaveMachine(m.sim);
        }
        set = platform.SetupDiGetClassDevsW(nullptr, nullptr, 0, DIGCF_ALLCLASSES);
        ASSERT_NE(set, InvalidHandleValue) << platform.GetLastError();
        device.cbSize = sizeof device;
        hasDevice = platform.SetupDiEnumDeviceInfo(set, 0, device);
    }
    void TearDown() override {
        if (set != InvalidHandleValue) {
            platform.SetupDiDestroyDeviceInfoList(set);
        }
        if (!path.empty()) {
            std::filesystem::remove(path);
        }
    }
    // The error the failed call left; the marker is set again for the next.
    std::uint32_t Error() {
        const std::uint32_t error = platform.GetLastError();
        ::SetLastError(Marker);
        return error;
    }
    void NeedADevice() {
        if (!hasDevice) {
            GTEST_SKIP() << "this Wine prefix has no device to ask";
        }
    }

    testing::SimulatedMachine m;
    DEVINST phantom = 0;
    std::filesystem::path path;
    win32::TWin32DevicePlatform platform{[] { return false; }};
    HDEVINFO set = InvalidHandleValue;
    SP_DEVINFO_DATA device{};
    bool hasDevice = false;
};

TEST_F(DeviceContract, ClassDevsWithoutAClassOrAllClassesIsAnInvalidParameter) {
    ::SetLastError(Marker);
    EXPECT_EQ(platform.SetupDiGetClassDevsW(nullptr, nullptr, 0, 0), InvalidHandleValue);
    EXPECT_EQ(Error(), ERROR_INVALID_PARAMETER);
}

TEST_F(DeviceContract, TheEndOfAListAndABadRecordOrHandle) {
    std::uint32_t count = 0;
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    while (platform.SetupDiEnumDeviceInfo(set, count, data)) {
        ++count;
    }
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiEnumDeviceInfo(set, count, data));
    EXPECT_EQ(Error(), ERROR_NO_MORE_ITEMS);
    data.cbSize = 0;
    EXPECT_FALSE(platform.SetupDiEnumDeviceInfo(set, 0, data));
    EXPECT_EQ(Error(), ERROR_INVALID_USER_BUFFER);
    data.cbSize = sizeof data;
    EXPECT_FALSE(platform.SetupDiEnumDeviceInfo(InvalidHandleValue, 0, data));
    EXPECT_EQ(Error(), ERROR_INVALID_HANDLE);
}

TEST_F(DeviceContract, ABufferTooSmallAsksForTheSizeItNeeds) {
    NeedADevice();
    std::uint32_t required = 0;
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiGetDeviceInstanceIdW(set, device, nullptr, 0, &required));
    EXPECT_EQ(Error(), ERROR_INSUFFICIENT_BUFFER);
    std::array<char16_t, 260> id{};
    ASSERT_TRUE(platform.SetupDiGetDeviceInstanceIdW(set, device, id.data(), 260, nullptr));
    EXPECT_EQ(required, std::u16string(id.data()).size() + 1);

    std::uint32_t type = 0;
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiGetDeviceRegistryPropertyW(set, device, SPDRP_HARDWAREID, &type, nullptr, 0,
                                                            &required));
    const std::uint32_t error = Error();
    if (error == ERROR_INVALID_DATA) {
        GTEST_SKIP() << "the device has no hardware ID";
    }
    EXPECT_EQ(error, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_GT(required, 2u);
    EXPECT_EQ(type, REG_MULTI_SZ);
}

TEST_F(DeviceContract, AMissingPropertyIsInvalidDataAndAnUnknownOneAnInvalidProperty) {
    NeedADevice();
    std::array<std::uint8_t, 64> bytes{};
    std::uint32_t required = 0;
    ::SetLastError(Marker);
    EXPECT_FALSE(platform.SetupDiGetDeviceRegistryPropertyW(set, device, SPDRP_UI_NUMBER, nullptr,
                                                            bytes.data(), 64, &required));
    EXPECT_EQ(Error(), ERROR_INVALID_DATA);
    if (AgainstWine()) {
        // Wine 8 refuses an unknown property code without leaving an error; Windows answers
        // ERROR_INVALID_REG_PROPERTY (test_registry_property), which the double is held to.
        GTEST_SKIP() << "Wine leaves no error for an unknown property code";
    }
    EXPECT_FALSE(platform.SetupDiGetDeviceRegistryPropertyW(set, device, NoSuchProperty, nullptr,
                                                            bytes.data(), 64, &required));
    EXPECT_EQ(Error(), ERROR_INVALID_REG_PROPERTY);
}

TEST_F(DeviceContract, APhantomHasNoDeviceNode) {
    if (AgainstWine()) {
        // Wine's CM_Get_DevNode_Status is a stub: it answers CR_SUCCESS for any device node and writes
        // nothing, so there is no phantom to tell apart.
        GTEST_SKIP() << "Wine's CM_Get_DevNode_Status is a stub";
    }
    std::uint32_t status = 0, problem = 0;
    EXPECT_EQ(platform.CM_Get_DevNode_Status(&status, &problem, phantom, 0), CR_NO_SUCH_DEVINST);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(problem, 0u);
}

} // namespace
} // namespace tarnwick
