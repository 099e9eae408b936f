// Runs the network switch through the real Win32 device adapter. The program is linked against
// setupapi as usual; beside it lies the test-double setupapi.dll (loaded through
// WINEDLLOVERRIDES=setupapi=n), which answers from the simulated machine in a file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "device/DeviceInformationKt.h"
#include "fixtures/SimulatedMachine.h"
#include "netcore/NetCore.h"
#include "platform/win32/Win32DevicePlatform.h"
#include "simulator/MachineFile.h"

// After the portable headers: <windows.h> defines the platform constants' names as macros.
#include <windows.h>

namespace tarnwick {
namespace {

constexpr UINT WM_DEVICECHANGE_ = 0x0219;
constexpr WPARAM DBT_DEVNODES_CHANGED_ = 0x0007;

int gDeviceChanges = 0;

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE_ && wParam == DBT_DEVNODES_CHANGED_) {
        ++gDeviceChanges;
        return TRUE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class NetCoreSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() / "tarnwick-netcore-machine.txt";
        SetEnvironmentVariableW(L"TARNWICK_SIMULATED_MACHINE", path.wstring().c_str());
        first = m.AddAdapter(u"PCI\\VEN_8086&DEV_10D3\\3&1", u"Intel(R) 82574L");
        second = m.AddAdapter(u"USB\\VID_0B95&PID_1790\\1", u"ASIX AX88179");
        hidden = m.AddHiddenAdapter(u"SWD\\MSRRAS\\MS_NDISWANIP");
        m.sim.AddDevice(u"SCSI\\DISK&VEN_VBOX\\4&2", testing::GUID_DEVCLASS_DISKDRIVE, m.pci);
        Write();
    }
    void TearDown() override {
        std::filesystem::remove(path);
        FinalizeDeviceInformationKt();
    }
    void Write() { std::ofstream(path, std::ios::binary) << sim::SaveMachine(m.sim); }
    sim::TDeviceSimulator ReadBack() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        sim::TDeviceSimulator machine;
        sim::LoadMachine(machine, text.str());
        return machine;
    }

    std::filesystem::path path;
    testing::SimulatedMachine m;
    DEVINST first = 0, second = 0, hidden = 0;
    win32::TWin32DevicePlatform platform{[] { return false; }};
};

TEST_F(NetCoreSwitchTest, TurnsTheSimulatedAdaptersOffAndOnAndLeavesTheHiddenOne) {
    ASSERT_TRUE(IsInternetActive(platform)) << "the test double was not loaded";
    EXPECT_EQ(GetNetAdapters(platform).Count(), 2u);

    TurnOffInternet(platform);
    auto off = ReadBack();
    EXPECT_EQ(off.Device(first).Problem, 22u);
    EXPECT_EQ(off.Device(second).Problem, 22u);
    EXPECT_EQ(off.Device(hidden).Problem, 0u);
    EXPECT_FALSE(IsInternetActive(platform));

    TurnOnInternet(platform);
    auto on = ReadBack();
    EXPECT_EQ(on.Device(first).Problem, 0u);
    EXPECT_EQ(on.Device(second).Problem, 0u);
    EXPECT_EQ(on.Device(hidden).Problem, 0u);
    EXPECT_TRUE(IsInternetActive(platform));
}

TEST_F(NetCoreSwitchTest, ARefusingAdapterIsReportedWithTheSystemTextAndTheNextOneIsStillSwitched) {
    m.sim.Device(first).RefuseChangeError = 5; // access denied
    Write();
    const TSwitchReport report = TurnOffInternet(platform);
    ASSERT_EQ(report.Adapters.size(), 2u);
    const TAdapterSwitchResult& refused = report.Adapters[0];
    EXPECT_EQ(refused.Name, u"Intel(R) 82574L");
    EXPECT_EQ(refused.Outcome, TAdapterOutcome::Failed);
    EXPECT_EQ(refused.ErrorCode, 5u);
    // The system's own words, without the full stop and line break of the message table.
    EXPECT_EQ(refused.Reason.rfind(u"Windows error 0x00000005 (", 0), 0u);
    EXPECT_NE(refused.Reason.back(), u'.');
    EXPECT_EQ(report.Adapters[1].Outcome, TAdapterOutcome::Switched);
    EXPECT_EQ(CountText(report), u"1 of 2 adapters is now off");
    auto after = ReadBack();
    EXPECT_EQ(after.Device(first).Problem, 0u);
    EXPECT_EQ(after.Device(second).Problem, 22u);
}

TEST_F(NetCoreSwitchTest, TopLevelWindowsHearOfTheChange) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RecordingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TarnwickDeviceChangeListener";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"listener", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    gDeviceChanges = 0;
    TurnOffInternet(platform);
    const DWORD deadline = GetTickCount() + 5000;
    MSG message;
    while (gDeviceChanges == 0 && GetTickCount() < deadline) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    EXPECT_GE(gDeviceChanges, 1);
    DestroyWindow(window);
}

} // namespace
} // namespace tarnwick
