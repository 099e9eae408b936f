#include "device/DeviceInformationKt.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "diag/PerformanceUnit.h"
#include "fixtures/SimulatedMachine.h"

namespace tarnwick {
namespace {

using sim::SimCall;
using testing::SimulatedMachine;

class GetDevicesByGuidTest : public ::testing::Test {
protected:
    void SetUp() override { FinalizeDeviceInformationKt(); }
    void TearDown() override {
        EXPECT_EQ(m.sim.OpenSetCount(), 0u) << "a device set was left open";
        EXPECT_EQ(m.sim.OpenHandleCount(), 0u) << "a device handle was left open";
        EXPECT_EQ(PerformanceRackman().LastMeasurement(), nullptr) << "a measurement was left open";
        FinalizeDeviceInformationKt();
    }
    void EnumerateNet(TPhysicalDeviceList& list, TReadDetails details = TReadDetails::Yes,
                      std::uint32_t flags = DIGCF_PRESENT) {
        GetDevicesByGuid(m.sim, &GUID_DEVCLASS_NET, details, list, flags);
    }
    SimulatedMachine m;
};

TEST_F(GetDevicesByGuidTest, FillsRecordsOfTheClassInSetOrder) {
    const DEVINST nic = m.AddAdapter(u"PCI\\VEN_8086&DEV_10D3\\3&1", u"Intel(R) 82574L");
    m.sim.SetText(nic, SPDRP_LOCATION_INFORMATION, u"PCI bus 2, device 0, function 0");
    m.sim.SetText(nic, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, u"\\Device\\NTPNP_PCI0007");
    m.sim.SetMultiText(nic, SPDRP_HARDWAREID,
                       {u"PCI\\VEN_8086&DEV_10D3&SUBSYS_0", u"PCI\\VEN_8086&DEV_10D3"});
    m.sim.SetDword(nic, SPDRP_UI_NUMBER, 2);
    m.sim.SetDword(nic, SPDRP_CAPABILITIES, CM_DEVCAP_SURPRISEREMOVALOK);
    const DEVINST wifi = m.AddAdapter(u"PCI\\VEN_168C&DEV_0032\\4&2", u"Atheros AR9485");
    m.sim.Disable(wifi);
    m.sim.AddDevice(u"SCSI\\DISK\\1", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);

    TPhysicalDeviceList list;
    EnumerateNet(list);
    ASSERT_EQ(list.Count(), 2u);
    const TPhysicalDevice& first = list[0];
    EXPECT_EQ(first.DeviceInst(), nic);
    EXPECT_EQ(first.PnPName(), u"PCI\\VEN_8086&DEV_10D3\\3&1");
    EXPECT_EQ(first.VendorName(), u"Intel(R) 82574L");
    EXPECT_EQ(first.DEVICEDESC(), u"Intel(R) 82574L");
    EXPECT_EQ(first.LOCATION_INFORMATION(), u"PCI bus 2, device 0, function 0");
    EXPECT_EQ(first.HARDWAREID(), u"PCI\\VEN_8086&DEV_10D3&SUBSYS_0"); // only the first string
    EXPECT_EQ(first.SPDRP_CLASSGUID(), u"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(first.SPDRP_PHYSICAL_DEVICE_OBJECT_NAME(), u"\\Device\\NTPNP_PCI0007");
    EXPECT_EQ(first.SPDRP_UI_NUMBER(), 2u);
    EXPECT_EQ(first.Capabilities(), CM_DEVCAP_SURPRISEREMOVALOK);
    EXPECT_TRUE(first.CM_DEVCAP_SURPRISEREMOVALOK_Flag());
    EXPECT_TRUE(first.DN_DISABLEABLE_Flag());
    EXPECT_EQ(first.ulProblemNumber(), 0u);
    EXPECT_EQ(first.ParentDeviceInst(), m.pci);
    EXPECT_EQ(first.ParentDevicePnPName(), u"ACPI\\PNP0A08\\0");
    EXPECT_EQ(first.ParentDevice(), nullptr); // the bus is not of this class
    EXPECT_EQ(first.BusType(), 0u);
    EXPECT_EQ(list[1].ulProblemNumber(), CM_PROB_DISABLED);
    EXPECT_TRUE(list[1].DN_HAS_PROBLEM_Flag());
    EXPECT_EQ(list[1].SPDRP_UI_NUMBER(), 0u); // none set
    EXPECT_EQ(m.sim.ClassDevsFlags(), std::vector<std::uint32_t>{DIGCF_PRESENT});
}

TEST_F(GetDevicesByGuidTest, WithoutDetailsOnlyTheBasicPropertiesAreRead) {
    m.AddAdapter(u"PCI\\NIC\\1", u"Fixed NIC");
    TPhysicalDeviceList list;
    EnumerateNet(list, TReadDetails::No);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0].VendorName(), u"Fixed NIC");
    EXPECT_EQ(list[0].DEVICEDESC(), u"");
}

TEST_F(GetDevicesByGuidTest, RemovableDeviceWithoutFriendlyNameFallsBackToDescriptionThenLocation) {
    const DEVINST described = m.AddAdapter(u"USB\\NIC\\1", u"");
    m.sim.RemoveProperty(described, SPDRP_FRIENDLYNAME);
    m.sim.SetText(described, SPDRP_DEVICEDESC, u"USB Ethernet");
    const DEVINST located = m.AddAdapter(u"USB\\NIC\\2", u"");
    m.sim.RemoveProperty(located, SPDRP_FRIENDLYNAME);
    m.sim.RemoveProperty(located, SPDRP_DEVICEDESC);
    m.sim.SetText(located, SPDRP_LOCATION_INFORMATION, u"Port_#0002.Hub_#0001");
    const DEVINST fixed = m.AddAdapter(u"PCI\\NIC\\3", u"");
    m.sim.RemoveProperty(fixed, SPDRP_FRIENDLYNAME);
    for (DEVINST d : {described, located}) {
        m.sim.Device(d).Status |= DN_REMOVABLE;
    }
    TPhysicalDeviceList list;
    EnumerateNet(list, TReadDetails::No);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[0].DEVICEDESC(), u"USB Ethernet");
    EXPECT_EQ(list[0].LOCATION_INFORMATION(), u"");
    EXPECT_EQ(list[1].DEVICEDESC(), u"");
    EXPECT_EQ(list[1].LOCATION_INFORMATION(), u"Port_#0002.Hub_#0001");
    EXPECT_EQ(list[2].VendorName(), u"");
    EXPECT_EQ(list[2].DEVICEDESC(), u""); // not removable, details off
}

TEST_F(GetDevicesByGuidTest, PhantomsAreSkippedEvenWithoutPresentFlag) {
    m.AddAdapter(u"PCI\\NIC\\1", u"Present");
    const DEVINST gone = m.AddAdapter(u"PCI\\NIC\\2", u"Unplugged");
    m.sim.Device(gone).Present = false;
    TPhysicalDeviceList list;
    EnumerateNet(list, TReadDetails::Yes, 0);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0].PnPName(), u"PCI\\NIC\\1");
}

TEST_F(GetDevicesByGuidTest, KnownNamesIgnoringCaseAreNotAddedAgainAndLinksStay) {
    const DEVINST bridge = m.AddAdapter(u"ROOT\\NET\\0000", u"Bridge");
    m.AddAdapter(u"ROOT\\NET\\0001", u"Member", bridge);
    TPhysicalDeviceList list;
    EnumerateNet(list);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[0].DeviceChilds().Count(), 1u);
    EnumerateNet(list);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[0].DeviceChilds().Count(), 1u);
    EXPECT_EQ(list[1].ParentDevice(), &list[0]);

    // A record already in the list under another letter case counts as known too.
    TPhysicalDeviceList preset;
    auto known = std::make_unique<TPhysicalDevice>();
    TDeviceRecordWriter(*known).SetIdentity(0, 0, 0, u"root\\net\\0000");
    preset.Add(std::move(known));
    EnumerateNet(preset);
    ASSERT_EQ(preset.Count(), 2u);
    EXPECT_EQ(preset[1].PnPName(), u"ROOT\\NET\\0001");
}

TEST_F(GetDevicesByGuidTest, EmptyClassLeavesListButStillBuildsTheTree) {
    TPhysicalDeviceList list;
    auto parent = std::make_unique<TPhysicalDevice>();
    TDeviceRecordWriter(*parent).SetIdentity(0, 0, 0, u"P");
    auto child = std::make_unique<TPhysicalDevice>();
    TDeviceRecordWriter(*child).SetIdentity(0, 0, 0, u"C");
    TDeviceRecordWriter(*child).SetText(TDeviceText::ParentDevicePnPName, u"P");
    list.Add(std::move(parent));
    list.Add(std::move(child));
    EnumerateNet(list);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list[0].DeviceChilds().Count(), 1u);
}

TEST_F(GetDevicesByGuidTest, SetThatCannotBeCreatedAppendsNothingAndSkipsTheTree) {
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    m.sim.SetFault(SimCall::GetClassDevs, ERROR_ACCESS_DENIED);
    TPhysicalDeviceList list;
    EnumerateNet(list);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(PerformanceRackman().FindMeasurement(u"GetDevicesByGuid.BuildDeviceTree"), nullptr);
    EXPECT_EQ(PerformanceRackman().FindMeasurement(u"GetDevicesByGuid")->CallCount(), 1);
}

TEST_F(GetDevicesByGuidTest, LongPropertyIsReadWholeAfterOneRetry) {
    const DEVINST nic = m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    const std::u16string longName(700, u'N'); // 1402 bytes with its NUL
    m.sim.SetText(nic, SPDRP_FRIENDLYNAME, longName);
    TPhysicalDeviceList list;
    EnumerateNet(list, TReadDetails::No);
    EXPECT_EQ(list[0].VendorName(), longName);
    // friendly name twice, device object name, class GUID, capabilities
    EXPECT_EQ(m.sim.CallCount(SimCall::GetDeviceRegistryProperty), 5u);
}

TEST_F(GetDevicesByGuidTest, PropertyReadThatKeepsAskingForNoMoreRoomEnds) {
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    for (std::uint32_t required : {0u, 1024u, 16u}) {
        m.sim.SetFault(SimCall::GetDeviceRegistryProperty, ERROR_INSUFFICIENT_BUFFER, 0, required);
        TPhysicalDeviceList list;
        EnumerateNet(list);
        ASSERT_EQ(list.Count(), 1u);
        EXPECT_EQ(list[0].VendorName(), u"");
        EXPECT_EQ(list[0].Capabilities(), 0u);
    }
}

TEST_F(GetDevicesByGuidTest, PerDeviceFailuresLeaveDefaults) {
    const DEVINST nic = m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    m.sim.SetFault(SimCall::GetParent, CR_FAILURE, nic);
    m.sim.SetFault(SimCall::GetDeviceInstanceId, ERROR_INVALID_DATA, nic);
    TPhysicalDeviceList list;
    EnumerateNet(list);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list[0].PnPName(), u"");
    EXPECT_EQ(list[0].ParentDeviceInst(), 0u);
    EXPECT_EQ(list[0].ParentDevicePnPName(), u"");
    EXPECT_EQ(list[0].VendorName(), u"NIC");
}

TEST_F(GetDevicesByGuidTest, UsbAdapterGetsUsbBusTypeAndPciAdapterIsNotQueried) {
    const DEVINST usb = m.AddAdapter(u"USB\\VID_0B95&PID_1790\\1", u"ASIX AX88179");
    m.sim.Device(usb).Interfaces.push_back(
        {GUID_DEVINTERFACE_USB_DEVICE, u"\\\\?\\usb#vid_0b95&pid_1790#1#{a5dcbf10}"});
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    TPhysicalDeviceList list;
    EnumerateNet(list);
    EXPECT_EQ(list[0].BusType(), BusTypeUsb);
    EXPECT_EQ(list[1].BusType(), 0u);
    EXPECT_TRUE(m.sim.OpenedFiles().empty());
}

// A search callback that notes what it was given.
class RecordingCallBack : public TSearchDevicesCallBack {
public:
    RecordingCallBack(std::u16string name, sim::TDeviceSimulator& sim, bool raise = false)
        : TSearchDevicesCallBack(std::move(name)), FSim(sim), FRaise(raise) {}
    void CallBackProc(TPhysicalDevice& device, HDEVINFO set, SP_DEVINFO_DATA data,
                      std::int32_t index) override {
        Calls.push_back({std::u16string(device.PnPName()), set, data.DevInst, index, FSim.OpenSetCount()});
        if (FRaise) {
            throw EGeneralError(u"callback failed");
        }
    }
    struct Call {
        std::u16string name;
        HDEVINFO set;
        DEVINST devInst;
        std::int32_t index;
        std::size_t openSets;
    };
    std::vector<Call> Calls;

private:
    sim::TDeviceSimulator& FSim;
    bool FRaise;
};

TEST_F(GetDevicesByGuidTest, CallbackGetsTheMatchingDeviceIgnoringCaseWhileTheSetIsOpen) {
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC 1");
    const DEVINST second = m.AddAdapter(u"PCI\\NIC\\2", u"NIC 2");
    RecordingCallBack callback(u"pci\\nic\\2", m.sim);
    TPhysicalDeviceList list;
    GetDevicesByGuid(m.sim, nullptr, TReadDetails::Yes, list, DIGCF_ALLCLASSES | DIGCF_PRESENT, &callback);
    ASSERT_EQ(callback.Calls.size(), 1u);
    EXPECT_EQ(callback.Calls[0].name, u"PCI\\NIC\\2");
    EXPECT_EQ(callback.Calls[0].devInst, second);
    EXPECT_EQ(callback.Calls[0].index, 3); // member index in the set: root, bus, NIC 1, NIC 2
    EXPECT_EQ(callback.Calls[0].openSets, 1u);
    EXPECT_EQ(list.Count(), 4u);
}

TEST_F(GetDevicesByGuidTest, CallbackErrorDestroysTheSetClosesMeasurementsAndKeepsRecords) {
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC 1");
    m.AddAdapter(u"PCI\\NIC\\2", u"NIC 2");
    RecordingCallBack callback(u"PCI\\NIC\\1", m.sim, true);
    TPhysicalDeviceList list;
    EXPECT_THROW(
        GetDevicesByGuid(m.sim, &GUID_DEVCLASS_NET, TReadDetails::Yes, list, DIGCF_PRESENT, &callback),
        EGeneralError);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(m.sim.OpenSetCount(), 0u);
    EXPECT_EQ(PerformanceRackman().FindMeasurement(u"GetDevicesByGuid.BuildDeviceTree"), nullptr);
    EXPECT_EQ(
        PerformanceRackman().FindMeasurement(u"GetDevicesByGuid.SetupDiDestroyDeviceInfoList")->CallCount(),
        1);
    EXPECT_EQ(PerformanceRackman().FindMeasurement(u"GetDevicesByGuid")->CallCount(), 1);
}

TEST(TSearchDevicesCallBack, EmptyNameIsAnAssertionFailure) {
    sim::TDeviceSimulator sim;
    try {
        RecordingCallBack callback(u"", sim);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), u"Assertion failure");
        EXPECT_EQ(e.UnitName(), u"DeviceInformationKt");
        EXPECT_EQ(e.Line(), 1873);
    }
}

TEST_F(GetDevicesByGuidTest, EveryStepIsMeasuredInsideTheEnumeration) {
    m.AddAdapter(u"PCI\\NIC\\1", u"NIC");
    TPhysicalDeviceList list;
    EnumerateNet(list);
    const std::pair<const char16_t*, int> expected[] = {
        {u"GetDevicesByGuid", 1},
        {u"GetDevicesByGuid.SetupDiGetClassDevs", 1},
        {u"GetDevicesByGuid.SetupDiEnumDeviceInfo", 2}, // the last, failing call included
        {u"GetDevicesByGuid.CM_Get_DevNode_Status", 1},
        {u"GetDevicesByGuid.GetCapabilities", 1},
        {u"GetDevicesByGuid.GetDeviceRegistryProperty", 6},
        {u"GetDevicesByGuid.GetDeviceRegistryPropertyDWORD", 1},
        {u"GetDevicesByGuid.CMGetParent", 1},
        {u"GetDevicesByGuid.GetDeviceIdEx", 1},
        {u"GetDevicesByGuid.SetupDiDestroyDeviceInfoList", 1},
        {u"GetDevicesByGuid.BuildDeviceTree", 1},
    };
    for (const auto& [path, calls] : expected) {
        const TMeasurement* measurement = PerformanceRackman().FindMeasurement(path);
        ASSERT_NE(measurement, nullptr) << ToUtf8(path);
        EXPECT_EQ(measurement->CallCount(), calls) << ToUtf8(path);
    }
    EXPECT_EQ(PerformanceRackman().Measurements().size(), std::size(expected));
}

class GetDeviceInformationTest : public GetDevicesByGuidTest {};

TEST_F(GetDeviceInformationTest, OpensThePathWithoutItsTrailingBackslashAndReadsTheBusType) {
    const DEVINST disk = m.sim.AddDevice(u"USBSTOR\\DISK\\1", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
    m.sim.Device(disk).Interfaces.push_back({GUID_DEVINTERFACE_DISK, u"\\\\?\\usbstor#disk#1"});
    m.sim.Device(disk).StorageBusType = BusTypeUsb;
    TDeviceInformation information;
    EXPECT_TRUE(GetDeviceInformation(m.sim, u"\\\\?\\usbstor#disk#1\\", information));
    EXPECT_EQ(information.BusType, BusTypeUsb);
    EXPECT_EQ(m.sim.OpenedFiles(), std::vector<std::u16string>{u"\\\\?\\usbstor#disk#1"});

    m.sim.SetFault(SimCall::DeviceIoControl, ERROR_INVALID_PARAMETER);
    TDeviceInformation failed;
    EXPECT_FALSE(GetDeviceInformation(m.sim, u"\\\\?\\usbstor#disk#1", failed));
    EXPECT_EQ(failed.BusType, 0u);
    EXPECT_FALSE(GetDeviceInformation(m.sim, u"\\\\?\\nothing", failed));
}

} // namespace
} // namespace tarnwick
