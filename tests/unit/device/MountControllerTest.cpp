#include "device/MountControllerUnit.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "device/DeviceInformationKt.h"
#include "diag/PerformanceUnit.h"
#include "fixtures/RecordingLog.h"
#include "fixtures/SimulatedMachine.h"

namespace tarnwick {
namespace {

using sim::SimCall;
using sim::SimVolume;
using testing::SimulatedMachine;

constexpr const char16_t* VolumeD = u"\\\\?\\Volume{11111111-0000-0000-0000-100000000000}\\";
constexpr const char16_t* VolumeE = u"\\\\?\\Volume{22222222-0000-0000-0000-100000000000}\\";
constexpr const char16_t* VolumeA = u"\\\\?\\Volume{33333333-0000-0000-0000-100000000000}\\";

STORAGE_DEVICE_NUMBER Number(std::uint32_t type, std::uint32_t device, std::uint32_t partition) {
    return {type, device, partition};
}

class MountControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        FinalizeMountControllerUnit();
        FinalizeDeviceInformationKt();
    }
    void TearDown() override {
        EXPECT_EQ(m.sim.OpenHandleCount(), 0u);
        EXPECT_EQ(m.sim.OpenVolumeSearchCount(), 0u);
        EXPECT_EQ(m.sim.OpenSetCount(), 0u);
        FinalizeMountControllerUnit();
        EXPECT_EQ(m.sim.LoadedLibraryCount(), 0u) << "kernel32.dll still held";
        FinalizeDeviceInformationKt();
    }
    void AddVolume(const char16_t* name, std::vector<std::u16string> mountPoints,
                   STORAGE_DEVICE_NUMBER number) {
        m.sim.Volumes().push_back(SimVolume{name, std::move(mountPoints), true, number});
    }
    // A disk with its interface path and storage number.
    DEVINST AddDisk(std::u16string id, std::u16string path, std::optional<STORAGE_DEVICE_NUMBER> number) {
        const DEVINST disk = m.sim.AddDevice(std::move(id), testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
        m.sim.Device(disk).Interfaces.push_back({GUID_DEVINTERFACE_DISK, std::move(path)});
        m.sim.Device(disk).HasStorageNumber = number.has_value();
        m.sim.Device(disk).StorageNumber = number.value_or(STORAGE_DEVICE_NUMBER{});
        return disk;
    }
    SimulatedMachine m;
};

TEST_F(MountControllerTest, MountPointsComeWithoutTrailingBackslashInPlatformOrder) {
    AddVolume(VolumeD, {u"D:\\", u"C:\\mnt\\data\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    AddVolume(VolumeE, {}, Number(FILE_DEVICE_DISK, 1, 2));
    std::vector<std::u16string> points{u"kept"};
    MountController(m.sim).KtGetVolumePathNamesForVolumeName(VolumeD, points);
    EXPECT_EQ(points, (std::vector<std::u16string>{u"kept", u"D:", u"C:\\mnt\\data"}));
    std::vector<std::u16string> none;
    MountController(m.sim).KtGetVolumePathNamesForVolumeName(VolumeE, none);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(MountController(m.sim).KtGetDosDeviceNTNameByVolumeName(VolumeE), u"");
    EXPECT_EQ(CommaText({u"D:", u"C:\\mnt\\data"}), u"D:,C:\\mnt\\data");
}

TEST_F(MountControllerTest, NtNameComesFromTheFirstDriveLetter) {
    AddVolume(VolumeD, {u"C:\\mnt\\data\\", u"D:\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    m.sim.DosDevices().push_back({u"D:", u"\\Device\\HarddiskVolume4"});
    EXPECT_EQ(MountController(m.sim).KtGetDosDeviceNTNameByVolumeName(VolumeD), u"\\Device\\HarddiskVolume4");
    for (const char16_t* bad : {u"", u"\\\\?\\Volume{11111111-0000-0000-0000-100000000000}"}) {
        try {
            MountController(m.sim).KtGetDosDeviceNTNameByVolumeName(bad);
            ADD_FAILURE() << "no error";
        } catch (const EGeneralError& e) {
            EXPECT_EQ(e.Message(),
                      u"KtGetDosDeviceNTNameByVolumeName required slash in the end of volume name");
        }
    }
}

TEST_F(MountControllerTest, Windows2000WalksTheDriveLettersForExactMatches) {
    m.sim.Windows2000 = true;
    AddVolume(VolumeD, {u"C:\\mnt\\data\\", u"D:\\", u"F:\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    std::vector<std::u16string> points;
    MountController(m.sim).KtGetVolumePathNamesForVolumeName(VolumeD, points);
    EXPECT_EQ(points, (std::vector<std::u16string>{u"D:", u"F:"}));
    std::vector<std::u16string> otherCase;
    MountController(m.sim).KtGetVolumePathNamesForVolumeName(
        u"\\\\?\\volume{11111111-0000-0000-0000-100000000000}\\", otherCase);
    EXPECT_TRUE(otherCase.empty());
    EXPECT_EQ(MountController(m.sim).VolumePathNamesProc(), 0u);
    EXPECT_EQ(m.sim.LoadedLibraryCount(), 0u);
}

TEST_F(MountControllerTest, MissingKernel32OrFunctionIsLoggedAndFallsBackToDriveLetters) {
    struct Case {
        bool kernel32Missing;
        std::u16string logLine;
    };
    for (const Case& c : {Case{true, u"Cannot load library kernel32.dll, error code: 126"},
                          Case{false, u"Function GetVolumePathNamesForVolumeName is not found"}}) {
        FinalizeMountControllerUnit();
        testing::RecordingLog log;
        m.sim.Kernel32Missing = c.kernel32Missing;
        m.sim.VolumePathNamesMissing = true;
        AddVolume(VolumeD, {u"D:\\"}, Number(FILE_DEVICE_DISK, 1, 1));
        std::vector<std::u16string> points;
        MountController(m.sim).KtGetVolumePathNamesForVolumeName(VolumeD, points);
        EXPECT_EQ(points, std::vector<std::u16string>{u"D:"});
        EXPECT_EQ(log.Lines, std::vector<std::u16string>{c.logLine});
        EXPECT_EQ(MountController(m.sim).hModuleKernel32(), 0u);
        m.sim.Volumes().clear();
    }
}

TEST_F(MountControllerTest, VolumeTableInSearchOrderWithUnreadableNumbersAndFloppies) {
    AddVolume(VolumeD, {u"D:\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    AddVolume(VolumeE, {}, {});
    m.sim.Volumes().back().HasStorageNumber = false;
    AddVolume(VolumeA, {u"A:\\"}, Number(FILE_DEVICE_DISK, 0, 0));
    m.sim.DosDevices().push_back({u"A:", u"\\Device\\Floppy0"});
    const TVolumeDeviceConnectorList table = GetVolumesAndDeviceNumbers(m.sim);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].VolumeName, VolumeD);
    EXPECT_EQ(table[0].DeviceNumber, 1);
    EXPECT_EQ(table[0].PartitionNumber, 1);
    EXPECT_EQ(table[0].DeviceType, FILE_DEVICE_DISK);
    EXPECT_EQ(table[1].DeviceNumber, -1);
    EXPECT_EQ(table[1].PartitionNumber, -1);
    EXPECT_EQ(table[1].DeviceType, 0u);
    EXPECT_EQ(table[2].DeviceType, DEVICE_TYPE_FLOPPY_MARK);
    EXPECT_EQ(m.sim.OpenedFiles().front(), u"\\\\?\\Volume{11111111-0000-0000-0000-100000000000}");
}

TEST_F(MountControllerTest, VolumeSearchFailures) {
    AddVolume(VolumeD, {u"D:\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    const std::pair<SimCall, std::u16string> cases[] = {
        {SimCall::FindFirstVolume, u"FindFirstVolume error. Can't get volume names and mount points"},
        {SimCall::FindVolumeClose, u"FindVolumeClose error. Can't close search handle"},
    };
    for (const auto& [call, message] : cases) {
        m.sim.ClearFaults();
        m.sim.SetFault(call, 5);
        try {
            GetVolumesAndDeviceNumbers(m.sim);
            ADD_FAILURE() << "no error";
        } catch (const EGeneralError& e) {
            EXPECT_EQ(e.Message(), message);
        }
        EXPECT_EQ(PerformanceRackman().LastMeasurement(), nullptr);
    }
}

TEST_F(MountControllerTest, InterfaceScanCollectsPathsNumbersVolumesAndMountPoints) {
    AddVolume(VolumeD, {u"D:\\", u"C:\\mnt\\data\\"}, Number(FILE_DEVICE_DISK, 1, 1));
    AddVolume(VolumeE, {u"E:\\"}, Number(FILE_DEVICE_DISK, 1, 2));
    AddVolume(VolumeA, {u"G:\\"}, Number(FILE_DEVICE_DISK, 2, 1));
    const DEVINST disk =
        AddDisk(u"USBSTOR\\DISK&VEN_SANDISK\\1", u"\\\\?\\usbstor#disk&ven_sandisk#1#{53f56307}",
                Number(FILE_DEVICE_DISK, 1, 0));
    m.sim.Device(disk).StorageBusType = BusTypeUsb;
    const DEVINST broken = AddDisk(u"SCSI\\DISK\\2", u"\\\\?\\scsi#disk#2#{53f56307}", std::nullopt);

    TPhysicalDeviceList devices;
    GetDevicesByGuid(m.sim, &GUID_DEVINTERFACE_DISK, TReadDetails::Yes, devices,
                     DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_EQ(devices.Count(), 2u);
    const TPhysicalDevice& two = devices[0];
    EXPECT_EQ(two.DeviceInst(), disk);
    EXPECT_EQ(two.DevicePathList(),
              std::vector<std::u16string>{u"\\\\?\\usbstor#disk&ven_sandisk#1#{53f56307}"});
    EXPECT_EQ(two.DeviceType(), FILE_DEVICE_DISK);
    EXPECT_EQ(two.DeviceNumber(), 1u);
    EXPECT_EQ(two.DeviceVolumesList(), (std::vector<std::u16string>{VolumeD, VolumeE}));
    EXPECT_EQ(two.MountPoints(), u"D:,C:\\mnt\\data,E:");
    EXPECT_EQ(two.BusType(), BusTypeUsb);

    const TPhysicalDevice& failed = devices[1];
    EXPECT_EQ(failed.DeviceInst(), broken);
    EXPECT_EQ(failed.DevicePathList().size(), 1u);
    EXPECT_EQ(failed.DeviceType(), 0u);
    EXPECT_EQ(failed.DeviceNumber(), 0u);
    EXPECT_TRUE(failed.DeviceVolumesList().empty());
    EXPECT_EQ(
        PerformanceRackman().FindMeasurement(u"GetDevicesByGuid.GetVolumesAndDeviceNumbers")->CallCount(), 1);
    EXPECT_EQ(
        PerformanceRackman().FindMeasurement(u"GetDevicesByGuid.GetDeviceInterfacesByGuid")->CallCount(), 6);
}

TEST_F(MountControllerTest, FloppyDriveAndItsVolumeShareTheFloppyType) {
    AddVolume(VolumeA, {u"A:\\"}, Number(FILE_DEVICE_DISK, 0, 0));
    m.sim.DosDevices().push_back({u"A:", u"\\Device\\Floppy0"});
    const DEVINST drive =
        m.sim.AddDevice(u"FDC\\GENERIC_FLOPPY_DRIVE\\6&1", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
    m.sim.Device(drive).Interfaces.push_back(
        {GUID_DEVINTERFACE_FLOPPY, u"\\\\?\\fdc#generic_floppy_drive#6&1#{53f56311}"});
    m.sim.Device(drive).HasStorageNumber = true;
    m.sim.Device(drive).StorageNumber = Number(FILE_DEVICE_DISK, 0, 0);
    TPhysicalDeviceList devices;
    GetDevicesByGuid(m.sim, &GUID_DEVINTERFACE_FLOPPY, TReadDetails::No, devices,
                     DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_EQ(devices.Count(), 1u);
    EXPECT_EQ(devices[0].DeviceType(), DEVICE_TYPE_FLOPPY_MARK);
    EXPECT_EQ(devices[0].DeviceVolumesList(), std::vector<std::u16string>{VolumeA});
    EXPECT_EQ(devices[0].MountPoints(), u"A:");
}

TEST(CommaText, QuotesWhatNeedsQuoting) {
    const std::pair<std::vector<std::u16string>, std::u16string> cases[] = {
        {{}, u""},
        {{u""}, u"\"\""},
        {{u"D:", u"C:\\Program Files\\mnt"}, u"D:,\"C:\\Program Files\\mnt\""},
        {{u"a,b", u"say \"hi\""}, u"\"a,b\",\"say \"\"hi\"\"\""},
        {{u"tab\there"}, u"\"tab\there\""},
    };
    for (const auto& [entries, expected] : cases) {
        EXPECT_EQ(CommaText(entries), expected);
    }
}

TEST(FloppyTests, LowerCaseContainment) {
    EXPECT_TRUE(IsDeviceFloppy(u"\\Device\\Floppy0"));
    EXPECT_FALSE(IsDeviceFloppy(u"Floppy0"));
    EXPECT_TRUE(IsDeviceFloppyByDevicePath(u"\\\\?\\FDC#GENERIC_FLOPPY_DRIVE#6"));
    EXPECT_FALSE(IsDeviceFloppyByDevicePath(u"\\\\?\\scsi#disk"));
}

} // namespace
} // namespace tarnwick
