#pragma once
// A user session on the Wine desktop for the single-instance and deadline tests: a laptop with two
// network adapters in the shared machine file, no recorded deadline at the start, and every tarnwick.exe
// ended (and the deadline forgotten) afterwards.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

// The portable fixtures first: <windows.h> turns the platform constants' names into macros.
#include "fixtures/SimulatedMachine.h"

#include "ProgramUnderTest.h"

namespace tarnwick::e2e {

inline constexpr DWORD Patience = 20000;
inline constexpr UINT WM_TRAY_CALLBACK_ = 0x1135;
inline constexpr WPARAM ExitCommand = 1002; // the tray menu's "Exit"
inline constexpr wchar_t DeadlineKey[] = L"Software\\Tarnwick";

// The recorded deadline's time (FILETIME units, UTC), if any: the one-value record (time, switch,
// minutes), or the two-value form of earlier versions.
inline std::optional<std::uint64_t> RecordedDeadline() {
    std::uint64_t record[2] = {};
    DWORD size = sizeof record;
    if (::RegGetValueW(HKEY_CURRENT_USER, DeadlineKey, L"Deadline", RRF_RT_REG_BINARY, nullptr, record,
                       &size) == ERROR_SUCCESS) {
        return record[0];
    }
    std::uint64_t value = 0;
    size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, DeadlineKey, L"DeadlineUtc", RRF_RT_QWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// A turn-off recorded in the two-value form of earlier versions, which is still read.
inline void RecordDeadline(std::uint64_t dueUtc) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, DeadlineKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, L"DeadlineUtc", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&dueUtc),
                     sizeof dueUtc);
    ::RegCloseKey(key);
}

inline void ForgetDeadline() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, DeadlineKey, L"Deadline");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, DeadlineKey, L"DeadlineUtc");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, DeadlineKey, L"DeadlineSwitch");
}

inline std::uint64_t NowUtc() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        EndTarnwickProcesses();
        ForgetDeadline();
        wired = m.AddAdapter(u"PCI\\VEN_8086&DEV_15B8\\3&11583659&0&FE", u"Intel(R) Ethernet I219-V");
        wireless = m.AddAdapter(u"PCI\\VEN_8086&DEV_24FD\\4&2A5D6F7&0&00E4", u"Intel(R) Wireless-AC 8265");
        machine.Write(m.sim);
    }
    void TearDown() override {
        EndTarnwickProcesses();
        ForgetDeadline();
        ::DeleteFileW(machine.Path().c_str());
    }
    void TurnAdaptersOff() {
        auto off = m.sim;
        off.Disable(wired);
        off.Disable(wireless);
        machine.Write(off);
    }
    bool AdaptersAre(std::uint32_t problem) const {
        const auto now = machine.Read();
        return now.Device(wired).Problem == problem && now.Device(wireless).Problem == problem;
    }
    // The main window of the one running instance, once it is there.
    static HWND TheMainWindow() {
        HWND found = nullptr;
        WaitUntil(Patience, [&] {
            const auto windows = WindowsOfClass(L"TarnwickMainWindow");
            found = windows.size() == 1 ? windows.front() : nullptr;
            return found != nullptr;
        });
        return found;
    }

    testing::SimulatedMachine m;
    DEVINST wired = 0, wireless = 0;
    TMachineFile machine{ProgramFolder() / L"e2e-session-machine.txt"};
};

} // namespace tarnwick::e2e
