#include "netcore/NetCore.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "device/DeviceInformationKt.h"
#include "fixtures/RecordingLog.h"
#include "fixtures/SimulatedMachine.h"
#include "netcore/NetAdapterWalk.h"

namespace tarnwick {
namespace {

using testing::SimulatedMachine;

constexpr std::uint32_t CM_PROB_FAILED_INSTALL = 28; // no driver

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
    bool Logged(std::u16string_view text) const {
        for (const auto& line : log.Lines) {
            if (line.find(text) != std::u16string::npos) {
                return true;
            }
        }
        return false;
    }
    SimulatedMachine m;
    testing::RecordingLog log;
};

TEST_F(NetCoreTest, AdaptersAreIndependentCopiesInEnumerationOrderWithoutHiddenOnes) {
    m.AddAdapter(u"PCI\\NIC\\1", u"First");
    m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
    m.AddAdapter(u"PCI\\NIC\\2", u"Second");
    const TPhysicalDeviceList adapters = GetNetAdapters(m.sim);
    ASSERT_EQ(adapters.Count(), 2u);
    EXPECT_EQ(adapters[0].PnPName(), u"PCI\\NIC\\1");
    EXPECT_EQ(adapters[1].PnPName(), u"PCI\\NIC\\2");
    EXPECT_EQ(adapters[1].VendorName(), u"Second"); // readable after the enumeration's set is gone
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

TEST_F(NetCoreTest, ASwitchWalksTheNetworkClassOnceAndChangesTheAdaptersInThatSet) {
    for (int i = 0; i < 4; ++i) {
        m.AddAdapter(u"PCI\\NIC\\" + std::u16string(1, char16_t(u'1' + i)), u"Adapter");
    }
    m.sim.AddDevice(u"SCSI\\DISK\\1", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
    TurnOffInternet(m.sim);
    EXPECT_EQ(m.sim.ClassDevsFlags(), (std::vector<std::uint32_t>{DIGCF_PRESENT}));
    EXPECT_EQ(m.sim.CallCount(sim::SimCall::GetClassDevs), 1u);
    EXPECT_EQ(m.sim.CallCount(sim::SimCall::EnumDeviceInfo), 5u) << "4 adapters and the end of the list";
    EXPECT_EQ(m.sim.CallCount(sim::SimCall::CallClassInstaller), 4u);
}

TEST_F(NetCoreTest, AListThatCannotBeMadeIsAnErrorEverywhereNotAnEmptyMachine) {
    m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    m.sim.SetFault(sim::SimCall::GetClassDevs, ERROR_ACCESS_DENIED);
    const std::u16string why =
        u"The network adapters cannot be listed: Windows error 0x00000005 (Access is denied)";
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { TurnOffInternet(m.sim); }, [&] { TurnOnInternet(m.sim); }, [&] { InternetState(m.sim); },
             [&] { GetNetAdapters(m.sim); }}) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const EAdapterListFailed& e) {
            EXPECT_EQ(e.Message(), why);
            EXPECT_EQ(e.ErrorCode(), ERROR_ACCESS_DENIED);
        }
    }
    EXPECT_TRUE(Logged(why)) << "the switch logs it";
}

TEST_F(NetCoreTest, NoAdapterToSwitchIsSaidInWordsNotReadAsOffOrDone) {
    struct Case {
        const char* Title;
        std::function<void(SimulatedMachine&)> Build;
        TKeepList Keep;
        std::u16string Text;
    };
    const Case cases[] = {
        {"an empty machine", [](SimulatedMachine&) {}, {}, u"Device Manager shows none that is not kept."},
        {"only a hidden adapter",
         [](SimulatedMachine& s) { s.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP"); },
         {},
         u"Device Manager shows none that is not kept."},
        {"every adapter kept", [](SimulatedMachine& s) { s.AddAdapter(u"PCI\\NIC\\1", u"Wired"); },
         TKeepList({u"*"}), u"Device Manager shows none that is not kept."},
        {"none Windows lets be disabled",
         [](SimulatedMachine& s) {
             const DEVINST d = s.AddAdapter(u"PCI\\NIC\\1", u"Onboard");
             s.sim.Device(d).Status &= ~DN_DISABLEABLE;
         },
         {},
         u"Windows does not let Onboard be disabled."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SimulatedMachine machine;
        c.Build(machine);
        EXPECT_EQ(InternetState(machine.sim, c.Keep), TInternetState::NoAdapter);
        const TSwitchReport off = TurnOffInternet(machine.sim, c.Keep);
        EXPECT_TRUE(off.NothingToSwitch());
        EXPECT_EQ(NoAdapterText(off), u"No network adapter could be turned off: " + c.Text);
        EXPECT_TRUE(TurnOnInternet(machine.sim, c.Keep).NothingToSwitch());
        EXPECT_TRUE(machine.sim.Changes().empty());
    }
}

TEST_F(NetCoreTest, AnAdapterWindowsWillNotDisableIsLeftAndTheStateDoesNotDependOnIt) {
    const DEVINST onboard = m.AddAdapter(u"PCI\\NIC\\1", u"Onboard");
    m.sim.Device(onboard).Status &= ~DN_DISABLEABLE;
    const DEVINST wifi = m.AddAdapter(u"PCI\\NIC\\2", u"Wi-Fi");
    const TSwitchReport off = TurnOffInternet(m.sim);
    EXPECT_TRUE(off.AllSucceeded());
    ASSERT_EQ(off.Adapters.size(), 1u);
    EXPECT_EQ(off.Left, (std::vector<std::u16string>{u"Onboard"}));
    EXPECT_EQ(CountText(off), u"1 of 1 adapter is now off");
    EXPECT_EQ(Problems({onboard, wifi}), (std::vector<std::uint32_t>{0, 22}));
    EXPECT_EQ(InternetState(m.sim), TInternetState::Off) << "the one left on does not count";
    EXPECT_TRUE(
        Logged(u"Adapter \"Onboard\" (PCI\\NIC\\1): left as it is: Windows does not let it be disabled"));
    EXPECT_TRUE(GetNetAdapters(m.sim)[0].PnPName() == u"PCI\\NIC\\1" &&
                !GetNetAdapters(m.sim)[0].DN_DISABLEABLE_Flag());
}

TEST_F(NetCoreTest, AnAdapterDisabledForTheProfileOnlyIsTurnedOnAsDevconDoes) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Profile");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"Both");
    m.sim.DisableInProfile(a);
    m.sim.DisableInProfile(b);
    m.sim.Disable(b);
    const TSwitchReport on = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({a, b}), (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(CountText(on), u"2 of 2 adapters are now on");
    EXPECT_TRUE(on.AllSucceeded());
}

TEST_F(NetCoreTest, SuccessIsTheStateReadBackNotTheInstallersAnswer) {
    const DEVINST wired = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    const DEVINST wifi = m.AddAdapter(u"PCI\\NIC\\2", u"Wireless");
    const DEVINST driverless = m.AddAdapter(u"PCI\\NIC\\3", u"No driver");
    m.sim.Device(wifi).RequestReboot = true;
    m.sim.Device(driverless).Problem = CM_PROB_FAILED_INSTALL;
    m.sim.Device(driverless).Status |= DN_HAS_PROBLEM;

    const TSwitchReport off = TurnOffInternet(m.sim);
    EXPECT_EQ(Problems({wired, wifi}), (std::vector<std::uint32_t>{22, 0})) << "the restart is awaited";
    EXPECT_EQ(off.Adapters[1].Outcome, TAdapterOutcome::RestartPending);
    EXPECT_TRUE(off.AllSucceeded());
    EXPECT_TRUE(off.AnyNeedsRestart());
    EXPECT_EQ(RestartText(off), u"Wireless is turned off only after Windows restarts.");
    EXPECT_EQ(CountText(off), u"2 of 3 adapters are now off") << "the driverless one is off already";
    EXPECT_TRUE(Logged(u"Adapter \"Wireless\" (PCI\\NIC\\2): turned off once Windows restarts"));

    m.sim.Device(wifi).RequestReboot = false;
    const TSwitchReport on = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({wired, wifi, driverless}), (std::vector<std::uint32_t>{0, 0, 28}));
    ASSERT_EQ(on.Adapters.size(), 3u);
    EXPECT_EQ(on.Adapters[2].Outcome, TAdapterOutcome::Failed);
    EXPECT_EQ(on.Adapters[2].Reason, u"Windows took the change, but the adapter is still off (problem 28).");
    EXPECT_FALSE(on.AllSucceeded());
    EXPECT_EQ(CountText(on), u"2 of 3 adapters are now on");
}

TEST_F(NetCoreTest, AnAdapterWithAReadThatFailsIsStillTriedAndNamed) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Unreadable ID");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"Unreadable state");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"Fine");
    m.sim.SetFault(sim::SimCall::GetDeviceInstanceId, 0xE000020B, a);
    const TSwitchReport off = TurnOffInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c}), (std::vector<std::uint32_t>{22, 22, 22}));
    EXPECT_EQ(off.Adapters[0].Name, u"Unreadable ID");
    EXPECT_EQ(CountText(off), u"3 of 3 adapters are now off");

    m.sim.ClearFaults();
    m.sim.SetFault(sim::SimCall::GetDevNodeStatus, ERROR_ACCESS_DENIED, b);
    const TSwitchReport on = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c}), (std::vector<std::uint32_t>{0, 0, 0})) << "every adapter was tried";
    ASSERT_EQ(on.Adapters.size(), 3u) << "never taken for a phantom";
    EXPECT_EQ(on.Adapters[1].Outcome, TAdapterOutcome::Failed);
    EXPECT_EQ(on.Adapters[1].Reason, u"Its state cannot be read: Configuration manager error: 0x00000005 "
                                     u"(CR_INVALID_DEVNODE: the device node handle is not valid)");
    EXPECT_EQ(CountText(on), u"2 of 3 adapters are now on");
}

TEST_F(NetCoreTest, AChildAdapterGoesWithItsParentAndComesBackWithIt) {
    // A Wi-Fi card with the virtual adapter Windows hangs below it; the child is listed first or last.
    for (const bool childFirst : {true, false}) {
        SCOPED_TRACE(childFirst ? "child first" : "parent first");
        SimulatedMachine s;
        DEVINST parent = 0, child = 0;
        if (childFirst) {
            // The child is listed first: its parent is added after it and linked afterwards.
            child = s.AddAdapter(u"SWD\\WIFIDIRECT\\1", u"Wi-Fi Direct Virtual Adapter");
            parent = s.AddAdapter(u"PCI\\WIFI\\1", u"Wireless");
            s.sim.Device(child).Parent = parent;
        } else {
            parent = s.AddAdapter(u"PCI\\WIFI\\1", u"Wireless");
            child = s.AddAdapter(u"SWD\\WIFIDIRECT\\1", u"Wi-Fi Direct Virtual Adapter", parent);
        }
        const TSwitchReport off = TurnOffInternet(s.sim);
        EXPECT_EQ(CountText(off), u"2 of 2 adapters are now off");
        EXPECT_TRUE(off.AllSucceeded());
        EXPECT_FALSE(s.sim.IsPresent(s.sim.Device(child)));
        EXPECT_EQ(InternetState(s.sim), TInternetState::Off);

        const TSwitchReport on = TurnOnInternet(s.sim);
        EXPECT_EQ(CountText(on), u"2 of 2 adapters are now on");
        EXPECT_EQ(s.sim.Device(child).Problem, 0u);
        EXPECT_EQ(s.sim.Device(parent).Problem, 0u);
        EXPECT_EQ(s.sim.OpenSetCount(), 0u);
        FinalizeDeviceInformationKt();
    }
}

TEST_F(NetCoreTest, ARefusingAdapterDoesNotStopTheOthersAndEachReasonReadsInWords) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    const DEVINST b = m.AddAdapter(u"PCI\\NIC\\2", u"Wireless");
    const DEVINST c = m.AddAdapter(u"PCI\\NIC\\3", u"Dock");
    const DEVINST d = m.AddAdapter(u"PCI\\NIC\\4", u"Phone");
    m.sim.Device(b).RefuseChangeError = ERROR_ACCESS_DENIED;
    m.sim.Device(c).RefuseChangeError = ERROR_IN_WOW64; // not in the system's table: from ours

    const TSwitchReport off = TurnOffInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c, d}), (std::vector<std::uint32_t>{22, 0, 0, 22}));
    EXPECT_FALSE(off.AllSucceeded());
    ASSERT_EQ(off.Adapters.size(), 4u);
    EXPECT_EQ(off.Adapters[1].ErrorCode, ERROR_ACCESS_DENIED);
    EXPECT_EQ(SwitchFailureText(off),
              u"Not every network adapter could be turned off:\r\n"
              u"\r\n"
              u"Wireless: Windows error 0x00000005 (Access is denied)\r\n"
              u"Dock: Windows error 0xE0000235 (This operation cannot be carried out by a "
              u"32-bit program on 64-bit Windows)\r\n"
              u"\r\n"
              u"2 of 4 adapters are now off.");
    EXPECT_TRUE(Logged(
        u"Adapter \"Wireless\" (PCI\\NIC\\2): not turned off: Windows error 0x00000005 (Access is denied)"));

    // The way back on is as honest: the refusing adapters were on all along, so all four are on.
    const TSwitchReport on = TurnOnInternet(m.sim);
    EXPECT_EQ(Problems({a, b, c, d}), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(CountText(on), u"4 of 4 adapters are now on");
    EXPECT_TRUE(on.AllSucceeded());
}

TEST_F(NetCoreTest, AChangeWhoseParametersCannotBeReadCountsByItsState) {
    const DEVINST a = m.AddAdapter(u"PCI\\NIC\\1", u"Wired");
    m.sim.Device(a).FailInstallParams = true;
    const TSwitchReport one = TurnOffInternet(m.sim);
    EXPECT_TRUE(one.AllSucceeded()) << "the class installer did switch it";
    EXPECT_EQ(CountText(one), u"1 of 1 adapter is now off");
    EXPECT_EQ(AdapterLogLine(one.Adapters[0], false),
              u"Adapter \"Wired\" (PCI\\NIC\\1): turned off (Cannot get device install params! Windows error "
              u"0x0000000D (The data is invalid))");
}

} // namespace
} // namespace tarnwick
