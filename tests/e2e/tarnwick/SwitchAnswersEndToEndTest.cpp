// tarnwick.exe from a script against a test double that answers as Windows does: each case a machine
// file, a command line, the exit code and the words the script reads.

#include <gtest/gtest.h>

#include <functional>
#include <string>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "ProgramUnderTest.h"

namespace tarnwick::e2e {
namespace {

constexpr DWORD Patience = 40000;
constexpr wchar_t SettingsKey[] = L"Software\\Tarnwick";

struct Case {
    const char* Title;
    std::function<void(testing::SimulatedMachine&, DEVINST wired, DEVINST wireless)> Build;
    const wchar_t* Arguments;
    DWORD ExitCode;
    std::string Printed; // a part of what it prints
};

class SwitchAnswersEndToEnd : public ::testing::Test {
protected:
    void TearDown() override {
        EndTarnwickProcesses();
        ::RegDeleteKeyW(HKEY_CURRENT_USER, SettingsKey);
        ::DeleteFileW(machine.Path().c_str());
    }
    TMachineFile machine{ProgramFolder() / L"e2e-switch-answers-machine.txt"};
};

constexpr std::uint32_t NoDriver = 28;

TEST_F(SwitchAnswersEndToEnd, EachAnswerOfWindowsEndsWithItsExitCodeAndItsWords) {
    const Case cases[] = {
        {"the list of adapters cannot be made",
         [](auto& m, DEVINST, DEVINST) { m.sim.SetFault(sim::SimCall::GetClassDevs, 5); },
         L"-elevation -action turnoff -exit", 8,
         "The network adapters cannot be listed: Windows error 0x00000005 ("},
        {"status without a list",
         [](auto& m, DEVINST, DEVINST) { m.sim.SetFault(sim::SimCall::GetClassDevs, 5); }, L"-action status",
         8, "The network adapters cannot be listed"},
        {"no adapter at all",
         [](auto& m, DEVINST wired, DEVINST wireless) {
             m.sim.Device(wired).Status |= DN_NO_SHOW_IN_DM;
             m.sim.Device(wireless).Status |= DN_NO_SHOW_IN_DM;
         },
         L"-elevation -action turnon -exit", 7, "No network adapter could be turned on"},
        {"list without an adapter",
         [](auto& m, DEVINST wired, DEVINST wireless) {
             m.sim.Device(wired).Status |= DN_NO_SHOW_IN_DM;
             m.sim.Device(wireless).Status |= DN_NO_SHOW_IN_DM;
         },
         L"-action list", 7, "No network adapter is shown in Device Manager."},
        {"an adapter whose state cannot be read",
         [](auto& m, DEVINST, DEVINST wireless) {
             m.sim.SetFault(sim::SimCall::GetDevNodeStatus, 5, wireless);
         },
         L"-elevation -action turnoff -exit", 4,
         "Intel(R) Wireless-AC 8265: Its state cannot be read: Configuration manager error: 0x00000005"},
        {"an adapter whose ID cannot be read",
         [](auto& m, DEVINST wired, DEVINST) {
             m.sim.SetFault(sim::SimCall::GetDeviceInstanceId, 0xE000020B, wired);
         },
         L"-elevation -action turnoff -exit", 0, ""},
        {"a disable for the profile only",
         [](auto& m, DEVINST wired, DEVINST wireless) {
             m.sim.DisableInProfile(wired);
             m.sim.DisableInProfile(wireless);
         },
         L"-elevation -action turnon -exit", 0, ""},
        {"a change that waits for a restart",
         [](auto& m, DEVINST, DEVINST wireless) { m.sim.Device(wireless).RequestReboot = true; },
         L"-elevation -action turnoff -exit", 6,
         "Intel(R) Wireless-AC 8265 is turned off only after Windows restarts.\r\n\r\n1 of 2 adapters is now "
         "off."},
        {"an adapter without a driver",
         [](auto& m, DEVINST, DEVINST wireless) {
             m.sim.Device(wireless).Problem = NoDriver;
             m.sim.Device(wireless).Status |= DN_HAS_PROBLEM;
         },
         L"-elevation -action turnon -exit", 4,
         "Intel(R) Wireless-AC 8265: Windows took the change, but the adapter is still off (problem 28)."},
        {"an adapter Windows will not disable",
         [](auto& m, DEVINST wired, DEVINST) { m.sim.Device(wired).Status &= ~DN_DISABLEABLE; },
         L"-elevation -action turnoff -exit", 0, ""},
        {"list marks it",
         [](auto& m, DEVINST wired, DEVINST) { m.sim.Device(wired).Status &= ~DN_DISABLEABLE; },
         L"-action list", 0, "PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE\ton\tnot kept\tcannot be disabled\r\n"},
        {"a child adapter goes with its parent",
         [](auto& m, DEVINST wired, DEVINST wireless) { m.sim.Device(wireless).Parent = wired; },
         L"-elevation -action turnoff -exit", 0, ""},
        {"a code of SetupAPI's own",
         [](auto& m, DEVINST, DEVINST wireless) { m.sim.Device(wireless).RefuseChangeError = 0xE0000235; },
         L"-elevation -action turnoff -exit", 4, "Intel(R) Wireless-AC 8265: Windows error 0xE0000235 ("},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        testing::SimulatedMachine m;
        const DEVINST wired =
            m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
        const DEVINST wireless =
            m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
        c.Build(m, wired, wireless);
        machine.Write(m.sim);
        std::string output;
        EXPECT_EQ(RunToEnd(machine, c.Arguments, &output, Patience), c.ExitCode) << output;
        EXPECT_NE(output.find(c.Printed), std::string::npos) << output;
        EXPECT_EQ(output.find("()"), std::string::npos) << "a reason without words: " << output;
        EndTarnwickProcesses();
    }
}

TEST_F(SwitchAnswersEndToEnd, WhatTheSwitchLeavesIsWhatItSaid) {
    testing::SimulatedMachine m;
    const DEVINST wired =
        m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
    const DEVINST wireless =
        m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
    const DEVINST direct = m.AddAdapter(u"SWD\\WIFIDIRECT\\1", u"Wi-Fi Direct Virtual Adapter", wireless);
    m.sim.DisableInProfile(wired);
    machine.Write(m.sim);
    std::string output;
    EXPECT_EQ(RunToEnd(machine, L"-elevation -action turnon -exit", &output, Patience), 0u) << output;
    EXPECT_EQ(machine.Read().Device(wired).Problem, 0u) << "the profile's disable is cleared too";

    EXPECT_EQ(RunToEnd(machine, L"-elevation -action turnoff -exit", &output, Patience), 0u) << output;
    const sim::TDeviceSimulator off = machine.Read();
    EXPECT_FALSE(off.IsPresent(off.Device(direct))) << "gone with its parent, and counted as off";
    EXPECT_EQ(RunToEnd(machine, L"-action status", &output, Patience), 1u) << output;

    EXPECT_EQ(RunToEnd(machine, L"-elevation -action turnon -exit", &output, Patience), 0u) << output;
    const sim::TDeviceSimulator on = machine.Read();
    EXPECT_EQ(on.Device(direct).Problem, 0u);
    EXPECT_TRUE(on.IsPresent(on.Device(direct)));

    // Keeping every adapter leaves nothing to tell the state of.
    HKEY settings = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &settings, nullptr),
              ERROR_SUCCESS);
    const wchar_t everything[] = L"*\0";
    ::RegSetValueExW(settings, L"Keep", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(everything),
                     sizeof everything);
    ::RegCloseKey(settings);
    EXPECT_EQ(RunToEnd(machine, L"-action status", &output, Patience), 7u) << output;
    EXPECT_NE(output.find("No network adapter to switch"), std::string::npos) << output;
    EXPECT_EQ(RunToEnd(machine, L"-elevation -action turnoff -exit", &output, Patience), 7u) << output;
}

} // namespace
} // namespace tarnwick::e2e
