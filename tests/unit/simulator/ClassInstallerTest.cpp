// The simulator's class installer answers no more kindly than Windows does: each row names the
// behaviour and, beside the simulator's code, the authority it follows.

#include <gtest/gtest.h>

#include <functional>

#include "fixtures/SimulatedMachine.h"
#include "simulator/MachineFile.h"

namespace tarnwick::sim {
namespace {

struct TAnswer {
    bool Done = false;
    std::uint32_t Error = 0;
    std::uint32_t InstallFlags = 0;
};

// One DIF_PROPERTYCHANGE for a device, in a set of every present device made before Prepare runs.
TAnswer Change(TDeviceSimulator& sim, DEVINST device, std::uint32_t stateChange, std::uint32_t scope,
               const std::function<void()>& prepare = {}) {
    const HDEVINFO set = sim.SetupDiGetClassDevsW(nullptr, nullptr, 0, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    bool found = false;
    for (std::uint32_t i = 0; !found && sim.SetupDiEnumDeviceInfo(set, i, data); ++i) {
        found = data.DevInst == device;
    }
    EXPECT_TRUE(found);
    if (prepare) {
        prepare();
    }
    SP_PROPCHANGE_PARAMS params{{sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE}, stateChange, scope, 0};
    EXPECT_TRUE(sim.SetupDiSetClassInstallParamsW(set, &data, &params.ClassInstallHeader, sizeof params));
    TAnswer answer;
    answer.Done = sim.SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &data);
    answer.Error = answer.Done ? 0 : sim.GetLastError();
    SP_DEVINSTALL_PARAMS_W installParams{};
    installParams.cbSize = sizeof installParams;
    if (sim.SetupDiGetDeviceInstallParamsW(set, &data, installParams)) {
        answer.InstallFlags = installParams.Flags;
    }
    sim.SetupDiDestroyDeviceInfoList(set);
    return answer;
}

class ClassInstallerTest : public ::testing::Test {
protected:
    testing::SimulatedMachine m;
    DEVINST nic = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
};

TEST_F(ClassInstallerTest, GlobalAndProfileDisablesAreKeptApart) {
    // devcon (setup/devcon, cmds.cpp, ControlCallback): a global enable leaves a disable for the
    // current profile in force, which is why devcon enables globally and then for the profile.
    m.sim.DisableInProfile(nic);
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, CM_PROB_DISABLED) << "a global enable answered success, no more";
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, 0u);

    EXPECT_TRUE(Change(m.sim, nic, DICS_DISABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, CM_PROB_DISABLED) << "the global disable is still there";
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, 0u);

    m.sim.DisableInProfile(nic);
    TDeviceSimulator loaded;
    LoadMachine(loaded, SaveMachine(m.sim));
    EXPECT_TRUE(loaded.Device(nic).DisabledInProfile) << "the machine file keeps the scope";
    EXPECT_FALSE(loaded.Device(nic).DisabledGlobally);
}

TEST_F(ClassInstallerTest, AChangeThatWaitsForARestartLeavesTheDeviceAsItWas) {
    m.sim.Device(nic).RequestReboot = true;
    const TAnswer answer = Change(m.sim, nic, DICS_DISABLE, DICS_FLAG_GLOBAL);
    EXPECT_TRUE(answer.Done);
    EXPECT_EQ(answer.InstallFlags & DI_NEEDREBOOT, DI_NEEDREBOOT);
    EXPECT_EQ(m.sim.Device(nic).Problem, 0u);
    EXPECT_NE(m.sim.Device(nic).Status & DN_STARTED, 0u) << "running until Windows restarts";
}

TEST_F(ClassInstallerTest, EnablingClearsOnlyADisableNeverAnotherProblem) {
    m.sim.Device(nic).Problem = 28; // no driver installed
    m.sim.Device(nic).Status |= DN_HAS_PROBLEM;
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, 28u);
    EXPECT_TRUE(Change(m.sim, nic, DICS_DISABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, CM_PROB_DISABLED);
    EXPECT_TRUE(Change(m.sim, nic, DICS_ENABLE, DICS_FLAG_GLOBAL).Done);
    EXPECT_EQ(m.sim.Device(nic).Problem, 28u) << "enabling installs no driver";
}

TEST_F(ClassInstallerTest, ADeviceWithoutDisableableRefusesADisable) {
    m.sim.Device(nic).Status &= ~DN_DISABLEABLE;
    const TAnswer answer = Change(m.sim, nic, DICS_DISABLE, DICS_FLAG_GLOBAL);
    EXPECT_FALSE(answer.Done);
    EXPECT_EQ(answer.Error, ERROR_NOT_DISABLEABLE);
    EXPECT_EQ(m.sim.Device(nic).Problem, 0u);
}

TEST_F(ClassInstallerTest, TheChildrenOfADisabledDeviceAreNotPresentUntilItIsEnabled) {
    const DEVINST child = m.AddAdapter(u"SWD\\WIFIDIRECT\\1", u"Virtual", nic);
    const DEVINST grandchild = m.sim.AddDevice(u"SWD\\BELOW\\1", GUID_DEVCLASS_NET, child);
    // The child is in the set, made before its parent goes: a device removed while a set holds it
    // answers ERROR_NO_SUCH_DEVINST (Wine's dlls/setupapi/tests/devinst.c, test_device_info).
    const TAnswer answer = Change(m.sim, child, DICS_DISABLE, DICS_FLAG_GLOBAL, [&] { m.sim.Disable(nic); });
    EXPECT_FALSE(answer.Done);
    EXPECT_EQ(answer.Error, ERROR_NO_SUCH_DEVINST);
    std::uint32_t status = 0, problem = 0;
    EXPECT_EQ(m.sim.CM_Get_DevNode_Status(&status, &problem, grandchild, 0), CR_NO_SUCH_DEVINST);
    const HDEVINFO present = m.sim.SetupDiGetClassDevsW(&GUID_DEVCLASS_NET, nullptr, 0, DIGCF_PRESENT);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    EXPECT_TRUE(m.sim.SetupDiEnumDeviceInfo(present, 0, data));
    EXPECT_FALSE(m.sim.SetupDiEnumDeviceInfo(present, 1, data)) << "only the disabled parent is present";
    m.sim.SetupDiDestroyDeviceInfoList(present);

    m.sim.Enable(nic);
    EXPECT_EQ(m.sim.CM_Get_DevNode_Status(&status, &problem, grandchild, 0), CR_SUCCESS);
}

TEST_F(ClassInstallerTest, AMachineFileWithProblem22AloneIsDisabledGlobally) {
    TDeviceSimulator loaded;
    LoadMachine(loaded, "device PCI\\NIC\\1\n  status 0x2402\n  problem 22\n"
                        "device PCI\\NIC\\2\n  status 0x2402\n  problem 22\n  disabled-profile\n");
    EXPECT_TRUE(loaded.Device(1).DisabledGlobally);
    EXPECT_FALSE(loaded.Device(2).DisabledGlobally);
    EXPECT_TRUE(loaded.Device(2).DisabledInProfile);
}

} // namespace
} // namespace tarnwick::sim
