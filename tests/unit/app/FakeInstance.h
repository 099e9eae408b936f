#pragma once
// The wall clock and the single-instance calls on the headless desktop: the clock runs with the desktop's
// timer clock and can jump (a clock set back or forward, a sleep that no timer saw); named objects live
// while a handle is open; WM_COPYDATA is delivered to the desktop's window unless the test makes the
// window refuse it, as the message filter of an elevated process would.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/PlatformConstants.h"
#include "platform/ClockPlatform.h"
#include "platform/InstancePlatform.h"
#include "tests/unit/app/HeadlessDesktop.h"

namespace tarnwick::test {

// 10 December 2026, 12:00 UTC.
inline constexpr TFileTime SomeNoonUtc = 134099280000000000ull;

class TDesktopClock : public IClockPlatform {
public:
    explicit TDesktopClock(THeadlessDesktop& Desktop) : FDesktop(Desktop) {}
    // Added to the wall clock: the clock set forward (or, negative, back), or time spent asleep.
    std::int64_t Jump = 0; // FILETIME units
    void JumpMinutes(std::int64_t Minutes) { Jump += Minutes * std::int64_t(FileTimeTicksPerMinute); }
    TFileTime GetSystemTimeAsFileTime() override {
        return SomeNoonUtc + FDesktop.Now * FileTimeTicksPerMillisecond + Jump;
    }
    // A zone one hour east of UTC, whose locale writes the time as "13:05", or "1:05 PM" with TwelveHour.
    bool TwelveHour = false;
    bool UtcToLocalTime(TFileTime Utc, SYSTEMTIME& Local) override {
        const TFileTime minutes = (Utc / FileTimeTicksPerMinute) + 60;
        Local = {};
        Local.wHour = static_cast<std::uint16_t>(minutes / 60 % 24);
        Local.wMinute = static_cast<std::uint16_t>(minutes % 60);
        return true;
    }
    int GetTimeFormatW(std::uint32_t, std::uint32_t Flags, const SYSTEMTIME& Time, char16_t* TimeStr,
                       int Size) override {
        char text[16];
        const int hour = TwelveHour ? (Time.wHour + 11) % 12 + 1 : Time.wHour;
        const int length = std::snprintf(text, sizeof text, TwelveHour ? "%d:%02d %s" : "%02d:%02d%s", hour,
                                         Time.wMinute, TwelveHour ? (Time.wHour < 12 ? "AM" : "PM") : "");
        if (!(Flags & 0x2) || length + 1 > Size) { // TIME_NOSECONDS is what the program asks for
            return 0;
        }
        for (int i = 0; i <= length; ++i) {
            TimeStr[i] = char16_t(text[i]);
        }
        return length + 1;
    }

private:
    THeadlessDesktop& FDesktop;
};

class TFakeInstancePlatform : public IInstancePlatform {
public:
    explicit TFakeInstancePlatform(THeadlessDesktop& Desktop) : FDesktop(Desktop) {}

    // Open handles per object name; names whose object cannot be made or opened, with the error
    // CreateMutexW sets then (Microsoft docs: NULL and ERROR_ACCESS_DENIED for the object of a process at
    // a higher integrity level; NULL and ERROR_INVALID_HANDLE when the name belongs to an object of
    // another type).
    std::map<std::u16string, int> Objects;
    std::map<std::u16string, std::uint32_t> FailingObjects;
    // Windows that refuse WM_COPYDATA from this process, as a higher integrity level's filter does.
    std::vector<HWND_T> RefusingWindows;
    std::size_t Made = 0; // calls of CreateMutexW
    // Windows that take WM_COPYDATA and answer 0, as a window going away (or another program's) does.
    std::vector<HWND_T> SilentWindows;
    std::vector<std::u16string> Sent; // the command lines handed over
    std::vector<HWND_T> SentTo;
    std::uint32_t Slept = 0; // milliseconds
    std::vector<std::uint32_t> AllowedForeground;

    HANDLE_T CreateMutexW(const char16_t* lpName, std::uint32_t& LastError) override {
        ++Made;
        if (const auto failing = FailingObjects.find(lpName); failing != FailingObjects.end()) {
            LastError = failing->second;
            return 0;
        }
        const int open = Objects[lpName]++;
        LastError = open > 0 ? ERROR_ALREADY_EXISTS : 0;
        const HANDLE_T handle = FNextHandle++;
        FHandles[handle] = lpName;
        return handle;
    }
    bool CloseHandle(HANDLE_T hObject) override {
        const auto it = FHandles.find(hObject);
        if (it == FHandles.end()) {
            return false;
        }
        if (--Objects[it->second] == 0) {
            Objects.erase(it->second);
        }
        FHandles.erase(it);
        return true;
    }
    bool SendCopyData(HWND_T hWnd, HWND_T Sender, std::uintptr_t Kind, const std::u16string& Data,
                      std::uint32_t, std::uint32_t, std::intptr_t& Result,
                      std::uint32_t& LastError) override {
        for (HWND_T refusing : RefusingWindows) {
            if (refusing == hWnd) {
                LastError = ERROR_ACCESS_DENIED;
                return false;
            }
        }
        if (!FDesktop.Exists(hWnd)) {
            LastError = 1400; // ERROR_INVALID_WINDOW_HANDLE
            return false;
        }
        Sent.push_back(Data);
        SentTo.push_back(hWnd);
        for (HWND_T silent : SilentWindows) {
            if (silent == hWnd) {
                Result = 0;
                return true;
            }
        }
        const TCopyDataStruct data{Kind, static_cast<std::uint32_t>(Data.size() * sizeof(char16_t)),
                                   Data.data()};
        Result = FDesktop.Send(hWnd, WM_COPYDATA, Sender, reinterpret_cast<std::intptr_t>(&data));
        FDesktop.Pump();
        return true;
    }
    // Every window is the instance's unless the test names its process here.
    std::map<HWND_T, std::uint32_t> WindowProcesses;
    static constexpr std::uint32_t ThisProcess = 4711;
    std::uint32_t GetWindowThreadProcessId(HWND_T hWnd) override {
        if (!FDesktop.Exists(hWnd)) {
            return 0;
        }
        const auto it = WindowProcesses.find(hWnd);
        return it == WindowProcesses.end() ? ThisProcess : it->second;
    }
    std::uint32_t GetCurrentProcessId() override { return ThisProcess; }
    bool AllowSetForegroundWindow(std::uint32_t dwProcessId) override {
        AllowedForeground.push_back(dwProcessId);
        return true;
    }
    void Sleep(std::uint32_t dwMilliseconds) override {
        Slept += dwMilliseconds;
        if (OnSleep) {
            OnSleep();
        }
    }
    std::function<void()> OnSleep; // what the other processes do meanwhile

    std::size_t OpenHandles() const { return FHandles.size(); }

private:
    THeadlessDesktop& FDesktop;
    std::map<HANDLE_T, std::u16string> FHandles;
    HANDLE_T FNextHandle = 0x700;
};

} // namespace tarnwick::test
