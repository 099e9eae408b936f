#include "device/DeviceControl.h"

#include <gtest/gtest.h>

#include "core/Errors.h"
#include "fixtures/RecordingLog.h"
#include "fixtures/SimulatedMachine.h"

namespace tarnwick {
namespace {

using sim::SimCall;
using testing::RecordingLog;
using testing::SimulatedMachine;

class ControlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        nic = m.AddAdapter(u"PCI\\VEN_8086&DEV_10D3\\3&1", u"Intel NIC");
        other = m.AddAdapter(u"PCI\\VEN_10EC&DEV_8168\\4&2", u"Realtek NIC");
    }
    void TearDown() override {
        EXPECT_EQ(m.sim.OpenSetCount(), 0u);
        FinalizeDeviceInformationKt();
    }
    std::u16string ErrorOf(const std::u16string& name, TControlDeviceAction action) {
        try {
            ControlDevice(m.sim, name, action);
        } catch (const EGeneralError& e) {
            return e.Message();
        }
        return u"<no error>";
    }
    // Some log line holds the text.
    bool Logged(std::u16string_view text) const {
        for (const auto& line : log.Lines) {
            if (line.find(text) != std::u16string::npos) {
                return true;
            }
        }
        return false;
    }
    SimulatedMachine m;
    DEVINST nic = 0;
    DEVINST other = 0;
    RecordingLog log;
};

TEST_F(ControlDeviceTest, DisablesAndEnablesTheNamedDeviceIgnoringCase) {
    auto disabled = ControlDevice(m.sim, u"pci\\ven_8086&dev_10d3\\3&1", cdaDisable);
    EXPECT_TRUE(disabled->Result());
    EXPECT_FALSE(disabled->ResultIsRebootRequired());
    EXPECT_EQ(m.sim.Device(nic).Problem, CM_PROB_DISABLED);
    EXPECT_EQ(m.sim.Device(other).Problem, 0u);

    auto enabled = ControlDevice(m.sim, u"PCI\\VEN_8086&DEV_10D3\\3&1", cdaEnable);
    EXPECT_TRUE(enabled->Result());
    EXPECT_EQ(m.sim.Device(nic).Problem, 0u);
    EXPECT_EQ(m.sim.Changes().size(), 2u);
    EXPECT_EQ(m.sim.ClassDevsFlags(),
              (std::vector<std::uint32_t>{DIGCF_ALLCLASSES | DIGCF_PRESENT, DIGCF_ALLCLASSES}));
}

// The log keeps the class installer's answer: the code the platform left after the call, and its text.
TEST_F(ControlDeviceTest, LogKeepsTheClassInstallersAnswer) {
    ControlDevice(m.sim, u"PCI\\VEN_8086&DEV_10D3\\3&1", cdaDisable);
    EXPECT_TRUE(Logged(
        u"SetupDiCallClassInstaller finished, Windows error 0 (The operation completed successfully)"));

    log.Lines.clear();
    m.sim.Device(other).RefuseChangeError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(ErrorOf(u"PCI\\VEN_10EC&DEV_8168\\4&2", cdaDisable), u"Windows error 5 (Access is denied)");
    EXPECT_TRUE(Logged(u"SetupDiCallClassInstaller finished, Windows error 5 (Access is denied)"));
    EXPECT_FALSE(Logged(u"Windows error 0"));
}

TEST_F(ControlDeviceTest, RestartSendsPropertyChangeOverPresentDevicesOnly) {
    auto restarted = ControlDevice(m.sim, u"PCI\\VEN_10EC&DEV_8168\\4&2", cdaRestart);
    EXPECT_TRUE(restarted->Result());
    EXPECT_EQ(m.sim.Device(other).RestartCount, 1u);
    ASSERT_EQ(m.sim.Changes().size(), 1u);
    EXPECT_EQ(m.sim.Changes()[0].StateChange, DICS_PROPCHANGE);
    EXPECT_EQ(m.sim.ClassDevsFlags().back(), DIGCF_ALLCLASSES | DIGCF_PRESENT);
}

TEST_F(ControlDeviceTest, DeviceThatIsNotPresentIsNotFound) {
    m.sim.Device(nic).Present = false;
    EXPECT_FALSE(ControlDevice(m.sim, u"PCI\\VEN_8086&DEV_10D3\\3&1", cdaDisable)->Result());
    EXPECT_TRUE(m.sim.Changes().empty());
}

TEST_F(ControlDeviceTest, NoMatchingDeviceGivesFalseWithoutAnyChange) {
    auto result = ControlDevice(m.sim, u"PCI\\NOT\\THERE", cdaDisable);
    EXPECT_FALSE(result->Result());
    EXPECT_TRUE(m.sim.Changes().empty());
    EXPECT_FALSE(Logged(u"SetupDiCallClassInstaller")) << "the class installer was called";
}

TEST_F(ControlDeviceTest, RebootRequestIsReported) {
    m.sim.Device(nic).RequestReboot = true;
    auto result = ControlDevice(m.sim, u"PCI\\VEN_8086&DEV_10D3\\3&1", cdaDisable);
    EXPECT_TRUE(result->Result());
    EXPECT_TRUE(result->ResultIsRebootRequired());
    EXPECT_EQ(result->ResultDevParams().Flags & DI_NEEDREBOOT, DI_NEEDREBOOT);
}

TEST_F(ControlDeviceTest, FailuresRaiseTheSystemText) {
    struct Case {
        const char* what;
        std::function<void(SimulatedMachine&)> arrange;
        std::u16string message;
        bool changed;
    };
    const DEVINST target = nic;
    const Case cases[] = {
        {"class installer refuses",
         [&](SimulatedMachine& mm) { mm.sim.Device(target).RefuseChangeError = ERROR_ACCESS_DENIED; },
         u"Windows error 5 (Access is denied)", false},
        {"install parameters cannot be read",
         [&](SimulatedMachine& mm) { mm.sim.Device(target).FailInstallParams = true; },
         u"Cannot get device install params! Windows error 13 (The data is invalid)", true},
        // Handing the change to the class installer fails: an error, not a silent no-op.
        {"class install parameters refused",
         [&](SimulatedMachine& mm) {
             mm.sim.SetFault(SimCall::SetClassInstallParams, ERROR_NOT_FOUND, target);
         },
         u"Windows error 1168 (Element not found)", false},
    };
    for (const auto& c : cases) {
        SimulatedMachine local;
        const DEVINST device = local.AddAdapter(u"PCI\\VEN_8086&DEV_10D3\\3&1", u"Intel NIC");
        ASSERT_EQ(device, target);
        c.arrange(local);
        std::u16string message = u"<no error>";
        try {
            ControlDevice(local.sim, u"PCI\\VEN_8086&DEV_10D3\\3&1", cdaDisable);
        } catch (const EOSError& e) {
            message = e.Message();
        }
        EXPECT_EQ(message, c.message) << c.what;
        EXPECT_EQ(local.sim.Device(device).Problem == CM_PROB_DISABLED, c.changed) << c.what;
        EXPECT_EQ(local.sim.OpenSetCount(), 0u) << c.what;
    }
}

TEST_F(ControlDeviceTest, UnknownActionAndEmptyName) {
    EXPECT_EQ(ErrorOf(u"PCI\\VEN_8086&DEV_10D3\\3&1", static_cast<TControlDeviceAction>(7)),
              u"Unknown control device action!");
    EXPECT_THROW(ControlDevice(m.sim, u"", cdaDisable), EAssertionFailed);
    EXPECT_EQ(m.sim.ClassDevsFlags().size(), 1u); // the empty name enumerated nothing
}

} // namespace
} // namespace tarnwick
