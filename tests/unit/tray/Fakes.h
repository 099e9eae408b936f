#pragma once
// Stand-ins for the window manager, the toolkit's window factory and the shell, recording every call.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ShellPlatform.h"
#include "platform/WindowPlatform.h"
#include "tests/unit/CallText.h"
#include "toolkit/WindowFactory.h"

namespace tarnwick::test {

inline std::string Call(const std::string& name, std::initializer_list<long long> args) {
    return CallText(name, args);
}

class FakeWindowPlatform : public IWindowPlatform {
public:
    struct Monitor {
        HMONITOR_T Handle;
        TMonitorInfo Info;
    };

    // Calls in order, as "Name(arg,...)"; OnCall sees each as it happens.
    std::vector<std::string> Calls;
    std::function<void(const std::string&)> OnCall;

    std::map<std::u16string, HWND_T> ClassWindows;
    std::map<HWND_T, TRect> WindowRects;
    std::map<HWND_T, TRect> ClientRects;
    TPoint Cursor{};
    std::uint32_t Tick = 0;
    std::uintptr_t SetTimerResult = 1;
    std::vector<Monitor> Monitors;
    HMONITOR_T PointMonitor = 0; // what MonitorFromPoint answers
    TPoint LastMonitorPoint{};
    std::uint32_t LastError = 0;
    std::map<std::uint32_t, std::u16string> ErrorTexts;

    std::size_t Count(const std::string& prefix) const {
        std::size_t n = 0;
        for (const auto& c : Calls) {
            n += c.rfind(prefix, 0) == 0;
        }
        return n;
    }

    HWND_T FindWindowW(const char16_t* lpClassName, const char16_t*) override {
        Record(Call("FindWindowW", {}));
        auto it = ClassWindows.find(lpClassName ? lpClassName : u"");
        return it == ClassWindows.end() ? 0 : it->second;
    }
    bool ShowWindow(HWND_T hWnd, std::int32_t nCmdShow) override {
        Record(Call("ShowWindow", {(long long)hWnd, nCmdShow}));
        return true;
    }
    bool SetWindowPos(HWND_T hWnd, HWND_T after, std::int32_t X, std::int32_t Y, std::int32_t cx,
                      std::int32_t cy, std::uint32_t uFlags) override {
        Record(Call("SetWindowPos", {(long long)hWnd, (long long)after, X, Y, cx, cy, uFlags}));
        WindowRects[hWnd] = {X, Y, X + cx, Y + cy};
        return true;
    }
    bool GetWindowRect(HWND_T hWnd, TRect& r) override {
        Record(Call("GetWindowRect", {(long long)hWnd}));
        auto it = WindowRects.find(hWnd);
        if (it == WindowRects.end()) {
            return false;
        }
        r = it->second;
        return true;
    }
    bool GetClientRect(HWND_T hWnd, TRect& r) override {
        Record(Call("GetClientRect", {(long long)hWnd}));
        auto it = ClientRects.find(hWnd);
        if (it == ClientRects.end()) {
            return false;
        }
        r = it->second;
        return true;
    }
    bool SetWindowTextW(HWND_T hWnd, const std::u16string& text) override {
        Record(Call("SetWindowTextW", {(long long)hWnd}));
        Texts[hWnd] = text;
        return true;
    }
    bool PostMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t w, std::intptr_t l) override {
        Record(Call("PostMessageW", {(long long)hWnd, Msg, (long long)w, (long long)l}));
        return true;
    }
    std::intptr_t SendMessageW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t w, std::intptr_t l) override {
        Record(Call("SendMessageW", {(long long)hWnd, Msg, (long long)w, (long long)l}));
        return 0;
    }
    std::intptr_t DefWindowProcW(HWND_T hWnd, std::uint32_t Msg, std::uintptr_t w, std::intptr_t l) override {
        Record(Call("DefWindowProcW", {(long long)hWnd, Msg, (long long)w, (long long)l}));
        return 77; // recognisable
    }
    std::int32_t MessageBoxW(HWND_T hWnd, const std::u16string& text, const std::u16string& caption,
                             std::uint32_t uType) override {
        Record(Call("MessageBoxW", {(long long)hWnd, uType}));
        Boxes.emplace_back(text, caption);
        return 1;
    }
    std::uintptr_t SetTimer(HWND_T hWnd, std::uintptr_t id, std::uint32_t elapse) override {
        Record(Call("SetTimer", {(long long)hWnd, (long long)id, elapse}));
        return SetTimerResult;
    }
    bool KillTimer(HWND_T hWnd, std::uintptr_t id) override {
        Record(Call("KillTimer", {(long long)hWnd, (long long)id}));
        return true;
    }
    bool GetCursorPos(TPoint& p) override {
        p = Cursor;
        return true;
    }
    std::uint32_t GetTickCount() override { return Tick; }
    HMONITOR_T MonitorFromPoint(TPoint pt, std::uint32_t dwFlags) override {
        Record(Call("MonitorFromPoint", {pt.X, pt.Y, dwFlags}));
        LastMonitorPoint = pt;
        return PointMonitor;
    }
    bool GetMonitorInfoW(HMONITOR_T h, TMonitorInfo& info) override {
        for (const auto& m : Monitors) {
            if (m.Handle == h) {
                info = m.Info;
                return true;
            }
        }
        return false;
    }
    std::vector<HMONITOR_T> EnumDisplayMonitors() override {
        Record(Call("EnumDisplayMonitors", {}));
        std::vector<HMONITOR_T> handles;
        for (const auto& m : Monitors) {
            handles.push_back(m.Handle);
        }
        return handles;
    }
    std::uint32_t GetLastError() override { return LastError; }
    std::u16string SysErrorMessage(std::uint32_t code) override {
        auto it = ErrorTexts.find(code);
        return it == ErrorTexts.end() ? u"" : it->second;
    }

    std::map<HWND_T, std::u16string> Texts;
    std::vector<std::pair<std::u16string, std::u16string>> Boxes;

private:
    void Record(std::string call) {
        Calls.push_back(call);
        if (OnCall) {
            OnCall(call);
        }
    }
};

class FakeWindowFactory : public IWindowFactory {
public:
    struct Window {
        TCreateParams Params;
        TWndMethod Method;
    };
    std::map<HWND_T, Window> Windows;
    std::vector<HWND_T> Destroyed;
    std::function<void(HWND_T)> OnDestroy;
    HWND_T NextHandle = 100;

    HWND_T CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) override {
        const HWND_T h = NextHandle++;
        Windows[h] = {Params, std::move(Method)};
        return h;
    }
    void DestroyWindowHandle(HWND_T Handle) override {
        if (OnDestroy) {
            OnDestroy(Handle);
        }
        Windows.erase(Handle);
        Destroyed.push_back(Handle);
    }
    bool Alive(HWND_T h) const { return Windows.count(h) != 0; }
    // Delivers a message the way the message loop would.
    std::intptr_t Deliver(HWND_T h, std::uint32_t Msg, std::uintptr_t w = 0, std::intptr_t l = 0) {
        return Windows.at(h).Method(Msg, w, l);
    }
};

class FakeShellPlatform : public IShellPlatform {
public:
    struct Command {
        std::uint32_t Message;
        NOTIFYICONDATAW Data;
        bool Result;
    };
    std::vector<Command> Commands;
    std::set<std::pair<HWND_T, std::uint32_t>> Icons; // what the notification area shows
    // The shell is not ready for this many adds yet (at logon); a shell before Vista refuses version 4.
    int RefusedAdds = 0;
    bool TakesVersion4 = true;

    std::uintptr_t AppBarState = 0;
    std::vector<std::pair<std::uint32_t, APPBARDATA>> AppBarCalls;

    HRESULT_T CreateResult = 0;
    std::vector<std::string> TaskbarLog; // "HrInit", "DeleteTab(h)", "Release"

    bool Shell_NotifyIconW(std::uint32_t dwMessage, const NOTIFYICONDATAW& data) override {
        const auto key = std::make_pair(data.hWnd, data.uID);
        bool result = false;
        switch (dwMessage) {
        case 0: // NIM_ADD
            result = RefusedAdds > 0 ? (--RefusedAdds, false) : Icons.insert(key).second;
            break;
        case 1: // NIM_MODIFY
            result = Icons.count(key) != 0;
            break;
        case 2: // NIM_DELETE
            result = Icons.erase(key) != 0;
            break;
        case 3: // NIM_SETFOCUS
            result = Icons.count(key) != 0;
            break;
        case 4: // NIM_SETVERSION
            result = TakesVersion4 && Icons.count(key) != 0;
            break;
        }
        Commands.push_back({dwMessage, data, result});
        return result;
    }
    std::uintptr_t SHAppBarMessage(std::uint32_t dwMessage, APPBARDATA& data) override {
        AppBarCalls.emplace_back(dwMessage, data);
        return AppBarState;
    }
    HRESULT_T CoCreateTaskbarList(std::unique_ptr<ITaskbarListObject>& ppv) override {
        TaskbarLog.push_back("CoCreate");
        if (CreateResult >= 0) {
            ppv = std::make_unique<List>(TaskbarLog);
        }
        return CreateResult;
    }

private:
    class List : public ITaskbarListObject {
    public:
        explicit List(std::vector<std::string>& log) : FLog(log) {}
        ~List() override { FLog.push_back("Release"); }
        HRESULT_T HrInit() override {
            FLog.push_back("HrInit");
            return 0;
        }
        HRESULT_T DeleteTab(HWND_T hwnd) override {
            FLog.push_back(Call("DeleteTab", {(long long)hwnd}));
            return 0;
        }

    private:
        std::vector<std::string>& FLog;
    };
};

} // namespace tarnwick::test
