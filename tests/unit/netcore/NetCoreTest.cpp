#include "netcore/NetCore.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/SimulatedMachine.h"

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

TEST_F(NetCoreTest, ARefusingAdapterDoesNotStopTheOthersAndTheReportNamesItWithTheSystemsReason) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"Wireless");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"Dock");
    const DEVINST d = m.AddAdapter(u"PCI\\NIC\\4", u"Phone");
    m.sim.Device(b).RefuseChangeError = ERROR_ACCESS_DENIED;

    const TSwitchReport off = TurnOffInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c, d}), (std::vector<std::uint32_t>{22, 0, 22, 22}));
    EXPECT_FALSE(off.TurnOn);
    EXPECT_FALSE(off.AllSucceeded());
    ASSERT_EQ(off.Adapters.size(), 4u);
    const TAdapterSwitchResult& refused = off.Adapters[1];
    EXPECT_EQ(refused.Name, u"Wireless");
    EXPECT_EQ(refused.Outcome, TAdapterOutcome::Failed);
    EXPECT_EQ(refused.Reason, u"Os Error: 5 (Access is denied)");
    EXPECT_EQ(refused.ErrorCode, ERROR_ACCESS_DENIED);
    EXPECT_EQ(off.CountInWantedState(), 3u);
    EXPECT_EQ(SwitchFailureText(off), u"Not every network adapter could be turned off:\r\n"
                                      u"\r\n"
                                      u"Wireless: Os Error: 5 (Access is denied)\r\n"
                                      u"\r\n"
                                      u"3 of 4 adapters are now off.");

    // The way back on is as honest: the refusing adapter was on all along, so all four are on.
    const TSwitchReport on = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c, d}), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(CountText(on), u"4 of 4 adapters are now on");
}

TEST_F(NetCoreTest, EveryAdapterFailingIsToldAsSuchWithEachReason) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"");
    m.sim.SetText(b, SPDRP_FRIENDLYNAME, u"");
    m.sim.SetText(b, SPDRP_DEVICEDESC, u"Intel(R) Wi-Fi 6 AX201");
    m.sim.Disable(a);
    m.sim.Disable(b);
    m.sim.Device(a).RefuseChangeError = ERROR_ACCESS_DENIED;
    m.sim.Device(b).RefuseChangeError = ERROR_NOT_FOUND;

    const TSwitchReport report = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({a, b}), (std::vector<std::uint32_t>{22, 22}));
    EXPECT_EQ(SwitchFailureText(report), u"Not every network adapter could be turned on:\r\n"
                                         u"\r\n"
                                         u"Wired: Os Error: 5 (Access is denied)\r\n"
                                         u"Intel(R) Wi-Fi 6 AX201: Os Error: 1168 (Element not found)\r\n"
                                         u"\r\n"
                                         u"0 of 2 adapters are now on.");
}

TEST_F(NetCoreTest, AnAdapterThatWaitsForARestartIsNamed) {
    m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"Wireless");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"Dock");
    m.sim.Device(b).RequestReboot = true;
    m.sim.Device(c).RefuseChangeError = ERROR_ACCESS_DENIED;

    const TSwitchReport report = TurnOffInternet(m.sim);
    EXPECT_TRUE(report.Adapters[1].NeedsRestart);
    EXPECT_EQ(report.Adapters[1].Outcome, TAdapterOutcome::Switched);
    EXPECT_FALSE(report.Adapters[0].NeedsRestart);
    EXPECT_EQ(RestartText(report), u"Wireless is turned off only after Windows restarts.");
    EXPECT_EQ(SwitchFailureText(report), u"Not every network adapter could be turned off:\r\n"
                                         u"\r\n"
                                         u"Dock: Os Error: 5 (Access is denied)\r\n"
                                         u"\r\n"
                                         u"Wireless is turned off only after Windows restarts.\r\n"
                                         u"\r\n"
                                         u"2 of 3 adapters are now off.");
}

TEST_F(NetCoreTest, TheCountAgreesInNumberAndAChangeWhoseParametersCannotBeReadStillCounts) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    m.sim.Device(a).FailInstallParams = true;
    const TSwitchReport one = TurnOffInternet(m.sim);
    EXPECT_TRUE(one.AllSucceeded()) << "the class installer did switch it";
    EXPECT_EQ(CountText(one), u"1 of 1 adapter is now off");
    EXPECT_EQ(
        AdapterLogLine(one.Adapters[0], false),
        u"Adapter \"Wired\" (PCI\\NIC\\1): turned off (Cannot get device install params! Last Os Error: 13 "
        u"- The data is invalid)");
    m.AddAdapter(u"PCI\\NIC\\2", u"Wireless");
    m.sim.Device(a).RefuseChangeError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(CountText(TurnOnInternet(m.sim)), u"1 of 2 adapters is now on");
}

} // namespace
} // namespace tarnwick
