#include "simulator/MachineFile.h"

#include <gtest/gtest.h>

#include "fixtures/SimulatedMachine.h"

namespace tarnwick::sim {
namespace {

TEST(MachineFile, RoundTripsEveryKindOfEntry) {
    testing::SimulatedMachine m;
    const DEVINST nic = m.AddAdapter(u"PCI\\VEN_8086&DEV_10D3\\3&1", u"Intel® 82574L");
    m.sim.SetMultiText(nic, SPDRP_HARDWAREID,
                       {u"PCI\\VEN_8086&DEV_10D3&SUBSYS_0", u"PCI\\VEN_8086&DEV_10D3"});
    m.sim.SetDword(nic, SPDRP_CAPABILITIES, 0x84);
    m.sim.Disable(nic);
    m.sim.Device(nic).RefuseChangeError = 5;
    m.sim.Device(nic).RequestReboot = true;
    const DEVINST hidden = m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    m.sim.Device(hidden).Present = false;
    m.sim.Device(hidden).FailInstallParams = true;
    m.sim.Device(hidden).Interfaces.push_back({GUID_DEVINTERFACE_DISK, u"\\\\?\\scsi#disk#1"});
    m.sim.Device(hidden).StorageBusType = 7;
    m.sim.SetFault(SimCall::SetClassInstallParams, 1168, nic);

    const std::string text = SaveMachine(m.sim);
    TDeviceSimulator loaded;
    LoadMachine(loaded, text);
    EXPECT_EQ(SaveMachine(loaded), text);
    ASSERT_EQ(loaded.Devices().size(), m.sim.Devices().size());
    const SimDevice& d = loaded.Device(nic);
    EXPECT_EQ(d.InstanceId, u"PCI\\VEN_8086&DEV_10D3\\3&1");
    EXPECT_EQ(d.ClassGuid, GUID_DEVCLASS_NET);
    EXPECT_EQ(d.Parent, m.pci);
    EXPECT_EQ(d.Problem, CM_PROB_DISABLED);
    EXPECT_EQ(d.Properties[SPDRP_FRIENDLYNAME].Bytes, m.sim.Device(nic).Properties[SPDRP_FRIENDLYNAME].Bytes);
    EXPECT_EQ(d.Properties[SPDRP_HARDWAREID].Bytes, m.sim.Device(nic).Properties[SPDRP_HARDWAREID].Bytes);
    EXPECT_EQ(loaded.Fault(SimCall::SetClassInstallParams).OnlyFor, nic);
    EXPECT_FALSE(loaded.Device(hidden).Present);
    EXPECT_EQ(loaded.Device(hidden).Interfaces.size(), 1u);
    EXPECT_NE(text.find("device PCI\\VEN_8086&DEV_10D3\\3&1\n"), std::string::npos);
    EXPECT_NE(text.find("  text 12 Intel® 82574L\n"), std::string::npos);
}

TEST(MachineFile, MalformedEntriesNameTheirLine) {
    const char* cases[] = {
        "status 1\n",                        // outside a device
        "device A\n  colour blue\n",         // unknown entry
        "device A\n  problem many\n",        // not a number
        "device A\n  class {not-a-guid}\n",  // bad GUID
        "device A\nfault Reboot 5\n",        // unknown call
        "device A\n  parent B\n",            // unknown parent
        "device A\n  text 99 far too far\n", // no such property
    };
    for (const char* text : cases) {
        TDeviceSimulator simulator;
        EXPECT_THROW(LoadMachine(simulator, text), std::runtime_error) << text;
    }
}

} // namespace
} // namespace tarnwick::sim
