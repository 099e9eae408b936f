#include "netcore/NetCore.h"

#include <gtest/gtest.h>

#include "fixtures/SimulatedMachine.h"
#include "core/Errors.h"
#include "device/DeviceInformationKt.h"

namespace tarnwick {
namespace {

using testing::SimulatedMachine;

class NetCoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(m.sim.OpenSetCount(), 0u);
        FinalizeDeviceInformationKt();
    }
    std::vector<std::uint32_t> Problems(std::initializer_list<DEVINST> devices) {
        std::vector<std::uint32_t> problems;
        for (DEVINST d : devices) {
            problems.push_back(m.sim.Device(d).Problem);
        }
        return problems;
    }
    SimulatedMachine m;
};

TEST_F(NetCoreTest, NoAdaptersOrOnlyHiddenOnesMeanOffAndNothingToSwitch) {
    EXPECT_FALSE(IsInternetActive(m.sim));
    TurnOffInternet(m.sim);
    TurnOnInternet(m.sim);
    const DEVINST hidden = m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    EXPECT_FALSE(IsInternetActive(m.sim));
    TurnOffInternet(m.sim);
    TurnOnInternet(m.sim);
    EXPECT_TRUE(m.sim.Changes().empty());
    EXPECT_EQ(m.sim.Device(hidden).Problem, 0u);
}

TEST_F(NetCoreTest, AdaptersAreIndependentCopiesInEnumerationOrderWithoutHiddenOnes) {
    m.AddAdapter(u"PCI\\NIC\\1", u"First");
    m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    m.AddAdapter(u"PCI\\NIC\\2", u"Second");
    const TPhysicalDeviceList adapters = GetNetAdapters(m.sim);
    ASSERT_EQ(adapters.Count(), 2u);
    EXPECT_EQ(adapters[0].PnPName(), u"PCI\\NIC\\1");
    EXPECT_EQ(adapters[1].PnPName(), u"PCI\\NIC\\2");
    EXPECT_EQ(adapters[1].VendorName(), u"Second"); // readable after the enumeration's list is gone
}

TEST_F(NetCoreTest, OneEnabledAmongDisabledIsOnAndTurningOffCallsTheInstallerForAll) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"A");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"B");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"C");
    m.sim.Disable(a);
    m.sim.Disable(c);
    EXPECT_TRUE(IsInternetActive(m.sim));
    TurnOffInternet(m.sim);
    EXPECT_FALSE(IsInternetActive(m.sim));
    EXPECT_EQ(Problems({a, b, c}), (std::vector<std::uint32_t>{22, 22, 22}));
    ASSERT_EQ(m.sim.Changes().size(), 3u);
    EXPECT_EQ(m.sim.Changes()[0].DevInst, a);
    EXPECT_EQ(m.sim.Changes()[2].DevInst, c);
    TurnOnInternet(m.sim);
    EXPECT_TRUE(IsInternetActive(m.sim));
    EXPECT_EQ(Problems({a, b, c}), (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST_F(NetCoreTest, AdapterThatFailedToStartCountsAsOffButIsStillSwitched) {
    const DEVINST failed = m.AddAdapter(u"PCI\\NIC\\1", u"Broken driver");
    m.sim.Device(failed).Problem = CM_PROB_FAILED_START;
    m.sim.Device(failed).Status |= DN_HAS_PROBLEM;
    EXPECT_FALSE(IsInternetActive(m.sim));
    TurnOnInternet(m.sim);
    ASSERT_EQ(m.sim.Changes().size(), 1u);
    EXPECT_EQ(m.sim.Changes()[0].StateChange, DICS_ENABLE);
}

TEST_F(NetCoreTest, HiddenAdapterKeepsItsStateThroughBothSwitches) {
    m.AddAdapter(u"PCI\\NIC\\1", u"Visible");
    const DEVINST hidden = m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    TurnOffInternet(m.sim);
    EXPECT_EQ(m.sim.Device(hidden).Problem, 0u);
    m.sim.Disable(hidden);
    TurnOnInternet(m.sim);
    EXPECT_EQ(m.sim.Device(hidden).Problem, CM_PROB_DISABLED);
}

TEST_F(NetCoreTest, FailureOfTheSecondOfThreeStopsThereAndReachesTheCaller) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"A");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"B");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"C");
    m.sim.Device(b).RefuseChangeError = ERROR_ACCESS_DENIED;
    try {
        TurnOffInternet(m.sim);
        FAIL() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), u"Os Error: 5 (Access is denied)");
        EXPECT_EQ(e.ErrorCode(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(Problems({a, b, c}), (std::vector<std::uint32_t>{22, 0, 0}));
}

} // namespace
} // namespace tarnwick
